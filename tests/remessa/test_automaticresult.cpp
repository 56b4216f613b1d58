// The automatic result against an FTP server on this machine: the window
// and the command line find the verdict, download it, and record it; an
// accepted remittance is folded into the replica with its "OK" event or not
// at all.
#include "support/clirun.h"
#include "support/controls.h"
#include "support/deltapackage.h"
#include "support/fulldisk.h"
#include "support/remessafixture.h"
#include "support/scriptedmessenger.h"
#include "support/testfiles.h"
#include "support/testservers.h"
#include "support/whenmodal.h"

#include "base/archive.h"
#include "remessa/automaticresult.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessapreparation.h"
#include "remessa/remittancequeries.h"
#include "remessa/ui/tfrmresultadoautomatico.h"
#include "remessa/ui/tfrmselecaoresultado.h"
#include "reports/bandedreport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

void shot(QWidget &w, const char *name)
{
    const QString dir = qEnvironmentVariable("CORVANE_SHOTS");
    if (!dir.isEmpty())
        w.grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

// The demo register approved, a partial remittance prepared from it and
// transferred: it waits for its result.
struct Sent : RemessaFixture
{
    QString number;
    QString package;
    QString acronym;

    Sent()
        : RemessaFixture(true)
    {
        db.execute("UPDATE CERTIFIC SET Completo = 1, Aprovado = 1");
        acronym = RemessaControl::workingValues(db).acronym;
        RemessaPreparation::Settings s;
        s.transferDir = transferDir;
        s.acronym = acronym;
        s.currentNumber = QStringLiteral("0000000000");
        s.user = QStringLiteral("Administrador");
        ScriptedMessenger msg;
        const auto prepared = RemessaPreparation::run(db, msg, s, RemessaPreparation::Type::Partial);
        number = prepared.remittance.number;
        keepApproved();
        package = prepared.remittance.packageName;
        db.execute("UPDATE CONTROLE SET DataHoraEvento = ?", {QDateTime::currentDateTime().addSecs(-10)});
        event(number, "C", "TR", 5);
    }
    void useFtp(const FtpTestServer &server, const QString &folder, const QString &password = "segredo")
    {
        set("EndQueloraResult", server.address(folder));
        set("LoginFTP", "occ");
        set("SenhaFTP", password);
    }
    // The regulator's result file in dir, with its report; filler adds
    // incompressible bytes.
    QString publish(const QString &dir, const QString &verdict, const QStringList &report, int filler = 0)
    {
        const QString name = AutomaticResult::resultName(package, verdict);
        QTemporaryDir scratch;
        QFile txt(scratch.filePath(AutomaticResult::reportName(name)));
        txt.open(QIODevice::WriteOnly);
        txt.write(report.join("\r\n").toUtf8() + "\r\n");
        txt.close();
        if (filler > 0)
            writeFile(scratch.filePath("anexo.bin"), randomBytes(filler, quint32(filler)));
        ScriptedMessenger msg;
        QDir().mkpath(dir);
        Archive::zip(scratch.path() + "/*", QDir(dir).filePath(name), msg);
        return name;
    }
    RemessaWork work() const { return RemessaFixture::work(number, "C"); }
    int replicaRows()
    {
        int n = 0;
        for (const Schema::Table &t : Schema::replicaTables())
            n += count(t.name);
        return n;
    }
    // Every table as the remittance saw it (the approved data when it was
    // prepared; the settings change afterwards).
    QMap<QString, QStringList> sent;
    void keepApproved()
    {
        for (const RemittanceQueries::Entry &e : RemittanceQueries::entries()) {
            const auto st = RemittanceQueries::statement(e, RemittanceQueries::Kind::Complete, db.engine());
            QVariantList params;
            for (int i = 0; i < st.approvalParams; ++i)
                params << true;
            // Created empty and then filled: the server takes no values bound
            // to a table's creation.
            db.execute("CREATE TEMP TABLE approved AS SELECT * FROM " + e.replica->name + " WHERE 1 = 0");
            db.execute("INSERT INTO approved " + st.sql, params);
            sent.insert(e.replica->name, DeltaPackage::snapshot(db, "approved"));
            db.execute("DROP TABLE approved");
        }
    }
    // "" when every replica table holds exactly what was sent.
    QString replicaDiffers()
    {
        for (auto it = sent.cbegin(); it != sent.cend(); ++it)
            if (DeltaPackage::snapshot(db, it.key()) != it.value())
                return it.key();
        return sent.isEmpty() ? QStringLiteral("nothing kept") : QString();
    }
};

struct Server
{
    FtpTestServer ftp;
    QString dir;
    explicit Server(Sent &f, const FtpTestServer::Options &options = FtpTestServer::Options())
        : ftp(f.outDir + "srv"),
          dir(f.outDir + "srv/resultado")
    {
        QDir().mkpath(dir);
        if (ftp.start(options))
            f.useFtp(ftp, "resultado");
    }
};

QString memo(TFrmResultadoAutomatico &w)
{
    return w.resultLines().join('\n');
}

bool fetch(TFrmResultadoAutomatico &w)
{
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return false;
    w.fetchResult();
    return QTest::qWaitFor([&w] { return !w.isRunning(); }, 40000);
}

const QString LongLine = QStringLiteral("Linha do relatório do Quelora com mais de cinquenta caracteres de texto");

}

