#include "db/database.h"
#include "refupdate/refversion.h"
#include "refupdate/ui/tfrmatualizaversao.h"
#include "refupdate/ui/tfrmprincipalversoes.h"
#include "refupdate/ui/tfrmversaoanterior.h"
#include "shell/configlocal.h"
#include "support/controls.h"
#include "support/refpackage.h"
#include "support/refupdatefixture.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"
#include "support/testservers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

const QString V1 = QStringLiteral("OC-TAB-2026010101.zip");
const QString V2 = QStringLiteral("OC-TAB-2026020101.zip");

struct Fixture : RefUpdateFixture
{
    ScriptedMessenger msg;

    Fixture()
        : RefUpdateFixture(QStringLiteral("refupdate-ui"))
    { }
    int history() const { return db->scalar(QStringLiteral("select count(*) from CONTROLE_AUX")).toInt(); }
};

QString text(QWidget *w, const char *name)
{
    return child<QLineEdit>(w, name)->text();
}

// Clicks "Atualiza Versão" and waits for the window's result: the search,
// the copy and the installation run off the window thread.
template <typename W, typename Ended> void update(W *w, Ended ended)
{
    QSignalSpy spy(w, ended);
    child<QPushButton>(w, "BtAtualiza")->click();
    QTRY_VERIFY_WITH_TIMEOUT(spy.count() == 1, 60000);
}
void update(TFrmAtualizaVersao *w)
{
    update(w, &TFrmAtualizaVersao::updateEnded);
}
void reinstall(TFrmVersaoAnterior *w)
{
    update(w, &TFrmVersaoAnterior::reinstallEnded);
}

void shot(QWidget *w, const QString &name)
{
    if (!qEnvironmentVariableIsEmpty("CORVANE_SHOTS"))
        w->grab().save(QDir(qEnvironmentVariable("CORVANE_SHOTS")).filePath(name));
}

}

