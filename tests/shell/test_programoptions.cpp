// --version, --help and --home of both programs, run as real processes.
#include "shell/appversion.h"
#include "shell/instancelock.h"
#include "support/clirun.h"
#include "support/testhome.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

namespace {

using Run = CliRun::Result;

Run run(const QString &program, const QStringList &args, const QString &home = QString())
{
    return CliRun::run(args,
                       CliRun::Options()
                           .running(program)
                           .withoutPassword()
                           .offscreen()
                           .withEnv(QStringLiteral("CORVANE_HOME"), home)
                           .within(30000));
}

const QString App = QStringLiteral(CORVANE_APP_PATH);
const QString Cli = QStringLiteral(CORVANE_CLI_PATH);

}

class TestProgramOptions : public QObject
{
    Q_OBJECT

private slots:
    void versionAndHelpNeedNoDisplayNorDatabase()
    {
        // No display at all: these must answer before any window system is asked.
        const CliRun::Options noDisplay = CliRun::Options()
                                              .running(App)
                                              .withoutPassword()
                                              .withoutDisplay()
                                              .withEnv(QStringLiteral("CORVANE_HOME"),
                                                       QStringLiteral("/nonexistent/corvane"))
                                              .within(30000);
        const Run version = CliRun::run({QStringLiteral("--version")}, noDisplay);
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QStringLiteral("corvane %1\n").arg(AppVersion::number()));
        // The version shown is the one the package is built with.
        QCOMPARE(AppVersion::number(), QStringLiteral(CORVANE_PROJECT_VERSION));

        const Run shown = CliRun::run({QStringLiteral("--help")}, noDisplay);
        QCOMPARE(shown.code, 0);
        const QString help = shown.out;
        QVERIFY(help.startsWith(QStringLiteral("uso: corvane [--home DIRETORIO]")));
        QVERIFY(help.contains(QStringLiteral("--version")));

        const Run v = run(Cli, {QStringLiteral("--version")});
        QCOMPARE(v.code, 0);
        QCOMPARE(v.out, QStringLiteral("corvane-cli %1\n").arg(AppVersion::number()));
        QVERIFY(v.err.isEmpty());
    }

    void cliHelpGoesToStandardOutputAndMisuseToErrors()
    {
        const Run help = run(Cli, {QStringLiteral("--help")});
        QCOMPARE(help.code, 0);
        QVERIFY(help.err.isEmpty());
        for (const char *command : {"init", "import", "aprovar", "reparar", "remessa", "txt", "relatorio", "tabelas"})
            QVERIFY2(help.out.contains(QStringLiteral("corvane-cli %1 ").arg(QLatin1String(command))), command);
        QVERIFY(help.out.contains(QStringLiteral("corvane-cli --version")));

        const Run none = run(Cli, {});
        QCOMPARE(none.code, 2);
        QVERIFY(none.out.isEmpty());
        QVERIFY(none.err.startsWith(QStringLiteral("uso: corvane-cli")));

        const Run unknown = run(App, {QStringLiteral("--desconhecida")});
        QCOMPARE(unknown.code, 2);
        QVERIFY2(unknown.err.contains(QStringLiteral("uso: corvane [--home DIRETORIO]")), qPrintable(unknown.err));
        const Run homeWithoutValue = run(App, {QStringLiteral("--home")});
        QCOMPARE(homeWithoutValue.code, 2);
    }

    void homeOptionChoosesTheProgramFolder()
    {
        TestHome chosen;
        TestHome environment;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("CORVANE_HOME"), environment.dir());
        p.setProcessEnvironment(env);
        p.start(App, {QStringLiteral("--home"), chosen.dir()});
        QVERIFY(p.waitForStarted());
        QElapsedTimer t;
        t.start();
        bool owned = false;
        while (!owned && t.elapsed() < 20000 && p.state() == QProcess::Running) {
            owned = InstanceLock(chosen.dir()).ownerPid() == p.processId();
            if (!owned)
                QTest::qWait(50);
        }
        const bool otherTaken = InstanceLock(environment.dir()).ownerPid() != 0;
        p.kill();
        p.waitForFinished();
        QVERIFY(owned);
        QVERIFY(!otherTaken);
    }
};

QTEST_GUILESS_MAIN(TestProgramOptions)
#include "test_programoptions.moc"
