// Copies of the database: taken online, checked, private, thinned out; put
// back only when whole; the batch tool's copia and restaurar.
#include "base/clock.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/registercopy.h"
#include "shell/copysettings.h"
#include "shell/databasecopies.h"
#include "support/clirun.h"
#include "support/testdb.h"
#include "support/testhome.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <atomic>

namespace {

const QDate Day(2040, 3, 10);

QByteArray fileDigest(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

int certificates(const QString &file)
{
    Database db(QStringLiteral("contagem"));
    db.open(file);
    return db.scalar(QStringLiteral("select count(*) from CERTIFIC")).toInt();
}

// The same count in the register of the program folder, whichever engine keeps it.
int certificates(const TestHome &home)
{
    Database db(QStringLiteral("contagem-registro"));
    home.open(db);
    return db.scalar(QStringLiteral("select count(*) from CERTIFIC")).toInt();
}

// What the register holds: its file's bytes, or every table's rows on a server.
QByteArray digest(const TestHome &home)
{
    if (!TestDb::onServer())
        return fileDigest(home.dbPath());
    Database db(QStringLiteral("resumo-registro"));
    home.open(db);
    QByteArray all;
    for (const RegisterTables::Sum &sum : RegisterCopy::sums(db))
        all += sum.table.toUtf8() + ' ' + QByteArray::number(sum.rows) + ' ' + sum.digest + '\n';
    return all;
}

// Rows of a load, inserted by one statement on either engine.
void load(Database &db, int lote, int rows, int width, QChar fill)
{
    db.execute(QStringLiteral("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < %1) "
                              "INSERT INTO CARGA (Lote, Texto) SELECT %2, ? FROM c")
                   .arg(rows)
                   .arg(lote),
               {QString(width, fill)});
}

// Overwrites the start of every other page after the first: the b-trees
// no longer hold together.
void damage(const QString &file)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const qint64 pages = f.size() / 4096;
    QVERIFY(pages > 4);
    for (qint64 p = 1; p < pages; p += 2) {
        f.seek(p * 4096);
        f.write(QByteArray(64, '\xA5'));
    }
}

// Writes like an import: batches of rows, each batch one transaction.
class Writer : public QThread
{
public:
    Writer(const TestHome &home, int batch)
        : m_home(home),
          m_batch(batch)
    { }
    std::atomic<bool> stop{false};
    std::atomic<int> batches{0};
    std::atomic<int> failures{0};

protected:
    void run() override
    {
        Database db(QStringLiteral("importacao"));
        m_home.open(db);
        for (int lote = 1; !stop; ++lote) {
            try {
                Transaction tx(db);
                for (int i = 0; i < m_batch; ++i)
                    db.execute(QStringLiteral("insert into CARGA (Lote, Texto) values (?, ?)"),
                               {lote, QString(200, QLatin1Char('x'))});
                tx.commit();
                ++batches;
            } catch (const DbError &) {
                ++failures;
            }
            // An import reads and checks its next records between commits.
            QThread::msleep(2);
        }
    }

private:
    const TestHome &m_home;
    int m_batch;
};

}

class TestDatabaseCopies : public QObject
{
    Q_OBJECT

