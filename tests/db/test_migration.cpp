// A file register moved to a server database and back (corvane-cli migrar),
// proved table by table; what is refused, and what a failed run leaves.
// Always uses a server: the run's (CORVANE_TEST_PG_DIR) or one of its own.
#include "base/apppaths.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/provisioning.h"
#include "db/registercopy.h"
#include "db/registerlocation.h"
#include "support/clirun.h"
#include "support/testdb.h"
#include "support/testhome.h"

#include <QCryptographicHash>
#include <QtTest>

namespace {

QByteArray digestOf(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

CliRun::Result migrar(const QString &home, const QStringList &args)
{
    return CliRun::run(QStringList{QStringLiteral("migrar"), QStringLiteral("--home"), home} + args,
                       CliRun::Options().withoutPassword().within(120000));
}

QList<RegisterTables::Sum> sumsOfFile(const QString &file)
{
    Database db(QStringLiteral("sums-file"));
    db.open(file);
    return RegisterCopy::sums(db);
}

QList<RegisterTables::Sum> sumsOfServer(const ServerAddress &address)
{
    Database db(QStringLiteral("sums-server"));
    db.openServer(address);
    return RegisterCopy::sums(db);
}

int serverObjects(const ServerAddress &address)
{
    Database db(QStringLiteral("objects"));
    db.connectServer(address);
    return db
        .scalar(QStringLiteral("SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                               "ON n.oid = c.relnamespace WHERE n.nspname = current_schema()"))
        .toInt();
}

// The keys, indexes and checks of a server register, as the server states them.
QStringList catalogue(const ServerAddress &address)
{
    Database db(QStringLiteral("catalogue"));
    db.connectServer(address);
    QStringList out;
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT tablename || ' ' || indexdef FROM pg_catalog.pg_indexes WHERE schemaname = current_schema() "
        "UNION ALL SELECT conrelid::regclass::text || ' ' || conname || ' ' || pg_get_constraintdef(oid) "
        "FROM pg_catalog.pg_constraint WHERE connamespace = current_schema()::regnamespace ORDER BY 1"));
    while (q.next())
        out << q.value(0).toString().replace(address.name, QStringLiteral("BANCO"));
    return out;
}

// Names compared regardless of case: the server keeps its own in lower case.
void compareSums(const QList<RegisterTables::Sum> &a, const QList<RegisterTables::Sum> &b)
{
    QCOMPARE(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        QCOMPARE(a.at(i).table.toUpper(), b.at(i).table.toUpper());
        QVERIFY2(a.at(i).rows == b.at(i).rows && a.at(i).digest == b.at(i).digest, qPrintable(a.at(i).table));
    }
}

}

class TestMigration : public QObject
{
    Q_OBJECT

private slots:
    void demoRoundTripsThroughTheServer()
    {
        TestHome home(true);
        {
            Database db;
            home.open(db);
            // A table the declaration does not know, made on the way by a
            // part of the program, with values a bulk copy must escape.
            db.execute(QStringLiteral("CREATE TABLE CONTROLE_EXTRA (Id INTEGER NOT NULL PRIMARY KEY, "
                                      "Valor DOUBLE, Texto VARCHAR(40))"));
            db.execute(
                QStringLiteral("INSERT INTO CONTROLE_EXTRA VALUES (1, 0.1, ?), (2, NULL, NULL), (3, -2.5e10, ?)"),
                {QStringLiteral("a\tb\\c\nd\re ação Ω"), QStringLiteral("\\N")});
            db.execute(QStringLiteral("UPDATE SIGNATARIOS SET Signatario = ? WHERE ID_Signatario = "
                                      "(SELECT min(ID_Signatario) FROM SIGNATARIOS)"),
                       {QStringLiteral("Zoë\\Ñ\t")});
        }
        const QByteArray fileBefore = digestOf(home.dbPath());
        const QList<RegisterTables::Sum> original = sumsOfFile(home.dbPath());
        QVERIFY(original.size() > 70);
        QCOMPARE(original.last().table, QStringLiteral("CONTROLE_EXTRA"));
        QCOMPARE(original.last().rows, 3);

        const ServerAddress server = TestDb::freshDatabase();
        const CliRun::Result r = migrar(home.dir(), {QStringLiteral("--para"), server.uri()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.contains(QStringLiteral("aponta agora para o servidor")));
        QCOMPARE(digestOf(home.dbPath()), fileBefore);
        AppPaths::setProgramDir(home.dir());
        QCOMPARE(RegisterLocation::server(), std::optional<ServerAddress>(server));
        QFile ini(RegisterLocation::configFile());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(!ini.readAll().contains("senha="));
        compareSums(original, sumsOfServer(server));
        // Keys and indexes built after the rows are those of a register made
        // on the server from the start.
        {
            const ServerAddress made = TestDb::freshDatabase();
            Provisioning::Options options;
            options.adminPassword = QStringLiteral("admin");
            Provisioning::createOnServer(made, options);
            QStringList migrated = catalogue(server);
            // Its width's domain too, named in the declaration's spelling.
            migrated.removeIf([](const QString &line) {
                return line.contains(QLatin1String("controle_extra"), Qt::CaseInsensitive);
            });
            QVERIFY(migrated.size() > 100);
            QCOMPARE(migrated, catalogue(made));
        }

        {
            // The server numbers new rows after the copied ones.
            Database db;
            RegisterLocation::open(db);
            const int before = db.scalar(QStringLiteral("SELECT max(ID_Signatario) FROM SIGNATARIOS")).toInt();
            db.execute(QStringLiteral("INSERT INTO SIGNATARIOS (Signatario, SiglaCertificador, Default_s) "
                                      "VALUES ('Novo', 'OCDEMO', 'N')"));
            QCOMPARE(db.scalar(QStringLiteral("SELECT max(ID_Signatario) FROM SIGNATARIOS")).toInt(), before + 1);
            db.execute(QStringLiteral("DELETE FROM SIGNATARIOS WHERE Signatario = 'Novo'"));
        }

        // Back into a file, as a backup: the same sums as the original.
        const QString back = home.dir() + QStringLiteral("/volta.mdb");
        const CliRun::Result b = migrar(home.dir(), {QStringLiteral("--para-arquivo"), back});
        QVERIFY2(b.code == 0, qPrintable(b.err));
        compareSums(original, sumsOfFile(back));
        // An existing file is never written over.
        const QByteArray backBefore = digestOf(back);
        const CliRun::Result again = migrar(home.dir(), {QStringLiteral("--para-arquivo"), back});
        QCOMPARE(again.code, 1);
        QVERIFY2(again.err.contains(QStringLiteral("já existe")), qPrintable(again.err));
        QCOMPARE(digestOf(back), backBefore);
    }

    void refusedTargetsChangeNothing()
    {
        TestHome home(true);
        const QByteArray fileBefore = digestOf(home.dbPath());
        const ServerAddress busy = TestDb::freshDatabase();
        {
            Database other(QStringLiteral("someone-else"));
            other.connectServer(busy);
            other.execute(QStringLiteral("CREATE TABLE planilha (a integer)"));
            other.execute(QStringLiteral("INSERT INTO planilha VALUES (7)"));
        }
        CliRun::Result r = migrar(home.dir(), {QStringLiteral("--para"), busy.uri()});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("não está vazio")), qPrintable(r.err));
        QVERIFY(!QFile::exists(home.dir() + QStringLiteral("/db/conexao.ini")));
        QCOMPARE(serverObjects(busy), 1);

