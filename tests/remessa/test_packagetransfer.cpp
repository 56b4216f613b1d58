// The one transfer service the windows and the batch tool send through,
// driven directly against servers on this machine: its memo lines, its
// record, and the register's marker it holds only while it sends.
#include "support/remessafixture.h"
#include "support/scriptedmessenger.h"
#include "support/testfiles.h"
#include "support/testservers.h"

#include "remessa/packagetransfer.h"
#include "remessa/registerstep.h"
#include "remessa/remessacontrol.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <memory>

namespace {

const QString Number = QStringLiteral("2026120812");

struct Waiting : RemessaFixture
{
    QString package = QStringLiteral("OC-OCP0001") + Number + QStringLiteral(".zip");
    Waiting()
    {
        writeFile(transferDir + package, randomBytes(300000, 11));
        event(Number, "C", "PR", 10);
    }
    int transferred() { return count("CONTROLE", "Evento = 'TR'"); }
};

// A transfer with its memo and its boxes kept.
struct Run
{
    ScriptedMessenger msg;
    QStringList lines, connectFailures;
    std::unique_ptr<PackageTransfer> transfer;
    Run(RemessaFixture &f, const QString &fileName, PackageTransfer::Mode mode)
    {
        transfer = std::make_unique<PackageTransfer>(f.db, msg, f.work(Number), fileName, mode);
        transfer->setLines([this](const QString &line) { lines << line; });
        transfer->setConnectFailure([this](const QString &text) { connectFailures << text; });
    }
};

}

class TestPackageTransfer : public QObject
{
    Q_OBJECT

private slots:
    // A refused login says so where the caller wants it, ends the memo with
    // the transfer error and frees the register: the next try delivers.
    void aRefusedLoginIsToldThenTheRetryDelivers()
    {
        Waiting f;
        InboxServer server(f);
        QVERIFY(server.serve(f, 0, "errada"));
        {
            Run r(f, f.package, PackageTransfer::Mode::Ftp);
            QCOMPARE(r.transfer->run(), PackageTransfer::Outcome::NotSent);
            QCOMPARE(r.connectFailures.size(), 1);
            QVERIFY(r.connectFailures.first().startsWith("Erro ao tentar conectar. Verifique as configurações"));
            QVERIFY(r.msg.messages.isEmpty());
            QCOMPARE(r.lines.last(), QStringLiteral("Houve erro durante a transferência."));
            QVERIFY(!r.lines.contains(QStringLiteral("Transferência realizada com sucesso.")));
        }
        QCOMPARE(f.transferred(), 0);
        QVERIFY(!RegisterStep::holder(f.db));

        f.useFtp(server, "entrada");
        Run r(f, f.package, PackageTransfer::Mode::Ftp);
        QCOMPARE(r.transfer->run(), PackageTransfer::Outcome::Delivered);
        QCOMPARE(r.lines.first(), QStringLiteral("Usuário Responsável : Administrador"));
        QVERIFY(r.lines.contains(QStringLiteral("Bytes transferidos: 300000")));
        QCOMPARE(r.lines.last(), QStringLiteral("Transferência realizada com sucesso."));
        QCOMPARE(f.transferred(), 1);
        const auto events = RemessaControl::events(f.db, Number);
        QCOMPARE(events.first().event, QStringLiteral("TR"));
        QCOMPARE(events.first().type, QStringLiteral("C"));
        QVERIFY(!RegisterStep::holder(f.db));
    }

    // Interrupted from another thread while the bytes go: the memo says so,
    // nothing is recorded, the register is free and no file is left under
    // the final name.
    void anInterruptFromAnotherThreadEndsTheSending()
    {
        Waiting f;
        InboxServer server(f);
        QVERIFY(server.serve(f, 40000));
        Run r(f, f.package, PackageTransfer::Mode::Ftp);
        std::atomic<qint64> sent{0};
        r.transfer->setProgress([&sent](qint64 done, qint64) { sent.store(done); });
        QVERIFY(r.transfer->begin());
        QVERIFY(RegisterStep::holder(f.db));
        std::unique_ptr<QThread> worker(QThread::create([&r] { r.transfer->send(); }));
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(sent.load() > 0, 15000);
        r.transfer->interrupt();
        QVERIFY(worker->wait(15000));
        QCOMPARE(r.transfer->finish(), PackageTransfer::Outcome::NotSent);
        QVERIFY(r.lines.contains(QStringLiteral("Transferência interrompida.")));
        QCOMPARE(r.lines.last(), QStringLiteral("Tamanho do arquivo : 300000 bytes"));
        QVERIFY(r.msg.messages.isEmpty());
        QCOMPARE(f.transferred(), 0);
        QVERIFY(!RegisterStep::holder(f.db));
        QVERIFY(!QFile::exists(server.root() + "/entrada/" + f.package));
    }

    // Nothing starts for a missing file or a remittance that moved on; the
    // memo stays empty and the box tells why, the register before the file.
    void refusedBeforeAnyByte()
    {
        Waiting f;
        {
            Run r(f, QStringLiteral("OC-OCP0001") + Number + QStringLiteral("-outro.zip"), PackageTransfer::Mode::Ftp);
            QVERIFY(!r.transfer->begin());
            QCOMPARE(r.msg.lastText(), PackageTransfer::FileNotFound);
            QVERIFY(r.lines.isEmpty());
        }
        // Sent and its package gone meanwhile: the state is the reason.
        f.event(Number, "C", "TR", 5);
        QVERIFY(QFile::remove(f.transferDir + f.package));
        Run r(f, f.package, PackageTransfer::Mode::Ftp);
        QCOMPARE(r.transfer->run(), PackageTransfer::Outcome::NotSent);
        QVERIFY2(r.msg.lastText().contains(QStringLiteral("não há arquivo a transferir")),
                 qPrintable(r.msg.lastText()));
        QVERIFY(r.lines.isEmpty());
        QCOMPARE(f.transferred(), 1);
    }

    // A TXT file goes packed under its stem and is logged in CONTROLE_TXT,
    // never as an event of the remittance.
    void aTxtFileTravelsPackedAndIsLoggedAsTxt()
    {
        Waiting f;
        const QString txt = QStringLiteral("TX-OCP0001-0001.txt");
        QFile file(f.transferDir + txt);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("linha 1\r\n");
        file.close();
        SmtpTestServer smtp(f.outDir + "spool");
        QVERIFY(smtp.start());
        f.set("EndSMTPHost", "127.0.0.1");
        f.set("EndSMTPPort", QString::number(smtp.port()));
        f.set("EndSMTPEMailReply", "quelora@regulador.gov.br");
        Run r(f, txt, PackageTransfer::Mode::Email);
        QCOMPARE(r.transfer->run(), PackageTransfer::Outcome::Delivered);
        QVERIFY(!smtp.messageJson(1).isEmpty());
        QVERIFY(smtp.messageJson(1).contains("TX-OCP0001-0001.zip"));
        QCOMPARE(f.count("CONTROLE_TXT", "NomeArquivo = 'TX-OCP0001-0001.txt' and EnviadoQUELORA = 'S'"), 1);
        QCOMPARE(f.transferred(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPackageTransfer)
#include "test_packagetransfer.moc"
