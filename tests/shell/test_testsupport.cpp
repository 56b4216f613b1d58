// The pieces every window and batch-tool test leans on: the CLI runner, the
// control lookup and the scripted answer to a modal window.
#include "support/clirun.h"
#include "support/controls.h"
#include "support/testhome.h"
#include "support/whenmodal.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// Set in the copy of this test that is run to see a lookup fail.
const char *ChildRun = "CORVANE_TESTSUPPORT_CHILD";

}

class TestTestSupport : public QObject
{
    Q_OBJECT

private slots:
    void runnerKeepsCodeAndBothStreamsApart()
    {
        const CliRun::Result version = CliRun::run({QStringLiteral("--version")});
        QCOMPARE(version.code, 0);
        QVERIFY2(version.out.startsWith(QStringLiteral("corvane-cli ")), qPrintable(version.out));
        QCOMPARE(version.err, QString());

        const CliRun::Result misuse = CliRun::run({QStringLiteral("nao-existe")});
        QCOMPARE(misuse.code, 2);
        QCOMPARE(misuse.out, QString());
        QVERIFY2(misuse.err.contains(QStringLiteral("uso: corvane-cli")), qPrintable(misuse.err));

        const CliRun::Result missing = CliRun::run({},
                                                   CliRun::Options().running(QStringLiteral("/nao/existe/programa")));
        QCOMPARE(missing.code, -1);
    }

    // The password is the runner's own: set by default, unset on request
    // even when this process has one.
    void runnerSignsInOrLeavesThePasswordOut()
    {
        TestHome home(true);
        qputenv("CORVANE_SENHA", "admin");
        const QStringList repair = QStringList{QStringLiteral("reparar")} + CliRun::signedIn(home.dir());
        const CliRun::Result without = CliRun::run(repair, CliRun::Options().withoutPassword());
        qunsetenv("CORVANE_SENHA");
        QCOMPARE(without.code, 1);
        QVERIFY2(without.err.contains(QStringLiteral("Informe a senha na variável de ambiente CORVANE_SENHA")),
                 qPrintable(without.err));

        const CliRun::Result with = CliRun::run(repair);
        QVERIFY2(with.code == 0, qPrintable(with.err));
        QVERIFY(with.out.contains(QStringLiteral("Banco de dados reparado com sucesso!")));
    }

    // A program still running when the time is up is killed, not waited for.
    void runnerStopsARunPastItsTime()
    {
        TestHome home;
        QElapsedTimer t;
        t.start();
        const CliRun::Result r = CliRun::run({},
                                             CliRun::Options()
                                                 .running(QStringLiteral(CORVANE_APP_PATH))
                                                 .withoutPassword()
                                                 .withEnv(QStringLiteral("CORVANE_HOME"), home.dir())
                                                 .offscreen()
                                                 .within(1500));
        QCOMPARE(r.code, -1);
        QVERIFY2(t.elapsed() < 15000, qPrintable(QString::number(t.elapsed())));
    }

    void lookupFindsNestedControlsByName()
    {
        QDialog window;
        auto *edit = new QLineEdit(new QWidget(&window));
        edit->setObjectName(QStringLiteral("EdNome"));
        QCOMPARE(child<QLineEdit>(window, "EdNome"), edit);
        QCOMPARE(child(&window, QStringLiteral("EdNome")), static_cast<QWidget *>(edit));
    }

    // Run only as the child below: asks for a control the window lacks.
    void lookupOfAMissingControl()
    {
        if (!qEnvironmentVariableIsSet(ChildRun))
            QSKIP("run by lookupStopsNamingTheMissingControl");
        QDialog window;
        window.setObjectName(QStringLiteral("janela"));
        new QLineEdit(&window);
        child<QPushButton>(window, "BtNada")->click();
    }

    void lookupStopsNamingTheMissingControl()
    {
        const CliRun::Result r = CliRun::run({QStringLiteral("lookupOfAMissingControl")},
                                             CliRun::Options()
                                                 .running(QCoreApplication::applicationFilePath())
                                                 .withEnv(QLatin1String(ChildRun), QStringLiteral("1"))
                                                 .offscreen()
                                                 .within(30000));
        QVERIFY(r.code != 0);
        QVERIFY2((r.out + r.err).contains(QStringLiteral("no control \"BtNada\" (QPushButton) in QDialog \"janela\"")),
                 qPrintable(r.out + r.err));
    }

    // Each step answers the window of its own type, once; steps take the
    // window by reference or by pointer, and one may arm the next.
    void modalStepsAnswerTheirOwnWindow()
    {
        QTest::ignoreMessage(QtWarningMsg, "no modal QInputDialog appeared");
        QWidget parent;
        QString innerSeen, otherSeen;
        int outerRuns = 0;
        whenModal<QInputDialog>([&](QInputDialog *w) { otherSeen = w->windowTitle(); }, 600);
        whenModal<QDialog>([&](QDialog &outer) {
            ++outerRuns;
            whenModal("QDialog", [&](QWidget *inner) {
                innerSeen = inner->windowTitle();
                static_cast<QDialog *>(inner)->reject();
            });
            QDialog inner(&outer);
            inner.setWindowTitle(QStringLiteral("interna"));
            inner.exec();
            outer.accept();
        });
        QDialog outer(&parent);
        QCOMPARE(outer.exec(), int(QDialog::Accepted));
        QCOMPARE(outerRuns, 1);
        QCOMPARE(innerSeen, QStringLiteral("interna"));

        // The step for a window that never came gives up with a warning and
        // does not answer a later one.
        QTest::qWait(900);
        QInputDialog later(&parent);
        later.setWindowTitle(QStringLiteral("depois"));
        whenModal<QInputDialog>([](QInputDialog &w) { w.reject(); });
        QCOMPARE(later.exec(), int(QDialog::Rejected));
        QCOMPARE(otherSeen, QString());
        QCOMPARE(outerRuns, 1);
    }
};

QTEST_MAIN(TestTestSupport)
#include "test_testsupport.moc"
