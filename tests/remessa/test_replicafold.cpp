#include "support/deltapackage.h"
#include "support/localzone.h"
#include "support/remessafixture.h"
#include "support/scriptedmessenger.h"

#include "base/codecs.h"
#include "base/errorlog.h"
#include "db/schema.h"
#include "db/tableops.h"
#include "remessa/deltareader.h"
#include "remessa/manualresult.h"
#include "remessa/remessacontrol.h"
#include "remessa/replicafold.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QtTest>

using DeltaPackage::row;

namespace {

const Schema::Table &tableOf(const QString &name)
{
    return *Schema::table(name);
}

void putReplica(Database &db, const QString &entry, const QList<QVariantList> &rows)
{
    TableOps::RowSet set;
    for (const Schema::Field &f : tableOf(entry).fields)
        set.columns << f.name;
    set.rows = rows;
    TableOps::batchCopy(db, set, "REP_" + entry.toUpper(), TableOps::CopyMode::Append, TableOps::Mapping::ByName);
}

QString certificName(Database &db, const QString &num)
{
    return db.scalar("SELECT Observacoes FROM REP_CERTIFIC WHERE NumCertif = ?", {num}).toString();
}

// A CERTIFIC row for number `num` whose other columns come from the seed.
QVariantList certific(const QString &num, int seed)
{
    const Schema::Table &t = tableOf("Certific");
    QVariantList r = row(t, seed);
    r[t.indexOf("SiglaCertificador")] = QStringLiteral("OCP0001");
    r[t.indexOf("NumCertif")] = num;
    return r;
}

QMap<QString, QStringList> replicas(Database &db)
{
    QMap<QString, QStringList> out;
    for (const Schema::Table &t : Schema::replicaTables())
        out.insert(t.name, DeltaPackage::snapshot(db, t.name));
    return out;
}

}

class TestReplicaFold : public QObject
{
    Q_OBJECT

private slots:
    void partialRulesPerTable()
    {
        RemessaFixture f;
        putReplica(f.db, "Certific", {certific("C-1", 1), certific("C-2", 2), certific("C-3", 3)});
        putReplica(f.db, "Empresa", {row(tableOf("Empresa"), 7)});
        const QStringList empresaBefore = DeltaPackage::snapshot(f.db, "REP_EMPRESA");

        DeltaPackage::write(f.syncDir, "Certific", "_E", {certific("C-1", 1)});
        DeltaPackage::write(f.syncDir, "Certific", "_I", {certific("C-4", 4)});
        DeltaPackage::write(f.syncDir, "Certific", "_A", {certific("C-2", 22)});
        QFile marker(f.syncDir + "Sistema.db");
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.write("not a table of the list");
        marker.close();

        QStringList seen;
        const auto summary = ReplicaFold::fold(f.db, f.syncDir, ReplicaFold::Kind::Partial,
                                               [&](const QString &m) { seen << m; });
        QCOMPARE(summary.tables, QStringList{"Certific"});
        QCOMPARE(seen, QStringList{"Verificando tabela de Cetificados"});
        QCOMPARE(f.count("REP_CERTIFIC"), 3);
        QCOMPARE(f.count("REP_CERTIFIC", "NumCertif = 'C-1'"), 0);
        QCOMPARE(certificName(f.db, "C-2"), QStringLiteral("v22"));
        QCOMPARE(certificName(f.db, "C-3"), QStringLiteral("v3"));
        QCOMPARE(certificName(f.db, "C-4"), QStringLiteral("v4"));
        QCOMPARE(DeltaPackage::snapshot(f.db, "REP_EMPRESA"), empresaBefore);
        // The unpacked tables, the marker among them, are gone.
        QCOMPARE(QDir(f.syncDir).entryList(QDir::Files), QStringList());
    }

