#include "db/database.h"
#include "db/dberror.h"
#include "db/provisioning.h"
#include "db/schema.h"
#include "db/schemaupgrade.h"
#include "support/testdb.h"

#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void everyTableCreatesWithItsColumnsAndKeys();
    void replicasMirrorTheirSourcesInListOrder();
    void overlongTextIsRefusedNamingTheColumn();
    void lookupIsCaseInsensitive();
    void firstServerVersionIsBroughtUpToDate();
};

namespace {

// A table's columns in order (name, whether in the key) as the engine holds
// them; the server folds names to lower case.
QList<QPair<QString, bool>> columns(Database &db, const QString &table)
{
    QList<QPair<QString, bool>> out;
    QSqlQuery q = db.onServer()
        ? db.exec(QStringLiteral("SELECT a.attname, EXISTS (SELECT 1 FROM pg_catalog.pg_index i WHERE i.indrelid = "
                                 "a.attrelid AND i.indisprimary AND a.attnum = ANY (i.indkey)) FROM "
                                 "pg_catalog.pg_attribute a WHERE a.attrelid = lower(?)::regclass AND a.attnum > 0 "
                                 "AND NOT a.attisdropped ORDER BY a.attnum"),
                  {table})
        : db.exec(QStringLiteral("SELECT name, pk > 0 FROM pragma_table_info(?) ORDER BY cid"), {table});
    while (q.next())
        out.append({q.value(0).toString(), q.value(1).toBool()});
    return out;
}

}

void TestSchema::everyTableCreatesWithItsColumnsAndKeys()
{
    QTemporaryDir dir;
    Database db(QStringLiteral("schema_test"));
    TestDb::createEmpty(db, dir.path(), QStringLiteral("s"));
    for (const Schema::Table &t : Schema::tables())
        for (const QString &sql : Schema::createStatements(t, db.engine()))
            db.execute(sql);
    QCOMPARE(db.tables().size(), Schema::tables().size());
    for (const Schema::Table &t : Schema::tables()) {
        QVERIFY2(db.tableExists(t.name), qPrintable(t.name));
        const auto cols = columns(db, t.name);
        QCOMPARE(cols.size(), t.fields.size());
        int pk = 0;
        for (int i = 0; i < cols.size(); ++i) {
            QCOMPARE(cols.at(i).first, db.onServer() ? t.fields.at(i).name.toLower() : t.fields.at(i).name);
            pk += cols.at(i).second ? 1 : 0;
        }
        QCOMPARE(pk, t.key.size());
    }
    // Every event table numbers rows by max + 1: SeqEvento must be indexed.
    QVERIFY(db.scalar(db.onServer() ? QStringLiteral("SELECT count(*) FROM pg_catalog.pg_indexes WHERE schemaname = "
                                                     "current_schema() AND indexdef LIKE '%seqevento%'")
                                    : QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index' AND sql "
                                                     "LIKE '%SeqEvento%'"))
                .toInt() >= 12);
}

void TestSchema::replicasMirrorTheirSourcesInListOrder()
{
    const auto &list = Schema::remittanceList();
    QCOMPARE(list.size(), 29);
    QCOMPARE(Schema::replicaTables().size(), 29);
    QCOMPARE(list.at(3).name, QStringLiteral("Certific"));
    QCOMPARE(list.at(3).message, QStringLiteral("Verificando tabela de Cetificados"));
    QCOMPARE(list.at(11).exclusionKey, (QStringList{"SiglaCertificador", "NumCertif", "NumLote", "SeqEvento"}));
    for (int i = 0; i < list.size(); ++i) {
        const Schema::Table &rep = Schema::replicaTables().at(i);
        const Schema::Table *src = Schema::table(list.at(i).name);
        QVERIFY(src);
        QCOMPARE(rep.name, QStringLiteral("REP_") + list.at(i).name.toUpper());
        QCOMPARE(rep.fields.size(), src->fields.size());
        for (const QString &k : list.at(i).key)
            QVERIFY2(src->field(k), qPrintable(list.at(i).name + "." + k));
    }
    const Schema::Table *sig = Schema::table(QStringLiteral("REP_SIGNATARIOS"));
    QVERIFY(sig);
    QCOMPARE(sig->fields.first().type, Schema::FieldType::Integer);
}

