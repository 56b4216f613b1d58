// The import under faults: a full disk, another program holding the
// database, a folder that cannot hold the logs, a file that cannot be read.
#include "db/dberror.h"
#include "db/schema.h"
#include "support/clirun.h"
#include "support/importrunfixture.h"
#include "support/testdb.h"

#include <QCryptographicHash>
#include <QtTest>
#include <sys/mount.h>

using B = ImportFileBuilder;

namespace {

// A small file system of its own (the tests run as root, as CI does).
class Tmpfs
{
public:
    explicit Tmpfs(const QByteArray &size)
    {
        const QByteArray where = QFile::encodeName(m_dir.path());
        m_mounted = ::mount("tmpfs", where.constData(), "tmpfs", 0, ("size=" + size).constData()) == 0;
    }
    ~Tmpfs()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString path(const QString &name = QString()) const { return name.isEmpty() ? m_dir.path() : m_dir.filePath(name); }
    bool makeReadOnly()
    {
        return ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                       nullptr) == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

QByteArray digest(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

QMap<QString, int> rowCounts(Database &db)
{
    QMap<QString, int> out;
    for (const Schema::Table &t : Schema::tables())
        out[t.name] = db.scalar(QStringLiteral("select count(*) from ") + t.name).toInt();
    return out;
}

}

class TestImportSafety : public QObject
{
    Q_OBJECT

private slots:
    // The engine may roll the file's transaction back on its own when the
    // disk fills; nothing written after that may stay.
    void fullDiskLeavesTheDatabaseAsItWas()
    {
        if (TestDb::onServer())
            QSKIP("the register is no file of this computer: the server's disk is its administrator's");
        ImportRunFixture f;
        Tmpfs disk("24m");
        if (!disk.mounted())
            QSKIP("cannot mount a tmpfs here");
        const QString dbFile = disk.path(QStringLiteral("bdocc.mdb"));
        f.db->close();
        QVERIFY(QFile::copy(f.home->dbPath(), dbFile));

        B file(ImportRunFixture::Sigla);
        for (int c = 1; c <= 4300; ++c) // about 30 000 records
            file.completeCertificate(QStringLiteral("D-%1").arg(c));
        const QString name = f.write(1, file);

        // Leave the file little room to grow in.
        {
            QFile filler(disk.path(QStringLiteral("enchimento")));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(1 << 16, 'x');
            while (filler.write(block) == block.size()) { }
            filler.close();
            QVERIFY(filler.resize(filler.size() - 384 * 1024));
        }

        Database db(QStringLiteral("disco"));
        db.open(dbFile);
        const QByteArray before = digest(dbFile);
        const QMap<QString, int> countsBefore = rowCounts(db);

        ScriptedMessenger msg;
        ImportRun run(QStringLiteral("KESTRAVO"), db, QStringLiteral("imp"), msg);
        QVERIFY(!run.run(f.dir(), {name}));
        QCOMPARE(run.results().first().outcome, ImportRun::Outcome::Failed);
        QCOMPARE(rowCounts(db), countsBefore);
        QCOMPARE(digest(dbFile), before);
        QVERIFY(!QFile::exists(dbFile + QStringLiteral("-journal")));
        QVERIFY2(f.read("ERROBD" + f.base(name) + ".txt").contains("nada deste arquivo foi gravado"),
                 qPrintable(msg.texts().join('\n')));
        // One message about the full disk, not one per record.
        int full = 0;
        for (const QString &t : msg.texts())
            full += t.contains(QLatin1String("full")) ? 1 : 0;
        QCOMPARE(full, 1);

        QVERIFY(QFile::remove(disk.path(QStringLiteral("enchimento"))));
        msg.clear();
        QVERIFY2(run.run(f.dir(), {name}), qPrintable(msg.texts().join('\n')));
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from CERTIFIC")).toInt(), 4300);
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from CONTROLE_TXT")).toInt(), 1);
    }

