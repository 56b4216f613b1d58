// Remittance preparation on a large register: a complete remittance of every
// approved row (about 10 rows per certificate across the remittance tables)
// against a bare loop that reads the same rows from SQLite and writes them
// with pxlib alone, then a partial remittance after 1% of the event rows
// changed. Prints rows/s, the ratio to the bare loop and the peak resident
// memory of each phase, each goal beside its figure. Usage:
// bench_remessa [certificates] (default 100000 = 1 001 001 rows, the size the
// goals are set for; about half a minute here). BENCH_SLICE=1 adds the
// PX_put_record slice (minutes on its own), BENCH_TABLES=1 lists the slowest
// tables of the partial run, BENCH_CACHE=KB sets SQLite's page cache for the
// whole run, BENCH_KEEP=FILE keeps a copy of the database as the partial run
// finds it. Each phase also prints the processor time it took (user +
// system), steadier than the wall clock on a machine shared with other work.
//
// Where the time went (perf record --call-graph dwarf, 300 301 rows):
// - Complete remittance, 0.31 of the bare loop by cpu: the engine's scan
//   and, per row, a probe of CERTIFIC's key (index seek, NOCASE compares) to
//   see the certificate approved, the same certificate again and again;
//   the kernel's copy of the written blocks (as many bytes as the bare loop
//   writes); the package (deflate at the fastest level, a third of the wall
//   time, which the bare loop does not make); the column reads, done twice
//   per value (the Windows-1252 check, then the record). The approval is
//   now a lookup in a set of the approved certificates' keys read once per
//   run (db/keypairset.h); on this shared machine the ratio did not move
//   beyond the noise (0.29 to 0.48 by cpu from run to run). The columns
//   are now read once per row, the cells kept for the check and the record
//   (300 301 rows, alternating runs: 1.06-1.07 s cpu -> 0.92-0.96 s).
//   The package is now made while the tables are written: each finished
//   table is deflated on a second thread into a scratch archive, and the
//   package copies that compressed data as it stands (base/archive.h,
//   Archive::Packer); at the end this thread helps with what is left. The
//   time after the last table went from 1.42-1.69 s to 0.38-0.56 s (1 001 001
//   rows, alternating runs; wall ratio to the bare loop 0.35-0.42 -> 0.38-0.49,
//   depending on the load). The processor time stays (0.36-0.41 of the bare
//   loop): it counts both threads, and the deflate is the same work.
// - Partial remittance, 2.2 s cpu: two walks per table, the change walk
//   (source, CERTIFIC probe, replica probe) and the exclusion walk (replica,
//   CERTIFIC probe, source probe). The change walk now marks every replica
//   row it meets (db/rowidmarks.h); only the rowid ranges it never met get
//   the exclusion test, so the exclusions come from the same walk: about a
//   quarter less cpu (300 301 rows, same moment: 0.65-0.71 s -> 0.48-0.52 s).

#include "base/apppaths.h"
#include "base/localzonepin.h"
#include "base/messenger.h"
#include "db/database.h"
#include "db/provisioning.h"
#include "db/schema.h"
#include "remessa/remessapreparation.h"
#include "remessa/remittancequeries.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDriver>
#include <QTemporaryDir>
#include <QTextStream>

#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>

extern "C" {
#include <paradox.h>
}

namespace {

long peakRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}
// Processor seconds used by the process so far.
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Starts a new peak from the current size.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// Value of a column for certificate i (k numbers the rows of one certificate).
QString expression(const Schema::Field &f, const QString &table)
{
    const QString n = f.name.toLower();
    if (n == "siglacertificador")
        return "'OCB'";
    if (n == "numcertif")
        return "'C' || i";
    if (n == "codigopais")
        return "'BR'";
    if (n == "idempresa")
        return "'E' || (i % 1000)";
    if (n == "marcaprod")
        return "'Marca ' || i";
    if (n == "modeloprod")
        return "'Modelo'";
    if (n == "importado")
        return "0";
    if (n == "seqevento")
        return "k";
    if (n == "aprovado" || n == "completo")
        return "1";
    if (n == "idclassecertif")
        return "'CC'";
    if (n == "idclasseprod" || n == "iddocnorm")
        return "1";
    switch (f.type) {
    case Schema::FieldType::Text:
        return QStringLiteral("substr('%1 ' || i || ' texto de teste', 1, %2)").arg(table).arg(qMin(f.size, 24));
    case Schema::FieldType::DateTime: return "'2024-05-01T12:30:00.000'";
    case Schema::FieldType::Boolean: return "1";
    default: return "i % 30000";
    }
}

