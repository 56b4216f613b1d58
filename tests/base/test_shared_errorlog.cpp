#include "base/apppaths.h"
#include "base/errorlog.h"

#include <QtTest>

class TestSharedErrorLog : public QObject
{
    Q_OBJECT
private slots:
    void twoEntriesSameDay()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        AppPaths::setProgramDir(home.path());
        const QDate today = QDate::currentDate();
        const QString expected = home.path() + "/" + AppPaths::programName() + "_LOGERROS_" +
            today.toString("dd-MM-yyyy") + ".log";
        QCOMPARE(ErrorLog::fileName(), expected);

        QVERIFY(appendErrorLog(QStringLiteral("  Falha ao gravar 'x'  "), QStringLiteral("EDatabaseError")));
        QVERIFY(ErrorLog::append(QStringLiteral("\tsegunda "), QStringLiteral("Exception")));
        if (QDate::currentDate() != today)
            QSKIP("the day changed between the two entries");

        QFile f(expected);
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
        QCOMPARE(lines.size(), 9); // eight lines and the final line break
        QVERIFY(lines.at(8).isEmpty());
        const QRegularExpression stamp(QStringLiteral("^Data\\.{10}: \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
        QVERIFY2(stamp.match(lines.at(0)).hasMatch(), qPrintable(lines.at(0)));
        QCOMPARE(lines.at(1), QStringLiteral("Mensagem......: Falha ao gravar 'x'"));
        QCOMPARE(lines.at(2), QStringLiteral("Tipo Erro.....: EDatabaseError"));
        QCOMPARE(lines.at(3), QString(70, '-'));
        QVERIFY(stamp.match(lines.at(4)).hasMatch());
        QCOMPARE(lines.at(5), QStringLiteral("Mensagem......: \tsegunda")); // only blanks are trimmed
        QCOMPARE(lines.at(6), QStringLiteral("Tipo Erro.....: Exception"));
        QCOMPARE(lines.at(7), QString(70, '-'));

        // Another day writes another file.
        QVERIFY(ErrorLog::fileName(today.addDays(1)) != expected);
        AppPaths::setProgramDir(QString());
    }

    void unwritableFolderIsNotFatal()
    {
        QTemporaryDir home;
        const QString blocker = home.path() + "/file";
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        AppPaths::setProgramDir(blocker + "/sub"); // a folder under a plain file
        QVERIFY(!ErrorLog::append(QStringLiteral("x"), QStringLiteral("y")));
        AppPaths::setProgramDir(QString());
    }
};

QTEST_GUILESS_MAIN(TestSharedErrorLog)
#include "test_shared_errorlog.moc"
