// The partial remittance finds inclusions and alterations in one walk per
// table. What it writes must not differ by a byte from what the separate
// inclusion, alteration and exclusion statements give, row for row and in
// the same order.
#include "base/archive.h"
#include "db/database.h"
#include "db/paradoxtable.h"
#include "remessa/deltatables.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessapreparation.h"
#include "remessa/remittancequeries.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using Kind = RemittanceQueries::Kind;

class TestChangeWalk : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;
    ScriptedMessenger m_msg;

    static QVariantList approvals(const RemittanceQueries::Statement &st)
    {
        QVariantList p;
        for (int i = 0; i < st.approvalParams; ++i)
            p << true;
        return p;
    }

    // The first `columns` values of every row, through the statement cache
    // as the preparation reads them.
    QList<QVariantList> rows(const RemittanceQueries::Statement &st, int columns, int flagColumn = -1, int flag = 0)
    {
        QList<QVariantList> out;
        Database::Statement &q = m_db->statement(st.sql);
        for (q.exec(approvals(st)); q.hasRow(); q.next()) {
            if (flagColumn >= 0 && q.value(flagColumn).toInt() != flag)
                continue;
            QVariantList row;
            for (int i = 0; i < columns; ++i)
                row << q.value(i);
            out << row;
        }
        q.reset();
        return out;
    }

    // Where a row stands in its table: its rowid on the file, its place on
    // the server. Rows are picked by it as first, second... last.
    QString place() const { return m_db->onServer() ? QStringLiteral("ctid") : QStringLiteral("rowid"); }
    QString nth(const QString &table, int offset, const char *order = "ASC") const
    {
        return QStringLiteral("(SELECT %1 FROM %2 ORDER BY %1 %3 LIMIT 1 OFFSET %4)")
            .arg(place(), table, QLatin1String(order))
            .arg(offset);
    }

    // The replicas hold what was approved; then, per table, one row the
    // regulator never got, one changed row, one cleared column, one row
    // gone here, and a change of letter case only (no change to the
    // regulator, whose keys and texts compare as the database's do).
    void divergeFromReplicas()
    {
        for (const auto &e : RemittanceQueries::entries()) {
            const auto all = RemittanceQueries::statement(e, Kind::Complete, m_db->engine());
            const QString rep = e.replica->name;
            m_db->execute(QStringLiteral("DELETE FROM %1").arg(rep));
            m_db->execute(QStringLiteral("INSERT INTO %1 %2").arg(rep, all.sql), approvals(all));
            QString nullable, text;
            for (const QString &c : e.compared) {
                const Schema::Field *f = e.replica->field(c);
                if (nullable.isEmpty() && !f->required)
                    nullable = f->name;
                if (text.isEmpty() && f->type == Schema::FieldType::Text)
                    text = f->name;
            }
            m_db->execute(QStringLiteral("DELETE FROM %1 WHERE %2 = %3").arg(rep, place(), nth(rep, 0)));
            const QString second = nth(rep, 1), third = nth(rep, 2);
            if (!nullable.isEmpty())
                m_db->execute(QStringLiteral("UPDATE %1 SET %2 = NULL WHERE %3 IN (%4, %5)")
                                  .arg(rep, nullable, place(), nth(rep, 0, "DESC"), second));
            if (!text.isEmpty())
                m_db->execute(
                    QStringLiteral("UPDATE %1 SET %2 = lower(%2) WHERE %3 = %4").arg(rep, text, place(), third));
        }
        // Rows of the replica that are gone here, and a changed certificate.
        m_db->execute(QStringLiteral("DELETE FROM STATUS_C WHERE %1 = (SELECT max(%1) FROM STATUS_C WHERE NumCertif IN "
                                     "(SELECT NumCertif FROM CERTIFIC WHERE Aprovado = 1))")
                          .arg(place()));
        m_db->execute(QStringLiteral("UPDATE CERTIFIC SET Observacoes = 'Revisado' WHERE %1 = (SELECT max(%1) FROM "
                                     "CERTIFIC WHERE Aprovado = 1)")
                          .arg(place()));
    }

    // Writes the delta tables as the separate statements give them, each
    // value through QVariant.
    void writeReference(const QString &dir, bool complete = false)
    {
        struct Step
        {
            Kind kind;
            DeltaTables::Kind delta;
        };
        const QList<Step> steps = complete ? QList<Step>{{Kind::Complete, DeltaTables::Inclusion}}
                                           : QList<Step>{{Kind::Inclusion, DeltaTables::Inclusion},
                                                         {Kind::Alteration, DeltaTables::Alteration},
                                                         {Kind::Exclusion, DeltaTables::Exclusion}};
        for (const auto &e : RemittanceQueries::entries())
            for (const Step &st : steps) {
                const auto &fields = (st.kind == Kind::Exclusion ? e.replica : e.source)->fields;
                const QList<QVariantList> found = rows(RemittanceQueries::statement(e, st.kind, m_db->engine()),
                                                       int(fields.size()));
                if (found.isEmpty())
                    continue;
                auto out = DeltaTables::open(dir, e.entry->name, st.delta);
                for (const QVariantList &r : found)
                    out->appendRow(r);
                out->close();
            }
        if (!complete)
            DeltaTables::writeVersionMarker(dir);
    }

    RemessaPreparation::Result prepare(RemessaPreparation::Type type, const RemessaPreparation::Progress &progress = {})
    {
        const RemessaControl::WorkingValues wv = RemessaControl::workingValues(*m_db);
        RemessaPreparation::Settings s;
        s.transferDir = wv.transferDir;
        s.acronym = wv.acronym;
        s.currentNumber = QStringLiteral("0000000000");
        s.user = QStringLiteral("admin");
        return RemessaPreparation::run(*m_db, m_msg, s, type, progress);
    }

    static QByteArray content(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Same files, same fields and rows, same bytes: pxlib leaves heap
    // addresses in some header slots, the rest is ours.
    static QStringList compareFolders(const QString &ref, const QString &got)
    {
        const QStringList expected = QDir(ref).entryList(QDir::Files, QDir::Name);
        [&] {
            QCOMPARE(QDir(got).entryList(QDir::Files, QDir::Name), expected);
            for (const QString &name : expected) {
                const QString a = QDir(ref).filePath(name), b = QDir(got).filePath(name);
                const auto ra = ParadoxReader::open(a), rb = ParadoxReader::open(b);
                QCOMPARE(rb->fields(), ra->fields());
                QCOMPARE(rb->rowCount(), ra->rowCount());
                const QByteArray da = content(a), db = content(b);
                QCOMPARE(db.size(), da.size());
                const int header = quint8(da.at(2)) | quint8(da.at(3)) << 8;
                QVERIFY(header >= 0x78 && header < da.size());
                QVERIFY2(da.left(0x30) == db.left(0x30), qPrintable(name));
                QVERIFY2(da.mid(header) == db.mid(header), qPrintable(name));
            }
        }();
        return expected;
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TestHome>(true);
        m_db = std::make_unique<Database>();
        m_home->open(*m_db);
        divergeFromReplicas();
    }
    void cleanup()
    {
        m_db.reset();
        m_home.reset();
    }

    void oneWalkGivesTheRowsOfBothStatementsInTheirOrder()
    {
        int inclusions = 0, alterations = 0;
        for (const auto &e : RemittanceQueries::entries()) {
            const auto walk = RemittanceQueries::changes(e, m_db->engine());
            QVERIFY2(!walk.sql.isEmpty(), qPrintable(e.entry->name));
            const int n = int(e.source->fields.size());
            const auto inc = rows(RemittanceQueries::statement(e, Kind::Inclusion, m_db->engine()), n);
            const auto alt = rows(RemittanceQueries::statement(e, Kind::Alteration, m_db->engine()), n);
            QCOMPARE(rows(walk, n, n, 1), inc);
            QCOMPARE(rows(walk, n, n, 0), alt);
            QCOMPARE(rows(walk, n).size(), inc.size() + alt.size());
            inclusions += int(inc.size());
            alterations += int(alt.size());
        }
        // The data really diverged in both directions.
        QVERIFY(inclusions >= 15);
        QVERIFY(alterations >= 15);
    }

    void partialRemittanceIsByteForByteTheStatementsOwn()
    {
        QTemporaryDir ref, got;
        writeReference(ref.path());

        QStringList operations;
        int steps = 0;
        RemessaPreparation::Progress progress;
        progress.operation = [&](const QString &o) { operations << o; };
        progress.step = [&] { ++steps; };
        const auto r = prepare(RemessaPreparation::Type::Partial, progress);
        QCOMPARE(int(r.outcome), int(RemessaPreparation::Outcome::Prepared));
        QVERIFY(Archive::unzip(r.remittance.packagePath, got.path(), m_msg));
        const QStringList expected = compareFolders(ref.path(), got.path());
        if (QTest::currentTestFailed())
            return;
        // Every scope took part: links, companies, products, the certificate, the unscoped tables.
        for (const char *name :
             {"Emp_Cert_A.DB", "Empresa_A.DB", "Empresa_I.DB", "Produto_A.DB", "Produto_I.DB", "Certific_A.DB",
              "Certific_I.DB", "SIGNATARIOS_A.DB", "USU_LOCAL_I.DB", "Status_C_E.DB"})
            QVERIFY2(expected.contains(QLatin1String(name)), name);
        QCOMPARE(r.tables, int(expected.size()) - 1); // the version marker aside
        // The window still sees the three operations of every table.
        const int tables = int(RemittanceQueries::entries().size());
        QCOMPARE(steps, tables * RemessaPreparation::StepsPerTable);
        QCOMPARE(operations.size(), tables * 3);
        QCOMPARE(operations.mid(0, 3), QStringList({"Inclusão", "Alteração", "Deleção"}));
    }

    // Exclusions come from the marks the change walk leaves on the replica
    // rows it meets; the rows it never meets are tested by rowid ranges (on
    // the file; the server runs the exclusion statement whole).
    // Cases where that could go wrong: runs of excluded rows at both ends
    // and between altered rows, in several tables; a row moved to another
    // key that keeps its exclusion key (met by nothing, excluded by
    // nothing); a certificate no longer approved; a key differing only in
    // letter case, which must still find its certificate approved.
    void exclusionsFromTheChangeWalkAreTheExclusionStatementsOwn()
    {
        // Every certificate in the replicas first, so that there is more to exclude.
        m_db->execute("UPDATE CERTIFIC SET Aprovado = 1");
        divergeFromReplicas();
        for (const char *t : {"STATUS_C", "EVENTO_EMP"}) {
            const QString table = QLatin1String(t);
            auto at = [&](int offset, const char *order = "ASC") {
                return m_db->scalar(QStringLiteral("SELECT ") + nth(table, offset, order));
            };
            const QVariant first = at(0), second = at(1), third = at(2), fifth = at(4), sixth = at(5),
                           last = at(0, "DESC");
            QVERIFY2(!fifth.isNull() && last != fifth, t);
            // The rows go before the updates, which move rows on the server.
            m_db->execute(QStringLiteral("DELETE FROM %1 WHERE %2 IN (?, ?, ?, ?)").arg(table, place()),
                          {first, second, fifth, last});
            m_db->execute(QStringLiteral("UPDATE %1 SET DthUltAtualiz = '2031-02-03T04:05:06.000' WHERE %2 IN "
                                         "(?, ?)")
                              .arg(table, place()),
                          {third, sixth});
        }
        for (const char *t : {"SIGNATARIOS", "STATUS_T", "TIPO"})
            m_db->execute(QStringLiteral("DELETE FROM %1 WHERE %2 = %3")
                              .arg(QLatin1String(t), place(), nth(QLatin1String(t), 1)));
        // Moved: another product, the same certificate and event.
        QVERIFY(m_db->execute(QStringLiteral("UPDATE STATUS_T SET ModeloProd = ModeloProd || ' B' WHERE %1 = "
                                             "(SELECT max(%1) FROM STATUS_T)")
                                  .arg(place())) == 1);
        QVERIFY(m_db->execute("UPDATE CERTIFIC SET Aprovado = 0 WHERE NumCertif = (SELECT max(NumCertif) FROM "
                              "REP_STATUS_C WHERE NumCertif NOT IN (SELECT NumCertif FROM STATUS_T))") == 1);
        QVERIFY(m_db->execute(QStringLiteral("UPDATE STATUS_C SET SiglaCertificador = lower(SiglaCertificador), "
                                             "Justificativa = 'Caixa' WHERE %1 = (SELECT max(%1) FROM STATUS_C WHERE "
                                             "NumCertif IN (SELECT NumCertif FROM CERTIFIC WHERE Aprovado = 1))")
                                  .arg(place())) == 1);

        QTemporaryDir ref, got;
        writeReference(ref.path());
        const auto r = prepare(RemessaPreparation::Type::Partial);
        QCOMPARE(int(r.outcome), int(RemessaPreparation::Outcome::Prepared));
        QVERIFY(Archive::unzip(r.remittance.packagePath, got.path(), m_msg));
        const QStringList expected = compareFolders(ref.path(), got.path());
        if (QTest::currentTestFailed())
            return;
        // The reference really holds what the walk must find.
        for (const char *name : {"Status_C_E.DB", "Evento_Emp_E.DB", "Tipo_E.DB", "Status_T_E.DB", "SIGNATARIOS_E.DB",
                                 "Status_C_A.DB", "Status_T_I.DB"})
            QVERIFY2(expected.contains(QLatin1String(name), Qt::CaseInsensitive), name);
        const auto excluded = ParadoxReader::open(
            QDir(ref.path()).filePath(expected.filter(QStringLiteral("Status_C_E"), Qt::CaseInsensitive).value(0)));
        QVERIFY(excluded->rowCount() >= 2);
    }

    void completeRemittanceIsByteForByteTheStatementsOwn()
    {
        QTemporaryDir ref, got;
        writeReference(ref.path(), true);
        const auto r = prepare(RemessaPreparation::Type::Complete);
        QCOMPARE(int(r.outcome), int(RemessaPreparation::Outcome::Prepared));
        QVERIFY(Archive::unzip(r.remittance.packagePath, got.path(), m_msg));
        QVERIFY(compareFolders(ref.path(), got.path()).size() >= 15);
    }
};

QTEST_GUILESS_MAIN(TestChangeWalk)
#include "test_changewalk.moc"