void populate(Database &db, int certificates)
{
    struct Plan
    {
        const char *table;
        int perCertificate;
        int modulo; // rows only for i % modulo == 0 (shared companies)
    };
    const Plan plan[] = {{"CERTIFIC", 1, 1},   {"STATUS_C", 2, 1}, {"EMP_CERT", 1, 1}, {"EVENTO_EMP", 1, 1},
                         {"TIPO", 1, 1},       {"STATUS_T", 1, 1}, {"PRODUTO", 1, 1},  {"DOC_NORM_TIPO", 1, 1},
                         {"STATUS_DNT", 1, 1}, {"EMPRESA", 1, 100}};
    Transaction t(db);
    for (const Plan &p : plan) {
        const Schema::Table *table = Schema::table(QLatin1String(p.table));
        QStringList cols, exprs;
        for (const Schema::Field &f : table->fields) {
            cols << QLatin1Char('"') + f.name + QLatin1Char('"');
            exprs << expression(f, table->name);
        }
        QString from = QStringLiteral(
                           "WITH RECURSIVE c(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM c WHERE i + 1 < %1), "
                           "s(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM s WHERE k < %2) ")
                           .arg(certificates)
                           .arg(p.perCertificate);
        QString sql = from +
            QStringLiteral("INSERT INTO \"%1\" (%2) SELECT %3 FROM c, s WHERE i % %4 = 0")
                .arg(table->name, cols.join(","), exprs.join(","))
                .arg(p.modulo);
        if (QLatin1String(p.table) == QLatin1String("EMPRESA"))
            sql.replace(QStringLiteral("'E' || (i % 1000)"), QStringLiteral("'E' || (i / 100)"));
        db.execute(sql);
    }
    t.commit();
}

qint64 totalRows(Database &db)
{
    qint64 n = 0;
    for (const auto &e : RemittanceQueries::entries())
        n += db.scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(e.source->name)).toLongLong();
    return n;
}

// The bare loop: each table read with sqlite3, values packed with pxlib's
// own field calls, no checks; records go into data blocks written as they
// fill (pxlibRecords: through PX_put_record instead, which walks the file
// for every record and is only run on a slice, to show why it is not used).
qint64 bareLoop(Database &db, const QString &dir, bool pxlibRecords = false, qint64 limit = 0)
{
    auto *handle = *static_cast<sqlite3 **>(db.handle().driver()->handle().data());
    PX_boot();
    qint64 rows = 0;
    for (const auto &e : RemittanceQueries::entries()) {
        const Schema::Table &t = *e.source;
        pxdoc_t *px = PX_new();
        auto *pf = static_cast<pxfield_t *>(px->malloc(px, sizeof(pxfield_t) * size_t(t.fields.size()), "f"));
        int recordSize = 0;
        QList<int> types, sizes;
        for (int i = 0; i < t.fields.size(); ++i) {
            const auto &f = t.fields.at(i);
            int type = pxfAlpha, size = 0;
            switch (f.type) {
            case Schema::FieldType::Text:
                type = pxfAlpha;
                size = qBound(1, f.size, 255);
                break;
            case Schema::FieldType::SmallInt:
                type = pxfShort;
                size = 2;
                break;
            case Schema::FieldType::DateTime:
                type = pxfTimestamp;
                size = 8;
                break;
            case Schema::FieldType::Boolean:
                type = pxfLogical;
                size = 1;
                break;
            default: type = pxfLong; size = 4;
            }
            pf[i] = {PX_strdup(px, f.name.toLatin1().constData()), char(type), size, 0};
            types << type;
            sizes << size;
            recordSize += size;
        }
        const QString path = QDir(dir).filePath(e.entry->name + "_I.DB");
        PX_create_file(px, pf, int(t.fields.size()), QFile::encodeName(path).constData(), pxfFileTypNonIndexDB);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(handle, QStringLiteral("SELECT * FROM \"%1\"").arg(t.name).toUtf8().constData(), -1, &st,
                           nullptr);
        std::vector<char> rec(static_cast<size_t>(recordSize), 0);
        // pxlib lays out the header; the blocks are appended as they fill.
        const int blockSize = px->px_head->px_maxtablesize * 0x400;
        const int perBlock = (blockSize - 6) / recordSize;
        std::vector<char> block(static_cast<size_t>(blockSize), 0);
        int inBlock = 0;
        FILE *raw = pxlibRecords ? nullptr : std::fopen(QFile::encodeName(path + ".blocks").constData(), "wb");
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::memset(rec.data(), 0, rec.size());
            char *p = rec.data();
            for (int c = 0; c < types.size(); ++c) {
                if (sqlite3_column_type(st, c) != SQLITE_NULL) {
                    switch (types.at(c)) {
                    case pxfAlpha: {
                        const char *s = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
                        std::strncpy(p, s, size_t(sizes.at(c)));
                        break;
                    }
                    case pxfShort: PX_put_data_short(px, p, 2, short(sqlite3_column_int(st, c))); break;
                    case pxfLong: PX_put_data_long(px, p, 4, sqlite3_column_int(st, c)); break;
                    case pxfLogical: PX_put_data_byte(px, p, 1, char(sqlite3_column_int(st, c) ? 1 : 0)); break;
                    case pxfTimestamp: {
                        int y, mo, d, h, mi, s, ms;
                        std::sscanf(reinterpret_cast<const char *>(sqlite3_column_text(st, c)), "%d-%d-%dT%d:%d:%d.%d",
                                    &y, &mo, &d, &h, &mi, &s, &ms);
                        const double days = double(QDate(y, mo, d).toJulianDay() - 1721425);
                        PX_put_data_double(px, p, 8, days * 86400000.0 + ((h * 60 + mi) * 60 + s) * 1000.0 + ms);
                        break;
                    }
                    }
                }
                p += sizes.at(c);
            }
            if (pxlibRecords) {
                PX_put_record(px, rec.data());
            } else {
                std::memcpy(block.data() + 6 + inBlock * recordSize, rec.data(), rec.size());
                if (++inBlock == perBlock) {
                    std::fwrite(block.data(), 1, block.size(), raw);
                    inBlock = 0;
                }
            }
            ++rows;
            if (limit && rows >= limit)
                break;
        }
        sqlite3_finalize(st);
        if (raw) {
            if (inBlock)
                std::fwrite(block.data(), 1, block.size(), raw);
            std::fclose(raw);
        }
        PX_close(px);
        if (limit && rows >= limit)
            break;
        PX_delete(px);
    }
    return rows;
}

} // namespace