        ServerAddress withPassword = TestDb::freshDatabase();
        const QString uri = withPassword.uri().replace(withPassword.user + QLatin1Char('@'),
                                                       withPassword.user + QStringLiteral(":segredo@"));
        r = migrar(home.dir(), {QStringLiteral("--para"), uri});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("senha")), qPrintable(r.err));
        QCOMPARE(serverObjects(withPassword), 0);

        QCOMPARE(migrar(home.dir(), {}).code, 2);
        QCOMPARE(migrar(home.dir(),
                        {QStringLiteral("--para"), withPassword.uri(), QStringLiteral("--para-arquivo"),
                         home.dir() + QStringLiteral("/x.mdb")})
                     .code,
                 2);
        QVERIFY(!QFile::exists(home.dir() + QStringLiteral("/db/conexao.ini")));
        QCOMPARE(digestOf(home.dbPath()), fileBefore);
    }

    void failedCopyLeavesNothingPointed()
    {
        TestHome home(true);
        {
            // A value the file keeps and the server's integer column refuses.
            Database db;
            home.open(db);
            db.execute(QStringLiteral("UPDATE STATUS_C SET SeqEvento = 'x1' WHERE rowid = "
                                      "(SELECT min(rowid) FROM STATUS_C)"));
        }
        const QByteArray fileBefore = digestOf(home.dbPath());
        const ServerAddress server = TestDb::freshDatabase();
        const CliRun::Result r = migrar(home.dir(), {QStringLiteral("--para"), server.uri()});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("tabela STATUS_C")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Nada foi migrado")), qPrintable(r.err));
        QVERIFY(!QFile::exists(home.dir() + QStringLiteral("/db/conexao.ini")));
        QCOMPARE(serverObjects(server), 0);
        QCOMPARE(digestOf(home.dbPath()), fileBefore);
    }

    void sumsTellEveryDifference()
    {
        TestHome home(true);
        Database db;
        home.open(db);
        const QList<RegisterTables::Sum> before = RegisterCopy::sums(db);
        RegisterCopy::compare(before, before);

        // A change of case alone: equal to the register's keys, not to a copy.
        db.execute(QStringLiteral("UPDATE CERTIFIC SET NumCertif = lower(NumCertif) WHERE rowid = "
                                  "(SELECT min(rowid) FROM CERTIFIC)"));
        QList<RegisterTables::Sum> after = RegisterCopy::sums(db);
        QVERIFY_THROWS_EXCEPTION(AppError, RegisterCopy::compare(before, after));
        try {
            RegisterCopy::compare(before, after);
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("tabela CERTIFIC")), qPrintable(e.message()));
        }

        // A NULL is not an empty text, nor a zero.
        db.execute(QStringLiteral("UPDATE CERTIFIC SET NumCertif = upper(NumCertif)"));
        QString problem;
        const auto firstProblem = [&](const QList<RegisterTables::Sum> &a, const QList<RegisterTables::Sum> &b) {
            try {
                RegisterCopy::compare(a, b);
            } catch (const AppError &e) {
                return e.message();
            }
            return QString();
        };
        QVERIFY(firstProblem(before, RegisterCopy::sums(db)).isEmpty());
        db.execute(QStringLiteral("CREATE TABLE VALORES (a, b)"));
        db.execute(QStringLiteral("INSERT INTO VALORES VALUES (NULL, 1)"));
        const QList<RegisterTables::Sum> withNull = RegisterCopy::sums(db);
        db.execute(QStringLiteral("UPDATE VALORES SET a = ''"));
        QVERIFY(firstProblem(withNull, RegisterCopy::sums(db)).contains(QStringLiteral("VALORES")));
        db.execute(QStringLiteral("UPDATE VALORES SET a = 0"));
        QVERIFY(firstProblem(withNull, RegisterCopy::sums(db)).contains(QStringLiteral("VALORES")));

        // A row more is told by the counts.
        db.execute(QStringLiteral("UPDATE VALORES SET a = NULL"));
        db.execute(QStringLiteral("INSERT INTO VALORES VALUES (NULL, 1)"));
        problem = firstProblem(withNull, RegisterCopy::sums(db));
        QVERIFY2(problem.contains(QStringLiteral("1 linha(s) na origem e 2 no destino")), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(TestMigration)
#include "test_migration.moc"
