#include "base/fileutil.h"
#include "base/ftpaddress.h"
#include "base/taxid.h"
#include "base/textutil.h"
#include "db/dberror.h"
#include "support/scriptedmessenger.h"

#include <QtTest>

namespace {

// A row of ftpSplit: the address as typed and the parts it splits into.
void ftpSplitRow(const char *name, const QString &address, const QString &host, const QString &port,
                 const QString &path)
{
    QTest::newRow(name) << address << host << port << path;
}

}

class TestSharedText : public QObject
{
    Q_OBJECT
private slots:
    void cnpjCheckWithMessages()
    {
        const QString caption = QStringLiteral("Erro de validação do CNPJ");
        const QString checkDigit = QStringLiteral("O CNPJ fornecido não é válido (dígito verificador não confere).");
        ScriptedMessenger m;
        QVERIFY(TaxId::cnpjCheck(QStringLiteral("11.222.333/0001-81"), &m));
        QVERIFY(TaxId::cnpjCheck(QStringLiteral("11222333000181"), &m));
        QVERIFY(m.messages.isEmpty());

        QVERIFY(!TaxId::cnpjCheck(QStringLiteral("11.222.333/0001-82"), &m));
        QCOMPARE(m.lastKind(), ScriptedMessenger::Error);
        QCOMPARE(m.lastText(), checkDigit);
        QCOMPARE(m.lastCaption(), caption);

        QVERIFY(!TaxId::cnpjCheck(QStringLiteral("1122233300018"), &m));
        QCOMPARE(m.lastText(), QStringLiteral("O CNPJ fornecido não é válido (forneça 14 dígitos)."));
        QCOMPARE(m.lastCaption(), caption);
        QVERIFY(!TaxId::cnpjCheck(QStringLiteral("112223330001811"), &m));
        QCOMPARE(m.lastText(), QStringLiteral("O CNPJ fornecido não é válido (forneça 14 dígitos)."));

        QVERIFY(!TaxId::cnpjCheck(QStringLiteral("00.000.000/0000-00"), &m));
        QCOMPARE(m.lastText(), checkDigit);
        // First check digit right, second wrong.
        QVERIFY(!TaxId::cnpjCheck(QStringLiteral("11.222.333/0001-80"), &m));
        QCOMPARE(m.messages.size(), 5);

        // The silent variant agrees and shows nothing.
        QVERIFY(TaxId::cnpjCheck(QStringLiteral("11.222.333/0001-81"), nullptr));
        QVERIFY(!TaxId::cnpjCheck(QStringLiteral("11.222.333/0001-82"), nullptr));
        QVERIFY(!TaxId::cnpjCheck(QStringLiteral("123"), nullptr));
    }

