// Import throughput: generates a valid import file of N records (default
// 100000), imports it into a fresh database and compares the rate with a
// bare SQLite insert of the same rows (the records and their inclusion
// history rows; the rate of the records alone is shown too). Prints peak resident memory so runs
// with different N show whether memory stays flat.
//
//   bench_import [N]
//
// Goal: the import at 0.5 or more of the bare insert's rate ("razão"; cpu
// is the same ratio in processor time, steadier on the shared machine).
//
// Where the time went (perf with DWARF call stacks, gcc -O2): asking Qt for
// the local time once or twice a record made glibc look at /etc/localtime
// again each time while TZ was unset (11%; pinned at start: 100 000 records
// in 3.9 s instead of 5.4 s, 0.16 -> 0.22 of the bare insert). Then, in
// shares of the import's processor time at 30 000 records:
// - the complete-certificate pass parsed its ten-table update again for
//   every certificate (18%): prepared once, 1%;
// - the regulator-holding rows went through a row map, a key object and
//   schema lookups per record (16%, half of it outside the engine): the
//   columns are matched once per record class;
// - each statement's values went through QVariant twice (to bind and to
//   list in Log_BD.txt; TDataStruct::execute's own work 11%): bound as they
//   are listed, texts and integers without a variant, 5%.
// Ratio, same machine, runs alternated at 50 000 records: 0.16-0.23 before,
// 0.34-0.39 after (cpu 0.34-0.40); at 100 000 records 0.21 -> 0.29-0.40
// (2.15 s against 0.85 s when the machine was quiet; cpu 0.39).
//
// Where it goes now (30 000 records): the engine is half of the import's
// processor time and runs three statements for each of the bare insert's:
// per record the existence test and the insert, the regulator-holding row
// for six tables in eleven (INSERT OR IGNORE on an eleven-column key, the
// dearest statement, 3.8 us), the inclusion row, and the pairing row of
// CTR_HISTORICO with its own existence test (emptied at the file's end).
// Skipping every existence test, tried, gained 0.03 only. The rest: reading
// and checking the records (11%), a descriptor built for each inclusion and
// pairing row, the Log_BD.txt trace of every statement (4%), string copies.
#include "quietmessenger.h"
#include "support/wholecertificates.h"

#include "base/apppaths.h"
#include "base/localzonepin.h"
#include "db/database.h"
#include "db/provisioning.h"
#include "import/importrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

using B = ImportFileBuilder;
using WholeCertificates::forEachRecord;
using WholeCertificates::Sigla;

// Processor time of the process so far (user + system), in seconds: the
// machine is shared, so wall figures swing with the others' load.
double cpuSecs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Timing
{
    double wall = 0;
    double cpu = 0;
};

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

QString createDatabase(const QString &path)
{
    Provisioning::Options o;
    o.adminPassword = QStringLiteral("admin");
    Provisioning::createDatabase(path, o);
    return path;
}

