// The FTP and e-mail transfer windows against servers on this machine: what
// arrives, what the memo says, and that only a whole delivery is logged.
#include "support/controls.h"
#include "support/remessafixture.h"
#include "support/scriptedmessenger.h"
#include "support/testfiles.h"
#include "support/testservers.h"
#include "support/whenmodal.h"

#include "remessa/remessacontrol.h"
#include "remessa/ui/tfrmselecaotransferencia.h"
#include "remessa/ui/tfrmtransferearquivo.h"
#include "remessa/ui/tfrmtransferesmtp.h"
#include "reports/bandedreport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

const QString Number = QStringLiteral("2026120809");

void shot(QWidget &w, const char *name)
{
    const QString dir = qEnvironmentVariable("CORVANE_SHOTS");
    if (!dir.isEmpty())
        w.grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

QString package()
{
    return "OC-OCP0001" + Number + ".zip";
}

// A remittance prepared and waiting for its transfer, with a package of
// random bytes.
struct Prepared : RemessaFixture
{
    QByteArray bytes;
    explicit Prepared(qint64 size = 300000)
    {
        bytes = randomBytes(size, quint32(size));
        writeFile(makeFile(package(), size), bytes);
        event(Number, "C", "PR", 10);
    }
};

QString memo(TransferWindow &w)
{
    return w.resultLines().join('\n');
}

// Runs the window's transfer to its end.
bool transfer(TransferWindow &w)
{
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return false;
    w.sendPackage();
    QElapsedTimer t;
    t.start();
    while (w.isRunning() && t.elapsed() < 40000)
        QTest::qWait(20);
    return !w.isRunning();
}

}