    void cpfChecks()
    {
        QVERIFY(TaxId::cpfCheck(QStringLiteral("52998224725")));
        QVERIFY(!TaxId::cpfCheck(QStringLiteral("52998224726")));
        QVERIFY(!TaxId::cpfCheck(QStringLiteral("52998224715")));
        QVERIFY(!TaxId::cpfCheck(QString()));
        QVERIFY(!TaxId::cpfCheck(QStringLiteral("00000000000")));
        QVERIFY(!TaxId::cpfCheck(QStringLiteral("5299822472"))); // no second check digit

        QVERIFY(TaxId::cpfCheckImport(QStringLiteral("52998224725")));
        QVERIFY(TaxId::cpfCheckImport(QStringLiteral("00000000000")));
        QVERIFY(!TaxId::cpfCheckImport(QStringLiteral(" ")));
        QVERIFY(!TaxId::cpfCheckImport(QString()));

        // Not a number at all: raised, not answered.
        QVERIFY_THROWS_EXCEPTION(AppError, TaxId::cpfCheck(QStringLiteral("529.982.247-25")));
        QVERIFY_THROWS_EXCEPTION(AppError, TaxId::cpfCheckImport(QStringLiteral("1234")));
        try {
            TaxId::cpfCheck(QStringLiteral("12345678x01"));
            QFAIL("no exception");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("'x' não é um valor inteiro válido."));
        }
    }

    void displayForms()
    {
        QCOMPARE(TaxId::cnpjMask(QStringLiteral("11222333000181"), true), QStringLiteral("11.222.333/0001-81"));
        QCOMPARE(TaxId::cnpjMask(QStringLiteral("11.222.333/0001-81"), false), QStringLiteral("11222333000181"));
        QCOMPARE(TaxId::cnpjMask(QStringLiteral(" 11-222"), true), QStringLiteral("11222"));
        QCOMPARE(TaxId::cnpjMask(QString(), true), QString());
        QCOMPARE(TaxId::cpfDisplay(QStringLiteral("52998224725")), QStringLiteral("529982247-25"));
        QCOMPARE(TaxId::cpfDisplay(QString()), QString());
        QCOMPARE(TaxId::cpfDisplay(QStringLiteral("1234")), QStringLiteral("1234"));
    }

    void trimBlanks()
    {
        QCOMPARE(TextUtil::trimBlanks(QStringLiteral("  a b  ")), QStringLiteral("a b"));
        QCOMPARE(TextUtil::trimBlanks(QStringLiteral("\t a \n")), QStringLiteral("\t a \n"));
        QCOMPARE(TextUtil::trimBlanks(QStringLiteral("   ")), QString());
    }

    void transferRate()
    {
        QCOMPARE(FileUtil::transferRate(1000, QTime(23, 59, 59), QTime(0, 0, 1)), QStringLiteral("500.00"));
        QCOMPARE(FileUtil::transferRate(1000, QTime(10, 0, 0), QTime(10, 0, 0)), QStringLiteral("0"));
        QCOMPARE(FileUtil::transferRate(3, QTime(10, 0, 0), QTime(10, 0, 2)), QStringLiteral(" 1.50"));
        QCOMPARE(FileUtil::transferRate(1000, QTime(10, 0, 0, 0), QTime(10, 0, 0, 250)), QStringLiteral("4000.00"));
        QCOMPARE(FileUtil::transferRate(123456789, QTime(10, 0, 0), QTime(10, 0, 3)), QStringLiteral("41152263.00"));
    }

    void ftpSplit_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("path");
        ftpSplitRow("port and path", "host:2121/in/box", "host", "2121", "/in/box");
        ftpSplitRow("folder", "host/in", "host", "21", "in");
        ftpSplitRow("backslash folder", "host\\in", "host", "21", "in");
        ftpSplitRow("nested folder", "host/in/box/", "host", "21", "in/box");
        ftpSplitRow("host only", "ftp.example.org", "ftp.example.org", "21", "/");
        ftpSplitRow("port only", "host:2121", "host", "2121", "/");
        ftpSplitRow("bad port", "host:abc/in", "host", "21", "/in");
        ftpSplitRow("empty port", "host:", "host", "21", "/");
        ftpSplitRow("trailing slash", "host/", "host", "21", "/");
    }
    void ftpSplit()
    {
        QFETCH(QString, address);
        const FtpAddress a = FtpAddress::split(address);
        QTEST(a.host, "host");
        QTEST(a.port, "port");
        QTEST(a.path, "path");
    }

    void smallHelpers()
    {
        QCOMPARE(FileUtil::dateStamp(QDate(2024, 3, 7)), QStringLiteral("20240307"));
        QCOMPARE(FileUtil::dateStamp().size(), 8);
        QCOMPARE(FileUtil::verticalCentre(400, 768), 184);
        QCOMPARE(FileUtil::verticalCentre(401, 768), 184); // 183.5
        QCOMPARE(FileUtil::verticalCentre(403, 768), 182); // 182.5
    }
};

QTEST_GUILESS_MAIN(TestSharedText)
#include "test_shared_text.moc"
