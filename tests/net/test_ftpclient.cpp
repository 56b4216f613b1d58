#include "base/ftpaddress.h"
#include "net/asyncftpclient.h"
#include "net/ftpclient.h"
#include "support/silentserver.h"
#include "support/testfiles.h"
#include "support/testservers.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>


namespace {


// Records every event; can act on progress (the test's hand on the button).
struct Recorder : FtpListener
{
    int connected = 0;
    QStringList items;
    QList<QPair<qint64, qint64>> progress;
    QList<FtpFailure> failures;
    std::function<void(qint64)> onProgress;

    void ftpConnected() override { ++connected; }
    void ftpListItem(const QString &name) override { items << name; }
    void ftpProgress(qint64 done, qint64 total) override
    {
        progress.append({done, total});
        if (onProgress)
            onProgress(done);
    }
    void ftpFailed(const FtpFailure &f) override { failures << f; }
};

// A package of random bytes in a temporary folder, and a server with an "in"
// folder that takes uploads slowly.
struct SlowUpload
{
    QTemporaryDir tmp;
    QByteArray data;
    FtpTestServer server{tmp.filePath("srv")};

    SlowUpload(int size, int seed)
        : data(randomBytes(size, seed))
    { }
    bool start(const char *package, int bytesPerSecond)
    {
        if (!writeFile(tmp.filePath(QLatin1String(package)), data))
            return false;
        QDir().mkpath(server.root() + "/in");
        FtpTestServer::Options slow;
        slow.throttle = bytesPerSecond;
        return server.start(slow);
    }
};

FtpSettings settingsFor(const FtpTestServer &server, const QString &folder = QString())
{
    return FtpSettings::fromAddress(FtpAddress::split(server.address(folder)), server.options().user,
                                    server.options().password);
}

}

class TestFtpClient : public QObject
{
    Q_OBJECT

    QStringList filesIn(const QString &dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

private slots:
    // The port of the address is the one reached (the server never listens
    // on 21); upload, listing and download round-trip the bytes.
    void transfersWholeFilesThroughTheConfiguredPort()
    {
        QTemporaryDir tmp;
        FtpTestServer server(tmp.filePath("srv"));
        QDir().mkpath(server.root() + "/in/box");
        QVERIFY2(server.start(), qPrintable(server.error()));
        const FtpAddress address = FtpAddress::split(server.address("in/box"));
        QCOMPARE(address.portNumber(), server.port());
        QCOMPARE(FtpSettings::fromAddress(FtpAddress::split("ftp.quelora.gov/in"), "u", "p").port, 21);

        const QByteArray data = randomBytes(700 * 1024 + 13, 1);
        QVERIFY(writeFile(tmp.filePath("OC-ABC2026120801.zip"), data));

        Recorder rec;
        FtpClient ftp(&rec);
        ftp.setSettings(settingsFor(server));
        QVERIFY(!ftp.isConnected());
        QVERIFY(ftp.connectToHost());
        QCOMPARE(rec.connected, 1);
        QVERIFY(ftp.isConnected());
        QVERIFY(ftp.changeDirectory(address.path));
        QVERIFY(ftp.upload(tmp.filePath("OC-ABC2026120801.zip"), "OC-ABC2026120801.zip"));
        QCOMPARE(readFile(server.root() + "/in/box/OC-ABC2026120801.zip"), data);
        QCOMPARE(filesIn(server.root() + "/in/box"), QStringList{"OC-ABC2026120801.zip"});
        QVERIFY(!rec.progress.isEmpty());
        QCOMPARE(rec.progress.last(), qMakePair(qint64(data.size()), qint64(data.size())));
        for (qsizetype i = 1; i < rec.progress.size(); ++i)
            QVERIFY(rec.progress[i].first >= rec.progress[i - 1].first);

        // Sending again replaces the file.
        const QByteArray second = randomBytes(1000, 2);
        QVERIFY(writeFile(tmp.filePath("OC-ABC2026120801.zip"), second));
        QVERIFY(ftp.upload(tmp.filePath("OC-ABC2026120801.zip"), "OC-ABC2026120801.zip"));
        QCOMPARE(readFile(server.root() + "/in/box/OC-ABC2026120801.zip"), second);

        QVERIFY(writeFile(server.root() + "/in/box/OC-R-ABC2026120801-OK.zip", data));
        QStringList names;
        QVERIFY(ftp.listNames(&names));
        names.sort();
        QCOMPARE(names, QStringList({"OC-ABC2026120801.zip", "OC-R-ABC2026120801-OK.zip"}));
        QCOMPARE(rec.items.size(), 2);

        rec.progress.clear();
        QVERIFY(ftp.download("OC-R-ABC2026120801-OK.zip", tmp.filePath("down.zip")));
        QCOMPARE(readFile(tmp.filePath("down.zip")), data);
        QCOMPARE(rec.progress.last(), qMakePair(qint64(data.size()), qint64(data.size())));
        QVERIFY(rec.failures.isEmpty());

        // A folder under the login folder, as an address without a port
        // gives it, reaches the same place.
        QVERIFY(ftp.changeDirectory("in/box"));
        names.clear();
        QVERIFY(ftp.listNames(&names));
        QCOMPARE(names.size(), 2);
        QVERIFY(ftp.changeDirectory("/"));
        names.clear();
        QVERIFY(ftp.listNames(&names));
        QCOMPARE(names, QStringList{"in"});

        ftp.disconnectFromHost();
        QVERIFY(!ftp.isConnected());
        QVERIFY(!ftp.upload(tmp.filePath("OC-ABC2026120801.zip"), "x.zip"));
        QCOMPARE(rec.failures.last().kind, FtpFailure::Error);
    }

    void sessionFaultsAreReportedAndARetryWorks()
    {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.filePath("f.zip"), randomBytes(5000, 3)));
        FtpTestServer server(tmp.filePath("srv"));
        QDir().mkpath(server.root() + "/in");

