// Fold of an accepted remittance into the replica: N rows of the certificate
// event table as an inclusion table (complete rules), then 1% of them as
// alterations (partial rules), each against a bare loop that reads the same
// rows from the Paradox file and inserts them into SQLite with one prepared
// statement. Also prints how fast the delta table itself was written, and
// peak resident memory so runs with different N show whether it stays flat.
// Goal: keep the fold at the 0.86 of the bare loop it has reached.
//
//   bench_fold [N]
#include "base/apppaths.h"
#include "db/database.h"
#include "db/paradoxtable.h"
#include "db/provisioning.h"
#include "db/schema.h"
#include "remessa/replicafold.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

QVariantList eventRow(const Schema::Table &t, int i, const QString &remark)
{
    QVariantList r;
    for (const Schema::Field &f : t.fields) {
        const QString n = f.name.toLower();
        if (n == QLatin1String("siglacertificador"))
            r << QStringLiteral("OCB");
        else if (n == QLatin1String("numcertif"))
            r << QStringLiteral("CERT-%1").arg(i);
        else if (n == QLatin1String("seqevento"))
            r << i % 30000;
        else if (f.type == Schema::FieldType::Text)
            r << (n == QLatin1String("obs") || n.contains(QLatin1String("just")) ? remark : QStringLiteral("A"))
                     .left(f.size);
        else if (f.type == Schema::FieldType::DateTime || f.type == Schema::FieldType::Date)
            r << QDateTime(QDate(2026, 1, 1).addDays(i % 300), QTime(9, 0));
        else if (f.type == Schema::FieldType::Boolean)
            r << false;
        else
            r << (i % 30000);
    }
    return r;
}

QString writeTable(const QString &path, const Schema::Table &t, int n, int step, const QString &remark)
{
    auto w = ParadoxWriter::create(path, Paradox::fieldsFor(t));
    for (int i = 0; i < n; i += step)
        w->appendRow(eventRow(t, i, remark));
    w->close();
    return path;
}

// Reads the table and inserts every row with one prepared statement.
qint64 bareLoad(const QString &dbPath, const QString &table, const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(dbPath.toUtf8().constData(), &db);
    sqlite3_exec(db, ("DELETE FROM " + table.toStdString()).c_str(), nullptr, nullptr, nullptr);
    auto reader = ParadoxReader::open(path);
    QStringList marks;
    for (int i = 0; i < reader->fields().size(); ++i)
        marks << QStringLiteral("?");
    sqlite3_stmt *st = nullptr;
    const QByteArray sql = QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(',')).toUtf8();
    sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    qint64 rows = 0;
    while (reader->next()) {
        const QVariantList &v = reader->values();
        for (int i = 0; i < v.size(); ++i) {
            const QVariant &x = v.at(i);
            if (x.isNull())
                sqlite3_bind_null(st, i + 1);
            else if (x.typeId() == QMetaType::QString) {
                const QByteArray b = x.toString().toUtf8();
                sqlite3_bind_text(st, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            } else if (x.typeId() == QMetaType::QDateTime || x.typeId() == QMetaType::QDate) {
                const QByteArray b = x.toDateTime().toString(Qt::ISODateWithMs).toUtf8();
                sqlite3_bind_text(st, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            } else if (x.typeId() == QMetaType::Double)
                sqlite3_bind_double(st, i + 1, x.toDouble());
            else
                sqlite3_bind_int64(st, i + 1, x.toLongLong());
        }
        sqlite3_step(st);
        sqlite3_reset(st);
        ++rows;
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

double rate(qint64 rows, qint64 ms)
{
    return ms > 0 ? rows * 1000.0 / ms : 0;
}

}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 5000;
    QTemporaryDir home;
    AppPaths::setProgramDir(home.path());
    const QString dbPath = home.filePath(QStringLiteral("db/bdocc.mdb"));
    Provisioning::Options opts;
    opts.adminPassword = QStringLiteral("admin");
    Provisioning::createDatabase(dbPath, opts);
    const QString sync = home.filePath(QStringLiteral("Sincr"));
    const QString keep = home.filePath(QStringLiteral("Pacote"));
    QDir().mkpath(sync);
    QDir().mkpath(keep);
    const Schema::Table &t = *Schema::table(QStringLiteral("Status_C"));
    QTextStream out(stdout);

    QElapsedTimer clock;
    clock.start();
    const QString inclusions = writeTable(keep + QStringLiteral("/Status_C_I.DB"), t, n, 1, QStringLiteral("Inclusão"));
    const qint64 writeMs = clock.elapsed();
    const QString alterations = writeTable(keep + QStringLiteral("/Status_C_A.DB"), t, n, 100,
                                           QStringLiteral("Alterado"));

    const long rssBefore = peakRssKb();
    qint64 foldMs = 0, partialMs = 0;
    {
        Database db;
        db.open(dbPath);
        QFile::copy(inclusions, sync + QStringLiteral("/Status_C_I.DB"));
        clock.restart();
        ReplicaFold::fold(db, sync + QLatin1Char('/'), ReplicaFold::Kind::Complete);
        foldMs = clock.elapsed();
        QFile::copy(alterations, sync + QStringLiteral("/Status_C_A.DB"));
        clock.restart();
        ReplicaFold::fold(db, sync + QLatin1Char('/'), ReplicaFold::Kind::Partial);
        partialMs = clock.elapsed();
    }
    const long rssAfter = peakRssKb();
    clock.restart();
    const qint64 bareRows = bareLoad(dbPath, QStringLiteral("REP_STATUS_C"), inclusions);
    const qint64 bareMs = clock.elapsed();

    const double foldRate = rate(n, foldMs), bareRate = rate(bareRows, bareMs);
    out << "rows                       " << n << "\n"
        << "delta table written        " << writeMs << " ms (" << qRound(rate(n, writeMs)) << " rows/s)\n"
        << "complete fold              " << foldMs << " ms (" << qRound(foldRate) << " rows/s)\n"
        << "partial fold, 1% altered   " << partialMs << " ms (" << (n + 99) / 100 << " rows)\n"
        << "bare read + insert         " << bareMs << " ms (" << qRound(bareRate) << " rows/s)\n"
        << "fold / bare rate           " << QString::number(bareRate > 0 ? foldRate / bareRate : 0, 'f', 2)
        << " dobra/carga simples (meta: manter >= 0.86)\n"
        << "peak RSS                   " << rssAfter / 1024 << " MB (before the fold " << rssBefore / 1024 << " MB)\n";
    return 0;
}
