#include "support/fulldisk.h"
#include "support/remessafixture.h"
#include "support/scriptedmessenger.h"

#include "remessa/foldertransfer.h"
#include "remessa/registerstep.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QtTest>

namespace {

// Counts blocks; interrupts after a given number of them.
struct Watcher : FolderTransferObserver
{
    int stopAfter = -1;
    int blocks = 0;
    qint64 startedWith = -1;
    qint64 lastDone = 0;
    void copyStarted(qint64 size) override { startedWith = size; }
    void blockCopied(qint64 done, qint64) override
    {
        ++blocks;
        lastDone = done;
    }
    bool interrupted() const override { return stopAfter >= 0 && blocks >= stopAfter; }
};

const QString Number = QStringLiteral("2026120801");
const QString Package = QStringLiteral("OC-OCP00012026120801.zip");

}

class TestFolderTransfer : public QObject
{
    Q_OBJECT

    static FolderTransfer::Result copy(RemessaFixture &f, Messenger &msg, const QString &file, const QString &dest,
                                       FolderTransferObserver &observer)
    {
        return FolderTransfer::run(f.db, msg, f.work(Number), file, dest, observer);
    }

    static bool writeTxt(RemessaFixture &f, const QString &name, const QByteArray &text)
    {
        QFile file(QDir(f.transferDir).filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }

private slots:
    void copiesInBlocksAndLogsTheTransfer()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 5);
        const QString source = f.makeFile(Package, 3 * FolderTransfer::BlockSize + 100);
        ScriptedMessenger msg;
        Watcher w;
        const auto r = copy(f, msg, Package, f.outDir, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Done));
        QCOMPARE(r.text, QStringLiteral("Gravação de arquivo realizada com sucesso."));
        QVERIFY(msg.messages.isEmpty());
        QCOMPARE(w.blocks, 4);
        QCOMPARE(w.startedWith, QFileInfo(source).size());
        QCOMPARE(QFileInfo(r.copiedPath).absoluteFilePath(), QDir(f.outDir).absoluteFilePath(Package));
        QFile a(source), b(r.copiedPath);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
        QVERIFY(QFileInfo::exists(source)); // the package stays for the result

        QSqlQuery q = f.db.exec("SELECT TipoRemessa, Evento, Usuario, Obs FROM CONTROLE WHERE Evento = 'TR'");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("C"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("Administrador"));
        QCOMPARE(q.value(3).toString(), QStringLiteral("<Transferência Manual: Gravação de Disquete>"));
        QVERIFY(!q.next());
        QCOMPARE(f.newestEvent(Number), QStringLiteral("TR"));
    }

    // A link in the destination named like the package is replaced by the
    // package; the file it pointed at is left as it was.
    void aLinkNamedLikeThePackageIsNotFollowed()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 5);
        f.makeFile(Package, FolderTransfer::BlockSize + 10);
        const QString victim = QDir(f.home->dir()).filePath("db/outro.txt");
        {
            QFile v(victim);
            QVERIFY(v.open(QIODevice::WriteOnly));
            v.write("nao mexer");
        }
        QVERIFY(QFile::link(victim, f.outDir + Package));
        ScriptedMessenger msg;
        Watcher w;
        const auto r = copy(f, msg, Package, f.outDir, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Done));
        QFile v(victim);
        QVERIFY(v.open(QIODevice::ReadOnly));
        QCOMPARE(v.readAll(), QByteArray("nao mexer"));
        QVERIFY(!QFileInfo(f.outDir + Package).isSymLink());
        QCOMPARE(QFileInfo(f.outDir + Package).size(), FolderTransfer::BlockSize + 10);
        QCOMPARE(QDir(f.outDir).entryList(QDir::Files | QDir::System), QStringList{Package});
    }

    // A destination without room: the failure names the full disk, nothing
    // is left there and no transfer is logged.
    void aFullDestinationLeavesNothingAndSaysSo()
    {
        FullDisk disk(512 * 1024);
        REQUIRE_MOUNTED(disk);
        RemessaFixture f;
        f.event(Number, "C", "PR", 5);
        f.makeFile(Package, 8 * FolderTransfer::BlockSize);
        disk.fill(2 * FolderTransfer::BlockSize);
        ScriptedMessenger msg;
        Watcher w;
        const auto r = copy(f, msg, Package, disk.path(), w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Failed));
        QVERIFY2(
            r.text.startsWith("Gravação de arquivo não realizada: Erro ao gravar arquivo. Causa: não há espaço livre"),
            qPrintable(r.text));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(f.newestEvent(Number), QStringLiteral("PR"));
    }

    // A file of an exact multiple of the block ends with an empty read.
    void exactMultipleOfTheBlock()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 5); // a remittance waiting for its transfer
        f.makeFile(Package, 2 * FolderTransfer::BlockSize);
        ScriptedMessenger msg;
        Watcher w;
        const auto r = copy(f, msg, Package, f.outDir, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Done));
        QCOMPARE(QFileInfo(r.copiedPath).size(), 2 * FolderTransfer::BlockSize);
    }

    void floppyCapacityAppliesToFloppyMountsOnly()
    {
        QVERIFY(FolderTransfer::isFloppy("/media/floppy"));
        QVERIFY(FolderTransfer::isFloppy("/media/floppy0/"));
        QVERIFY(FolderTransfer::isFloppy("/mnt/Floppy1"));
        QVERIFY(!FolderTransfer::isFloppy("/media/floppy/remessas"));
        QVERIFY(!FolderTransfer::isFloppy("/home/occ/floppies-old/x"));
        QVERIFY(!FolderTransfer::isFloppy("/home/occ/saida"));
        QCOMPARE(FolderTransfer::roundedKb(1038 * 1024 + 511), 1038);
        QCOMPARE(FolderTransfer::roundedKb(1038 * 1024 + 513), 1039);

        RemessaFixture f;
        f.event(Number, "C", "PR", 5); // a remittance waiting for its transfer
        const QString floppy = QDir(f.home->dir()).filePath("media/floppy0");
        QDir().mkpath(floppy);
        ScriptedMessenger msg;
        Watcher w;
        f.makeFile(Package, 1038 * 1024);
        auto r = copy(f, msg, Package, floppy, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Done));
        QVERIFY(msg.messages.isEmpty());

        QFile::remove(QDir(floppy).filePath(Package));
        f.makeFile(Package, 1039 * 1024);
        r = copy(f, msg, Package, floppy, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::NotStarted));
        QCOMPARE(msg.lastText(), QStringLiteral("Tamanho do arquivo maior que a capacidade do disquete"));
        QCOMPARE(msg.lastKind(), ScriptedMessenger::Error);
        QVERIFY(!QFileInfo::exists(QDir(floppy).filePath(Package)));
        QCOMPARE(f.count("CONTROLE", "Evento = 'TR'"), 1);

        // Any other folder takes it (prepared again: a sent one is not sent twice).
        f.event(Number, "C", "PR", 0);
        r = copy(f, msg, Package, f.outDir, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Done));
    }

    void refusalsWriteNothing()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 5); // a remittance waiting for its transfer
        ScriptedMessenger msg;
        Watcher w;
        // No destination: nothing happens, no message.
        auto r = copy(f, msg, Package, "  ", w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::NotStarted));
        QVERIFY(msg.messages.isEmpty());

        r = copy(f, msg, Package, f.outDir, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::NotStarted));
        QCOMPARE(msg.lastText(), QStringLiteral("Arquivo não encontrado."));

        // Copying onto itself would empty the package.
        const QString source = f.makeFile(Package, 5000);
        r = copy(f, msg, Package, f.transferDir, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::NotStarted));
        QVERIFY(msg.lastText().contains("próprio diretório de transferência"));
        QCOMPARE(QFileInfo(source).size(), 5000);

        // A folder that does not exist cannot receive the copy.
        r = copy(f, msg, Package, f.outDir + "nao/existe", w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Failed));
        QCOMPARE(r.text, QStringLiteral("Gravação de arquivo não realizada: Erro ao criar arquivo."));
        QCOMPARE(w.startedWith, 5000);
        QCOMPARE(f.count("CONTROLE", "Evento = 'TR'"), 0);
        QCOMPARE(f.count("CONTROLE_TXT"), 0);
    }

    void interruptedCopyLeavesNothing()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 5); // a remittance waiting for its transfer
        f.makeFile(Package, 10 * FolderTransfer::BlockSize);
        ScriptedMessenger msg;
        Watcher w;
        w.stopAfter = 2;
        const auto r = copy(f, msg, Package, f.outDir, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Interrupted));
        QCOMPARE(r.text, QStringLiteral("Gravação de arquivo interrompida."));
        QVERIFY(!RegisterStep::holder(f.db)); // the marker went with the run
        QCOMPARE(w.blocks, 2);
        QVERIFY(!QFileInfo::exists(QDir(f.outDir).filePath(Package)));
        QCOMPARE(f.count("CONTROLE", "Evento = 'TR'"), 0);
    }

    // A TXT file travels zipped under its stem; its own log gets the row.
    void txtFileIsZippedAndLoggedApart()
    {
        RemessaFixture f;
        const QString txt = QStringLiteral("TX-OCP0001-0001.txt");
        QVERIFY(writeTxt(f, txt, "linha 1\r\nlinha 2\r\n"));
        ScriptedMessenger msg;
        Watcher w;
        const auto r = copy(f, msg, txt, f.outDir, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Done));
        QCOMPARE(QFileInfo(r.copiedPath).fileName(), QStringLiteral("TX-OCP0001-0001.zip"));
        QCOMPARE(f.count("CONTROLE"), 0);
        QSqlQuery q = f.db.exec("SELECT NomeArquivo, Obs, UsuResp, EnviadoQUELORA FROM CONTROLE_TXT");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), txt);
        QCOMPARE(q.value(1).toString(), QStringLiteral("<Transferência Manual: Gravação de Disquete>"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("admin"));
        QCOMPARE(q.value(3).toString(), QStringLiteral("S"));
        QProcess unzip;
        unzip.start("unzip", {"-l", r.copiedPath});
        QVERIFY(unzip.waitForFinished());
        QVERIFY(QString::fromLocal8Bit(unzip.readAllStandardOutput()).contains(txt));
        // The TXT file stays in its folder, as the other modes leave it.
        QVERIFY(QFile::exists(QDir(f.transferDir).filePath(txt)));
    }

    // A copy whose delivery row cannot be written is no delivery: it fails,
    // the copy is taken back, and the TXT file stays for a retry.
    void unloggedTxtCopyIsAFailure()
    {
        RemessaFixture f;
        const QString txt = QStringLiteral("TX-OCP0001-0002.txt");
        QVERIFY(writeTxt(f, txt, "linha\r\n"));
        if (f.db.onServer()) {
            f.db.execute("CREATE FUNCTION cheio() RETURNS trigger LANGUAGE plpgsql AS "
                         "$$BEGIN RAISE EXCEPTION 'disco cheio'; END$$");
            f.db.execute("CREATE TRIGGER cheio BEFORE INSERT ON CONTROLE_TXT FOR EACH ROW EXECUTE FUNCTION cheio()");
        } else {
            f.db.execute(
                "CREATE TRIGGER cheio BEFORE INSERT ON CONTROLE_TXT BEGIN SELECT RAISE(ABORT, 'disco cheio'); END");
        }
        ScriptedMessenger msg;
        Watcher w;
        const auto r = copy(f, msg, txt, f.outDir, w);
        QCOMPARE(int(r.status), int(FolderTransfer::Status::Failed));
        QCOMPARE(r.text,
                 QStringLiteral("Gravação de arquivo não realizada: o registro do envio em CONTROLE_TXT falhou."));
        QVERIFY(!QFile::exists(QDir(f.outDir).filePath("TX-OCP0001-0002.zip")));
        QVERIFY(QFile::exists(QDir(f.transferDir).filePath(txt)));
        QCOMPARE(f.count("CONTROLE_TXT"), 0);
    }
};

QTEST_GUILESS_MAIN(TestFolderTransfer)
#include "test_foldertransfer.moc"
