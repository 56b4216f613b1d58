// Two programs on one register at once, as real processes of the batch tool:
// a remittance number is given once, and a transfer under way cannot be
// cancelled.
#include "support/clirun.h"
#include "support/remessafixture.h"
#include "support/testfiles.h"
#include "support/testservers.h"

#include "base/fileutil.h"
#include "db/dberror.h"
#include "remessa/registerstep.h"
#include "remessa/remessacontrol.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSet>
#include <QThread>
#include <QtTest>

namespace {

using Run = CliRun::Result;

// A batch-tool run started now and collected later.
class Started : public CliRun::Started
{
public:
    Started(const RemessaFixture &f, const QStringList &args)
        : CliRun::Started(QStringList{"remessa"} + args + CliRun::signedIn(f.home->dir()),
                          CliRun::Options().within(60000))
    { }
};

bool busyOrStateRefusal(const QString &err)
{
    return err.contains(QStringLiteral("Outra operação")) || err.contains(QStringLiteral("aguarda transferência")) ||
        err.contains(QStringLiteral("aguarda o resultado")) || err.contains(QStringLiteral("já foi finalizada")) ||
        err.contains(QStringLiteral("Não há remessa preparada"));
}

}

class TestConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void preparationsStartedTogetherGiveOneRemittance()
    {
        RemessaFixture f(true);
        f.db.execute("UPDATE CERTIFIC SET Completo = 1, Aprovado = 1");
        const RemessaControl::WorkingValues w = RemessaControl::workingValues(f.db);
        QSet<QString> numbers;
        for (int round = 0; round < 10; ++round) {
            Started first(f, {"preparar"});
            QThread::msleep(quint64(20 * (round % 5))); // 0 to 80 ms apart
            Started second(f, {"preparar"});
            const Run a = first.finish(), b = second.finish();
            QVERIFY2(a.code >= 0 && b.code >= 0, "a run did not end");
            // Exactly one prepared; the other refused with a reason.
            QCOMPARE(int(a.code == 0) + int(b.code == 0), 1);
            const Run &refused = a.code == 0 ? b : a;
            QCOMPARE(refused.code, 1);
            QVERIFY2(busyOrStateRefusal(refused.err), qPrintable(refused.err));
            QCOMPARE(f.count("CONTROLE", "Evento = 'PR'"), round + 1);
            const auto now = RemessaControl::newest(f.db);
            QVERIFY(now && now->event == QLatin1String("PR"));
            QVERIFY2(!numbers.contains(now->number), qPrintable(now->number));
            numbers.insert(now->number);
            QVERIFY(QFileInfo::exists(
                QDir(w.transferDir).filePath(RemessaControl::packageName("C", w.acronym, now->number))));
            RemessaControl::cancel(f.db, *now, "teste", w.transferDir, w.acronym);
        }
    }

    // Two connections to one register, as two workstations: the step
    // allowed is read inside the transaction that writes it, so while one
    // preparation is not committed the other waits and is refused, and
    // after the commit it finds the remittance and refuses by its state.
    void aStepWaitsForTheTransactionOfAnotherConnection()
    {
        RemessaFixture f;
        Database other(QStringLiteral("outra-estacao"));
        f.home->open(other);
        const QString day = FileUtil::dateStamp();
        auto prepareOn = [&](Database &db, const QString &number) -> QString {
            try {
                RegisterStep::run(db, [&] {
                    RemessaControl::require(db, RemessaControl::Step::Prepare);
                    RemessaControl::appendEvent(db, number, "C", "PR", db.connectionName());
                });
            } catch (const RegisterStep::Refused &e) {
                return e.message();
            }
            return QString();
        };
        {
            Transaction t(f.db);
            RegisterStep::enter(f.db);
            RemessaControl::require(f.db, RemessaControl::Step::Prepare);
            RemessaControl::appendEvent(f.db, day + "01", "C", "PR", "primeira");
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(prepareOn(other, day + "02"), RegisterStep::busyText());
            QVERIFY(clock.elapsed() >= DbErrors::BusyTimeoutMs - 200);
            t.commit();
        }
        QVERIFY(prepareOn(other, day + "02").contains(QStringLiteral("aguarda transferência")));
        QCOMPARE(f.count("CONTROLE"), 1);
        QCOMPARE(RemessaControl::newest(other)->number, day + "01");

        // Undone: nothing stays, and the other goes ahead at once.
        {
            Transaction t(f.db);
            RegisterStep::enter(f.db);
            RemessaControl::appendEvent(f.db, day + "01", "C", "NO", "primeira");
        }
        QVERIFY(prepareOn(other, day + "02").contains(QStringLiteral("aguarda transferência")));
        RemessaControl::appendEvent(f.db, day + "01", "C", "NO", "primeira");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(prepareOn(other, day + "02"), QString());
        QVERIFY(clock.elapsed() < DbErrors::BusyTimeoutMs);
        QCOMPARE(RemessaControl::newest(f.db)->number, day + "02");
    }

    void cancellingDuringAnFtpTransfer()
    {
        RemessaFixture f;
        InboxServer server(f);
        QVERIFY2(server.serve(f, 400000), qPrintable(server.error())); // a second per package
        const RemessaControl::WorkingValues w = RemessaControl::workingValues(f.db);
        const QByteArray bytes = randomBytes(400000, 11);
        int sent = 0, cancelled = 0;
        for (int round = 0; round < 10; ++round) {
            const QString number = QStringLiteral("20261208%1").arg(round + 10);
            const QString package = RemessaControl::packageName("C", w.acronym, number);
            QFile zip(f.transferDir + package);
            QVERIFY(zip.open(QIODevice::WriteOnly));
            zip.write(bytes);
            zip.close();
            RemessaControl::appendEvent(f.db, number, "C", "PR", "teste");

            Started send(f, {"enviar", "--ftp"});
            QThread::msleep(quint64(50 * (round % 5))); // 0 to 200 ms later
            Started cancel(f, {"cancelar"});
            const Run s = send.finish(), c = cancel.finish();
            QVERIFY2(s.code >= 0 && c.code >= 0, "a run did not end");
            const QList<RemessaControl::Event> events = RemessaControl::events(f.db, number);
            QStringList codes;
            for (const RemessaControl::Event &e : events)
                codes.prepend(e.event);
            const bool arrived = QFileInfo::exists(server.root() + "/entrada/" + package);
            if (s.code == 0) {
                // Delivered: recorded, never cancelled, the package kept for the result.
                ++sent;
                QCOMPARE(codes, (QStringList{"PR", "TR"}));
                QCOMPARE(c.code, 1);
                QVERIFY2(busyOrStateRefusal(c.err), qPrintable(c.err));
                QVERIFY(arrived);
                QVERIFY(QFileInfo::exists(f.transferDir + package));
            } else {
                // Cancelled before the transfer began: nothing went.
                ++cancelled;
                QCOMPARE(c.code, 0);
                QCOMPARE(codes, (QStringList{"PR", "NO"}));
                QVERIFY2(busyOrStateRefusal(s.err), qPrintable(s.out + s.err));
                QVERIFY(!arrived);
            }
            QFile::remove(server.root() + "/entrada/" + package);
            // Settled, so the next round starts from a finished remittance.
            if (RemessaControl::newest(f.db)->event == QLatin1String("TR"))
                RemessaControl::appendEvent(f.db, number, "C", "OK", "teste");
        }
        QCOMPARE(sent + cancelled, 10);
    }
};

QTEST_GUILESS_MAIN(TestConcurrency)
#include "test_concurrency.moc"
