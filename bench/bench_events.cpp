// Status event numbering on large tables: writes N status events (default
// 10000) through the event service into an empty STATUS_C and into one that
// already holds M rows (default 1000000), and prints both rates and their
// ratio. Each event reads the table's highest SeqEvento before it is written.
// Goal: keep the ratio at the 1.10 it has reached.
//
// SeqEvento stops at 32767, so the M rows carry numbers that repeat across
// certificates, all below 32767 - N, leaving room for the N new events.
//
//   bench_events [N] [M]
#include "base/apppaths.h"
#include "db/database.h"
#include "db/provisioning.h"
#include "register/statusevents.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>

namespace {

QString createDatabase(const QString &path)
{
    Provisioning::Options o;
    o.adminPassword = QStringLiteral("admin");
    Provisioning::createDatabase(path, o);
    return path;
}

// Fills STATUS_C with rows numbered 1..top over and over, straight through
// the engine.
void seed(const QString &path, int rows, int top)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento, Justificativa, "
                       "HistoricoSis, StatusCertificado, DthStatusCertificado, DthUltAtualiz, UsuResp) "
                       "values ('OCB', ?, ?, 'INC', 'Historico gerado pelo sistema', '2', 'A', "
                       "'2020-01-01T00:00:00.000', '2020-01-01T00:00:00.000', 'bench')",
                       -1, &st, nullptr);
    for (int i = 0; i < rows; ++i) {
        const QByteArray num = "S-" + QByteArray::number(i / top) + "-" + QByteArray::number(i % top);
        sqlite3_bind_text(st, 1, num.constData(), int(num.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 2, i % top + 1);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Seconds to write n events, one per certificate, in one transaction.
double writeEvents(const QString &path, int n, int *firstSeq, int *lastSeq)
{
    Database db;
    db.open(path);
    QElapsedTimer t;
    t.start();
    Transaction tx(db);
    StatusEvents::Event e;
    e.evento = QStringLiteral("APR");
    e.justificativa = StatusEvents::JustificativaSistema;
    e.status = QStringLiteral("A");
    e.user = QStringLiteral("bench");
    for (int i = 0; i < n; ++i) {
        e.key = StatusEvents::certificateKey(QStringLiteral("OCB"), QStringLiteral("B-%1").arg(i));
        e.statusDate = e.writtenAt = QDateTime::currentDateTime();
        const int seq = StatusEvents::insert(db, StatusEvents::Table::Status_C, e);
        if (i == 0)
            *firstSeq = seq;
        *lastSeq = seq;
    }
    tx.commit();
    return t.elapsed() / 1000.0;
}

}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int m = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000000;
    QTextStream out(stdout);
    if (n < 1 || n >= StatusEvents::MaxSeqEvento) {
        out << "N must lie between 1 and " << StatusEvents::MaxSeqEvento - 1 << "\n";
        return 2;
    }
    QTemporaryDir tmp;
    AppPaths::setProgramDir(tmp.path());

    const QString empty = createDatabase(tmp.filePath(QStringLiteral("empty.mdb")));
    const QString full = createDatabase(tmp.filePath(QStringLiteral("full.mdb")));
    QElapsedTimer t;
    t.start();
    seed(full, m, StatusEvents::MaxSeqEvento - n);
    const double seeding = t.elapsed() / 1000.0;
    {
        // The seeding goes straight through the engine: make sure it landed.
        Database db;
        db.open(full);
        const qint64 seeded = db.scalar(QStringLiteral("select count(*) from STATUS_C")).toLongLong();
        if (seeded != m) {
            out << "seeding failed: " << seeded << " of " << m << " rows in STATUS_C\n";
            return 1;
        }
    }

    int first = 0, last = 0;
    const double emptySecs = writeEvents(empty, n, &first, &last);
    out << QStringLiteral("%1 %2\n").arg(QStringLiteral("events"), -21).arg(n);
    out << QStringLiteral("%1 %2 s, %3 events/s (SeqEvento %4..%5)\n")
               .arg(QStringLiteral("empty table"), -21)
               .arg(emptySecs, 0, 'f', 2)
               .arg(qRound(n / emptySecs))
               .arg(first)
               .arg(last);
    const double fullSecs = writeEvents(full, n, &first, &last);
    out << QStringLiteral("%1 %2 s, %3 events/s (SeqEvento %4..%5; %6 rows seeded in %7 s)\n")
               .arg(QStringLiteral("table of %1 rows").arg(m), -21)
               .arg(fullSecs, 0, 'f', 2)
               .arg(qRound(n / fullSecs))
               .arg(first)
               .arg(last)
               .arg(m)
               .arg(seeding, 0, 'f', 1);
    out << QStringLiteral("%1 %2 cheia/vazia (meta: manter <= 1.10)\n")
               .arg(QStringLiteral("full / empty time"), -21)
               .arg(fullSecs / emptySecs, 0, 'f', 2);
    return 0;
}