    static int runCli(const QStringList &args, QString *err = nullptr)
    {
        const CliRun::Result r = CliRun::run(args, Day);
        if (err)
            *err = r.err;
        return r.code;
    }

private slots:
    void copiesAreCheckedPrivateAndThinnedOut()
    {
        TestHome home(true);
        Database db;
        home.open(db);
        const QString folder = DatabaseCopies::defaultFolder();
        QVERIFY(DatabaseCopies::dueOn(folder, Day));

        const QString first = DatabaseCopies::make(db, folder, Day);
        QVERIFY2(
            QRegularExpression(QStringLiteral("/db/copias/bdocc-2040-03-10-\\d{6}\\.mdb$")).match(first).hasMatch(),
            qPrintable(first));
        QCOMPARE(certificates(first), certificates(home));
        const QFile::Permissions others = QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther;
        QCOMPARE(QFile::permissions(first) & others, QFile::Permissions());
        QCOMPARE(QFile::permissions(folder) & (others | QFile::ExeGroup | QFile::ExeOther), QFile::Permissions());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QFileInfo(first).fileName()});
        QVERIFY(!DatabaseCopies::dueOn(folder, Day));
        QVERIFY(DatabaseCopies::dueOn(folder, Day.addDays(1)));

        // A copy cut short (its temporary name) is neither a copy nor the day's.
        QFile partial(folder + QStringLiteral("bdocc-2040-03-20-101010.mdb.parcial"));
        QVERIFY(partial.open(QIODevice::WriteOnly));
        partial.write("SQLite format 3");
        partial.close();
        QVERIFY(DatabaseCopies::dueOn(folder, Day.addDays(10)));
        QCOMPARE(DatabaseCopies::list(folder), QStringList{first});

        // The first start of each later day makes one; the same day does not.
        QVERIFY(DatabaseCopies::makeDailyIfDue(db, folder, Day, 3).isEmpty());
        QStringList made;
        for (int d = 1; d <= 4; ++d)
            made << DatabaseCopies::makeDailyIfDue(db, folder, Day.addDays(d), 3);
        QVERIFY(!made.contains(QString()));
        QCOMPARE(DatabaseCopies::list(folder), made.mid(1));
        QVERIFY(!QFile::exists(first));

        // Two copies within the same second get names of their own.
        const QString a = DatabaseCopies::make(db, folder, Day.addDays(9));
        const QString b = DatabaseCopies::make(db, folder, Day.addDays(9));
        QVERIFY(a != b && QFile::exists(a) && QFile::exists(b));
        QCOMPARE(DatabaseCopies::prune(folder, 0).size(), 4); // at least one stays
        QCOMPARE(DatabaseCopies::list(folder), QStringList{b});

        // Inside a write of its own the connection cannot be copied whole.
        db.begin();
        QVERIFY_THROWS_EXCEPTION(AppError, DatabaseCopies::make(db, folder, Day));
        db.rollback();
    }

    void copyTakenWhileAnImportWrites()
    {
        TestHome home(true);
        Database db;
        home.open(db);
        db.execute(QStringLiteral("create table CARGA (Lote integer not null, Texto text)"));
        // Enough pages that a copy takes many steps.
        load(db, 0, 4000, 400, QLatin1Char('p'));
        constexpr int Batch = 40;
        Writer writer(home, Batch);
        writer.start();
        // A failed check must not leave the thread running.
        struct StopAtExit
        {
            Writer &w;
            ~StopAtExit()
            {
                w.stop = true;
                w.wait();
            }
        } stopAtExit{writer};
        while (writer.batches < 3)
            QThread::msleep(5);

        const QString folder = QDir(home.dir()).filePath(QStringLiteral("copias-teste"));
        for (int round = 0; round < 6; ++round) {
            const QString copy = DatabaseCopies::make(db, folder, Day);
            Database c(QStringLiteral("verifica"));
            c.open(copy);
            QCOMPARE(c.scalar(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
            // Every batch whole or absent, none half-written.
            QSqlQuery q = c.exec(QStringLiteral("select Lote, count(*) from CARGA where Lote > 0 group by Lote"));
            while (q.next())
                QCOMPARE(q.value(1).toInt(), Batch);
            QCOMPARE(c.scalar(QStringLiteral("select count(*) from CARGA where Lote = 0")).toInt(), 4000);
        }
        writer.stop = true;
        writer.wait();
        QCOMPARE(writer.failures.load(), 0);
        QVERIFY(writer.batches > 3);
    }

    void damagedCopyIsRefusedWithNothingChanged()
    {
        TestHome home(true);
        Database db;
        home.open(db);
        const QString folder = DatabaseCopies::defaultFolder();
        const QString good = DatabaseCopies::make(db, folder, Day);
        const QString damaged = QDir(home.dir()).filePath(QStringLiteral("danificada.mdb"));
        QVERIFY(QFile::copy(good, damaged));
        damage(damaged);

        const QByteArray before = digest(home);
        const QStringList copiesBefore = DatabaseCopies::list(folder);
        QVERIFY_THROWS_EXCEPTION(DbError, DatabaseCopies::restore(db, damaged, folder, Day));
        // Another program's database and a missing file are refused too.
        const QString foreign = QDir(home.dir()).filePath(QStringLiteral("outra.db"));
        {
            Database other(QStringLiteral("outra"));
            other.create(foreign);
            other.execute(QStringLiteral("create table X (a)"));
        }
        QVERIFY_THROWS_EXCEPTION(AppError, DatabaseCopies::restore(db, foreign, folder, Day));
        QVERIFY_THROWS_EXCEPTION(AppError, DatabaseCopies::restore(db, damaged + "x", folder, Day));
        QCOMPARE(digest(home), before);
        QCOMPARE(DatabaseCopies::list(folder), copiesBefore);
        QVERIFY(db.scalar(QStringLiteral("select count(*) from CERTIFIC")).toInt() > 0);

        // The batch tool refuses it the same way.
        db.close();
        QString err;
        QCOMPARE(runCli({"restaurar", "--home", home.dir(), "--user", "admin", damaged}, &err), 1);
        QVERIFY2(err.startsWith("ERRO: "), qPrintable(err));
        QCOMPARE(digest(home), before);
        QCOMPARE(DatabaseCopies::list(folder), copiesBefore);
    }

    void restoreKeepsTheCurrentDatabaseFirst()
    {
        TestHome home(true);
        Database db;
        home.open(db);
        const int count = certificates(home);
        QVERIFY(count > 0);
        const QString folder = DatabaseCopies::defaultFolder();
        const QString copy = DatabaseCopies::make(db, folder, Day);
        db.execute(QStringLiteral("delete from CERTIFIC"));

        // A program that keeps the database open sees the restored content.
        Database other(QStringLiteral("outro-programa"));
        home.open(other);
        QCOMPARE(other.scalar(QStringLiteral("select count(*) from CERTIFIC")).toInt(), 0);

        const QString kept = DatabaseCopies::restore(db, copy, folder, Day);
        QVERIFY(kept.endsWith(QLatin1String("-antes-restauracao.mdb")));
        QCOMPARE(certificates(kept), 0);
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from CERTIFIC")).toInt(), count);
        QCOMPARE(other.scalar(QStringLiteral("select count(*) from CERTIFIC")).toInt(), count);
        if (TestDb::onServer())
            QSKIP("the server checks its own storage: it has no integrity pragma");
        QCOMPARE(db.scalar(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
    }

    void batchToolCopiesAndRestores()
    {
        TestHome home(true);
        QTemporaryDir elsewhere;
        QString err;
        QCOMPARE(runCli({"copia", "--home", home.dir(), "--user", "admin", "--destino", elsewhere.path()}, &err), 0);
        const QStringList there = DatabaseCopies::list(elsewhere.path());
        QCOMPARE(there.size(), 1);
        QVERIFY(there.first().contains(QLatin1String("bdocc-2040-03-10-")));

        {
            Database db;
            home.open(db);
            db.execute(QStringLiteral("delete from CERTIFIC"));
        }
        QCOMPARE(runCli({"restaurar", "--home", home.dir(), "--user", "admin", there.first()}, &err), 0);
        QVERIFY(certificates(home) > 0);
        QCOMPARE(DatabaseCopies::list(DatabaseCopies::defaultFolder()).size(), 1);

        QCOMPARE(runCli({"copia", "--home", home.dir(), "--user", "admin", "--destino"}), 2);
        QCOMPARE(runCli({"restaurar", "--home", home.dir(), "--user", "admin"}), 2);
    }

    void killedCopyLeavesNothingThatLooksComplete()
    {
        TestHome home(true);
        {
            Database db;
            home.open(db);
            db.execute(QStringLiteral("create table CARGA (Lote integer not null, Texto text)"));
            load(db, 0, 30000, 1000, QLatin1Char('k'));
        }
        const QByteArray before = digest(home);
        const QString folder = DatabaseCopies::defaultFolder();

        QProcess p;
        CliRun::start(p, QStringList{"copia"} + CliRun::signedIn(home.dir()));
        // Killed as soon as the copy is being written (or when it is done).
        QVERIFY(QTest::qWaitFor(
            [&] {
                return !QDir(folder).entryList({"*.parcial"}, QDir::Files).isEmpty() ||
                    p.state() == QProcess::NotRunning;
            },
            30000));
        p.kill();
        p.waitForFinished(10000);

        QCOMPARE(digest(home), before);
        // Whatever carries a copy's name is a whole, checked copy.
        for (const QString &copy : DatabaseCopies::list(folder))
            DatabaseCopies::check(copy);
        // The next copy is made all the same and the partial one is not counted.
        Database db;
        home.open(db);
        const QString made = DatabaseCopies::make(db, folder, Day);
        QCOMPARE(DatabaseCopies::list(folder).last(), made);
    }

    void numberOfCopiesIsKeptBesideTheConfiguration()
    {
        TestHome home(true);
        Database db;
        home.open(db);
        // A database from before the setting reads the default.
        QVERIFY(!db.tableExists(QStringLiteral("CONFIG_COPIAS")));
        QCOMPARE(CopySettings::keep(db), DatabaseCopies::DefaultKeep);
        CopySettings::setKeep(db, 3);
        QCOMPARE(CopySettings::keep(db), 3);
        CopySettings::setKeep(db, 0);
        QCOMPARE(CopySettings::keep(db), CopySettings::Minimum);
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from CONFIG_COPIAS")).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseCopies)
#include "test_databasecopies.moc"
