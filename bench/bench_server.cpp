// The shared register on a server beside the embedded file, in one run:
// - the import of an N-record file (default 20000) into a fresh file register
//   and into a fresh server register; the server's time over the file's;
// - 4 processes approving the server register's certificates at once, one
//   certificate per transaction, each approval writing its STATUS_C event
//   numbered max + 1: events/s, and no SeqEvento handed out twice;
// - the complete remittance of both registers; the server's time over the
//   file's.
// Goal: the server within 3x of the file for one writer (import, remittance).
//
// First figures (20 000 records, 2 shared cores, the test cluster: fsync off):
// import 0.46 s on the file, 9.5 s on the server (x20, goal not met: each
// statement is a round trip, inside a savepoint of its own, and the import
// runs about six per record); the complete remittance x1.6; four writers
// about 860-1100 approvals/s, no SeqEvento given twice.
//
// The import's file written without a savepoint per statement (a failed
// statement has it written again with them): 15.2 s -> 7.8 s at 20 000
// records on the same machine (x42 -> x22). Sampled on both cores, the
// server's processes are busy about 60% of the wall time and this one about
// 35%, mostly in turn: the import still runs some six statements a record,
// each a round trip with the server's parsing and its socket work (the
// existence tests need their answers before the next statement). Within 3x
// needs the rows sent in batches, not a statement at a time.
//
// Then, one change at a time at 5 000 records (test build, same machine):
// - the file's cached statements go through the client library's pipeline:
//   a write does not wait for its answer, a read waits for its own and those
//   of the writes before it in one round trip (2.1 s -> 1.7 s);
// - the pairing rows' existence tests (CTR_HISTORICO, one a record) are
//   answered by the rows the file wrote, which are all the table holds
//   inside the file's transaction (-> 1.4 s);
// - what the import tells is held back until the writes before it are
//   confirmed, so a record no longer waits for its writes' answers before
//   the next one begins (-> 1.2 s);
// - the existence tests of a new certificate's rows go unanswered, taken as
//   finding nothing and checked by the answers (a wrong guess has the file
//   written again waiting for each test), and a certificate's issue date is
//   taken from the row just written: about one answer waited for every 64
//   records instead of one or two a record. No gain here (1.2 s): over
//   loopback the server is by then busy most of the time. On a network,
//   where a round trip costs a tenth of a millisecond or more, it is the
//   larger part.
// Sampled on both cores over the import alone: the server's process is busy
// about 85% of the time and this one about 30%; the server's own time goes
// to executing and planning each statement, the case-blind comparisons of
// the text keys (citext) in its indexes, the width checks of the columns and
// its socket and page-fault work. Rows sent many to a statement (one insert
// of many rows a table) were tried and gave no measurable gain here.
// 20 000 records, release build, two runs: the file 0.54 s, the server
// 4.6-5.4 s (x8.4-x10, against x22 before; goal not met); the complete
// remittance x2.5-x2.8.
//
// Then (statistics of the server's statements, pgbench, perf):
// - each text column's width check was a check of its table, and the server
//   compiles a table's checks again for every statement that writes it: an
//   insert into CTR_HISTORICO took 32 us on the server, 18 us without its
//   twelve checks. Moved into a domain of the column's own (compiled once a
//   session), the same insert takes 12-15 us, and the import's statements
//   spend about a third less on the server (CTR_HISTORICO 428 -> 163 ms,
//   ITEM_IMPORTADO 400 -> 290 ms, each other insert about 50 -> 32 ms);
// - a history record's item written by the same file, and a new
//   certificate's issue date, are answered without a question: 13 600 ->
//   10 000 round trips for the 20 000 records (counted with strace).
// The import's time hardly moved (4.3-4.6 s): over loopback the server's
// process still needs about 3 s of processor time for the 80 000 statements
// (each one's bind, plan and executor start and end, outside the statement
// statistics), and this one 1.5 s, mostly in turn. Comparing text keys in
// plain byte order (COLLATE "C") was tried: no change. What is left is the
// number of statements, not their cost.
// 20 000 records, release build, five runs: the file 0.55-0.65 s, the
// server 4.3-4.9 s (x7-x8.5; goal not met); the complete remittance
// x1.9-x3.5.
//
// The server is a throwaway cluster of the run's own (tests/support/
// pgcluster.sh), or the one whose folder $CORVANE_TEST_PG_DIR names.
//
//   bench_server [N]
#include "quietmessenger.h"
#include "support/wholecertificates.h"