        // Server down: nothing listens on the port.
        QVERIFY(server.start());
        const FtpSettings good = settingsFor(server, "in");
        server.stop();
        Recorder rec;
        FtpClient ftp(&rec);
        ftp.setSettings(good);
        QVERIFY(!ftp.connectToHost());
        QVERIFY(!ftp.isConnected());
        QCOMPARE(rec.failures.size(), 1);
        QCOMPARE(rec.failures[0].kind, FtpFailure::Error);
        QCOMPARE(rec.failures[0].code, 7);
        QVERIFY2(rec.failures[0].text.startsWith(
                     QString("Não foi possível conectar ao servidor 127.0.0.1 na porta %1").arg(good.port)),
                 qPrintable(rec.failures[0].text));
        QCOMPARE(FtpTexts::connectError(rec.failures[0].text),
                 "Erro ao tentar conectar. Verifique as configurações do Sistema\nErro:" + rec.failures[0].text);

        // Wrong password.
        QVERIFY(server.start());
        FtpSettings wrong = settingsFor(server, "in");
        wrong.password = "errada";
        ftp.setSettings(wrong);
        QVERIFY(!ftp.connectToHost());
        QCOMPARE(rec.failures.last().code, 67);
        QVERIFY(rec.failures.last().text.startsWith("Usuário ou senha recusados pelo servidor"));
        QVERIFY(rec.failures.last().text.contains("530"));

