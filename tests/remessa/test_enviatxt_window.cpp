// The TXT sending window: the list, the refusals and the log after a transfer.
#include "db/database.h"
#include "remessa/txtsending.h"
#include "remessa/ui/tfrmenviatxt_ftp.h"
#include "shell/loginstate.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool touch(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
}

struct Window
{
    TestHome home;
    Database db{QStringLiteral("txt-window")};
    ScriptedMessenger msg;
    QTemporaryDir files;
    std::unique_ptr<TFrmEnviaTXT_FTP> frm;

    Window()
    {
        home.open(db);
        for (const char *name : {"TX-OCT01.txt", "TX-OCT02.txt", "TX-OCX01.txt", "TX-OCT01.zip"})
            touch(files.filePath(name));
        frm = std::make_unique<TFrmEnviaTXT_FTP>(db, msg, QStringLiteral("OCT"), LoginState{});
        frm->setDirectory(files.path());
    }
    ~Window() { frm.reset(); }

    QListWidget *list() { return frm->findChild<QListWidget *>("LbarquivoTXT"); }
    QTableView *grid() { return frm->findChild<QTableView *>("DBGrid1"); }
    void select(const QString &name)
    {
        const auto items = list()->findItems(name, Qt::MatchExactly);
        QVERIFY(items.size() == 1);
        list()->setCurrentItem(items.first());
    }
    void transfer() { frm->findChild<QPushButton *>("BtTransfere")->click(); }
    QString cell(int row, int column) { return grid()->model()->index(row, column).data().toString(); }
};

}

class TestEnviaTxtWindow : public QObject
{
    Q_OBJECT

private slots:
    void handsOnlyUnsentFilesToTheTransfer()
    {
        Window w;
        QCOMPARE(w.frm->windowTitle(), "Transfere arquivo TXT ");
        QCOMPARE(w.list()->count(), 2);
        QCOMPARE(w.list()->item(0)->text(), "TX-OCT01.txt");
        QCOMPARE(w.list()->item(1)->text(), "TX-OCT02.txt");
        QStringList opened;
        w.frm->setTransferOpener([&](QWidget *, const QString &dir, const QString &name) {
            opened << dir + name;
            TxtSending::logDelivery(w.db, name, QString(), "admin");
        });

        w.transfer();
        QCOMPARE(w.msg.texts(), QStringList{"Por favor selecione um arquivo"});

        QVERIFY(TxtSending::logDelivery(w.db, "TX-OCT01.txt", QString(), "admin"));
        w.select("TX-OCT01.txt");
        w.transfer();
        QCOMPARE(w.msg.lastText(), "O arquivo TX-OCT01.txt já foi enviado e processado no QUELORA.");
        QVERIFY(opened.isEmpty());

        w.select("TX-OCT02.txt");
        w.transfer();
        QCOMPARE(opened, QStringList{w.files.path() + "/TX-OCT02.txt"});
        QCOMPARE(w.msg.messages.size(), 2);
        // The log shown again after the transfer, with its titles.
        QCOMPARE(w.grid()->model()->rowCount(), 2);
        QCOMPARE(w.grid()->model()->headerData(0, Qt::Horizontal).toString(), "Arquivo Enviado");
        QCOMPARE(w.grid()->model()->headerData(3, Qt::Horizontal).toString(), "Enviado ao QUELORA");
        QCOMPARE(w.cell(1, 0), "TX-OCT02.txt");
        QCOMPARE(w.cell(1, 2), "admin");
        QCOMPARE(w.cell(1, 3), "Sim");
        QVERIFY(QDateTime::fromString(w.cell(1, 1), "dd/MM/yyyy HH:mm:ss").isValid());
    }

    void importedFilesShowAsNotSentAndAreRefused()
    {
        Window w;
        w.db.execute("insert into CONTROLE_TXT (NomeArquivo, Obs, EnviadoQUELORA) values "
                     "('TX-OCT02.txt', 'Importação p/ kestravo', 'N')");
        w.frm = std::make_unique<TFrmEnviaTXT_FTP>(w.db, w.msg, QStringLiteral("OCT"), LoginState{});
        w.frm->setDirectory(w.files.path());
        w.frm->setTransferOpener([](QWidget *, const QString &, const QString &) { QFAIL("must not open"); });
        w.select("TX-OCT02.txt");
        w.transfer();
        QCOMPARE(w.msg.lastText(), "O arquivo TX-OCT02.txt já foi enviado e processado no QUELORA.");
        QCOMPARE(w.cell(0, 3), "Não");
    }
};

QTEST_MAIN(TestEnviaTxtWindow)
#include "test_enviatxt_window.moc"