class TestRefUpdateWindows : public QObject
{
    Q_OBJECT

private slots:
    void historyWindowEmptyThenUpdatedFromFolder()
    {
        Fixture f;
        QVERIFY(RefPackage::build(f.origem(), V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        QVERIFY(RefPackage::build(f.origem(), V2, {RefPackage::pais({{"BR", "Brasil 2"}, {"AR", "Argentina"}})}));
        TFrmPrincipalVersoes main(*f.db, f.msg);
        main.show();
        QCOMPARE(text(&main, "EdVersaoAtual"), QString());
        QVERIFY(!child<QPushButton>(&main, "BtVersaoAnterior")->isEnabled());

        main.execChild = [&](QDialog &d) {
            auto *w = qobject_cast<TFrmAtualizaVersao *>(&d);
            QVERIFY(w);
            w->show();
            QCOMPARE(child<QComboBox>(w, "CbTipo")->currentText(), "Internet");
            QVERIFY(!child<QPushButton>(w, "BtBrowse")->isVisible());
            child<QComboBox>(w, "CbTipo")->setCurrentIndex(1);
            QVERIFY(child<QPushButton>(w, "BtBrowse")->isVisible());
            QCOMPARE(text(w, "EdLocalizacao"), QString());
            w->setSourceFolder(f.origem());
            update(w);
            QCOMPARE(text(w, "EdResultado"), "A nova versão foi instalada sem problemas.");
            QCOMPARE(text(w, "EdVersaoAtual"), "2026020101");
            QCOMPARE(text(w, "EdArquivoNovo"), V2);
            QVERIFY(!child<QPushButton>(w, "BtAtualiza")->isEnabled());
            QVERIFY(f.msg.messages.isEmpty());
            shot(w, "atualizaversao.png");
        };
        child<QPushButton>(&main, "BtAtualizaVersao")->click();
        QCOMPARE(text(&main, "EdVersaoAtual"), "2026020101");
        QCOMPARE(text(&main, "EdNomeArquivo"), V2);
        QVERIFY(child<QPushButton>(&main, "BtVersaoAnterior")->isEnabled());

        // Found again: nothing newer.
        main.execChild = [&](QDialog &d) {
            auto *w = static_cast<TFrmAtualizaVersao *>(&d);
            child<QComboBox>(w, "CbTipo")->setCurrentIndex(1);
            w->setSourceFolder(f.origem());
            update(w);
            QCOMPARE(text(w, "EdResultado"), "Não foi encontrado arquivo de atualização mais atual");
            QVERIFY(!w->installed());
        };
        child<QPushButton>(&main, "BtAtualizaVersao")->click();
        QCOMPARE(f.history(), 1);
        shot(&main, "principalversoes.png");
    }

    void damagedPackageShowsTheErrorBox()
    {
        Fixture f;
        QVERIFY(RefPackage::rawZip(QDir(f.origem()).filePath(V1), {{"../x.DB", "x"}, {"PAIS.DB", "lixo"}}));
        TFrmAtualizaVersao w(*f.db, f.msg, f.config(), QString(), QString());
        child<QComboBox>(&w, "CbTipo")->setCurrentIndex(1);
        w.setSourceFolder(f.origem());
        update(&w);
        QCOMPARE(f.msg.messages.size(), 1);
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Error);
        QVERIFY(f.msg.lastText().startsWith("Ocorreu um Erro na Atualização.\nEntre em contato com o suporte."));
        QCOMPARE(text(&w, "EdResultado"), "Ocorreu um Erro na Atualização.");
        QCOMPARE(f.history(), 0);
        QCOMPARE(f.db->scalar("select count(*) from PAIS").toInt(), 0);
    }

    void internetModeAndItsFaults()
    {
        Fixture f;
        const QString root = f.files.filePath("srv");
        QDir(root).mkpath("tabelas");
        QVERIFY(RefPackage::build(root + "/tabelas", V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        FtpTestServer server(root);
        QVERIFY2(server.start(), qPrintable(server.error()));

        f.db->execute("update CONFIG_LOCAL set EndQueloraOrigAux = ?", {server.address("sumiu")});
        {
            TFrmAtualizaVersao w(*f.db, f.msg, f.config(), QString(), QString());
            QCOMPARE(text(&w, "EdLocalizacao"), server.address("sumiu"));
            update(&w);
            QCOMPARE(text(&w, "EdResultado"), "Erro na troca de diretório.");
            QCOMPARE(f.history(), 0);
        }
        f.db->execute("update CONFIG_LOCAL set EndQueloraOrigAux = ?", {server.address("tabelas")});
        {
            TFrmAtualizaVersao w(*f.db, f.msg, f.config(), QString(), QString());
            update(&w);
            QCOMPARE(text(&w, "EdResultado"), "A nova versão foi instalada sem problemas.");
            QCOMPARE(text(&w, "EdVersaoNova"), "2026010101");
            QCOMPARE(f.history(), 1);
        }
        {
            const RefVersion::Installation now = RefVersion::installed(*f.db);
            TFrmAtualizaVersao w(*f.db, f.msg, f.config(), now.version, now.fileName);
            update(&w);
            QCOMPARE(text(&w, "EdResultado"), "Não foi encontrado arquivo de atualização mais atual.");
        }
        server.stop();
        QVERIFY(RefPackage::build(root + "/tabelas", V2, {RefPackage::pais({{"BR", "x"}})}));
        {
            TFrmAtualizaVersao w(*f.db, f.msg, f.config(), "2026010101", V1);
            f.msg.clear();
            update(&w);
            QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Warning);
            QVERIFY(f.msg.lastText().startsWith("Erro ao tentar conectar. Verifique as configurações do Sistema"));
            QVERIFY(!text(&w, "EdResultado").isEmpty());
            QCOMPARE(f.history(), 1);
        }
        QCOMPARE(f.msg.messages.size(), 1);
    }

    // A slow download cut by the server's death or by "Interrompe": the
    // transfer texts, and nothing installed.
    void downloadCutOrInterrupted_data()
    {
        QTest::addColumn<bool>("interrupt");
        QTest::newRow("server dies") << false;
        QTest::newRow("Interrompe") << true;
    }
    void downloadCutOrInterrupted()
    {
        QFETCH(bool, interrupt);
        Fixture f;
        const QString root = f.files.filePath("srv");
        QDir(root).mkpath("tabelas");
        QList<QVariantList> rows;
        for (int i = 0; i < 6000; ++i)
            rows.append(
                {QString::number(i, 16), QString::number(qHash(i * 7919) * 2654435761u, 36).repeated(3).left(40)});
        QVERIFY(RefPackage::build(root + "/tabelas", V1, {RefPackage::pais(rows)}));
        QVERIFY(QFileInfo(root + "/tabelas/" + V1).size() > 60000);
        FtpTestServer server(root);
        FtpTestServer::Options options;
        options.throttle = 16384;
        QVERIFY2(server.start(options), qPrintable(server.error()));
        f.db->execute("update CONFIG_LOCAL set EndQueloraOrigAux = ?", {server.address("tabelas")});

        TFrmAtualizaVersao w(*f.db, f.msg, f.config(), QString(), QString());
        w.show();
        QTimer::singleShot(1500, &w, [&] {
            if (interrupt)
                child<QPushButton>(&w, "BtInterrompe")->click();
            else
                server.kill();
        });
        update(&w);
        if (interrupt)
            QCOMPARE(text(&w, "EdResultado"),
                     "Foi encontrado arquivo mais atual, mas houve interrupção na transferência.");
        else
            QVERIFY2(text(&w, "EdResultado")
                         .startsWith("Foi encontrado arquivo mais atual, mas houve erro na transferência: "),
                     qPrintable(text(&w, "EdResultado")));
        QVERIFY(!w.installed());
        QCOMPARE(f.history(), 0);
        QCOMPARE(f.db->scalar("select count(*) from PAIS").toInt(), 0);
        QVERIFY(!QFileInfo::exists(QDir(f.recep()).filePath(V1)));
        QVERIFY(!child<QPushButton>(&w, "BtInterrompe")->isEnabled());
    }

    void reinstallWindow()
    {
        Fixture f;
        QVERIFY(RefPackage::build(f.origem(), V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        QVERIFY(RefPackage::build(f.origem(), V2, {RefPackage::pais({{"BR", "Brasil 2"}, {"AR", "Argentina"}})}));
        for (const QString &v : {V1, V2}) {
            QDir(f.origem()).rename(v, v + ".hold");
        }
        for (const QString &v : {V1, V2}) {
            QDir(f.origem()).rename(v + ".hold", v);
            TFrmAtualizaVersao w(*f.db, f.msg, f.config(), RefVersion::installed(*f.db).version,
                                 RefVersion::installed(*f.db).fileName);
            child<QComboBox>(&w, "CbTipo")->setCurrentIndex(1);
            w.setSourceFolder(f.origem());
            update(&w);
            QVERIFY(w.installed());
        }
        QFile::rename(QDir(f.recep()).filePath(V1), QDir(f.files.path()).filePath(V1));
        {
            TFrmVersaoAnterior w(*f.db, f.msg, f.config(), "2026020101", V2);
            QVERIFY(w.selectVersion("2026010101"));
            reinstall(&w);
            QCOMPARE(f.msg.lastText(), "O arquivo da versão anterior não foi encontrado.");
            QCOMPARE(text(&w, "EdResultado"), "O arquivo da versão anterior não foi encontrado.");
        }
        QFile::rename(QDir(f.files.path()).filePath(V1), QDir(f.recep()).filePath(V1));
        TFrmVersaoAnterior w(*f.db, f.msg, f.config(), "2026020101", V2);
        QCOMPARE(child<QTableView>(&w, "GrVersoes")->model()->index(0, 0).data().toString(), "2026020101");
        QVERIFY(w.selectVersion("2026010101"));
        w.show();
        QSignalSpy ended(&w, &TFrmVersaoAnterior::reinstallEnded);
        child<QPushButton>(&w, "BtAtualiza")->click();
        // leaving waits for the installation under way
        child<QPushButton>(&w, "BtSaida")->click();
        QVERIFY(w.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(ended.count() == 1, 60000);
        QCOMPARE(text(&w, "EdResultado"), "A versão anterior foi instalada sem problemas.");
        QCOMPARE(text(&w, "EdVersaoAtual"), "2026010101");
        QCOMPARE(RefVersion::installed(*f.db).version, "2026010101");
        QCOMPARE(f.db->scalar("select NomePais from PAIS where CodigoPais = 'AR'").toString(), "Argentina");
    }
};

QTEST_MAIN(TestRefUpdateWindows)
#include "test_refupdate_windows.moc"
