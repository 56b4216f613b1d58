// One program per program folder, with real processes of the program.
#include "shell/instancelock.h"
#include "support/clirun.h"
#include "support/testhome.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

void startProgram(QProcess &p, const QString &home)
{
    CliRun::start(p, {},
                  CliRun::Options()
                      .running(QStringLiteral(CORVANE_APP_PATH))
                      .withoutPassword()
                      .withEnv(QStringLiteral("CORVANE_HOME"), home)
                      .offscreen());
}

// Waits until the folder's lock names the given process as its owner.
bool waitForOwner(const QString &home, qint64 pid, QProcess &p)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        if (p.state() == QProcess::NotRunning)
            return false;
        if (InstanceLock(home).ownerPid() == pid)
            return true;
        QTest::qWait(50);
    }
    return false;
}

void stop(QProcess &p)
{
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(10000);
    }
}

}

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondProgramIsRefusedAndKilledProgramLeavesNoBlock()
    {
        TestHome home;
        QProcess first;
        startProgram(first, home.dir());
        QVERIFY(first.waitForStarted());
        QVERIFY2(waitForOwner(home.dir(), first.processId(), first), first.readAllStandardError().constData());

        // Another folder is free; this one is taken, also for this process.
        TestHome other;
        InstanceLock otherLock(other.dir());
        QCOMPARE(otherLock.acquire(), InstanceLock::Outcome::Acquired);
        InstanceLock sameLock(home.dir());
        QCOMPARE(sameLock.acquire(), InstanceLock::Outcome::HeldByAnother);

        QProcess second;
        startProgram(second, home.dir());
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 3);
        const QString said = QString::fromUtf8(second.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("O Corvane já está aberto nesta pasta de programa")), qPrintable(said));
        QVERIFY(said.contains(QDir::toNativeSeparators(home.dir())));
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(InstanceLock(home.dir()).ownerPid(), first.processId());

        // Killed outright, the first leaves its lock file behind...
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(QFile::exists(InstanceLock(home.dir()).lockPath()));

        // ...and the next start takes it over.
        QProcess third;
        startProgram(third, home.dir());
        QVERIFY(third.waitForStarted());
        const bool owned = waitForOwner(home.dir(), third.processId(), third);
        const QString thirdSaid = QString::fromUtf8(third.readAllStandardError());
        stop(third);
        QVERIFY2(owned, qPrintable(thirdSaid));
        QVERIFY(!thirdSaid.contains(QStringLiteral("já está aberto")));
    }

    void lockIsReleasedWithItsOwner()
    {
        TestHome home;
        {
            InstanceLock lock(home.dir());
            QCOMPARE(lock.acquire(), InstanceLock::Outcome::Acquired);
            QVERIFY(lock.isHeld());
            QCOMPARE(InstanceLock(home.dir()).acquire(), InstanceLock::Outcome::HeldByAnother);
        }
        InstanceLock again(home.dir());
        QCOMPARE(again.acquire(), InstanceLock::Outcome::Acquired);
    }

    void unusableFolderDoesNotPassForAnotherProgram()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("arquivo")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        // A program folder below a plain file cannot exist.
        InstanceLock lock(dir.filePath(QStringLiteral("arquivo/pasta")));
        QCOMPARE(lock.acquire(), InstanceLock::Outcome::Unavailable);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
