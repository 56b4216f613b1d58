#include "net/asyncsmtpsender.h"
#include "net/smtpsender.h"
#include "shell/configlocal.h"
#include "shell/netsettings.h"
#include "support/silentserver.h"
#include "support/testfiles.h"
#include "support/testservers.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>


namespace {


struct Recorder : SmtpListener
{
    int connected = 0;
    QList<QPair<qint64, qint64>> progress;
    QList<SmtpFailure> failures;
    void smtpConnected() override { ++connected; }
    void smtpProgress(qint64 done, qint64 total) override { progress.append({done, total}); }
    void smtpFailed(const SmtpFailure &f) override { failures << f; }
};

SmtpSettings local(int port)
{
    SmtpSettings s = SmtpSettings::fromConfig("127.0.0.1", QString::number(port));
    s.timeoutMs = 10000;
    return s;
}

}

class TestSmtpSender : public QObject
{
    Q_OBJECT

private slots:
    void portFromConfiguration()
    {
        QCOMPARE(SmtpSettings::fromConfig("mail.occ.br", "").port, 25);
        QCOMPARE(SmtpSettings::fromConfig("mail.occ.br", "  ").port, 25);
        QCOMPARE(SmtpSettings::fromConfig("mail.occ.br", "587").port, 587);
        QCOMPARE(SmtpSettings::fromConfig(" mail.occ.br ", "x").host, "mail.occ.br");
    }

