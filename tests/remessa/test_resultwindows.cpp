// The transfer and result windows driven as a user would, and the whole
// offline cycle through the control window.
#include "support/controls.h"
#include "support/deltapackage.h"
#include "support/remessafixture.h"
#include "support/scriptedmessenger.h"
#include "support/whenmodal.h"

#include "base/archive.h"
#include "base/codecs.h"
#include "db/paradoxtable.h"
#include "remessa/manualresult.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessapreparation.h"
#include "remessa/remittancequeries.h"
#include "remessa/ui/tfrmconfresultadomanual.h"
#include "remessa/ui/tfrmgravadisquete.h"
#include "remessa/ui/tfrmnovaremessa.h"
#include "remessa/ui/tfrmprincipalremessas.h"
#include "remessa/ui/tfrmresultadomanual.h"
#include "remessa/ui/tfrmselecaoresultado.h"
#include "remessa/ui/tfrmselecaotransferencia.h"
#include "reports/bandedreport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>

namespace {

void shot(QWidget &w, const char *name)
{
    const QString dir = qEnvironmentVariable("CORVANE_SHOTS");
    if (!dir.isEmpty())
        w.grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

QString code(const QString &number, const QString &verdict)
{
    return Codecs::confirmation(Codecs::Encode, QStringLiteral("Q") + number + verdict);
}

const QString Number = QStringLiteral("2026120807");

}

class TestResultWindows : public QObject
{
    Q_OBJECT

    LoginState login()
    {
        LoginState l;
        l.userCode = QStringLiteral("admin");
        l.userName = QStringLiteral("Administrador");
        return l;
    }

private slots:
    void modeChoicesOfferOnlyWhatWorks()
    {
        RemessaFixture f;
        ScriptedMessenger msg;
        TFrmSelecaoTransferencia t(f.work(Number), f.db, msg);
        t.setFileName("OC-OCP0001" + Number + ".zip");
        QVERIFY(child<QRadioButton>(t, "RgSelecao0")->isChecked());
        QVERIFY(child<QRadioButton>(t, "RgSelecao1")->isEnabled());
        QVERIFY(child<QRadioButton>(t, "RgSelecao2")->isEnabled());
        QCOMPARE(child<QRadioButton>(t, "RgSelecao1")->text(),
                 QStringLiteral("Gravação de disquete a ser enviado ao Quelora"));
        QCOMPARE(child<QLineEdit>(t, "EdDiretorio")->text(), QDir::toNativeSeparators(f.transferDir));
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        shot(t, "selecao-transferencia");

        TFrmSelecaoResultado r(f.work(Number), f.db, msg);
        QVERIFY(child<QRadioButton>(r, "RbFTP")->isEnabled());
        QVERIFY(child<QRadioButton>(r, "RbFTP")->isChecked());
        QVERIFY(child<QRadioButton>(r, "RbManual")->isEnabled());
    }

    void folderWindowCopiesAndOffersTheReceipt()
    {
        RemessaFixture f;
        const QString package = "OC-OCP0001" + Number + ".zip";
        f.makeFile(package, 20000);
        f.event(Number, "C", "PR", 5);
        ScriptedMessenger msg;
        TFrmGravaDisquete w(f.work(Number), f.db, msg);
        w.setSettleMilliseconds(0);
        w.setFileName(package);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!child<QGroupBox>(w, "GbAcompanhamento")->isVisible());
        QVERIFY(!child<QPushButton>(w, "BtComprovante")->isEnabled());
        shot(w, "grava-disquete-inicio");
        w.copyPackage(); // no destination: nothing at all
        QVERIFY(msg.messages.isEmpty());
        QVERIFY(!child<QGroupBox>(w, "GbAcompanhamento")->isVisible());