void TestSchema::overlongTextIsRefusedNamingTheColumn()
{
    QTemporaryDir dir;
    Database db(QStringLiteral("schema_test2"));
    TestDb::createEmpty(db, dir.path(), QStringLiteral("s"));
    for (const QString &sql : Schema::createStatements(*Schema::table(QStringLiteral("UF")), db.engine()))
        db.execute(sql);
    db.execute(QStringLiteral("INSERT INTO UF VALUES (?, ?)"),
               {QStringLiteral("SP"), QStringLiteral("São Paulo d'Oeste")});
    QCOMPARE(db.scalar(QStringLiteral("SELECT NomeUF FROM UF WHERE SiglaUF = 'sp'")).toString(),
             QStringLiteral("São Paulo d'Oeste"));
    try {
        db.execute(QStringLiteral("INSERT INTO UF VALUES (?, ?)"), {QStringLiteral("RJX"), QStringLiteral("x")});
        QFAIL("a three-character state code was stored");
    } catch (const DbError &e) {
        QVERIFY(!e.isKeyViolation());
        QVERIFY(e.isTooLong());
        QVERIFY2(e.message().contains(QStringLiteral("UF.SiglaUF aceita no máximo 2 caracteres")),
                 qPrintable(e.message()));
        // What the user is told names the column and its width.
        QCOMPARE(DbErrors::writeFailure(e, QStringLiteral("genérico")),
                 QStringLiteral("Texto longo demais: UF.SiglaUF aceita no máximo 2 caracteres. "
                                "As alterações não foram efetuadas."));
    }
    try {
        db.execute(QStringLiteral("INSERT INTO UF VALUES (?, ?)"), {QStringLiteral("Sp"), QStringLiteral("y")});
        QFAIL("a key differing only in case was stored");
    } catch (const DbError &e) {
        QVERIFY(e.isKeyViolation());
    }
    // Made again (as a reference update does), the table keeps its widths.
    db.execute(QStringLiteral("DROP TABLE UF"));
    for (const QString &sql : Schema::createStatements(*Schema::table(QStringLiteral("UF")), db.engine()))
        db.execute(sql);
    db.execute(QStringLiteral("INSERT INTO UF VALUES (?, ?)"), {QStringLiteral("RJ"), QStringLiteral("Rio")});
    try {
        db.execute(QStringLiteral("UPDATE UF SET SiglaUF = ? WHERE SiglaUF = ?"),
                   {QStringLiteral("RJX"), QStringLiteral("rj")});
        QFAIL("a three-character state code was written");
    } catch (const DbError &e) {
        QVERIFY2(e.isTooLong() && e.message().contains(QStringLiteral("UF.SiglaUF aceita no máximo 2 caracteres")),
                 qPrintable(e.message()));
    }
    // A value too long to be stored is only not found.
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM UF WHERE SiglaUF = ?"), {QStringLiteral("RJX")}).toInt(),
             0);
}

void TestSchema::lookupIsCaseInsensitive()
{
    QVERIFY(Schema::table(QStringLiteral("certific")));
    QVERIFY(Schema::table(QStringLiteral("rep_status_dnu")));
    QVERIFY(!Schema::table(QStringLiteral("NAO_EXISTE")));
    const Schema::Table *c = Schema::table(QStringLiteral("CERTIFIC"));
    QCOMPARE(c->field(QStringLiteral("numcertif"))->size, 30);
    QVERIFY(c->field(QStringLiteral("Completo"))->required);
    QCOMPARE(Schema::table(QStringLiteral("DOC_NORMATIVOS"))->field(QStringLiteral("StatusDoc"))->size, 1);
}

// A server register of the first version kept each width as a check of its
// table; opened, it is brought up to date with its rows.
void TestSchema::firstServerVersionIsBroughtUpToDate()
{
    if (!TestDb::onServer())
        QSKIP("server registers only");
    const ServerAddress address = TestDb::freshDatabase();
    Provisioning::Options options;
    options.adminPassword = QStringLiteral("admin");
    Provisioning::createOnServer(address, options);
    int widths = 0;
    {
        Database old(QStringLiteral("schema_first"));
        old.connectServer(address);
        Transaction tx(old);
        for (const Schema::Table &t : Schema::tables())
            for (const Schema::Field &f : t.fields)
                if (f.type == Schema::FieldType::Text) {
                    const QString check = QStringLiteral("%1.%2 %3").arg(t.name, f.name).arg(f.size);
                    old.execute(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE citext, ADD CONSTRAINT \"%3\" "
                                               "CHECK (length(%2) <= %4)")
                                    .arg(t.name.toLower(), f.name.toLower(), check)
                                    .arg(f.size));
                    old.execute(QStringLiteral("DROP DOMAIN \"%1\"").arg(check));
                    ++widths;
                }
        old.execute(QStringLiteral("UPDATE %1 SET versao = ?").arg(QLatin1String(Schema::VersionTable)),
                    {SchemaUpgrade::OldServerVersion});
        old.execute(QStringLiteral("INSERT INTO UF VALUES (?, ?)"),
                    {QStringLiteral("SP"), QStringLiteral("São Paulo")});
        tx.commit();
        QCOMPARE(old.scalar(QStringLiteral("SELECT count(*) FROM pg_catalog.pg_type WHERE typtype = 'd' AND "
                                           "typnamespace = current_schema()::regnamespace"))
                     .toInt(),
                 0);
    }
    Database db(QStringLiteral("schema_now"));
    db.openServer(address);
    QCOMPARE(db.scalar(QStringLiteral("SELECT max(versao) FROM %1").arg(QLatin1String(Schema::VersionTable))).toInt(),
             Schema::ServerVersion);
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM pg_catalog.pg_constraint c JOIN pg_catalog.pg_class r "
                                      "ON r.oid = c.conrelid WHERE c.contype = 'c' AND "
                                      "r.relnamespace = current_schema()::regnamespace"))
                 .toInt(),
             0);
    // Every text column is now as a register made today makes it.
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM information_schema.columns WHERE table_schema = "
                                      "current_schema() AND domain_name IS NOT NULL"))
                 .toInt(),
             widths);
    QCOMPARE(db.scalar(QStringLiteral("SELECT NomeUF FROM UF WHERE SiglaUF = ?"), {QStringLiteral("sp")}).toString(),
             QStringLiteral("São Paulo"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM USU_LOCAL")).toInt(), 1);
    try {
        db.execute(QStringLiteral("INSERT INTO UF VALUES (?, ?)"), {QStringLiteral("RJX"), QStringLiteral("x")});
        QFAIL("a three-character state code was stored");
    } catch (const DbError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("UF.SiglaUF aceita no máximo 2 caracteres")),
                 qPrintable(e.message()));
    }
    // Opened again, there is nothing left to do.
    db.close();
    db.openServer(address);
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(Schema::VersionTable))).toInt(), 2);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "test_schema.moc"
