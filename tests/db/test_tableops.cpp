// Table creation, emptying and batch copies between datasets.
#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "db/tableops.h"
#include "support/testdb.h"

#include <QTemporaryDir>
#include <QtTest>

using TableOps::CopyMode;
using TableOps::Mapping;
using TableOps::RowSet;

namespace {
QDateTime at(int y, int m, int d, int h = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0));
}

QVariantList certRow(const QString &num, const QString &status, const QVariant &issue,
                     const QString &remarks = QString())
{
    // Columns of CERTIFIC in order.
    return {QStringLiteral("OC1"),
            num,
            status,
            issue,
            101,
            QStringLiteral("COMP"),
            issue,
            QVariant(),
            QVariant(),
            QVariant(),
            QVariant(),
            remarks.isEmpty() ? QVariant() : QVariant(remarks),
            true,
            false,
            at(2024, 5, 1, 12),
            QStringLiteral("admin")};
}
}

class TestTableOps : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Database *m_db = nullptr;

    int count(const QString &table) { return m_db->scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt(); }
    QStringList columnsOf(const Schema::Table &t)
    {
        QStringList out;
        for (const auto &f : t.fields)
            out << f.name;
        return out;
    }
    RowSet certificates()
    {
        RowSet rs;
        rs.columns = columnsOf(*Schema::table(QStringLiteral("CERTIFIC")));
        rs.rows << certRow(QStringLiteral("N-1"), QStringLiteral("A"), QDate(2024, 1, 10),
                           QStringLiteral("Sul d'Oeste"))
                << certRow(QStringLiteral("N-2"), QStringLiteral("S"), at(2024, 2, 1, 9));
        return rs;
    }

