// corvane-cli remessa enviar --ftp / --email against servers on this machine:
// the package arrives whole, "TR" is logged only then, and a failed attempt
// leaves nothing under the final name.
#include "support/clirun.h"
#include "support/remessafixture.h"
#include "support/testfiles.h"
#include "support/testservers.h"

#include "remessa/remessacontrol.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

const QString Number = QStringLiteral("2026120811");

using Run = CliRun::Result;

struct Prepared : RemessaFixture
{
    QString package = "OC-OCP0001" + Number + ".zip";
    QByteArray bytes;
    Prepared()
    {
        bytes = randomBytes(250000, 7);
        writeFile(transferDir + package, bytes);
        event(Number, "C", "PR", 10);
    }
    Run cli(const QStringList &args)
    {
        return CliRun::run(QStringList{"remessa", "enviar"} + args + CliRun::signedIn(home->dir()));
    }
    int transferred() { return count("CONTROLE", "Evento = 'TR'"); }
};

}

class TestSendCli : public QObject
{
    Q_OBJECT

private slots:
    void ftpFailuresThenDelivery()
    {
        Prepared f;
        InboxServer server(f);
        QVERIFY(server.serve(f, 0, "errada"));

        Run r = f.cli({"--ftp"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.out.contains("Erro ao tentar conectar. Verifique as configurações do Sistema\nErro:"),
                 qPrintable(r.out));
        QVERIFY(r.out.contains("Houve erro durante a transferência."));
        QCOMPARE(f.transferred(), 0);

        f.set("SenhaFTP", "segredo");
        server.stop();
        r = f.cli({"--ftp"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.out.contains("Houve erro durante a transferência."));
        QCOMPARE(f.transferred(), 0);
        QVERIFY(QDir(server.root() + "/entrada").entryList(QDir::Files).isEmpty());

        QVERIFY(server.start());
        f.set("EndQueloraEnvio", server.address("entrada"));
        r = f.cli({"--ftp"});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QVERIFY(r.out.contains("Usuário Responsável : "));
        QVERIFY(r.out.contains("Transferência realizada com sucesso."));
        QCOMPARE(readFile(server.root() + "/entrada/" + f.package), f.bytes);
        QCOMPARE(QDir(server.root() + "/entrada").entryList(QDir::Files), QStringList{f.package});
        QCOMPARE(f.transferred(), 1);
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));

        // Sent already: the step is no longer offered.
        r = f.cli({"--ftp"});
        QCOMPARE(r.code, 1);
        QCOMPARE(f.transferred(), 1);
    }

    void emailDeliversTheAttachment()
    {
        Prepared f;
        SmtpTestServer smtp(f.outDir + "spool");
        SmtpTestServer::Options refuse;
        refuse.rejectData = true;
        QVERIFY(smtp.start(refuse));
        f.set("EndSMTPHost", "127.0.0.1");
        f.set("EndSMTPPort", QString::number(smtp.port()));
        f.set("EndSMTPEMailReply", "quelora@regulador.gov.br");
        Run r = f.cli({"--email"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.out.contains("Transferência não realizada: Falha na transmissão do E_MAIL "
                                "(servidor respondeu: 554 5.6.0 Message refused)."),
                 qPrintable(r.out));
        QCOMPARE(f.transferred(), 0);

        smtp.stop();
        QVERIFY(smtp.start());
        f.set("EndSMTPPort", QString::number(smtp.port()));
        r = f.cli({"--email"});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        const QJsonObject m = QJsonDocument::fromJson(smtp.messageJson(1)).object();
        const QJsonObject att = m["attachments"].toArray()[0].toObject();
        QCOMPARE(att["filename"].toString(), f.package);
        QCOMPARE(readFile(att["file"].toString()), f.bytes);
        QCOMPARE(f.transferred(), 1);
    }

    void oneModeExactly()
    {
        Prepared f;
        QCOMPARE(f.cli({}).code, 2);
        QCOMPARE(f.cli({"--ftp", "--email"}).code, 2);
        QCOMPARE(f.cli({"--ftp", "--pasta", f.outDir}).code, 2);
        QCOMPARE(f.transferred(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSendCli)
#include "test_send_cli.moc"
