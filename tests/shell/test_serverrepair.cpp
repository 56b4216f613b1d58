// "Reparar Base de Dados" on a register kept by a server.
#include "db/database.h"
#include "db/dberror.h"
#include "shell/compaction.h"
#include "shell/serverrepair.h"
#include "support/scriptedmessenger.h"
#include "support/testdb.h"
#include "support/testhome.h"

#include <QDir>
#include <QtTest>

namespace {

struct Run
{
    ScriptedMessenger msg;
    QStringList panel;
    bool hidden = false;
    bool ok = false;

    void repair(Database &db, const QString &dir)
    {
        Compactor compactor(db, msg, dir);
        compactor.setPanel([this](const QString &text, bool visible) {
            if (visible)
                panel << text;
            else
                hidden = true;
        });
        msg.answers.enqueue(true);
        ok = compactor.run();
    }
};

// Breaks keys the way a damaged or hand-edited server would: USU_LOCAL loses
// its primary key and takes a second "admin" (keys compare case-blind) and a
// row with no code; LOTE is gone.
void breakKeys(Database &db)
{
    const QString pkey = db.scalar(
                               "SELECT conname FROM pg_catalog.pg_constraint WHERE conrelid = 'usu_local'::regclass "
                               "AND contype = 'p'")
                             .toString();
    QVERIFY(!pkey.isEmpty());
    db.execute(QStringLiteral("ALTER TABLE USU_LOCAL DROP CONSTRAINT %1").arg(pkey));
    db.execute("ALTER TABLE USU_LOCAL ALTER COLUMN SiglaUsu DROP NOT NULL");
    db.execute("INSERT INTO USU_LOCAL (SiglaUsu, NomeUsu) VALUES ('ADMIN', 'outro'), (NULL, 'sem código')");
    db.execute("DROP TABLE LOTE");
}

// In the order the tables are declared.
const QStringList BrokenKeys = {
    "Tabela LOTE: não existe no servidor.",
    "Tabela USU_LOCAL: o servidor não mantém a chave primária (SiglaUsu).",
    "Tabela USU_LOCAL: 1 valor(es) da chave (SiglaUsu) em mais de uma linha.",
    "Tabela USU_LOCAL: 1 linha(s) com a chave (SiglaUsu) incompleta.",
};

}

class TestServerRepair : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!TestDb::onServer())
            QSKIP("a register on a file is compacted as a file (test_compaction)");
    }

    // Compacted and analysed by the server, keys checked, the connection
    // back; no file is made in the program folder.
    void repairsOnTheServerAndComesBack()
    {
        TestHome home(true);
        Database db;
        home.open(db);
        Run run;
        run.repair(db, home.dir() + "/db");
        QVERIFY2(run.ok, qPrintable(run.msg.texts().join('\n')));
        QCOMPARE(run.panel,
                 (QStringList{CompactionTexts::Compacting, ServerRepair::CheckingKeys, CompactionTexts::Compacted}));
        QVERIFY(run.hidden);
        QCOMPARE(run.msg.texts(), (QStringList{CompactionTexts::Question, CompactionTexts::Repaired}));
        QVERIFY(db.isOpen() && db.onServer());
        QVERIFY(db.scalar("SELECT count(*) FROM CERTIFIC").toInt() > 0);
        QCOMPARE(QDir(home.dir() + "/db").entryList({"*.mdb"}, QDir::Files), QStringList());

        // The server did the work: seen by a connection of its own.
        Database other(QStringLiteral("estatisticas"));
        home.open(other);
        QCOMPARE(other
                     .scalar("SELECT last_vacuum IS NOT NULL AND last_analyze IS NOT NULL "
                             "FROM pg_catalog.pg_stat_user_tables WHERE relname = 'certific'")
                     .toBool(),
                 true);
    }

    // Broken keys are named, nothing is changed, and the window is back.
    void brokenKeysAreToldAndLeftToTheAdministrator()
    {
        TestHome home;
        Database db;
        home.open(db);
        QCOMPARE(ServerRepair::keyProblems(db), QStringList());
        breakKeys(db);
        QCOMPARE(ServerRepair::keyProblems(db), BrokenKeys);
        QVERIFY(!db.inTransaction());

        Run run;
        run.repair(db, home.dir() + "/db");
        QVERIFY(!run.ok);
        QCOMPARE(run.panel.last(), CompactionTexts::Failed);
        QVERIFY(!run.hidden);
        QCOMPARE(run.msg.lastKind(), ScriptedMessenger::Warning);
        QCOMPARE(run.msg.lastText(), ServerRepair::ProblemsFound.arg(db.server().shortText(), BrokenKeys.join('\n')));
        QVERIFY(db.isOpen());
        QCOMPARE(db.scalar("SELECT count(*) FROM USU_LOCAL").toInt(), 3);
    }

    // A key index the server no longer trusts is no hiding place: the rows
    // are read from the table.
    void keysAreReadFromTheRowsNotTheIndex()
    {
        TestHome home;
        Database db;
        home.open(db);
        const QString pkey =
            db.scalar("SELECT conname FROM pg_catalog.pg_constraint WHERE conrelid = 'usu_local'::regclass "
                      "AND contype = 'p'")
                .toString();
        // The duplicate goes in while the key's index is switched off for
        // writes, as a damaged index would let it.
        db.execute(QStringLiteral("UPDATE pg_catalog.pg_index SET indisready = false WHERE indexrelid = '%1'::regclass")
                       .arg(pkey));
        db.execute("INSERT INTO USU_LOCAL (SiglaUsu, NomeUsu) VALUES ('admin', 'gêmeo')");
        // A session that would rather read through indexes.
        db.execute("SET enable_seqscan = off");
        QCOMPARE(ServerRepair::keyProblems(db),
                 QStringList{"Tabela USU_LOCAL: 1 valor(es) da chave (SiglaUsu) em mais de uma linha."});
    }

    // Nothing can hold a server database for one program: said, not feigned.
    void noExclusiveHoldOnTheServer()
    {
        TestHome home;
        Database db;
        home.open(db);
        try {
            db.holdExclusively();
            QFAIL("held");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains("não pode ser reservado para um só programa"), qPrintable(e.message()));
            QVERIFY(e.message().contains(db.describe()));
        }
        QCOMPARE(db.scalar("SELECT count(*) FROM USU_LOCAL").toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestServerRepair)
#include "test_serverrepair.moc"