// The rows the import leaves in the database, written by prepared INSERTs in
// one transaction, no checks: every record of the file and, for a record
// whose table keeps a history, its inclusion row in the status table (the
// import must write it; it is part of the result). withHistory false writes
// the file's records only.
Timing bareInsert(const QString &path, int n, bool withHistory)
{
    struct Shape
    {
        QString table;
        QStringList columns;
        sqlite3_stmt *stmt = nullptr;
    };
    QHash<QString, Shape> shapes;
    QHash<QString, QString> statusOf; // header -> status table
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    QElapsedTimer t;
    t.start();
    const double cpuStart = cpuSecs();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    int seq = 0;
    const QString now = QDateTime::currentDateTime().toString(Qt::ISODate);
    const B::Values inclusion{
        {"Evento", "INC"}, {"HistoricoSis", "2"}, {"Justificativa", "Historico gerado pelo sistema"}};
    auto insert = [&](Shape &s, const B::Values &values, const B::Values &extra) {
        for (int i = 0; i < s.columns.size(); ++i) {
            const QString &c = s.columns.at(i);
            QString v;
            if (c == QLatin1String("DthUltAtualiz"))
                v = now;
            else if (c == QLatin1String("UsuResp"))
                v = QStringLiteral("bench");
            else if (c == QLatin1String("SeqEvento"))
                v = QString::number(++seq);
            else if (c == QLatin1String("SiglaCertificador"))
                v = Sigla;
            else if (c.startsWith(QLatin1String("Status"), Qt::CaseInsensitive) && !extra.isEmpty())
                v = QStringLiteral("A");
            else
                for (const B::Values *map : {&extra, &values})
                    for (auto it = map->begin(); v.isEmpty() && it != map->end(); ++it)
                        if (it.key().compare(c, Qt::CaseInsensitive) == 0)
                            v = it.value();
            const QByteArray bytes = v.toUtf8();
            if (v.isEmpty())
                sqlite3_bind_null(s.stmt, i + 1);
            else
                sqlite3_bind_text(s.stmt, i + 1, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
        }
        sqlite3_step(s.stmt);
        sqlite3_reset(s.stmt);
    };
    auto shapeOf = [&](const QString &key, const std::function<std::unique_ptr<TDataStruct>()> &make) -> Shape * {
        Shape &s = shapes[key];
        if (!s.stmt) {
            auto d = make();
            if (!d)
                return nullptr;
            s.table = d->tableName();
            QStringList marks;
            for (const TDataStructItem *item : d->items()) {
                s.columns << item->name;
                marks << QStringLiteral("?");
            }
            const QString sql =
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(s.table, s.columns.join(','), marks.join(','));
            sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s.stmt, nullptr);
        }
        return &s;
    };
    forEachRecord(n, [&](const QString &header, const B::Values &values) {
        Shape *record = shapeOf(header, [&] { return ImportDescriptors::createForHeader(header, Sigla, "bench"); });
        insert(*record, values, {});
        if (!withHistory)
            return;
        if (!statusOf.contains(header))
            statusOf.insert(
                header, ImportDescriptors::createForHeader(header, Sigla, QStringLiteral("bench"))->statusTableName());
        const QString statusTable = statusOf.value(header);
        Shape *status = statusTable.isEmpty() ? nullptr : shapeOf(QLatin1Char('#') + statusTable, [&] {
            return ImportDescriptors::createForStatusTable(statusTable, Sigla, QStringLiteral("bench"));
        });
        if (status)
            insert(*status, values, inclusion);
    });
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const Timing spent{t.nsecsElapsed() / 1e9, cpuSecs() - cpuStart};
    for (const Shape &s : shapes)
        if (s.stmt)
            sqlite3_finalize(s.stmt);
    sqlite3_close(db);
    return spent;
}

}

int main(int argc, char *argv[])
{
    LocalZonePin::pin(); // as the programs do
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTextStream out(stdout);
    QTemporaryDir tmp;
    AppPaths::setProgramDir(tmp.path());
    const QString files = tmp.path() + QStringLiteral("/txt");
    QDir().mkpath(files);

    WholeCertificates::writeFile(files, n); // written as it is generated
    const long rssBefore = peakRssKb();

    Database db;
    db.open(createDatabase(AppPaths::dbFile()));
    db.execute(QStringLiteral("INSERT INTO CONFIG_LOCAL (SiglaCertificador) VALUES (?)"), {Sigla});
    QuietMessenger messenger;
    ImportRun run(QStringLiteral("KESTRAVO"), db, QStringLiteral("bench"), messenger);
    QElapsedTimer t;
    t.start();
    const double cpuStart = cpuSecs();
    const bool ok = run.run(files);
    const Timing import{t.nsecsElapsed() / 1e9, cpuSecs() - cpuStart};
    const long rssAfter = peakRssKb();
    const int written = db.scalar(QStringLiteral("SELECT count(*) FROM CERTIFIC")).toInt();
    db.close();
    ImportRun::deleteLogs(files);
    if (!ok) {
        out << "import failed: " << messenger.errors.join(QStringLiteral(" | ")) << "\n";
        return 1;
    }

    const Timing bare = bareInsert(createDatabase(tmp.path() + QStringLiteral("/bare.db")), n, true);
    const Timing recordsOnly = bareInsert(createDatabase(tmp.path() + QStringLiteral("/records.db")), n, false);
    auto figures = [&](const Timing &s) {
        return QString::number(s.wall, 'f', 2) + QStringLiteral(" s (cpu ") + QString::number(s.cpu, 'f', 2) +
            QStringLiteral(" s), ") + QString::number(n / s.wall, 'f', 0) + QStringLiteral(" records/s");
    };
    // Rates compared: the bare insert's time over the import's.
    auto ratio = [](double of, double to) { return QString::number(to / of, 'f', 3); };
    out << "records               " << n << " (" << written << " certificates)\n"
        << "import                " << figures(import) << "\n"
        << "bare SQLite insert    " << figures(bare) << "\n"
        << "import / bare         razão " << ratio(import.wall, bare.wall) << " (meta >= 0.5); cpu "
        << ratio(import.cpu, bare.cpu) << "\n"
        << "bare, records only    " << figures(recordsOnly) << " (import / it " << ratio(import.wall, recordsOnly.wall)
        << ")\n"
        << "peak RSS              " << rssAfter / 1024 << " MB (before the import " << rssBefore / 1024 << " MB)\n";
    return 0;
}