#include "base/apppaths.h"
#include "base/localzonepin.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/provisioning.h"
#include "import/importrun.h"
#include "maintenance/certificates/certificateapproval.h"
#include "remessa/remessapreparation.h"
#include "support/testdb.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int Writers = 4;

// Ends the run through exit(), so the run's own server is stopped.
[[noreturn]] void fail(const QString &what)
{
    QTextStream(stderr) << what << "\n";
    std::exit(1);
}

Provisioning::Options options()
{
    Provisioning::Options o;
    o.adminPassword = QStringLiteral("admin");
    return o;
}

// A register ready for the file: the certifier of the generated records.
void prepare(Database &db)
{
    db.execute(QStringLiteral("INSERT INTO CONFIG_LOCAL (SiglaCertificador) VALUES (?)"), {WholeCertificates::Sigla});
    db.execute(QStringLiteral("UPDATE USU_LOCAL SET SiglaCertificador = ?"), {WholeCertificates::Sigla});
}

// Seconds to import the file in dir.
double import(Database &db, const QString &dir)
{
    QuietMessenger messenger;
    ImportRun run(QStringLiteral("KESTRAVO"), db, QStringLiteral("bench"), messenger);
    QElapsedTimer t;
    t.start();
    if (!run.run(dir))
        fail(QStringLiteral("import failed: ") + messenger.errors.join(QStringLiteral(" | ")));
    const double secs = t.nsecsElapsed() / 1e9;
    ImportRun::deleteLogs(dir);
    // Imported certificates count as approved: candidates again, for the
    // approvals that follow.
    db.execute(QStringLiteral("UPDATE CERTIFIC SET Aprovado = 0"));
    return secs;
}

// Seconds to prepare the complete remittance; its package's size in size.
double completeRemittance(Database &db, const QString &home, qint64 *size)
{
    const QString transfer = home + QStringLiteral("/Transferencia");
    QDir().mkpath(transfer);
    QuietMessenger messenger;
    RemessaPreparation::Settings s;
    s.transferDir = transfer;
    s.acronym = WholeCertificates::Sigla;
    s.currentNumber = QStringLiteral("0000000000");
    s.user = QStringLiteral("bench");
    QElapsedTimer t;
    t.start();
    const auto r = RemessaPreparation::run(db, messenger, s, RemessaPreparation::Type::Complete, {});
    if (r.outcome != RemessaPreparation::Outcome::Prepared)
        fail(QStringLiteral("remittance failed: ") + messenger.errors.join(QStringLiteral(" | ")));
    *size = QFile(r.remittance.packagePath).size();
    return t.nsecsElapsed() / 1e9;
}

// One of the writers: approves the candidates whose key falls to index
// (the list shrinks as the others approve, so it is split by key, not by
// place), one transaction each, trying a transaction again when the server
// gave it up for another's sake. Prints "approved retries failed".
int writer(const QString &address, int index)
{
    Database db(QStringLiteral("writer"));
    db.openServer(ServerAddress::parse(address));
    int approved = 0, retries = 0, failed = 0;
    for (const CertificateApproval::Candidate &c : CertificateApproval::candidates(db)) {
        if (int(qHash(c.numCertif) % Writers) != index)
            continue;
        const CertificateKey key{c.sigla, c.numCertif};
        for (int attempt = 0;; ++attempt) {
            try {
                Transaction tx(db);
                CertificateApproval::approve(db, {key}, QStringLiteral("bench"));
                tx.commit();
                ++approved;
                break;
            } catch (const DbError &e) {
                if (!e.isConflict() || attempt >= 5) {
                    ++failed;
                    QTextStream(stderr) << e.what() << "\n";
                    break;
                }
                ++retries;
            } catch (const std::exception &e) {
                ++failed;
                QTextStream(stderr) << e.what() << "\n";
                break;
            }
        }
    }
    QTextStream(stdout) << approved << " " << retries << " " << failed << "\n";
    return 0;
}
}