    // Exclusion first, then inclusion: the key ends included, with the new values.
    void excludedAndReincludedKeyEndsIncluded()
    {
        RemessaFixture f;
        putReplica(f.db, "Certific", {certific("C-1", 1)});
        DeltaPackage::write(f.syncDir, "Certific", "_E", {certific("C-1", 1)});
        DeltaPackage::write(f.syncDir, "Certific", "_I", {certific("C-1", 9)});
        ReplicaFold::fold(f.db, f.syncDir, ReplicaFold::Kind::Partial);
        QCOMPARE(f.count("REP_CERTIFIC"), 1);
        QCOMPARE(certificName(f.db, "C-1"), QStringLiteral("v9"));

        // An inclusion of a key the replica already has updates it.
        DeltaPackage::write(f.syncDir, "Certific", "_I", {certific("C-1", 10)});
        ReplicaFold::fold(f.db, f.syncDir, ReplicaFold::Kind::Partial);
        QCOMPARE(f.count("REP_CERTIFIC"), 1);
        QCOMPARE(certificName(f.db, "C-1"), QStringLiteral("v10"));
    }

    // A date whose local midnight summer time skipped is folded as the day
    // it is, so the replica matches the data and the row is not sent again.
    void aDayWithoutLocalMidnightSurvivesTheFold()
    {
        const LocalZone zone(LocalZone::SaoPaulo);
        RemessaFixture f;
        const Schema::Table &t = tableOf("Certific");
        QVariantList sent = certific("C-1", 1);
        sent[t.indexOf("DataEmissao")] = QDate(2017, 10, 15);
        sent[t.indexOf("DthStatusCertificado")] = QDateTime(QDate(2017, 10, 15), QTime(0, 30));
        DeltaPackage::write(f.syncDir, "Certific", "_I", {sent});
        ReplicaFold::fold(f.db, f.syncDir, ReplicaFold::Kind::Partial);
        QCOMPARE(f.db.scalar("SELECT DataEmissao FROM REP_CERTIFIC WHERE NumCertif = 'C-1'").toString(),
                 QStringLiteral("2017-10-15T00:00:00.000"));
        QCOMPARE(f.db.scalar("SELECT DthStatusCertificado FROM REP_CERTIFIC WHERE NumCertif = 'C-1'").toString(),
                 QStringLiteral("2017-10-15T00:30:00.000"));

        // Folded again from a complete result, the stored form is the same.
        DeltaPackage::write(f.syncDir, "Certific", "_I", {sent});
        ReplicaFold::fold(f.db, f.syncDir, ReplicaFold::Kind::Complete);
        QCOMPARE(f.db.scalar("SELECT DataEmissao FROM REP_CERTIFIC WHERE NumCertif = 'C-1'").toString(),
                 QStringLiteral("2017-10-15T00:00:00.000"));
    }

    // A table of several blocks is read whole, chunk after chunk.
    void tablesAreReadInChunks()
    {
        RemessaFixture f;
        QList<QVariantList> rows;
        for (int i = 0; i < 100; ++i)
            rows << certific(QStringLiteral("C-%1").arg(i), i);
        const QString path = DeltaPackage::write(f.syncDir, "Certific", "_I", rows);
        QList<int> sizes;
        QStringList numbers;
        DeltaReader::forEachChunk(path, 40, [&](const TableOps::RowSet &chunk) {
            sizes << chunk.rows.size();
            for (const QVariantList &r : chunk.rows)
                numbers << r.at(chunk.indexOf("NumCertif")).toString();
        });
        QCOMPARE(sizes, (QList<int>{40, 40, 20}));
        QCOMPARE(numbers.first(), QStringLiteral("C-0"));
        QCOMPARE(numbers.last(), QStringLiteral("C-99"));
        const auto summary = ReplicaFold::fold(f.db, f.syncDir, ReplicaFold::Kind::Complete);
        QCOMPARE(summary.rows, qint64(100));
        QCOMPARE(f.count("REP_CERTIFIC"), 100);
    }