class TestAutomaticResult : public QObject
{
    Q_OBJECT

private slots:
    void namesAndTheChoiceBetweenVerdicts()
    {
        const QString package = "OC-OCP00012026120801.zip";
        QCOMPARE(AutomaticResult::resultName(package, "OK"), QStringLiteral("OC-R-OCP00012026120801-OK.zip"));
        QCOMPARE(AutomaticResult::reportName("OC-R-OCP00012026120801-NO.zip"),
                 QStringLiteral("OC-R-OCP00012026120801-NO.txt"));
        using AutomaticResult::find;
        QVERIFY(!find({"OC-R-OCP00012026120802-OK.zip", "OC-R-OCP00012026120801-OK.zip.part", "outro.zip"}, package));
        auto found = find({"OC-R-OCP00012026120801-NO.zip", "/resultado/oc-r-ocp00012026120801-ok.zip"}, package);
        QVERIFY(found);
        QCOMPARE(found->verdict, QStringLiteral("OK"));
        QCOMPARE(found->name, QStringLiteral("oc-r-ocp00012026120801-ok.zip"));
        found = find({"-rw-r--r-- 1 occ occ 812 Dec 08 10:00 OC-R-OCP00012026120801-NO.zip"}, package);
        QVERIFY(found);
        QCOMPARE(found->name, QStringLiteral("OC-R-OCP00012026120801-NO.zip"));
        QCOMPARE(found->verdict, QStringLiteral("NO"));
        QCOMPARE(AutomaticResult::remark({"a", "b"}), QStringLiteral(" a b"));
        QCOMPARE(AutomaticResult::remark({LongLine, LongLine}).size(), 100);
    }