class TestTransferWindows : public QObject
{
    Q_OBJECT

private slots:
    void ftpWindowDeliversTheRemittanceWholeAndLogsIt()
    {
        Prepared f;
        InboxServer server(f);
        QVERIFY(server.serve(f));
        ScriptedMessenger msg;
        TFrmTransfereArquivo w(f.work(Number), f.db, msg);
        w.setFileName(package());
        QCOMPARE(child<QLineEdit>(w, "EdEndEnvio")->text(), server.address("entrada"));
        QVERIFY(!child<QGroupBox>(w, "GbAcompanhamento")->isVisibleTo(&w));
        QVERIFY(transfer(w));
        QVERIFY2(msg.messages.isEmpty(), qPrintable(msg.texts().join('\n')));
        QVERIFY2(w.succeeded(), qPrintable(memo(w)));
        QCOMPARE(readFile(server.root() + "/entrada/" + package()), f.bytes);
        QCOMPARE(QDir(server.root() + "/entrada").entryList(QDir::Files), QStringList{package()});
        const QStringList lines = w.resultLines();
        QCOMPARE(lines.first(), QStringLiteral("Usuário Responsável : Administrador"));
        QVERIFY(lines.contains(QStringLiteral("Tamanho do arquivo : 300000 bytes")));
        QVERIFY(lines.contains(QStringLiteral("Bytes transferidos: 300000")));
        QCOMPARE(lines.last(), QStringLiteral("Transferência realizada com sucesso."));
        QCOMPARE(child<QLineEdit>(w, "EdTransferidos")->text(), QStringLiteral("300000"));
        QVERIFY(child<QCheckBox>(w, "CkTransferencia")->isVisible());
        QCOMPARE(child<QProgressBar>(w, "PbTransferencia")->value(),
                 child<QProgressBar>(w, "PbTransferencia")->maximum());
        QVERIFY(child<QPushButton>(w, "BtComprovante")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "BtTransfere")->isEnabled());
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));
        QCOMPARE(f.count("CONTROLE", "Evento = 'TR'"), 1);
        shot(w, "transfere-arquivo-sucesso");

        const QString pdf = f.outDir + "comprovante.pdf";
        QVERIFY(w.receipt().exportPdf(pdf));
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished());
        const QString body = QString::fromUtf8(text.readAllStandardOutput());
        for (const QString &s : {QStringLiteral("Comprovante de Transferência de Arquivo"), Number, package(),
                                 QStringLiteral("Transferência realizada com sucesso."),
                                 QStringLiteral("Usuário Responsável : Administrador")})
            QVERIFY2(body.contains(s), qPrintable(s));
    }

    // Server down, wrong password, missing folder: the memo says why, nothing
    // is logged, nothing sits under the final name, and a retry goes.
    void ftpFailuresLogNothingAndARetrySucceeds()
    {
        Prepared f;
        InboxServer server(f);
        QVERIFY(server.serve(f));
        server.stop();
        {
            ScriptedMessenger msg;
            TFrmTransfereArquivo w(f.work(Number), f.db, msg);
            w.setFileName(package());
            QVERIFY(transfer(w));
            QVERIFY2(msg.lastText().startsWith("Erro ao tentar conectar. Verifique as configurações do Sistema\nErro:"),
                     qPrintable(msg.lastText()));
            QCOMPARE(w.resultLines().last(), QStringLiteral("Houve erro durante a transferência."));
            QVERIFY(!child<QPushButton>(w, "BtComprovante")->isEnabled());
            shot(w, "transfere-arquivo-falha");
        }
        QVERIFY(server.start());
        f.useFtp(server, "entrada", "errada");
        {
            ScriptedMessenger msg;
            TFrmTransfereArquivo w(f.work(Number), f.db, msg);
            w.setFileName(package());
            QVERIFY(transfer(w));
            QVERIFY(msg.lastText().startsWith("Erro ao tentar conectar."));
            QVERIFY(!w.succeeded());
        }
        f.useFtp(server, "nao-existe");
        {
            ScriptedMessenger msg;
            TFrmTransfereArquivo w(f.work(Number), f.db, msg);
            w.setFileName(package());
            QVERIFY(transfer(w));
            QVERIFY(msg.messages.isEmpty());
            QVERIFY2(w.resultLines().contains("Transferência não realizada: Erro na troca de diretório.."),
                     qPrintable(memo(w)));
            QCOMPARE(w.resultLines().last(), QStringLiteral("Erro na troca de diretório."));
        }
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("PR"));
        QVERIFY(QDir(server.root() + "/entrada").entryList(QDir::Files).isEmpty());

        f.useFtp(server, "entrada");
        ScriptedMessenger msg;
        TFrmTransfereArquivo w(f.work(Number), f.db, msg);
        w.setFileName(package());
        QVERIFY(transfer(w));
        QVERIFY2(w.succeeded(), qPrintable(memo(w)));
        QCOMPARE(readFile(server.root() + "/entrada/" + package()), f.bytes);
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));
    }

    void interruptingASlowUploadLeavesNothing()
    {
        Prepared f(400000);
        InboxServer server(f);
        QVERIFY(server.serve(f, 40000));
        ScriptedMessenger msg;
        TFrmTransfereArquivo w(f.work(Number), f.db, msg);
        w.setFileName(package());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.sendPackage();
        QTRY_VERIFY_WITH_TIMEOUT(child<QLineEdit>(w, "EdTransferidos")->text().toLongLong() > 0, 15000);
        QVERIFY(w.isRunning());
        child<QPushButton>(w, "BtInterrompe")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 15000);
        const QStringList lines = w.resultLines();
        QVERIFY2(lines.contains(QStringLiteral("Transferência interrompida.")), qPrintable(memo(w)));
        QVERIFY(!memo(w).contains("não realizada"));
        QVERIFY(!w.succeeded());
        QVERIFY(msg.messages.isEmpty());
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("PR"));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(server.root() + "/entrada/" + package()), 5000);

        // The next attempt, at full speed, goes whole.
        server.stop();
        QVERIFY(server.start());
        f.useFtp(server, "entrada");
        ScriptedMessenger again;
        TFrmTransfereArquivo retry(f.work(Number), f.db, again);
        retry.setFileName(package());
        QVERIFY(transfer(retry));
        QVERIFY2(retry.succeeded(), qPrintable(memo(retry)));
        QCOMPARE(readFile(server.root() + "/entrada/" + package()), f.bytes);
        QCOMPARE(f.count("CONTROLE", "Evento = 'TR'"), 1);
    }

    // The server dies in the middle of the upload: the memo tells the failed
    // upload, nothing is logged, no file has the final name, and once the
    // server is back a retry delivers the whole file.
    void connectionCutMidUploadLogsNothingAndARetrySucceeds()
    {
        Prepared f(400000);
        InboxServer server(f);
        QVERIFY(server.serve(f, 40000));
        {
            ScriptedMessenger msg;
            TFrmTransfereArquivo w(f.work(Number), f.db, msg);
            w.setFileName(package());
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.sendPackage();
            QTRY_VERIFY_WITH_TIMEOUT(child<QLineEdit>(w, "EdTransferidos")->text().toLongLong() > 0, 15000);
            QVERIFY(w.isRunning());
            server.kill();
            QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 40000);
            QVERIFY(!w.succeeded());
            const QStringList lines = w.resultLines();
            QVERIFY2(lines.contains(QStringLiteral("Transferência não realizada: Erro de Upload..")),
                     qPrintable(memo(w)));
            QCOMPARE(lines.last(), QStringLiteral("Erro de Upload."));
            QVERIFY(!child<QPushButton>(w, "BtComprovante")->isEnabled());
            // Neither the tick nor a full bar may suggest the file arrived.
            QVERIFY(!child<QCheckBox>(w, "CkTransferencia")->isVisible());
            const QProgressBar *bar = child<QProgressBar>(w, "PbTransferencia");
            QVERIFY(bar->value() < bar->maximum());
            shot(w, "transfere-arquivo-conexao-cortada");
        }
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("PR"));
        QCOMPARE(f.count("CONTROLE", "Evento = 'TR'"), 0);
        QVERIFY(!QFile::exists(server.root() + "/entrada/" + package()));

        QVERIFY(server.start());
        f.useFtp(server, "entrada");
        ScriptedMessenger msg;
        TFrmTransfereArquivo w(f.work(Number), f.db, msg);
        w.setFileName(package());
        QVERIFY(transfer(w));
        QVERIFY2(w.succeeded(), qPrintable(memo(w)));
        QCOMPARE(readFile(server.root() + "/entrada/" + package()), f.bytes);
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));
    }

    void emailWindowSendsTheAttachmentAndLogsIt()
    {
        Prepared f(50000);
        SmtpTestServer smtp(f.outDir + "spool");
        QVERIFY(smtp.start());
        f.set("EndSMTPHost", "127.0.0.1");
        f.set("EndSMTPPort", QString::number(smtp.port()));
        f.set("EndSMTPEMailReply", "quelora@regulador.gov.br");
        ScriptedMessenger msg;
        TFrmTransfereSMTP w(f.work(Number), f.db, msg);
        w.setFileName(package());
        QCOMPARE(child<QLineEdit>(w, "EdSMTPEMail")->text(), QStringLiteral("127.0.0.1"));
        QVERIFY(transfer(w));
        QVERIFY2(w.succeeded(), qPrintable(memo(w) + msg.texts().join('\n')));
        const QJsonObject m = QJsonDocument::fromJson(smtp.messageJson(1)).object();
        QCOMPARE(m["rcpt_tos"].toArray(), QJsonArray{"quelora@regulador.gov.br"});
        QCOMPARE(m["headers"].toObject()["Subject"].toString(), "Envio de remessa anexado ao E-MAIL");
        const QJsonObject att = m["attachments"].toArray()[0].toObject();
        QCOMPARE(att["filename"].toString(), package());
        QCOMPARE(readFile(att["file"].toString()), f.bytes);
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));
        shot(w, "transfere-smtp-sucesso");
    }

    void emailRefusedByTheServerLogsNothing()
    {
        Prepared f(5000);
        SmtpTestServer smtp(f.outDir + "spool");
        SmtpTestServer::Options refuse;
        refuse.rejectData = true;
        QVERIFY(smtp.start(refuse));
        f.set("EndSMTPHost", "127.0.0.1");
        f.set("EndSMTPPort", QString::number(smtp.port()));
        f.set("EndSMTPEMailReply", "quelora@regulador.gov.br");
        ScriptedMessenger msg;
        TFrmTransfereSMTP w(f.work(Number), f.db, msg);
        w.setFileName(package());
        QVERIFY(transfer(w));
        // The server's own words say why.
        QVERIFY2(w.resultLines().contains("Transferência não realizada: Falha na transmissão do E_MAIL "
                                          "(servidor respondeu: 554 5.6.0 Message refused)."),
                 qPrintable(memo(w)));
        QVERIFY(!child<QPushButton>(w, "BtComprovante")->isEnabled());
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("PR"));
    }

    // A TXT file travels zipped under its stem and is logged in CONTROLE_TXT,
    // not as a remittance event.
    void txtFileGoesZippedAndIsLoggedApart()
    {
        Prepared f(1000);
        const QString dir = f.outDir + "txt/";
        QDir().mkpath(dir);
        QFile txt(dir + "TX-OCP0001-01.txt");
        QVERIFY(txt.open(QIODevice::WriteOnly));
        txt.write(QByteArray("linha;de;migracao\r\n").repeated(5000));
        txt.close();
        InboxServer server(f);
        QVERIFY(server.serve(f));
        RemessaWork work = f.work();
        work.transferDir = dir;
        ScriptedMessenger msg;
        TFrmTransfereArquivo w(work, f.db, msg);
        w.setFileName("TX-OCP0001-01.txt");
        QVERIFY(transfer(w));
        QVERIFY2(w.succeeded(), qPrintable(memo(w)));
        QCOMPARE(QDir(server.root() + "/entrada").entryList(QDir::Files), QStringList{"TX-OCP0001-01.zip"});
        QCOMPARE(readFile(server.root() + "/entrada/TX-OCP0001-01.zip"), readFile(dir + "TX-OCP0001-01.zip"));
        QCOMPARE(f.count("CONTROLE_TXT", "NomeArquivo = 'TX-OCP0001-01.txt' AND EnviadoQuelora = 'S'"), 1);
        QCOMPARE(f.count("CONTROLE", "Evento = 'TR'"), 0);
    }

    void missingFileIsRefusedBeforeAnyConnection()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 10);
        ScriptedMessenger msg;
        TFrmTransfereArquivo w(f.work(Number), f.db, msg);
        w.setFileName(package());
        f.makeFile(package(), 0);
        w.sendPackage();
        QCOMPARE(msg.lastText(),
                 QStringLiteral("O arquivo não foi encontrado no diretório indicado. Favor verificar."));
        QVERIFY(!w.isRunning());
        QVERIFY(w.resultLines().isEmpty());
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("PR"));
    }

    void modeChoiceOpensTheFtpAndEmailWindows()
    {
        RemessaFixture f;
        ScriptedMessenger msg;
        for (int mode : {0, 2}) {
            TFrmSelecaoTransferencia choice(f.work(Number), f.db, msg);
            choice.setFileName(package());
            QString opened, file;
            auto look = [&](TransferWindow &w) {
                opened = w.windowTitle();
                file = w.fileName();
                w.close();
            };
            if (mode == 0)
                whenModal<TFrmTransfereArquivo>(look);
            else
                whenModal<TFrmTransfereSMTP>(look);
            choice.findChild<QAbstractButton *>(QStringLiteral("RgSelecao%1").arg(mode))->setChecked(true);
            choice.openChosenTransfer();
            QCOMPARE(opened,
                     mode == 0 ? QStringLiteral("Transfere Arquivo") : QStringLiteral("Transfere Arquivo via E-MAIL"));
            QCOMPARE(file, package());
        }
    }
};

QTEST_MAIN(TestTransferWindows)
#include "test_transferwindows.moc"