int main(int argc, char *argv[])
{
    LocalZonePin::pin(); // as the programs do
    QCoreApplication app(argc, argv);
    const int certificates = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTextStream out(stdout);
    QTemporaryDir home;
    AppPaths::setProgramDir(home.path());
    const QString dbPath = home.filePath(QStringLiteral("db/bdocc.mdb"));
    QDir().mkpath(home.filePath(QStringLiteral("db")));
    Provisioning::Options o;
    o.adminPassword = QStringLiteral("admin");
    Provisioning::createDatabase(dbPath, o);
    Database db;
    db.open(dbPath);
    QElapsedTimer timer;
    timer.start();
    populate(db, certificates);
    db.execute(QStringLiteral("UPDATE USU_LOCAL SET SiglaCertificador = 'OCB'"));
    if (qEnvironmentVariableIsSet("BENCH_CACHE"))
        db.execute(QStringLiteral("PRAGMA cache_size = -") + qEnvironmentVariable("BENCH_CACHE"));
    const qint64 rows = totalRows(db);
    out << "certificates          " << certificates << "\nrows in the 29 tables " << rows << " (made in "
        << timer.elapsed() / 1000.0 << " s)\n";
    out.flush();

    const QString bareDir = home.filePath(QStringLiteral("bare"));
    QDir().mkpath(bareDir);
    resetPeak();
    timer.restart();
    double cpu = cpuSeconds();
    const qint64 bareRows = bareLoop(db, bareDir);
    const double bareSecs = timer.elapsed() / 1000.0;
    const double bareRate = bareRows / bareSecs;
    const double bareCpu = cpuSeconds() - cpu;
    out << "bare sqlite+pxlib     " << bareRows << " rows in " << bareSecs << " s = " << qint64(bareRate)
        << " rows/s, peak RSS " << peakRssKb() / 1024 << " MB; cpu " << bareCpu << " s\n";
    out.flush();

    if (qEnvironmentVariableIsSet("BENCH_SLICE")) {
        timer.restart();
        const qint64 sliceRows = bareLoop(db, bareDir, true, 500);
        const double sliceSecs = timer.elapsed() / 1000.0;
        out << "  (PX_put_record      " << sliceRows << " rows in " << sliceSecs
            << " s = " << qint64(sliceRows / sliceSecs)
            << " rows/s, slowing with every block: not usable for whole tables)\n";
        out.flush();
    }

    const QString transfer = home.filePath(QStringLiteral("Transferencia"));
    QDir().mkpath(transfer);
    ConsoleMessenger messenger;
    RemessaPreparation::Settings s;
    s.transferDir = transfer;
    s.acronym = QStringLiteral("OCB");
    s.currentNumber = QStringLiteral("0000000000");
    s.user = QStringLiteral("bench");
    resetPeak();
    timer.restart();
    cpu = cpuSeconds();
    qint64 walkMs = 0;
    RemessaPreparation::Progress progress;
    progress.packaging = [&] { walkMs = timer.elapsed(); };
    auto r = RemessaPreparation::run(db, messenger, s, RemessaPreparation::Type::Complete, progress);
    const double completeSecs = timer.elapsed() / 1000.0;
    const double completeCpu = cpuSeconds() - cpu;
    out << "  (tables written in " << walkMs / 1000.0 << " s, package in " << completeSecs - walkMs / 1000.0 << " s)\n";
    out << "complete remittance   " << rows << " rows in " << completeSecs << " s = " << qint64(rows / completeSecs)
        << " rows/s (ratio to bare " << QString::number(rows / completeSecs / bareRate, 'f', 2)
        << " (goal >= 0.5)), package " << QFile(r.remittance.packagePath).size() / 1024 << " KB, peak RSS "
        << peakRssKb() / 1024 << " MB; cpu " << completeCpu << " s (ratio to bare by cpu "
        << QString::number(bareCpu / completeCpu, 'f', 2) << " (goal >= 0.5))\n";
    out.flush();

    // Accepted: the replicas now hold what was sent; then 1% of the events change.
    {
        Transaction t(db);
        for (const auto &e : RemittanceQueries::entries()) {
            const auto st = RemittanceQueries::statement(e, RemittanceQueries::Kind::Complete, db.engine());
            QVariantList p;
            for (int i = 0; i < st.approvalParams; ++i)
                p << true;
            db.execute(QStringLiteral("INSERT INTO %1 %2").arg(e.replica->name, st.sql), p);
        }
        db.execute(QStringLiteral("INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento) "
                                  "VALUES (?, ?, 'T', 'OK')"),
                   {QDateTime::currentDateTime(), r.remittance.number});
        t.commit();
    }
    int changed = 0;
    for (const char *t : {"STATUS_C", "EVENTO_EMP", "STATUS_T", "STATUS_DNT", "TIPO", "CERTIFIC"})
        changed += db.execute(QStringLiteral("UPDATE \"%1\" SET DthUltAtualiz = '2025-01-01T00:00:00.000' "
                                             "WHERE rowid % 100 = 0")
                                  .arg(QLatin1String(t)));
    s.currentNumber = r.remittance.number;
    if (qEnvironmentVariableIsSet("BENCH_KEEP")) // the database before the partial run, to study its queries
        QFile::copy(dbPath, qEnvironmentVariable("BENCH_KEEP"));
    resetPeak();
    timer.restart();
    cpu = cpuSeconds();
    QElapsedTimer lap;
    QString current;
    QStringList slowest;
    RemessaPreparation::Progress partialProgress;
    partialProgress.table = [&](const QString &m) {
        if (!current.isEmpty() && lap.elapsed() > 200)
            slowest << QStringLiteral("%1 %2 s").arg(current).arg(lap.elapsed() / 1000.0);
        current = m;
        lap.restart();
    };
    r = RemessaPreparation::run(db, messenger, s, RemessaPreparation::Type::Partial, partialProgress);
    const double partialSecs = timer.elapsed() / 1000.0;
    out << "partial remittance    " << changed << " rows changed of " << rows << ": " << partialSecs
        << " s (goal <= 3 s at 1 001 001 rows) (" << qint64(rows / partialSecs) << " rows compared/s), " << r.tables
        << " delta tables, peak RSS " << peakRssKb() / 1024 << " MB; cpu " << cpuSeconds() - cpu << " s\n";
    if (qEnvironmentVariableIsSet("BENCH_TABLES"))
        out << "  slowest tables: " << slowest.join(QStringLiteral("; ")) << "\n";
    return r.outcome == RemessaPreparation::Outcome::Prepared ? 0 : 1;
}