    // Another program in the middle of a write: one message in Portuguese,
    // nothing written, the file not marked as failed.
    void busyDatabaseIsReportedOnce()
    {
        if (TestDb::onServer())
            QSKIP("on a server another workstation's write holds its own rows only, never the whole register");
        ImportRunFixture f;
        f.write(1, B(ImportRunFixture::Sigla).completeCertificate("C-1").completeCertificate("C-2"));
        f.write(2, B(ImportRunFixture::Sigla).completeCertificate("C-3"));
        Database other(QStringLiteral("outro-programa"));
        f.home->open(other);
        other.begin();
        other.execute(QStringLiteral("update CONFIG_LOCAL set NomeOCC = NomeOCC"));

        QVERIFY(!f.run());
        other.rollback();
        const QStringList texts = f.msg.texts();
        QCOMPARE(texts.count(DbErrors::BusyMessage), 1);
        for (const QString &t : texts)
            QVERIFY2(!t.contains(QLatin1String("locked")) && !t.contains(QLatin1String("busy")), qPrintable(t));
        QCOMPARE(f.results.size(), 1); // the second file was not started
        QVERIFY(f.failedFiles.isEmpty());
        QCOMPARE(f.count("CERTIFIC"), 0);
        QCOMPARE(f.count("CONTROLE_TXT"), 0);
        QVERIFY(!f.exists("Log.txt") && !f.exists("Log_BD.txt"));
        QCOMPARE(QDir(f.dir()).entryList(QDir::Files).size(), 2);

        QVERIFY(f.run());
        QCOMPARE(f.count("CERTIFIC"), 3);
    }

    // The batch tool: a database held even for reading refuses the sign-in
    // with the same words and exit 1.
    void busyDatabaseStopsTheBatchTool()
    {
        if (TestDb::onServer())
            QSKIP("a server has no lock over the whole register for another program to take");
        ImportRunFixture f;
        f.write(1, B(ImportRunFixture::Sigla).completeCertificate("C-1"));
        const QStringList args{"import", "--home", f.home->dir(), "--user", "admin", f.dir()};
        for (const char *lock : {"BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
            Database other(QStringLiteral("outro-programa"));
            f.home->open(other);
            other.execute(QString::fromLatin1(lock));
            const CliRun::Result r = CliRun::run(args);
            other.execute(QStringLiteral("ROLLBACK"));
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.count(DbErrors::BusyMessage) == 1, qPrintable(r.err));
            QVERIFY2(!r.err.contains(QLatin1String("locked")), qPrintable(r.err));
            QVERIFY2(!r.err.contains(QLatin1String("Login e/ou senha")), qPrintable(r.err));
            QCOMPARE(f.count("CERTIFIC"), 0);
            QCOMPARE(f.count("CONTROLE_TXT"), 0);
        }
        QCOMPARE(CliRun::run(args).code, 0);
        QCOMPARE(f.count("CERTIFIC"), 1);
    }

    void messagesNameTheFileAndWhy()
    {
        ImportRunFixture f;
        const QString missing = ImportRunFixture::name(7);
        f.run({missing});
        QCOMPARE(f.results.first().outcome, ImportRun::Outcome::Skipped);
        const QString path = QDir::toNativeSeparators(f.path(missing));
        QVERIFY2(f.msg.texts().contains("Erro ao tentar abrir o arquivo! " + path + ": o arquivo não foi encontrado."),
                 qPrintable(f.msg.texts().join('\n')));

        Tmpfs folder("4m");
        if (!folder.mounted())
            QSKIP("cannot mount a tmpfs here");
        const QString name = ImportRunFixture::name(1);
        QVERIFY(B(ImportRunFixture::Sigla).completeCertificate("C-1").write(folder.path(name)));
        QVERIFY(folder.makeReadOnly());
        f.msg.clear();
        ImportRun run(QStringLiteral("KESTRAVO"), *f.db, QStringLiteral("imp"), f.msg);
        run.run(folder.path(), {name});
        QCOMPARE(run.results().first().outcome, ImportRun::Outcome::Skipped);
        const QString log = QDir::toNativeSeparators(folder.path(QStringLiteral("Log.txt")));
        QVERIFY2(f.msg.lastText().contains(name) && f.msg.lastText().contains(log) &&
                     f.msg.lastText().contains(QStringLiteral("somente leitura")),
                 qPrintable(f.msg.lastText()));
        QCOMPARE(f.count("CERTIFIC"), 0);
    }
};

QTEST_GUILESS_MAIN(TestImportSafety)
#include "test_import_safety.moc"
