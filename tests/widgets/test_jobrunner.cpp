#include "support/scriptedmessenger.h"
#include "widgets/jobrunner.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include <atomic>

namespace {

// Notes the thread every box is shown on.
class ThreadNotingMessenger : public ScriptedMessenger
{
public:
    QList<QThread *> threads;
    void error(const QString &text, const QString &caption = QString()) override
    {
        threads << QThread::currentThread();
        ScriptedMessenger::error(text, caption);
    }
    bool confirm(const QString &text, const QString &caption = QString()) override
    {
        threads << QThread::currentThread();
        return ScriptedMessenger::confirm(text, caption);
    }
};

}

class TestJobRunner : public QObject
{
    Q_OBJECT

private slots:
    void reportsArriveInOrderOnTheOwnersThread()
    {
        JobRunner runner;
        QList<qint64> amounts;
        QStringList steps;
        QList<QThread *> threads;
        QThread *worker = nullptr;
        connect(&runner, &JobRunner::progress, this, [&](qint64 done, qint64 total) {
            amounts << done;
            QCOMPARE(total, 50);
            threads << QThread::currentThread();
        });
        connect(&runner, &JobRunner::step, this, [&](const QString &text) { steps << text; });
        QSignalSpy finished(&runner, &JobRunner::finished);
        QVERIFY(runner.start([&](JobProgress &progress) {
            worker = QThread::currentThread();
            progress.step(QStringLiteral("início"));
            for (int i = 1; i <= 50; ++i)
                progress.amount(i, 50);
            progress.step(QStringLiteral("fim"));
            runner.post([&] { threads << QThread::currentThread(); });
        }));
        QVERIFY(runner.isRunning());
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY(!runner.isRunning());
        QVERIFY(worker && worker != QThread::currentThread());
        QCOMPARE(amounts.size(), 50);
        for (int i = 0; i < 50; ++i)
            QCOMPARE(amounts[i], qint64(i + 1));
        QCOMPARE(steps, (QStringList{"início", "fim"}));
        // every report and the function posted last ran here, in order
        QCOMPARE(threads.size(), 51);
        QCOMPARE(threads.count(QThread::currentThread()), 51);

        // the runner takes the next job once the last has ended
        QVERIFY(runner.start([](JobProgress &) {}));
        QVERIFY(finished.wait(10000));
    }

    void interruptStopsTheJob()
    {
        JobRunner runner;
        std::atomic<bool> started{false};
        QSignalSpy finished(&runner, &JobRunner::finished);
        QVERIFY(runner.start([&](JobProgress &progress) {
            started = true;
            for (int i = 0; i < 1000 && !progress.stopRequested(); ++i)
                QThread::msleep(10);
        }));
        QVERIFY(!runner.start([](JobProgress &) {})); // one at a time
        QTRY_VERIFY(started.load());
        runner.interrupt();
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY(runner.interrupted());
    }

    void boxesShowOnTheOwnersThreadAndAnswer()
    {
        JobRunner runner;
        ThreadNotingMessenger target;
        target.answers.enqueue(true);
        bool answer = false;
        QSignalSpy finished(&runner, &JobRunner::finished);
        runner.start([&](JobProgress &) {
            RelayedMessenger messenger(runner, target);
            messenger.error(QStringLiteral("primeiro"));
            answer = messenger.confirm(QStringLiteral("segundo?"));
        });
        QVERIFY(finished.wait(10000));
        QVERIFY(answer);
        QCOMPARE(target.texts(), (QStringList{"primeiro", "segundo?"}));
        QCOMPARE(target.threads, (QList<QThread *>{QThread::currentThread(), QThread::currentThread()}));

        // on the owner's own thread the box shows at once
        RelayedMessenger direct(runner, target);
        direct.error(QStringLiteral("terceiro"));
        QCOMPARE(target.lastText(), QStringLiteral("terceiro"));
    }

    void closingWhileTheJobWaitsForAnAnswer()
    {
        ScriptedMessenger target;
        target.answers.enqueue(true);
        std::atomic<int> answer{-1};
        {
            JobRunner runner;
            runner.start([&](JobProgress &progress) {
                RelayedMessenger messenger(runner, target);
                answer = messenger.confirm(QStringLiteral("continuar?")) ? 1 : 0;
                while (!progress.stopRequested())
                    QThread::msleep(5);
            });
            // the runner goes before the question could be shown
        }
        QCOMPARE(answer.load(), 0);
        QVERIFY(target.messages.isEmpty());
    }
};

QTEST_MAIN(TestJobRunner)
#include "test_jobrunner.moc"
