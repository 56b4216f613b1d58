#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"

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
};

void TestSchema::everyTableCreatesWithItsColumnsAndKeys()
{
    QTemporaryDir dir;
    Database db(QStringLiteral("schema_test"));
    db.create(dir.filePath(QStringLiteral("s.mdb")));
    for (const Schema::Table &t : Schema::tables())
        for (const QString &sql : Schema::createStatements(t))
            db.execute(sql);
    QCOMPARE(db.tables().size(), Schema::tables().size());
    for (const Schema::Table &t : Schema::tables()) {
        QSqlQuery q = db.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(t.name));
        int i = 0;
        QStringList pk;
        while (q.next()) {
            QVERIFY2(i < t.fields.size(), qPrintable(t.name));
            QCOMPARE(q.value(1).toString(), t.fields.at(i).name);
            if (q.value(5).toInt() > 0)
                pk << q.value(1).toString();
            ++i;
        }
        QCOMPARE(i, t.fields.size());
        QCOMPARE(pk.size(), t.key.size());
    }
    // Every event table numbers rows by max + 1: SeqEvento must be indexed.
    QVERIFY(
        db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index' AND sql LIKE '%SeqEvento%'"))
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
    db.create(dir.filePath(QStringLiteral("s.mdb")));
    for (const QString &sql : Schema::createStatements(*Schema::table(QStringLiteral("UF"))))
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
        QVERIFY2(e.message().contains(QStringLiteral("UF.SiglaUF aceita no máximo 2 caracteres")),
                 qPrintable(e.message()));
    }
    try {
        db.execute(QStringLiteral("INSERT INTO UF VALUES (?, ?)"), {QStringLiteral("Sp"), QStringLiteral("y")});
        QFAIL("a key differing only in case was stored");
    } catch (const DbError &e) {
        QVERIFY(e.isKeyViolation());
    }
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

QTEST_GUILESS_MAIN(TestSchema)
#include "test_schema.moc"
