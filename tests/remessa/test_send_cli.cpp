// corvane-cli remessa enviar --ftp / --email against servers on this machine:
// the package arrives whole, "TR" is logged only then, and a failed attempt
// leaves nothing under the final name.
#include "support/remessafixture.h"
#include "support/testservers.h"

#include "remessa/remessacontrol.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

const QString Number = QStringLiteral("2026120811");

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Run
{
    int code = -1;
    QString out, err;
};

struct Prepared : RemessaFixture
{
    QString package = "OC-OCP0001" + Number + ".zip";
    QByteArray bytes;
    Prepared()
    {
        bytes = makeRandomFile(package, 250000, 7);
        event(Number, "C", "PR", 10);
    }
    Run cli(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CORVANE_SENHA"), QStringLiteral("admin"));
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral(CORVANE_CLI_PATH),
                QStringList{"remessa", "enviar"} + args + QStringList{"--home", home->dir(), "--user", "admin"});
        if (!p.waitForFinished(120000))
            return {};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
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
        FtpTestServer server(f.outDir + "srv");
        QDir().mkpath(server.root() + "/entrada");
        QVERIFY(server.start());
        f.set("EndQueloraEnvio", server.address("entrada"));
        f.set("LoginFTP", "occ");
        f.set("SenhaFTP", "errada");

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