    // The remittance message, read back by Python's own e-mail package: the
    // headers, the us-ascii body and the attachment's very bytes.
    void remittanceArrivesWithItsAttachment()
    {
        QTemporaryDir tmp;
        const QByteArray data = randomBytes(150000, 11);
        const QString zip = tmp.filePath("OC-ABC2026120801.zip");
        QVERIFY(writeFile(zip, data));
        SmtpTestServer server(tmp.filePath("spool"));
        QVERIFY2(server.start(), qPrintable(server.error()));

        AsyncSmtpSender smtp;
        QSignalSpy connected(&smtp, &AsyncSmtpSender::connected);
        QSignalSpy progress(&smtp, &AsyncSmtpSender::progress);
        QSignalSpy finished(&smtp, &AsyncSmtpSender::finished);
        QSignalSpy failed(&smtp, &AsyncSmtpSender::failed);
        smtp.send(local(server.port()),
                  SmtpMessage::remittance("ABC", "Organismo de Certificação Ágil", "quelora@regulador.gov.br", zip));
        QVERIFY(smtp.isBusy());
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[0][0].toBool(), true);
        QCOMPARE(failed.size(), 0);
        QCOMPARE(connected.size(), 1);
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last()[0].toLongLong(), progress.last()[1].toLongLong());
        QVERIFY(progress.last()[0].toLongLong() > data.size()); // base64 and headers

        const QJsonObject m = QJsonDocument::fromJson(server.messageJson(1)).object();
        QVERIFY(!m.isEmpty());
        QCOMPARE(m["mail_from"].toString(), "quelora@regulador.gov.br");
        QCOMPARE(m["rcpt_tos"].toArray(), QJsonArray{"quelora@regulador.gov.br"});
        const QJsonObject h = m["headers"].toObject();
        QCOMPARE(h["From"].toString(), "ABC - Organismo de Certificação Ágil <quelora@regulador.gov.br>");
        QCOMPARE(h["To"].toString(), "quelora@regulador.gov.br");
        QCOMPARE(h["Subject"].toString(), "Envio de remessa anexado ao E-MAIL");
        const QDateTime date = QDateTime::fromString(h["Date"].toString(), Qt::RFC2822Date);
        QVERIFY(date.isValid());
        QVERIFY(qAbs(date.secsTo(QDateTime::currentDateTime())) < 120);
        QVERIFY(h["Message-ID"].toString().endsWith("@regulador.gov.br>"));
        QCOMPARE(m["body"].toString(), "Segue em anexo o arquivo de remessa\r\n");
        QCOMPARE(m["body_charset"].toString(), "us-ascii");
        const QJsonArray att = m["attachments"].toArray();
        QCOMPARE(att.size(), 1);
        const QJsonObject a = att[0].toObject();
        QCOMPARE(a["filename"].toString(), "OC-ABC2026120801.zip");
        QCOMPARE(a["content_type"].toString(), "application/zip");
        QCOMPARE(a["transfer_encoding"].toString().toLower(), "base64");
        QCOMPARE(readFile(a["file"].toString()), data);
    }

    void usesStartTlsWhenOffered()
    {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.filePath("TX-ABC01.zip"), "PK-conteudo"));
        SmtpTestServer server(tmp.filePath("spool"));
        SmtpTestServer::Options tls;
        tls.tls = true; // refuses mail sent in clear
        QVERIFY2(server.start(tls), qPrintable(server.error()));
        Recorder rec;
        SmtpSender smtp(&rec);
        // The server's own certificate is not trusted until its file is configured.
        smtp.setSettings(local(server.port()));
        QVERIFY(!smtp.send(SmtpMessage::remittance("ABC", "OCC", "q@r.gov.br", tmp.filePath("TX-ABC01.zip"))));
        QCOMPARE(smtp.lastFailure().kind, SmtpFailure::ConnectionFailure);
        QVERIFY2(smtp.lastFailure().text.contains("O certificado do servidor 127.0.0.1 não é confiável"),
                 qPrintable(smtp.lastFailure().text));
        QVERIFY(!QFile::exists(tmp.filePath("spool/1.json")));

        SmtpSettings trusting = local(server.port());
        trusting.caFile = server.certificateFile();
        smtp.setSettings(trusting);
        QVERIFY2(smtp.send(SmtpMessage::remittance("ABC", "OCC", "q@r.gov.br", tmp.filePath("TX-ABC01.zip"))),
                 qPrintable(smtp.lastFailure().detail));
        const QJsonObject m = QJsonDocument::fromJson(server.messageJson(1)).object();
        QCOMPARE(m["tls"].toBool(), true);
        QCOMPARE(readFile(m["attachments"].toArray()[0].toObject()["file"].toString()), QByteArray("PK-conteudo"));
    }

    // Each fault gives the window's text; the same message goes afterwards.
    void faultsGiveTheirTextsAndARetryWorks()
    {
        QTemporaryDir tmp;
        const QString zip = tmp.filePath("OC-ABC2026120801.zip");
        QVERIFY(writeFile(zip, randomBytes(2000, 12)));
        const SmtpMessage message = SmtpMessage::remittance("ABC", "OCC", "q@r.gov.br", zip);
        Recorder rec;
        SmtpSender smtp(&rec);

        SmtpTestServer server(tmp.filePath("spool"));
        QVERIFY(server.start());
        const int port = server.port();
        server.stop();
        smtp.setSettings(local(port));
        QVERIFY(!smtp.send(message));
        QCOMPARE(rec.failures.last().kind, SmtpFailure::ConnectionFailure);
        QCOMPARE(rec.failures.last().text, "Erro na conecção com Servidor E-MAIL");
        QCOMPARE(rec.connected, 0);

        smtp.setSettings(SmtpSettings::fromConfig("servidor.invalid", ""));
        QVERIFY(!smtp.send(message));
        QCOMPARE(rec.failures.last().kind, SmtpFailure::InvalidHost);
        QCOMPARE(rec.failures.last().text, "HOST invalido");

        // A fresh server refusing as told: the message must not go.
        const auto refusedBy = [&](const SmtpTestServer::Options &options) {
            if (!server.start(options))
                return false;
            smtp.setSettings(local(server.port()));
            return !smtp.send(message);
        };
        SmtpTestServer::Options refusing;
        refusing.rejectRecipients = {"q@r.gov.br"};
        QVERIFY(refusedBy(refusing));
        QCOMPARE(rec.failures.last().kind, SmtpFailure::RecipientNotFound);
        QCOMPARE(rec.failures.last().text,
                 "Servidor E-MAIL respondeu: 550 5.1.1 Recipient address rejected: user unknown");
        QVERIFY(rec.failures.last().detail.contains("550"));
        QCOMPARE(rec.connected, 1);

        refusing = {};
        refusing.rejectData = true;
        QVERIFY(refusedBy(refusing));
        QCOMPARE(rec.failures.last().kind, SmtpFailure::Failure);
        QCOMPARE(rec.failures.last().text,
                 "Falha na transmissão do E_MAIL (servidor respondeu: 554 5.6.0 Message refused)");

        refusing = {};
        refusing.rejectSender = true;
        QVERIFY(refusedBy(refusing));
        QCOMPARE(rec.failures.last().serverReply, "451 4.7.1 Sender temporarily refused: try later");
        QVERIFY(
            rec.failures.last().text.endsWith("(servidor respondeu: 451 4.7.1 Sender temporarily refused: try later)"));

        SmtpMessage missing = message;
        missing.attachments = {tmp.filePath("nao-existe.zip")};
        QVERIFY(!smtp.send(missing));
        QCOMPARE(rec.failures.last().kind, SmtpFailure::Failure);
        QVERIFY(rec.failures.last().detail.contains("nao-existe.zip"));

        QVERIFY(server.start());
        smtp.setSettings(local(server.port()));
        const int before = rec.failures.size();
        QVERIFY(smtp.send(message));
        QCOMPARE(rec.failures.size(), before);
        QVERIFY(!server.messageJson(1).isEmpty());
    }

    // The configured login (EndSMTPUsuario) is the one the server sees.
    void sendsUnderTheConfiguredLogin()
    {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.filePath("OC-ABC2026120801.zip"), "PK"));
        SmtpTestServer server(tmp.filePath("spool"));
        QVERIFY2(server.start(), qPrintable(server.error()));
        ConfigLocal config;
        config.endSMTPHost = "127.0.0.1";
        config.endSMTPPort = QString::number(server.port());
        config.endSMTPUsuario = " ocdemo@occ.com.br ";
        SmtpSender smtp;
        smtp.setSettings(smtpSettings(config));
        QVERIFY2(smtp.send(SmtpMessage::remittance("ABC", "OCC", "q@r.gov.br", tmp.filePath("OC-ABC2026120801.zip"))),
                 qPrintable(smtp.lastFailure().detail));
        const QJsonObject m = QJsonDocument::fromJson(server.messageJson(1)).object();
        QCOMPARE(m["login"].toString(), "ocdemo@occ.com.br");
        QCOMPARE(m["mail_from"].toString(), "q@r.gov.br");
    }

    // A server that never answers is given up once the settings' wait is
    // over, not before and not much after, with the connection's message.
    // As configured the wait is the 30 s every transfer waits.
    void silentServerIsGivenUpAfterTheTimeout()
    {
        QCOMPARE(SmtpSettings::fromConfig("127.0.0.1", "25").timeoutMs, 30000);
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.filePath("a.zip"), "x"));
        SilentServer silent;
        QVERIFY(silent.port() > 0);
        Recorder rec;
        SmtpSender smtp(&rec);
        SmtpSettings settings = SmtpSettings::fromConfig("127.0.0.1", QString::number(silent.port()));
        settings.timeoutMs = 1500;
        smtp.setSettings(settings);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!smtp.send(SmtpMessage::remittance("ABC", "OCC", "q@r.gov.br", tmp.filePath("a.zip"))));
        QVERIFY2(clock.elapsed() >= 1400 && clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(smtp.lastFailure().kind, SmtpFailure::ConnectionFailure);
        QCOMPARE(rec.failures.size(), 1);
        QCOMPARE(rec.failures.last().text, "Erro na conecção com Servidor E-MAIL");
        QCOMPARE(rec.connected, 0);
    }

    void abortWhileConnecting()
    {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.filePath("a.zip"), "x"));
        SilentServer silent;
        AsyncSmtpSender smtp;
        QSignalSpy failed(&smtp, &AsyncSmtpSender::failed);
        QSignalSpy finished(&smtp, &AsyncSmtpSender::finished);
        smtp.send(local(silent.port()), SmtpMessage::remittance("ABC", "OCC", "q@r.gov.br", tmp.filePath("a.zip")));
        QTest::qWait(300);
        QCOMPARE(finished.size(), 0);
        QElapsedTimer clock;
        clock.start();
        smtp.abort();
        QVERIFY(finished.wait(5000));
        QVERIFY(clock.elapsed() < 3000);
        QCOMPARE(finished[0][0].toBool(), false);
        QCOMPARE(failed[0][0].value<SmtpFailure>().kind, SmtpFailure::Aborted);
    }
};

QTEST_GUILESS_MAIN(TestSmtpSender)
#include "test_smtpsender.moc"
