// Window titles are exactly the captions: the program sets no display name
// for the platform to append to them.
#include "app/corvaneapplication.h"
#include "app/tfrmcapasistema.h"
#include "shell/appversion.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QtTest>

class TestWindowTitle : public QObject
{
    Q_OBJECT

private slots:
    void noDisplayNameIsAppended()
    {
        CorvaneApplication::setUpNames();
        QCOMPARE(QCoreApplication::applicationName(), QString("Corvane"));
        // An unset display name follows the application name; a set one
        // would stay "Corvane" and be appended to every title.
        QCoreApplication::setApplicationName(QStringLiteral("Outro"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QString("Outro"));
        CorvaneApplication::setUpNames();

        TestHome home;
        ScriptedMessenger msg;
        TFrmCapaSistema shell(msg);
        shell.setTerminate([] {});
        shell.setLoginPrompt([] { return std::nullopt; });
        shell.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shell));
        QCOMPARE(shell.windowTitle(), QString("Corvane - Módulo do Certificador - Versão ") + AppVersion::number());
        QVERIFY(!shell.windowTitle().endsWith(QStringLiteral(" — Corvane")));
    }
};

QTEST_MAIN(TestWindowTitle)
#include "test_windowtitle.moc"