        // Missing remote folder: a failure of type 0.
        ftp.setSettings(settingsFor(server, "in"));
        QVERIFY(ftp.connectToHost());
        QVERIFY(!ftp.changeDirectory("/nao-existe"));
        FtpFailure f = rec.failures.last();
        QCOMPARE(f.kind, FtpFailure::Failure);
        QCOMPARE(f.type, FtpFailure::ChangeDirectory);
        QCOMPARE(f.text, "Erro na troca de diretório.");
        QCOMPARE(FtpTexts::transferNotDone(f.text), "Transferência não realizada: Erro na troca de diretório..");
        QVERIFY(ftp.isConnected());
        QVERIFY(ftp.changeDirectory("/in"));
        QVERIFY(ftp.upload(tmp.filePath("f.zip"), "f.zip"));
        QCOMPARE(readFile(server.root() + "/in/f.zip"), readFile(tmp.filePath("f.zip")));
    }

    void localAndRemoteFileFaults()
    {
        QTemporaryDir tmp;
        FtpTestServer server(tmp.filePath("srv"));
        QVERIFY(server.start());
        Recorder rec;
        FtpClient ftp(&rec);
        ftp.setSettings(settingsFor(server));
        QVERIFY(ftp.connectToHost());

        QVERIFY(!ftp.upload(tmp.filePath("nao-existe.zip"), "nao-existe.zip"));
        QCOMPARE(rec.failures.last().type, FtpFailure::LocalRead);
        QCOMPARE(rec.failures.last().text, "O programa não pôde ler o arquivo na maquina local.");
        QVERIFY(filesIn(server.root()).isEmpty());

        QVERIFY(writeFile(tmp.filePath("antes.zip"), "antes"));
        QVERIFY(!ftp.download("nao-existe.zip", tmp.filePath("antes.zip")));
        QCOMPARE(rec.failures.last().type, FtpFailure::Download);
        QCOMPARE(rec.failures.last().text, "Erro de Download.");
        QCOMPARE(readFile(tmp.filePath("antes.zip")), QByteArray("antes"));

        QVERIFY(writeFile(server.root() + "/r.zip", "conteudo"));
        QVERIFY(!ftp.download("r.zip", tmp.filePath("sem-pasta/r.zip")));
        QCOMPARE(rec.failures.last().type, FtpFailure::LocalWrite);
        QCOMPARE(rec.failures.last().text, "O programa não pôde gravar o arquivo na máquina local.");

        QVERIFY(!ftp.upload(tmp.filePath("antes.zip"), "../fora.zip"));
        QCOMPARE(rec.failures.last().type, FtpFailure::Upload);
        QCOMPARE(rec.failures.last().text, "Erro de Upload.");
        QVERIFY(ftp.download("r.zip", tmp.filePath("r.zip")));
        QCOMPARE(readFile(tmp.filePath("r.zip")), QByteArray("conteudo"));

        // A link named like the download is replaced, its target untouched.
        QVERIFY(writeFile(tmp.filePath("alvo.txt"), "alvo"));
        QVERIFY(QFile::link(tmp.filePath("alvo.txt"), tmp.filePath("link.zip")));
        QVERIFY(ftp.download("r.zip", tmp.filePath("link.zip")));
        QCOMPARE(readFile(tmp.filePath("alvo.txt")), QByteArray("alvo"));
        QVERIFY(!QFileInfo(tmp.filePath("link.zip")).isSymLink());
        QCOMPARE(readFile(tmp.filePath("link.zip")), QByteArray("conteudo"));
    }

    // The server dies in the middle of an upload: nothing under the final
    // name, and the same file goes through once a server is back.
    void connectionCutDuringUpload()
    {
        SlowUpload up(3 * 1024 * 1024, 4);
        QVERIFY(up.start("OC-ABC2026120802.zip", 256 * 1024));

        Recorder rec;
        FtpClient ftp(&rec);
        ftp.setSettings(settingsFor(up.server, "in"));
        QVERIFY(ftp.connectToHost());
        QVERIFY(ftp.changeDirectory("/in"));
        rec.onProgress = [&](qint64 done) {
            if (done > 0 && up.server.isRunning())
                up.server.kill();
        };
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!ftp.upload(up.tmp.filePath("OC-ABC2026120802.zip"), "OC-ABC2026120802.zip"));
        QVERIFY(clock.elapsed() < 20000);
        QVERIFY(!up.server.isRunning());
        const FtpFailure f = rec.failures.last();
        QCOMPARE(f.kind, FtpFailure::Failure);
        QCOMPARE(f.type, FtpFailure::Upload);
        QCOMPARE(f.text, "Erro de Upload.");
        QVERIFY(!QFile::exists(up.server.root() + "/in/OC-ABC2026120802.zip"));

        rec.onProgress = nullptr;
        QVERIFY(up.server.start());
        ftp.setSettings(settingsFor(up.server, "in"));
        QVERIFY(ftp.connectToHost());
        QVERIFY(ftp.changeDirectory("/in"));
        QVERIFY(ftp.upload(up.tmp.filePath("OC-ABC2026120802.zip"), "OC-ABC2026120802.zip"));
        QCOMPARE(readFile(up.server.root() + "/in/OC-ABC2026120802.zip"), up.data);
        QCOMPARE(filesIn(up.server.root() + "/in"), QStringList{"OC-ABC2026120802.zip"});
    }

    // A server that will not rename still gets the file, under its name,
    // with no partial one left behind.
    void serverRefusingRenameStillReceives()
    {
        QTemporaryDir tmp;
        const QByteArray data = randomBytes(40000, 5);
        QVERIFY(writeFile(tmp.filePath("TX-ABC01.zip"), data));
        FtpTestServer server(tmp.filePath("srv"));
        FtpTestServer::Options noRename;
        noRename.perm = "elradmw";
        QVERIFY(server.start(noRename));
        Recorder rec;
        FtpClient ftp(&rec);
        ftp.setSettings(settingsFor(server));
        QVERIFY(ftp.connectToHost());
        QVERIFY(ftp.upload(tmp.filePath("TX-ABC01.zip"), "TX-ABC01.zip"));
        QCOMPARE(readFile(server.root() + "/TX-ABC01.zip"), data);
        QCOMPARE(filesIn(server.root()), QStringList{"TX-ABC01.zip"});
        QVERIFY(rec.failures.isEmpty());
    }

    // However the refusal comes (login folder or another), the temporary
    // upload does not stay on the server.
    void refusedRenameLeavesNoPartial_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("tls");
        QTest::newRow("login folder") << QString() << false;
        QTest::newRow("subfolder") << QStringLiteral("in") << false;
    }
    void refusedRenameLeavesNoPartial()
    {
        QFETCH(QString, folder);
        QFETCH(bool, tls);
        QTemporaryDir tmp;
        const QByteArray data = randomBytes(300000, 9);
        QVERIFY(writeFile(tmp.filePath("OC-ABC2026120803.zip"), data));
        FtpTestServer server(tmp.filePath("srv"));
        QDir().mkpath(server.root() + "/in");
        FtpTestServer::Options noRename;
        noRename.perm = "elradmw";
        noRename.tls = tls;
        QVERIFY(server.start(noRename));
        Recorder rec;
        FtpClient ftp(&rec);
        FtpSettings settings = settingsFor(server, folder);
        settings.caFile = server.certificateFile();
        ftp.setSettings(settings);
        QVERIFY2(ftp.connectToHost(), qPrintable(ftp.lastFailure().text));
        if (!folder.isEmpty())
            QVERIFY(ftp.changeDirectory("/" + folder));
        QVERIFY2(ftp.upload(tmp.filePath("OC-ABC2026120803.zip"), "OC-ABC2026120803.zip"),
                 qPrintable(ftp.lastFailure().detail));
        const QString where = server.root() + (folder.isEmpty() ? QString() : "/" + folder);
        QCOMPARE(readFile(where + "/OC-ABC2026120803.zip"), data);
        QCOMPARE(filesIn(where), QStringList{"OC-ABC2026120803.zip"});
    }

    // TLS is taken when offered, and only with a certificate that is
    // trusted: the server's own (self-signed) one is refused until its file
    // is configured.
    void usesTlsWhenTheServerOffersIt()
    {
        QTemporaryDir tmp;
        const QByteArray data = randomBytes(100000, 6);
        QVERIFY(writeFile(tmp.filePath("OC-X.zip"), data));
        FtpTestServer server(tmp.filePath("srv"));
        FtpTestServer::Options tls;
        tls.tls = true; // refuses a client that stays in clear
        QVERIFY2(server.start(tls), qPrintable(server.error()));
        Recorder rec;
        FtpClient ftp(&rec);
        ftp.setSettings(settingsFor(server));
        QVERIFY(!ftp.connectToHost());
        QVERIFY(!ftp.isConnected());
        QCOMPARE(ftp.lastFailure().kind, FtpFailure::Error);
        QVERIFY2(ftp.lastFailure().text.startsWith("O certificado do servidor 127.0.0.1 não é confiável"),
                 qPrintable(ftp.lastFailure().text));
        QVERIFY(ftp.lastFailure().text.contains("\"Configuração de Diretórios\""));

        FtpSettings trusting = settingsFor(server);
        trusting.caFile = server.certificateFile();
        ftp.setSettings(trusting);
        QVERIFY2(ftp.connectToHost(), qPrintable(ftp.lastFailure().text));
        QVERIFY2(ftp.upload(tmp.filePath("OC-X.zip"), "OC-X.zip"), qPrintable(ftp.lastFailure().detail));
        QCOMPARE(readFile(server.root() + "/OC-X.zip"), data);
        QStringList names;
        QVERIFY(ftp.listNames(&names));
        QCOMPARE(names, QStringList{"OC-X.zip"});
        QVERIFY(ftp.download("OC-X.zip", tmp.filePath("back.zip")));
        QCOMPARE(readFile(tmp.filePath("back.zip")), data);
    }

    // The window's client: events reach the owning thread as the transfer
    // runs, the owner keeps turning its event loop, and abort ends a slow
    // upload at once, removing what reached the server; a retry works.
    void abortEndsASlowUploadAndTheLoopKeepsRunning()
    {
        // Far more than the sockets buffer: most of it is still here when
        // the button is pressed.
        SlowUpload up(24 * 1024 * 1024, 7);
        QVERIFY(up.start("OC-ABC2026120803.zip", 64 * 1024));

        AsyncFtpClient ftp;
        QThread *const owner = QThread::currentThread();
        QList<FtpFailure> failures;
        QList<QPair<FtpOperation, bool>> finished;
        qint64 lastDone = 0;
        bool offThread = false;
        connect(&ftp, &AsyncFtpClient::failed, this, [&](const FtpFailure &f) { failures << f; });
        connect(&ftp, &AsyncFtpClient::progress, this, [&](qint64 done, qint64) {
            offThread |= QThread::currentThread() != owner;
            lastDone = done;
            if (done > 0)
                ftp.abort();
        });
        connect(&ftp, &AsyncFtpClient::finished, this, [&](FtpOperation op, bool ok) {
            offThread |= QThread::currentThread() != owner;
            finished.append({op, ok});
            if (op == FtpOperation::Connect && ok)
                ftp.changeDirectory("/in");
            else if (op == FtpOperation::ChangeDirectory && ok)
                ftp.upload(up.tmp.filePath("OC-ABC2026120803.zip"), "OC-ABC2026120803.zip");
        });
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(20);

        ftp.setSettings(settingsFor(up.server, "in"));
        ftp.connectToHost();
        QVERIFY(ftp.isBusy());
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 3, 20000);
        QVERIFY(clock.elapsed() < 10000); // the whole file would take minutes
        QVERIFY(!offThread);
        QVERIFY(ftp.isConnected());
        QCOMPARE(finished[2], qMakePair(FtpOperation::Upload, false));
        QVERIFY2(lastDone > 0 && lastDone < up.data.size(), qPrintable(QString::number(lastDone)));
        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures[0].kind, FtpFailure::Aborted);
        QVERIFY(ticks > 5);
        QVERIFY(!ftp.isBusy());
        QVERIFY(!QFile::exists(up.server.root() + "/in/OC-ABC2026120803.zip"));
        QTRY_COMPARE_WITH_TIMEOUT(filesIn(up.server.root() + "/in"), QStringList(), 5000);

        // Calls made after the abort run; a smaller file gets through the
        // slow server.
        const QByteArray small = randomBytes(64 * 1024, 8);
        QVERIFY(writeFile(up.tmp.filePath("OC-ABC2026120803.zip"), small));
        disconnect(&ftp, &AsyncFtpClient::progress, this, nullptr);
        finished.clear();
        ftp.upload(up.tmp.filePath("OC-ABC2026120803.zip"), "OC-ABC2026120803.zip");
        QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 1, 20000);
        QCOMPARE(finished[0], qMakePair(FtpOperation::Upload, true));
        QCOMPARE(readFile(up.server.root() + "/in/OC-ABC2026120803.zip"), small);
        ftp.disconnectFromHost();
        QVERIFY(!ftp.isConnected());
    }

    // A server that accepts the connection and never greets: abort works
    // while connecting, and the time-out ends the wait when nobody aborts.
    void abortAndTimeOutWhileConnecting()
    {
        SilentServer silent;
        QVERIFY(silent.port() > 0);
        FtpSettings s;
        s.host = "127.0.0.1";
        s.port = silent.port();
        s.user = "occ";
        s.password = "x";

        AsyncFtpClient ftp;
        QSignalSpy failed(&ftp, &AsyncFtpClient::failed);
        QSignalSpy finished(&ftp, &AsyncFtpClient::finished);
        ftp.setSettings(s);
        ftp.connectToHost();
        ftp.changeDirectory("/in"); // queued behind: aborted too
        QTest::qWait(300);
        QCOMPARE(finished.size(), 0);
        QElapsedTimer clock;
        clock.start();
        ftp.abort();
        QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 2, 5000);
        QVERIFY(clock.elapsed() < 3000);
        QCOMPARE(failed.size(), 2);
        QCOMPARE(failed[0][0].value<FtpFailure>().kind, FtpFailure::Aborted);
        QCOMPARE(failed[1][0].value<FtpFailure>().kind, FtpFailure::Aborted);
        QVERIFY(!ftp.isConnected());

        s.timeoutMs = 1500;
        Recorder rec;
        FtpClient sync(&rec);
        sync.setSettings(s);
        clock.restart();
        QVERIFY(!sync.connectToHost());
        QVERIFY(clock.elapsed() < 6000);
        QCOMPARE(rec.failures.last().code, 28);
        QVERIFY(rec.failures.last().text.startsWith("O servidor 127.0.0.1 não respondeu dentro do tempo limite"));
    }
};

QTEST_GUILESS_MAIN(TestFtpClient)
#include "test_ftpclient.moc"