    // Both verdicts published: the accepted one is fetched, the replica
    // becomes the approved data, and "OK" carries the report.
    void acceptedResultIsFetchedAndFolded()
    {
        Sent f;
        QVERIFY(!f.package.isEmpty());
        QCOMPARE(f.replicaRows(), 0);
        Server s(f);
        QVERIFY2(s.ftp.isRunning(), qPrintable(s.ftp.error()));
        f.publish(s.dir, "NO", {"Remessa recusada"});
        const QString ok = f.publish(s.dir, "OK", {"Remessa processada.", LongLine, "Terceira linha"});
        ScriptedMessenger msg;
        TFrmResultadoAutomatico w(f.work(), f.db, msg);
        w.setPackageName(f.package);
        QCOMPARE(child<QLineEdit>(w, "EdEndResultado")->text(), s.ftp.address("resultado"));
        QVERIFY(!child<QGroupBox>(w, "GbAcompanhamento")->isVisibleTo(&w));
        QVERIFY(fetch(w));
        QVERIFY2(msg.messages.isEmpty(), qPrintable(msg.texts().join('\n')));
        QCOMPARE(int(w.outcome()), int(AutomaticResult::Outcome::Accepted));
        QCOMPARE(child<QLineEdit>(w, "EdArquivoDownload")->text(), ok);
        QCOMPARE(child<QListWidget>(w, "ListaArq")->count(), 2);

        const QStringList lines = w.resultLines();
        QCOMPARE(lines.first(), QStringLiteral("Usuário Responsável : Administrador"));
        QVERIFY(lines.at(1).startsWith("Hora inicio: "));
        const qint64 size = QFileInfo(s.dir + "/" + ok).size();
        QVERIFY(lines.contains(QStringLiteral("Tamanho do arquivo : %1 bytes").arg(size)));
        QVERIFY(lines.contains(QStringLiteral("Bytes transferidos: %1").arg(size)));
        QVERIFY(lines.contains(LongLine));
        QCOMPARE(lines.last(), AutomaticResult::Accepted);
        QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("Terceira linha"));
        QCOMPARE(child<QLabel>(w, "LbSincroniza")->text(), AutomaticResult::SyncDone);
        for (const char *name : {"CkInformacoes", "CkTransferencia", "CkSincroniza"})
            QVERIFY2(child<QCheckBox>(w, name)->isVisible(), name);
        QVERIFY(child<QPushButton>(w, "BtRelatorio")->isEnabled());
        QVERIFY(child<QPushButton>(w, "BtSaida")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "BtResultado")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "BtInterrompe")->isEnabled());
        shot(w, "resultado-automatico-aceito");

        QCOMPARE(f.newestEvent(f.number), QStringLiteral("OK"));
        const QString obs = f.db.scalar("SELECT Obs FROM CONTROLE WHERE Evento = 'OK'").toString();
        QCOMPARE(obs.size(), 100);
        QVERIFY(obs.startsWith(" Remessa processada. " + LongLine.left(20)));
        QCOMPARE(f.replicaDiffers(), QString());
        QVERIFY(f.replicaRows() > 50);
        // The package and the scratch files are gone; the server keeps its files.
        QVERIFY(!QFile::exists(f.transferDir + f.package));
        QCOMPARE(QDir(f.syncDir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(s.dir).entryList(QDir::Files).size(), 2);

        const QString pdf = f.outDir + "relatorio.pdf";
        QVERIFY(w.receipt().exportPdf(pdf));
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished());
        const QString body = QString::fromUtf8(text.readAllStandardOutput());
        for (const QString &t : {QStringLiteral("Comprovante de Transferência de Arquivo"), f.number, ok,
                                 QStringLiteral("Remessa foi considerada válida e a base de dados foi atualizada"),
                                 QStringLiteral("Terceira linha")})
            QVERIFY2(body.contains(t), qPrintable(t));
    }

    void rejectedResultIsRecordedWithoutFold()
    {
        Sent f;
        Server s(f);
        QVERIFY(s.ftp.isRunning());
        // Control characters in the report (a terminal escape, a bell, a form
        // feed) are neither stored nor shown; a tab reads as a blank.
        f.publish(s.dir, "NO", {QStringLiteral("Certificado\f 123\u001b sem\tempresa\u0007\u0085")});
        ScriptedMessenger msg;
        TFrmResultadoAutomatico w(f.work(), f.db, msg);
        w.setPackageName(f.package);
        QVERIFY(fetch(w));
        QVERIFY2(msg.messages.isEmpty(), qPrintable(msg.texts().join('\n')));
        QCOMPARE(int(w.outcome()), int(AutomaticResult::Outcome::Rejected));
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("NO"));
        QCOMPARE(f.db.scalar("SELECT Obs FROM CONTROLE WHERE Evento = 'NO'").toString(),
                 QStringLiteral(" Certificado 123 sem empresa"));
        QCOMPARE(f.replicaRows(), 0);
        QVERIFY(QFile::exists(f.transferDir + f.package));
        QCOMPARE(child<QLabel>(w, "LbSincroniza")->text(), AutomaticResult::NothingToSync);
        QVERIFY(!child<QCheckBox>(w, "CkSincroniza")->isVisible());
        QCOMPARE(w.resultLines().mid(w.resultLines().size() - 2),
                 (QStringList{AutomaticResult::Rejected, "Certificado 123 sem empresa"}));
        QVERIFY(child<QPushButton>(w, "BtRelatorio")->isEnabled());
    }

    // No result yet, server down, wrong password, missing folder: the memo
    // or the box says why, and nothing is written.
    void nothingIsWrittenWithoutAVerdict()
    {
        Sent f;
        Server s(f);
        QVERIFY(s.ftp.isRunning());
        f.publish(s.dir, "OK", {"de outra remessa"});
        QFile::rename(s.dir + "/" + AutomaticResult::resultName(f.package, "OK"), s.dir + "/OC-R-outra-OK.zip");
        auto attempt = [&](const char *label) {
            ScriptedMessenger msg;
            TFrmResultadoAutomatico w(f.work(), f.db, msg);
            w.setPackageName(f.package);
            if (!fetch(w))
                return std::make_pair(QStringList{"running"}, QStringList());
            if (QByteArray(label) == "down")
                shot(w, "resultado-automatico-falha");
            return std::make_pair(w.resultLines(), msg.texts());
        };
        auto [lines, boxes] = attempt("none");
        QCOMPARE(lines, QStringList{AutomaticResult::NotAvailable});
        QVERIFY(boxes.isEmpty());

        f.useFtp(s.ftp, "nao-existe");
        std::tie(lines, boxes) = attempt("folder");
        QCOMPARE(lines,
                 (QStringList{"Transferência de resultado não realizada: Erro na troca de diretório..",
                              "Erro na troca de diretório."}));

        f.useFtp(s.ftp, "resultado", "errada");
        std::tie(lines, boxes) = attempt("password");
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().startsWith("Erro ao tentar conectar. Verifique as configurações do Sistema\nErro:"),
                 qPrintable(boxes.first()));
        QCOMPARE(lines, QStringList{"Houve erro durante a transferência."});

        s.ftp.stop();
        f.useFtp(s.ftp, "resultado");
        std::tie(lines, boxes) = attempt("down");
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first().startsWith("Erro ao tentar conectar."));
        QCOMPARE(lines, QStringList{"Houve erro durante a transferência."});

        QCOMPARE(f.newestEvent(f.number), QStringLiteral("TR"));
        QCOMPARE(f.count("CONTROLE"), 2);
        QCOMPARE(f.replicaRows(), 0);
        QVERIFY(QFile::exists(f.transferDir + f.package));
    }

    // A table of the package that cannot be read after others were folded:
    // the third error box, no replica row, no "OK"; the package stays and
    // the retry with a sound package succeeds.
    void failedFoldLeavesNeitherReplicaNorEvent()
    {
        Sent f;
        Server s(f);
        QVERIFY(s.ftp.isRunning());
        f.publish(s.dir, "OK", {"ok"});
        const QString good = f.outDir + "bom.zip";
        QVERIFY(QFile::copy(f.transferDir + f.package, good));
        QTemporaryDir unpacked;
        ScriptedMessenger quiet;
        QVERIFY(Archive::unzip(good, unpacked.path(), quiet));
        QStringList tables = QDir(unpacked.path()).entryList({"*_I.DB"}, QDir::Files, QDir::Name);
        QVERIFY(tables.size() > 2);
        // The last table of the list that travelled.
        QString last;
        for (const RemittanceQueries::Entry &e : RemittanceQueries::entries())
            for (const QString &t : tables)
                if (t.compare(e.replica->name.mid(4) + "_I.DB", Qt::CaseInsensitive) == 0)
                    last = t;
        QVERIFY(!last.isEmpty());
        QFile broken(unpacked.filePath(last));
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write(QByteArray(5000, '\x7f'));
        broken.close();
        QFile::remove(f.transferDir + f.package);
        QVERIFY(Archive::zip(unpacked.path() + "/*", f.transferDir + f.package, quiet));

        {
            ScriptedMessenger msg;
            TFrmResultadoAutomatico w(f.work(), f.db, msg);
            w.setPackageName(f.package);
            QVERIFY(fetch(w));
            QCOMPARE(msg.texts(), QStringList{"Ocorreu um Erro2 na Sincronização.\nEntre em contato com o suporte."});
            QCOMPARE(int(w.outcome()), int(AutomaticResult::Outcome::Failed));
            QCOMPARE(child<QLabel>(w, "LbSincroniza")->text(), AutomaticResult::SyncNotDone);
            QVERIFY(!child<QPushButton>(w, "BtRelatorio")->isEnabled());
        }
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("TR"));
        QCOMPARE(f.replicaRows(), 0);
        QVERIFY(QFile::exists(f.transferDir + f.package));

        // A sound package but a result file that is no zip: its report cannot
        // be read, so the fold is undone with the event.
        QFile::remove(f.transferDir + f.package);
        QVERIFY(QFile::copy(good, f.transferDir + f.package));
        const QString resultPath = s.dir + "/" + AutomaticResult::resultName(f.package, "OK");
        {
            QFile garbage(resultPath);
            QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
            garbage.write(QByteArray(3000, 'x'));
        }
        {
            ScriptedMessenger msg;
            TFrmResultadoAutomatico w(f.work(), f.db, msg);
            w.setPackageName(f.package);
            QVERIFY(fetch(w));
            QCOMPARE(msg.messages.size(), 1);
            QVERIFY2(msg.lastText().startsWith("O arquivo de resultado não pôde ser extraído"),
                     qPrintable(msg.lastText()));
            QCOMPARE(int(w.outcome()), int(AutomaticResult::Outcome::Failed));
        }
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("TR"));
        QCOMPARE(f.replicaRows(), 0);
        QVERIFY(QFile::exists(f.transferDir + f.package));
        QFile::remove(resultPath);
        f.publish(s.dir, "OK", {"ok"});

        // Without the package at all: the first box.
        QFile::remove(f.transferDir + f.package);
        {
            ScriptedMessenger msg;
            TFrmResultadoAutomatico w(f.work(), f.db, msg);
            w.setPackageName(f.package);
            QVERIFY(fetch(w));
            QCOMPARE(msg.texts(), QStringList{"Ocorreu um Erro na Sincronização.\nEntre em contato com o suporte."});
        }
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("TR"));

        QVERIFY(QFile::copy(good, f.transferDir + f.package));
        ScriptedMessenger msg;
        TFrmResultadoAutomatico w(f.work(), f.db, msg);
        w.setPackageName(f.package);
        QVERIFY(fetch(w));
        QVERIFY2(msg.messages.isEmpty(), qPrintable(msg.texts().join('\n')));
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("OK"));
        QCOMPARE(f.replicaDiffers(), QString());
    }

    // "Interrompe" while a slow server sends: the window answered all along,
    // the memo says so, nothing is written, and a later fetch works.
    // A result that cannot be settled leaves neither itself nor unpacked
    // tables in the synchronisation folder; on a full disk the box says so.
    void anUnsettledResultLeavesNothingBehind()
    {
        Sent f;
        Server s(f);
        QVERIFY(s.ftp.isRunning());
        const QString name = f.publish(s.dir, "OK", {"ok"});
        {
            QFile garbage(QDir(s.dir).filePath(name));
            QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
            garbage.write(QByteArray(3000, 'x'));
        }
        {
            ScriptedMessenger msg;
            TFrmResultadoAutomatico w(f.work(), f.db, msg);
            w.setPackageName(f.package);
            QVERIFY(fetch(w));
            QCOMPARE(int(w.outcome()), int(AutomaticResult::Outcome::Failed));
        }
        QCOMPARE(QDir(f.syncDir).entryList(QDir::Files), QStringList());
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("TR"));

        FullDisk disk(1024 * 1024);
        REQUIRE_MOUNTED(disk);
        f.publish(s.dir, "OK", {"ok"});
        f.set("DirLocalSincr", disk.path());
        disk.fill(8 * 1024);
        ScriptedMessenger msg;
        TFrmResultadoAutomatico w(f.work(), f.db, msg);
        w.setPackageName(f.package);
        QVERIFY(fetch(w));
        QCOMPARE(int(w.outcome()), int(AutomaticResult::Outcome::Failed));
        QVERIFY2(msg.lastText().contains("não há espaço livre no disco"), qPrintable(msg.lastText()));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("TR"));
        QCOMPARE(f.replicaRows(), 0);
    }

    void interruptedDownloadWritesNothing()
    {
        Sent f;
        FtpTestServer::Options slow;
        slow.throttle = 40000;
        Server s(f, slow);
        QVERIFY(s.ftp.isRunning());
        f.publish(s.dir, "OK", {"ok"}, 400000);
        ScriptedMessenger msg;
        TFrmResultadoAutomatico w(f.work(), f.db, msg);
        w.setPackageName(f.package);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        bool sawProgress = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, &w, [&] {
            if (child<QProgressBar>(w, "PbTransferencia")->value() > 0 && w.isRunning()) {
                sawProgress = true;
                poll.stop();
                child<QPushButton>(w, "BtInterrompe")->click();
            }
        });
        poll.start();
        w.fetchResult();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isRunning(), 40000);
        poll.stop();
        QVERIFY(sawProgress);
        QVERIFY(!w.isRunning());
        QVERIFY2(w.resultLines().contains(QStringLiteral("Transferência interrompida.")), qPrintable(memo(w)));
        QVERIFY(!memo(w).contains("não realizada"));
        QVERIFY(msg.messages.isEmpty());
        QCOMPARE(int(w.outcome()), int(AutomaticResult::Outcome::Failed));
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("TR"));
        QVERIFY(!QFile::exists(f.syncDir + AutomaticResult::resultName(f.package, "OK")));
        QCOMPARE(f.replicaRows(), 0);
    }

    void modeChoiceOpensTheAutomaticWindow()
    {
        Sent f;
        ScriptedMessenger msg;
        TFrmSelecaoResultado choice(f.work(), f.db, msg);
        choice.setPackageName(f.package);
        QString title, package;
        whenModal<TFrmResultadoAutomatico>([&](TFrmResultadoAutomatico *w) {
            title = w->windowTitle();
            package = w->findChild<QLineEdit *>("EdArquivoRemessa")->text();
            w->close();
        });
        QVERIFY(child<QRadioButton>(choice, "RbFTP")->isChecked());
        choice.openChosenResult();
        QCOMPARE(title, QStringLiteral("Recebe Resultado Automático"));
        QCOMPARE(package, f.package);
    }

    void commandLineFetchesOnlyWhenTheResultIsDue()
    {
        Sent f;
        Server s(f);
        QVERIFY(s.ftp.isRunning());
        auto cli = [&](int &code, QString &out, QString &err) {
            const CliRun::Result r = CliRun::run(QStringList{"remessa", "buscar-resultado"} +
                                                 CliRun::signedIn(f.home->dir()));
            QVERIFY(r.code != -1);
            code = r.code;
            out = r.out;
            err = r.err;
        };
        int code = -1;
        QString out, err;
        cli(code, out, err);
        QCOMPARE(code, 3);
        QCOMPARE(out.trimmed(), AutomaticResult::NotAvailable);

        f.publish(s.dir, "OK", {"Processada pelo Quelora"});
        f.useFtp(s.ftp, "resultado", "errada");
        cli(code, out, err);
        QCOMPARE(code, 1);
        QVERIFY2(err.contains("Erro ao tentar conectar."), qPrintable(err));
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("TR"));

        f.useFtp(s.ftp, "resultado");
        cli(code, out, err);
        QVERIFY2(code == 0, qPrintable(out + err));
        for (const QString &l :
             {QStringLiteral("Usuário Responsável : Administrador"), QStringLiteral("Processada pelo Quelora"),
              AutomaticResult::Accepted, QStringLiteral("Sincronização efetuada com sucesso...")})
            QVERIFY2(out.contains(l), qPrintable(out));
        QCOMPARE(f.newestEvent(f.number), QStringLiteral("OK"));
        QCOMPARE(f.db.scalar("SELECT Obs FROM CONTROLE WHERE Evento = 'OK'").toString(),
                 QStringLiteral(" Processada pelo Quelora"));
        QCOMPARE(f.replicaDiffers(), QString());

        // Settled: the step is no longer offered and nothing more is written.
        cli(code, out, err);
        QCOMPARE(code, 1);
        QVERIFY(!err.trimmed().isEmpty());
        QCOMPARE(f.count("CONTROLE"), 3);
    }
};

QTEST_MAIN(TestAutomaticResult)
#include "test_automaticresult.moc"