        w.setDestination(f.outDir);
        w.copyPackage();
        QVERIFY(w.isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 15000);
        QCOMPARE(child<QLineEdit>(w, "EdResultado")->text(),
                 QStringLiteral("Gravação de arquivo realizada com sucesso."));
        QVERIFY(child<QCheckBox>(w, "CkGravando")->isVisible());
        QVERIFY(child<QPushButton>(w, "BtComprovante")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "BtGrava")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "BtInterrompe")->isEnabled());
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));
        shot(w, "grava-disquete-fim");

        const BandedReport receipt = TFrmGravaDisquete::receipt(f.work(Number), f.outDir + package);
        const QString pdf = f.outDir + "comprovante.pdf";
        QVERIFY(receipt.exportPdf(pdf));
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished());
        const QString body = QString::fromUtf8(text.readAllStandardOutput());
        for (const QString &s : {QStringLiteral("Comprovante de Transferência de Arquivo"),
                                 QStringLiteral("(arquivo gravado para envio)"), QStringLiteral("OCP0001 - Organismo"),
                                 Number, package, QStringLiteral("Gravação de arquivo realizada com sucesso."),
                                 QStringLiteral("Usuário Responsável : Administrador")})
            QVERIFY2(body.contains(s), qPrintable(s));
    }

    // The copy runs off the window's thread: "Interrompe" is answered while
    // it goes, nothing stays at the destination and nothing is recorded.
    void folderWindowCopyCanBeInterrupted()
    {
        RemessaFixture f;
        const QString package = "OC-OCP0001" + Number + ".zip";
        f.makeFile(package, 64 * 1024 * 1024);
        f.event(Number, "C", "PR", 5);
        ScriptedMessenger msg;
        TFrmGravaDisquete w(f.work(Number), f.db, msg);
        w.setSettleMilliseconds(0);
        w.setDestination(f.outDir);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.copyPackage();
        QVERIFY(w.isRunning());
        QVERIFY(child<QGroupBox>(w, "GbAcompanhamento")->isVisible());
        child<QPushButton>(w, "BtInterrompe")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 30000);
        QCOMPARE(child<QLineEdit>(w, "EdResultado")->text(), QStringLiteral("Gravação de arquivo interrompida."));
        QCOMPARE(int(w.status()), int(FolderTransfer::Status::Interrupted));
        QVERIFY(!QFileInfo::exists(f.outDir + package));
        QVERIFY(QDir(f.outDir).entryList(QDir::Files).isEmpty());
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("PR"));
        QVERIFY(!child<QPushButton>(w, "BtComprovante")->isEnabled());
        QVERIFY(msg.messages.isEmpty());
    }

    void manualResultWindowRefusesAWrongCodeAndRecordsARejection()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 10);
        f.event(Number, "C", "TR", 5);
        ScriptedMessenger msg;
        TFrmResultadoManual w(f.work(Number, "C"), f.db, msg);
        w.setPackageName("OC-OCP0001" + Number + ".zip");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(child<QLineEdit>(w, "EdNumeroRemessa")->text(), Number);
        QVERIFY(!child<QPushButton>(w, "BtSaida")->isEnabled());
        QVERIFY(!child<QGroupBox>(w, "GbSincroniza")->isVisible());

        child<QLineEdit>(w, "EdSenha")->setText(code("2026120806", "NO"));
        w.recordVerdict();
        QCOMPARE(msg.lastText(), QStringLiteral("A senha não é válida. Tente novamente."));
        QCOMPARE(msg.lastCaption(), QStringLiteral("Senha Inválida"));

        // The confirmation shows the verdict; declining changes nothing.
        QString shown;
        whenModal<TFrmConfResultadoManual>([&](TFrmConfResultadoManual &c) {
            shown = c.shownText();
            shot(c, "confirma-resultado");
            c.reject();
        });
        child<QLineEdit>(w, "EdSenha")->setText(code(Number, "NO"));
        child<QPlainTextEdit>(w, "MmObservacoes")->setPlainText("Recusada por telefone");
        shot(w, "resultado-manual");
        w.recordVerdict();
        QCOMPARE(shown, QStringLiteral("Remessa Inválida"));
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));
        QVERIFY(child<QPushButton>(w, "BtOK")->isEnabled());

        whenModal<TFrmConfResultadoManual>([](TFrmConfResultadoManual &c) { c.accept(); });
        w.recordVerdict();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 15000);
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("NO"));
        QCOMPARE(f.db.scalar("SELECT Obs FROM CONTROLE WHERE Evento = 'NO'").toString(),
                 QStringLiteral("<Recebimento Manual>  Recusada por telefone"));
        QCOMPARE(child<QLabel>(w, "LbSincroniza")->text(),
                 QStringLiteral("Não há sincronização a fazer. A remessa foi invalidada."));
        QVERIFY(child<QPushButton>(w, "BtSaida")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "BtOK")->isEnabled() && !child<QPushButton>(w, "BtCancelar")->isEnabled());
    }

    // The remarks share CONTROLE.Obs with the manual mark: the memo takes no
    // more than is left, so nothing typed is cut when it is stored.
    void manualResultRemarksFitTheColumn()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 10);
        f.event(Number, "C", "TR", 5);
        ScriptedMessenger msg;
        TFrmResultadoManual w(f.work(Number, "C"), f.db, msg);
        w.setPackageName("OC-OCP0001" + Number + ".zip");
        auto *memo = child<QPlainTextEdit>(w, "MmObservacoes");
        memo->setPlainText(QString(60, QLatin1Char('a')) + "\n" + QString(60, QLatin1Char('b')));
        QCOMPARE(memo->toPlainText(), QString(60, QLatin1Char('a')) + "\n" + QString(17, QLatin1Char('b')));
        QCOMPARE(ManualResult::remarkRefusal(memo->toPlainText().split('\n')), QString());
        QCOMPARE(ManualResult::remark(memo->toPlainText().split('\n')).size(), 100);
    }

    // An accepted code whose package is gone: the two boxes, nothing written.
    void manualResultWindowWhenThePackageIsMissing()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 10);
        f.event(Number, "C", "TR", 5);
        ScriptedMessenger msg;
        TFrmResultadoManual w(f.work(Number, "C"), f.db, msg);
        w.setPackageName("OC-OCP0001" + Number + ".zip");
        w.setConfirmation([](const QString &verdict) { return verdict == QLatin1String("OK"); });
        child<QLineEdit>(w, "EdSenha")->setText(code(Number, "OK"));
        w.recordVerdict();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 15000);
        QCOMPARE(msg.messages.size(), 2);
        QCOMPARE(msg.messages.at(1).text,
                 QStringLiteral("Ocorreu um Erro na Sincronização.\nEntre em contato com o suporte."));
        QVERIFY(!w.applied());
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));
        QVERIFY(child<QLabel>(w, "LbSincroniza")->text().startsWith("Sincronização não efetuada."));
        QVERIFY(child<QPushButton>(w, "BtSaida")->isEnabled());
    }

    // Register (demo data), approve, prepare, copy to a folder, type the
    // code: the replica equals the approved data. Then one change, one
    // cleared column and one deletion travel as exactly three rows.
    void wholeOfflineCycleThroughTheWindows()
    {
        RemessaFixture f(true);
        f.db.execute("UPDATE CERTIFIC SET Completo = 1, Aprovado = 1");
        ScriptedMessenger msg;
        TFrmPrincipalRemessas control(f.db, msg, login());
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        const QString transferDir = RemessaControl::workingValues(f.db).transferDir;
        const QString syncDir = RemessaControl::workingValues(f.db).syncDir;
        QVERIFY(!syncDir.isEmpty());

        QString prepared;
        control.execPreparation = [&](TFrmNovaRemessa &prep) {
            prep.startPreparation();
            QTRY_VERIFY_WITH_TIMEOUT(!prep.running(), 30000);
            prepared = prep.lastResult().remittance.number;
        };
        control.prepareRemittance();
        QCOMPARE(prepared.size(), 10);
        const QString package = RemessaControl::packageName("C", RemessaControl::workingValues(f.db).acronym, prepared);
        QVERIFY(QFileInfo::exists(transferDir + package));

        // Transfer: the mode choice, then the folder copy.
        QString copyResult;
        whenModal<TFrmSelecaoTransferencia>([&](TFrmSelecaoTransferencia &choice) {
            QCOMPARE(choice.findChild<QLineEdit *>("EdArquivoTransferencia")->text(), package);
            whenModal<TFrmGravaDisquete>([&](TFrmGravaDisquete &copy) {
                copy.setSettleMilliseconds(0);
                copy.setDestination(f.outDir);
                copy.copyPackage();
                QTRY_VERIFY_WITH_TIMEOUT(!copy.isRunning(), 15000);
                copyResult = copy.findChild<QLineEdit *>("EdResultado")->text();
                copy.findChild<QPushButton *>("BtSaida")->click();
            });
            choice.findChild<QRadioButton *>("RgSelecao1")->setChecked(true);
            choice.findChild<QPushButton *>("BtOK")->click();
        });
        control.transferRemittance();
        QCOMPARE(copyResult, QStringLiteral("Gravação de arquivo realizada com sucesso."));
        QVERIFY(QFileInfo::exists(f.outDir + package));
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));

        // Result: the manual code, confirmed.
        QString syncText;
        whenModal<TFrmSelecaoResultado>([&](TFrmSelecaoResultado &choice) {
            whenModal<TFrmResultadoManual>([&](TFrmResultadoManual &result) {
                result.findChild<QLineEdit *>("EdSenha")->setText(code(prepared, "OK"));
                whenModal<TFrmConfResultadoManual>(
                    [](TFrmConfResultadoManual &c) { c.findChild<QPushButton *>("BtOK")->click(); });
                result.findChild<QPushButton *>("BtOK")->click();
                QTRY_VERIFY_WITH_TIMEOUT(!result.isRunning(), 30000);
                syncText = result.findChild<QLabel *>("LbSincroniza")->text();
                shot(result, "resultado-manual-fim");
                result.findChild<QPushButton *>("BtSaida")->click();
            });
            choice.findChild<QRadioButton *>("RbManual")->setChecked(true);
            choice.findChild<QPushButton *>("BtOK")->click();
        });
        control.receiveResult();
        QCOMPARE(syncText, QStringLiteral("Sincronização efetuada com sucesso..."));
        QVERIFY2(msg.messages.isEmpty(), qPrintable(msg.texts().join('\n')));
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("OK"));
        QVERIFY(!QFileInfo::exists(transferDir + package));

        // The replica now holds exactly the approved data.
        int replicated = 0;
        for (const RemittanceQueries::Entry &e : RemittanceQueries::entries()) {
            const auto st = RemittanceQueries::statement(e, RemittanceQueries::Kind::Complete, f.db.engine());
            QVariantList params;
            for (int i = 0; i < st.approvalParams; ++i)
                params << true;
            // Created empty and then filled: the server takes no values bound
            // to a table's creation.
            f.db.execute("CREATE TEMP TABLE approved AS SELECT * FROM " + e.replica->name + " WHERE 1 = 0");
            f.db.execute("INSERT INTO approved " + st.sql, params);
            QCOMPARE(DeltaPackage::snapshot(f.db, e.replica->name), DeltaPackage::snapshot(f.db, "approved"));
            replicated += f.count(e.replica->name);
            f.db.execute("DROP TABLE approved");
        }
        QVERIFY(replicated > 50);

        // Nothing changed: nothing to send.
        auto prepareNow = [&] {
            RemessaPreparation::Settings s;
            s.transferDir = transferDir;
            s.acronym = RemessaControl::workingValues(f.db).acronym;
            s.currentNumber = RemessaControl::newest(f.db)->number;
            s.user = "Administrador";
            return RemessaPreparation::run(f.db, msg, s, RemessaPreparation::Type::Partial);
        };
        QCOMPARE(int(prepareNow().outcome), int(RemessaPreparation::Outcome::NothingNew));
        msg.clear();

        const QString cert = f.db.scalar("SELECT NumCertif FROM CERTIFIC ORDER BY NumCertif LIMIT 1").toString();
        f.db.execute("UPDATE CERTIFIC SET Observacoes = 'alterada depois do envio' WHERE NumCertif = ?", {cert});
        QSqlQuery company = f.db.exec(
            "SELECT CodigoPais, IdEmpresa FROM EMPRESA e WHERE Telefone IS NOT NULL AND Telefone <> '' AND EXISTS "
            "(SELECT 1 FROM EMP_CERT c WHERE c.CodigoPais = e.CodigoPais AND c.IdEmpresa = e.IdEmpresa) LIMIT 1");
        QVERIFY(company.next());
        f.db.execute("UPDATE EMPRESA SET Telefone = NULL WHERE CodigoPais = ? AND IdEmpresa = ?",
                     {company.value(0), company.value(1)});
        const QString place = f.db.onServer() ? QStringLiteral("ctid") : QStringLiteral("rowid");
        f.db.execute(QStringLiteral("DELETE FROM STATUS_C WHERE %1 = (SELECT MIN(%1) FROM STATUS_C)").arg(place));
        const auto second = prepareNow();
        QCOMPARE(int(second.outcome), int(RemessaPreparation::Outcome::Prepared));

        QTemporaryDir unpacked;
        QVERIFY(Archive::unzip(second.remittance.packagePath, unpacked.path(), msg));
        QMap<QString, int> rows;
        for (const QString &name : QDir(unpacked.path()).entryList({"*.DB"}, QDir::Files)) {
            if (name.compare("Sistema.db", Qt::CaseInsensitive) == 0)
                continue;
            auto reader = ParadoxReader::open(QDir(unpacked.path()).filePath(name));
            if (reader->rowCount() > 0)
                rows.insert(QFileInfo(name).completeBaseName().toLower(), reader->rowCount());
        }
        QCOMPARE(rows, (QMap<QString, int>{{"certific_a", 1}, {"empresa_a", 1}, {"status_c_e", 1}}));
    }
};

QTEST_MAIN(TestResultWindows)
#include "test_resultwindows.moc"