int main(int argc, char *argv[])
{
    LocalZonePin::pin(); // as the programs do
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--writer")
        return writer(QString::fromUtf8(argv[2]), QByteArray(argv[3]).toInt());
    const int n = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;
    QTextStream out(stdout);
    QTemporaryDir tmp;
    const QString fileHome = tmp.path() + QStringLiteral("/arquivo");
    const QString serverHome = tmp.path() + QStringLiteral("/servidor");
    WholeCertificates::writeFile(fileHome + QStringLiteral("/txt"), n);
    WholeCertificates::writeFile(serverHome + QStringLiteral("/txt"), n);
    auto ratio = [](double server, double file) { return QString::number(server / file, 'f', 2); };

    AppPaths::setProgramDir(fileHome);
    QDir().mkpath(fileHome + QStringLiteral("/db"));
    Provisioning::createDatabase(AppPaths::dbFile(), options());
    Database file(QStringLiteral("file"));
    file.open(AppPaths::dbFile());
    prepare(file);
    const double fileImport = import(file, fileHome + QStringLiteral("/txt"));

    AppPaths::setProgramDir(serverHome);
    const ServerAddress address = TestDb::freshDatabase();
    Provisioning::createOnServer(address, options());
    Database server(QStringLiteral("server"));
    server.openServer(address);
    prepare(server);
    const double serverImport = import(server, serverHome + QStringLiteral("/txt"));
    const int certificates = file.scalar(QStringLiteral("SELECT count(*) FROM CERTIFIC")).toInt();
    out << "records                  " << n << " (" << certificates << " certificates)\n"
        << "import, file             " << QString::number(fileImport, 'f', 2) << " s\n"
        << "import, server           " << QString::number(serverImport, 'f', 2) << " s; server / file "
        << ratio(serverImport, fileImport) << " (goal <= 3)\n";
    out.flush();

    // The approvals: one process on the file, four at once on the server.
    {
        QElapsedTimer t;
        t.start();
        Transaction tx(file);
        QList<CertificateKey> keys;
        for (const auto &c : CertificateApproval::candidates(file))
            keys.append({c.sigla, c.numCertif});
        CertificateApproval::approve(file, keys, QStringLiteral("bench"));
        tx.commit();
        out << "approval, file, 1 writer " << keys.size() << " events in "
            << QString::number(t.elapsed() / 1000.0, 'f', 2) << " s (one transaction)\n";
    }
    const int before = server.scalar(QStringLiteral("SELECT count(*) FROM STATUS_C")).toInt();
    QElapsedTimer t;
    t.start();
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < Writers; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--writer"), address.uri(), QString::number(i)});
        writers.push_back(std::move(p));
    }
    int approved = 0, retries = 0, failed = 0;
    for (auto &p : writers) {
        p->waitForFinished(-1);
        const QStringList figures = QString::fromUtf8(p->readAllStandardOutput()).split(QLatin1Char(' '));
        if (p->exitCode() != 0 || figures.size() != 3)
            fail(QStringLiteral("a writer failed: ") + QString::fromUtf8(p->readAllStandardError()));
        const QString errors = QString::fromUtf8(p->readAllStandardError()).trimmed();
        if (!errors.isEmpty())
            out << "  a writer's first failure: " << errors.section(QLatin1Char('\n'), 0, 0) << "\n";
        approved += figures.at(0).toInt();
        retries += figures.at(1).toInt();
        failed += figures.at(2).trimmed().toInt();
    }
    const double secs = t.nsecsElapsed() / 1e9;
    const int events = server.scalar(QStringLiteral("SELECT count(*) FROM STATUS_C")).toInt() - before;
    const int repeated = server
                             .scalar(QStringLiteral("SELECT count(*) FROM (SELECT SeqEvento FROM STATUS_C "
                                                    "GROUP BY SeqEvento HAVING count(*) > 1) AS r"))
                             .toInt();
    out << "approval, server, " << Writers << " writers " << approved << " certificates, " << events << " events in "
        << QString::number(secs, 'f', 2) << " s = " << QString::number(events / secs, 'f', 0) << " events/s; "
        << retries << " transactions tried again, " << failed << " given up; SeqEvento given twice: " << repeated
        << (repeated == 0 && failed == 0 ? " (ok)" : " (FAULT)") << "\n";
    out.flush();

    qint64 fileSize = 0, serverSize = 0;
    AppPaths::setProgramDir(fileHome);
    const double fileRemittance = completeRemittance(file, fileHome, &fileSize);
    AppPaths::setProgramDir(serverHome);
    const double serverRemittance = completeRemittance(server, serverHome, &serverSize);
    out << "complete remittance, file   " << QString::number(fileRemittance, 'f', 2) << " s, package "
        << fileSize / 1024 << " KB\n"
        << "complete remittance, server " << QString::number(serverRemittance, 'f', 2) << " s, package "
        << serverSize / 1024 << " KB; server / file " << ratio(serverRemittance, fileRemittance) << " (goal <= 3)\n";
    return repeated == 0 && failed == 0 ? 0 : 1;
}