private slots:
    void init()
    {
        m_db = new Database(QStringLiteral("tableops-test"));
        TestDb::createEmpty(*m_db, m_dir.path(), QLatin1String(QTest::currentTestFunction()));
        for (const char *t : {"CERTIFIC", "REP_CERTIFIC", "STATUS_T", "SIGNATARIOS", "REP_SIGNATARIOS"})
            TableOps::createTable(*m_db, *Schema::table(QLatin1String(t)));
    }
    void cleanup()
    {
        delete m_db;
        m_db = nullptr;
    }

    void createAndEmpty()
    {
        for (const char *name : {"CERTIFIC", "STATUS_T", "REP_CERTIFIC", "SIGNATARIOS", "REP_SIGNATARIOS"}) {
            const Schema::Table *declared = Schema::table(QLatin1String(name));
            const Schema::Table read = TableOps::structure(*m_db, QLatin1String(name));
            QCOMPARE(columnsOf(read), columnsOf(*declared));
            QCOMPARE(read.key, declared->key);
        }
        try {
            TableOps::createTable(*m_db, *Schema::table(QStringLiteral("CERTIFIC")));
            QFAIL("an existing table was created again");
        } catch (const DbError &) { }
        TableOps::batchCopy(*m_db, certificates(), QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition);
        TableOps::emptyTable(*m_db, QStringLiteral("certific"));
        QCOMPARE(count(QStringLiteral("CERTIFIC")), 0);
        QCOMPARE(columnsOf(TableOps::structure(*m_db, QStringLiteral("CERTIFIC"))),
                 columnsOf(*Schema::table(QStringLiteral("CERTIFIC"))));
        QVERIFY_THROWS_EXCEPTION(DbError, TableOps::emptyTable(*m_db, QStringLiteral("NAOEXISTE")));
    }

    void structureOfAnUndeclaredTable()
    {
        Schema::Table t;
        t.name = QStringLiteral("AVULSA");
        t.fields = {{QStringLiteral("Id"), Schema::FieldType::AutoInc, 0, true},
                    {QStringLiteral("Nome"), Schema::FieldType::Text, 25, true},
                    {QStringLiteral("Classe"), Schema::FieldType::SmallInt, 0, false},
                    {QStringLiteral("Doc"), Schema::FieldType::Integer, 0, false},
                    {QStringLiteral("Quando"), Schema::FieldType::DateTime, 0, false},
                    {QStringLiteral("Ativo"), Schema::FieldType::Boolean, 0, false}};
        t.key = {QStringLiteral("Id")};
        TableOps::createTable(*m_db, t);
        const Schema::Table read = TableOps::structure(*m_db, QStringLiteral("avulsa"));
        // A server keeps the names of a table it was not told about in
        // lower case; a file keeps them as written.
        const auto sameName = [](const QString &read, const QString &written) {
            return TestDb::onServer() ? read == written.toLower() : read == written;
        };
        QVERIFY2(sameName(read.name, t.name), qPrintable(read.name));
        QCOMPARE(read.fields.size(), t.fields.size());
        for (int i = 0; i < t.fields.size(); ++i) {
            QVERIFY2(sameName(read.fields.at(i).name, t.fields.at(i).name), qPrintable(read.fields.at(i).name));
            // A server holds dates and moments as text and yes/no as a small
            // integer: read back, such a column is what it is held as.
            using T = Schema::FieldType;
            const T held = !TestDb::onServer()                                         ? t.fields.at(i).type
                : t.fields.at(i).type == T::Date || t.fields.at(i).type == T::DateTime ? T::Memo
                : t.fields.at(i).type == T::Boolean                                    ? T::SmallInt
                                                                                       : t.fields.at(i).type;
            QCOMPARE(read.fields.at(i).type, held);
            QCOMPARE(read.fields.at(i).size, t.fields.at(i).size);
        }
        QVERIFY(read.fields.at(1).required);
        QCOMPARE(read.key.size(), 1);
        QVERIFY2(sameName(read.key.at(0), t.key.at(0)), qPrintable(read.key.at(0)));
    }

    void appendByPositionAndByName()
    {
        auto r = TableOps::batchCopy(*m_db, certificates(), QStringLiteral("CERTIFIC"), CopyMode::Append,
                                     Mapping::ByPosition);
        QCOMPARE(r.inserted, 2);
        // A date arrives as the start of its day, in the stored date-time form.
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM CERTIFIC WHERE DataEmissao = ?"), {at(2024, 1, 10)})
                     .toInt(),
                 1);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT Observacoes FROM CERTIFIC WHERE NumCertif = 'N-1'")).toString(),
                 QStringLiteral("Sul d'Oeste"));

        // By name: order does not matter, unknown source columns are ignored,
        // destination columns without a source stay null.
        RowSet rs;
        rs.columns = {QStringLiteral("Aprovado"), QStringLiteral("numcertif"), QStringLiteral("Sobra"),
                      QStringLiteral("SIGLACERTIFICADOR"), QStringLiteral("Completo")};
        rs.rows << QVariantList{QStringLiteral("True"), QStringLiteral("N-3"), 99, QStringLiteral("OC1"), 0};
        r = TableOps::batchCopy(*m_db, rs, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByName);
        QCOMPARE(r.inserted, 1);
        QSqlQuery q = m_db->exec(
            QStringLiteral("SELECT Aprovado, Completo, StatusCertificado FROM CERTIFIC WHERE NumCertif = 'N-3'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toInt(), 0);
        QVERIFY(q.value(2).isNull());

        // Appending a row whose key exists is a key violation, and nothing of
        // the batch stays (N-9 went in before the failing row).
        RowSet again = certificates();
        again.rows.prepend(certRow(QStringLiteral("N-9"), QStringLiteral("A"), at(2024, 3, 1)));
        try {
            TableOps::batchCopy(*m_db, again, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition);
            QFAIL("a duplicate key was appended");
        } catch (const DbError &e) {
            QVERIFY(e.isKeyViolation());
        }
        QCOMPARE(count(QStringLiteral("CERTIFIC")), 3);
    }

    void appendOrUpdateByKey()
    {
        TableOps::batchCopy(*m_db, certificates(), QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition);
        RowSet rs;
        rs.columns = {QStringLiteral("SiglaCertificador"), QStringLiteral("NumCertif"),
                      QStringLiteral("StatusCertificado"), QStringLiteral("Completo"), QStringLiteral("Aprovado")};
        rs.rows << QVariantList{QStringLiteral("oc1"), QStringLiteral("n-1"), QStringLiteral("C"), true, true}
                // matches N-1
                << QVariantList{QStringLiteral("OC1"), QStringLiteral("N-7"), QStringLiteral("A"), false, false};
        const auto r = TableOps::batchCopy(*m_db, rs, QStringLiteral("CERTIFIC"), CopyMode::AppendUpdate,
                                           Mapping::ByName);
        QCOMPARE(r.updated, 1);
        QCOMPARE(r.inserted, 1);
        QCOMPARE(count(QStringLiteral("CERTIFIC")), 3);
        QSqlQuery q = m_db->exec(
            QStringLiteral("SELECT StatusCertificado, Observacoes, NumCertif FROM CERTIFIC WHERE NumCertif = 'N-1'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("C"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("Sul d'Oeste")); // columns not copied are kept
        QCOMPARE(q.value(2).toString(), QStringLiteral("N-1"));

        // A source holding only key columns adds what is missing and leaves the rest.
        RowSet keys;
        keys.columns = {QStringLiteral("SiglaCertificador"), QStringLiteral("NumCertif")};
        keys.rows << QVariantList{QStringLiteral("OC1"), QStringLiteral("N-2")}
                  << QVariantList{QStringLiteral("OC1"), QStringLiteral("N-8")};
        const auto k = TableOps::batchCopy(*m_db, keys, QStringLiteral("CERTIFIC"), CopyMode::AppendUpdate,
                                           Mapping::ByName);
        QCOMPARE(k.updated, 1);
        QCOMPARE(k.inserted, 1);
        QCOMPARE(
            m_db->scalar(QStringLiteral("SELECT StatusCertificado FROM CERTIFIC WHERE NumCertif = 'N-2'")).toString(),
            QStringLiteral("S"));
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT Completo FROM CERTIFIC WHERE NumCertif = 'N-8'")).toInt(), 0);
        QCOMPARE(count(QStringLiteral("CERTIFIC")), 4);
    }

    void deleteByKey()
    {
        // Events of two products; a remittance exclusion matches on a shorter key.
        RowSet ev;
        ev.columns = {QStringLiteral("SiglaCertificador"),
                      QStringLiteral("NumCertif"),
                      QStringLiteral("MarcaProd"),
                      QStringLiteral("ModeloProd"),
                      QStringLiteral("Importado"),
                      QStringLiteral("SeqEvento"),
                      QStringLiteral("Evento")};
        for (int seq = 1; seq <= 4; ++seq)
            ev.rows << QVariantList{QStringLiteral("OC1"),
                                    QStringLiteral("N-1"),
                                    QStringLiteral("M"),
                                    QStringLiteral("X%1").arg(seq % 2),
                                    0,
                                    seq,
                                    QStringLiteral("INC")};
        TableOps::batchCopy(*m_db, ev, QStringLiteral("STATUS_T"), CopyMode::Append, Mapping::ByName);

        RowSet gone;
        gone.columns = {QStringLiteral("SiglaCertificador"), QStringLiteral("NumCertif"), QStringLiteral("SeqEvento")};
        gone.rows << QVariantList{QStringLiteral("oc1"), QStringLiteral("N-1"), 2}
                  << QVariantList{QStringLiteral("OC1"), QStringLiteral("N-1"), 3}
                  << QVariantList{QStringLiteral("OC1"), QStringLiteral("N-1"), 99};
        auto r = TableOps::batchCopy(
            *m_db, gone, QStringLiteral("STATUS_T"), CopyMode::Delete, Mapping::ByName,
            {QStringLiteral("SiglaCertificador"), QStringLiteral("NumCertif"), QStringLiteral("SeqEvento")});
        QCOMPARE(r.deleted, 2);
        QSqlQuery left = m_db->exec(QStringLiteral("SELECT SeqEvento FROM STATUS_T ORDER BY 1"));
        QList<int> seqs;
        while (left.next())
            seqs << left.value(0).toInt();
        QCOMPARE(seqs, (QList<int>{1, 4}));

        // Without the override the full key is needed in the source.
        QVERIFY_THROWS_EXCEPTION(
            AppError, TableOps::batchCopy(*m_db, gone, QStringLiteral("STATUS_T"), CopyMode::Delete, Mapping::ByName));
    }

    // A key column may hold NULL: it matches NULL, in the same run as keys
    // without one (compared as usual, in any case of letters).
    void keysHoldingNullMatchNull()
    {
        TableOps::batchCopy(*m_db, certificates(), QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition);
        const QStringList key{QStringLiteral("SiglaCertificador"), QStringLiteral("Observacoes")};
        RowSet status;
        status.columns = {QStringLiteral("SiglaCertificador"), QStringLiteral("Observacoes"),
                          QStringLiteral("StatusCertificado")};
        status.rows << QVariantList{QStringLiteral("OC1"), QVariant(), QStringLiteral("C")}
                    << QVariantList{QStringLiteral("oc1"), QStringLiteral("SUL D'OESTE"), QStringLiteral("E")};
        auto r = TableOps::batchCopy(*m_db, status, QStringLiteral("CERTIFIC"), CopyMode::AppendUpdate, Mapping::ByName,
                                     key);
        QCOMPARE(r.updated, 2);
        QCOMPARE(r.inserted, 0);
        QCOMPARE(
            m_db->scalar(QStringLiteral("SELECT StatusCertificado FROM CERTIFIC WHERE NumCertif = 'N-1'")).toString(),
            QStringLiteral("E"));
        QCOMPARE(
            m_db->scalar(QStringLiteral("SELECT StatusCertificado FROM CERTIFIC WHERE NumCertif = 'N-2'")).toString(),
            QStringLiteral("C"));

        RowSet gone;
        gone.columns = key;
        gone.rows << QVariantList{QStringLiteral("OC1"), QVariant()};
        r = TableOps::batchCopy(*m_db, gone, QStringLiteral("CERTIFIC"), CopyMode::Delete, Mapping::ByName, key);
        QCOMPARE(r.deleted, 1);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT NumCertif FROM CERTIFIC")).toString(), QStringLiteral("N-1"));
    }

    void overlongValueIsRefusedNotCut()
    {
        RowSet rs = certificates();
        rs.rows << certRow(QStringLiteral("N-3"), QStringLiteral("AB"), at(2024, 1, 1));
        try {
            TableOps::batchCopy(*m_db, rs, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition);
            QFAIL("an over-long value was accepted");
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(QLatin1String("StatusCertificado")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QLatin1String("CERTIFIC")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QLatin1String("1 caracteres")), qPrintable(e.message()));
        }
        QCOMPARE(count(QStringLiteral("CERTIFIC")), 0); // the rows before it went away too

        // Also out-of-range small integers and non-numbers in numeric columns.
        rs = certificates();
        rs.rows[1][4] = 40000;
        QVERIFY_THROWS_EXCEPTION(
            AppError,
            TableOps::batchCopy(*m_db, rs, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition));
        rs.rows[1][4] = QStringLiteral("cento e um");
        QVERIFY_THROWS_EXCEPTION(
            AppError,
            TableOps::batchCopy(*m_db, rs, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition));
        rs.rows[1][4] = 101;
        rs.rows[1][3] = QStringLiteral("ontem");
        QVERIFY_THROWS_EXCEPTION(
            AppError,
            TableOps::batchCopy(*m_db, rs, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition));
        rs.rows[1][3] = QStringLiteral("2024-02-01 09:30:00");
        rs.rows[1][4] = QStringLiteral("");
        TableOps::batchCopy(*m_db, rs, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition);
        QVERIFY(m_db->scalar(QStringLiteral("SELECT IdClasseProd FROM CERTIFIC WHERE NumCertif = 'N-2'")).isNull());
    }

    void badMappingsAreRefused()
    {
        RowSet rs = certificates();
        rs.columns << QStringLiteral("Extra");
        for (auto &row : rs.rows)
            row << 1;
        QVERIFY_THROWS_EXCEPTION(
            AppError,
            TableOps::batchCopy(*m_db, rs, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition));
        RowSet none;
        none.columns = {QStringLiteral("Nada")};
        none.rows << QVariantList{1};
        QVERIFY_THROWS_EXCEPTION(
            AppError, TableOps::batchCopy(*m_db, none, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByName));
        RowSet twice;
        twice.columns = {QStringLiteral("NumCertif"), QStringLiteral("NUMCERTIF")};
        twice.rows << QVariantList{QStringLiteral("a"), QStringLiteral("b")};
        QVERIFY_THROWS_EXCEPTION(
            AppError, TableOps::batchCopy(*m_db, twice, QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByName));
        QCOMPARE(count(QStringLiteral("CERTIFIC")), 0);
    }

    void copyJoinsTheCallersTransaction()
    {
        {
            Transaction tx(*m_db);
            TableOps::batchCopy(*m_db, certificates(), QStringLiteral("CERTIFIC"), CopyMode::Append,
                                Mapping::ByPosition);
            QVERIFY(m_db->inTransaction()); // the copy did not commit the caller's work
        }
        QCOMPARE(count(QStringLiteral("CERTIFIC")), 0);
    }

    void tableToTableKeepsEveryValue()
    {
        TableOps::batchCopy(*m_db, certificates(), QStringLiteral("CERTIFIC"), CopyMode::Append, Mapping::ByPosition);
        TableOps::batchCopyTable(*m_db, QStringLiteral("CERTIFIC"), QStringLiteral("REP_CERTIFIC"), CopyMode::Append,
                                 Mapping::ByPosition);
        const QString diff = QStringLiteral(
            "SELECT count(*) FROM (SELECT * FROM %1 EXCEPT SELECT * FROM %2) AS diferenca");
        QCOMPARE(m_db->scalar(diff.arg(QStringLiteral("CERTIFIC"), QStringLiteral("REP_CERTIFIC"))).toInt(), 0);
        QCOMPARE(m_db->scalar(diff.arg(QStringLiteral("REP_CERTIFIC"), QStringLiteral("CERTIFIC"))).toInt(), 0);
        QCOMPARE(count(QStringLiteral("REP_CERTIFIC")), 2);

        // An auto-increment key arrives in the replica as the same integers.
        m_db->execute(QStringLiteral(
            "INSERT INTO SIGNATARIOS (Signatario, SiglaCertificador, Default_s) VALUES ('A', 'OC1', 'S')"));
        m_db->execute(QStringLiteral(
            "INSERT INTO SIGNATARIOS (Signatario, SiglaCertificador, Default_s) VALUES ('B', 'OC1', 'N')"));
        m_db->execute(QStringLiteral("DELETE FROM SIGNATARIOS WHERE Signatario = 'A'"));
        TableOps::batchCopyTable(*m_db, QStringLiteral("SIGNATARIOS"), QStringLiteral("REP_SIGNATARIOS"),
                                 CopyMode::AppendUpdate, Mapping::ByName);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT ID_Signatario FROM REP_SIGNATARIOS")).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestTableOps)
#include "test_tableops.moc"