    void completeReplacesExactlyTheTablesSent()
    {
        RemessaFixture f;
        putReplica(f.db, "Certific", {certific("C-1", 1), certific("C-2", 2), certific("C-3", 3)});
        putReplica(f.db, "Empresa", {row(tableOf("Empresa"), 7)});
        putReplica(f.db, "Status_C", {row(tableOf("Status_C"), 5)});
        QMap<QString, QStringList> before = replicas(f.db);

        DeltaPackage::write(f.syncDir, "Certific", "_I", {certific("C-2", 20), certific("C-9", 90)});
        DeltaPackage::write(f.syncDir, "Status_C", "_I", {});
        const auto summary = ReplicaFold::fold(f.db, f.syncDir, ReplicaFold::Kind::Complete);
        QCOMPARE(summary.tables, (QStringList{"Certific", "Status_C"}));

        QMap<QString, QStringList> after = replicas(f.db);
        QCOMPARE(after.value("REP_CERTIFIC").size(), 2);
        QCOMPARE(certificName(f.db, "C-2"), QStringLiteral("v20"));
        QCOMPARE(certificName(f.db, "C-9"), QStringLiteral("v90"));
        QCOMPARE(after.value("REP_STATUS_C"), QStringList()); // an empty _I empties the replica
        after.remove("REP_CERTIFIC");
        after.remove("REP_STATUS_C");
        before.remove("REP_CERTIFIC");
        before.remove("REP_STATUS_C");
        QCOMPARE(after, before);
    }

    // Tables 1 to 19 fold, the 20th is damaged: the whole fold and the
    // event are undone and the package stays for a retry.
    void failureAtTheTwentiethTableChangesNothing()
    {
        RemessaFixture f;
        const QString number = QStringLiteral("2026120805");
        putReplica(f.db, "Certific", {certific("C-1", 1)});
        const QMap<QString, QStringList> before = replicas(f.db);

        QTemporaryDir build;
        const QList<Schema::RemittanceEntry> &list = Schema::remittanceList();
        auto goodTables = [&] {
            for (int i = 0; i < 19; ++i)
                DeltaPackage::write(build.path(), list.at(i).name, "_I", {row(tableOf(list.at(i).name), 100 + i)});
        };
        goodTables();
        QCOMPARE(list.at(19).name, QStringLiteral("doc_norm_tipo"));
        const QString damaged = DeltaPackage::write(build.path(), list.at(19).name, "_I",
                                                    {row(tableOf(list.at(19).name), 1)});
        QFile d(damaged);
        QVERIFY(d.open(QIODevice::ReadWrite));
        d.resize(d.size() / 2 + 7);
        d.close();
        const QString package = RemessaControl::packageName("T", "OCP0001", number);
        QVERIFY(DeltaPackage::pack(build.path(), f.transferDir + package));

        f.event(number, "T", "PR", 10);
        f.event(number, "T", "TR", 5);
        const RemessaWork c = f.work(number, "T");
        QCOMPARE(c.remittance.packageName, package);
        ScriptedMessenger msg;
        QVERIFY(!ManualResult::apply(f.db, msg, c, "OK", {}));
        QCOMPARE(msg.messages.size(), 2);
        // The cause, for support: the twentieth table, after the others were folded.
        QFile log(ErrorLog::fileName());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains("doc_norm_tipo_I.DB"));
        QCOMPARE(replicas(f.db), before);
        QCOMPARE(f.newestEvent(number), QStringLiteral("TR"));
        QVERIFY(QFileInfo::exists(f.transferDir + package));
        QCOMPARE(QDir(f.syncDir).entryList({"*.DB"}, QDir::Files), QStringList());

        // The same package without the damaged table is accepted whole.
        QVERIFY(QFile::remove(f.transferDir + package));
        goodTables();
        QVERIFY(DeltaPackage::pack(build.path(), f.transferDir + package));
        msg.clear();
        QVERIFY(ManualResult::apply(f.db, msg, c, "OK", {"aceita"}));
        QVERIFY(msg.messages.isEmpty());
        QCOMPARE(f.newestEvent(number), QStringLiteral("OK"));
        QCOMPARE(f.db.scalar("SELECT Obs FROM CONTROLE WHERE Evento = 'OK'").toString(),
                 QStringLiteral("<Recebimento Manual>  aceita"));
        for (int i = 0; i < 19; ++i)
            QCOMPARE(f.count("REP_" + list.at(i).name.toUpper()), 1);
        QVERIFY(!QFileInfo::exists(f.transferDir + package));
    }
};

QTEST_GUILESS_MAIN(TestReplicaFold)
#include "test_replicafold.moc"
