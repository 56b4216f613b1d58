#include "base/codecs.h"
#include "base/cp1252.h"

#include <QtTest>

class TestSharedCodecs : public QObject
{
    Q_OBJECT
private slots:
    void passwordKnownValue()
    {
        const QString enc = Codecs::password(Codecs::Encode, QStringLiteral("abc"));
        QCOMPARE(enc.size(), 3);
        QCOMPARE(enc.at(0).unicode(), 107);
        QCOMPARE(enc.at(1).unicode(), 105);
        QCOMPARE(enc.at(2).unicode(), 103);
        QCOMPARE(enc, QStringLiteral("kig"));
        QCOMPARE(Codecs::password(Codecs::Decode, QStringLiteral("kig")), QStringLiteral("abc"));
        QCOMPARE(Codecs::password(Codecs::Encode, QString()), QString());
    }

    void passwordRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("version stamp") << QStringLiteral("2.4.8");
        QTest::newRow("accents") << QStringLiteral("açãoÉ€9");
        QTest::newRow("ten chars") << QStringLiteral("ABCDEFGHIJ");
        QTest::newRow("blanks") << QStringLiteral(" a b ");
    }
    void passwordRoundTrip()
    {
        QFETCH(QString, text);
        const QString enc = Codecs::password(Codecs::Encode, text);
        QCOMPARE(enc.size(), text.size());
        QVERIFY(enc != text);
        QCOMPARE(Codecs::password(Codecs::Decode, enc), text);
    }

    void bufferLimitsAndZeroByte()
    {
        // Only the buffer's worth of characters is transformed.
        QCOMPARE(Codecs::password(Codecs::Encode, QStringLiteral("abcdefghijkl")).size(), 10);
        QCOMPARE(Codecs::confirmation(Codecs::Encode, QString(30, QLatin1Char('x'))).size(), 21);
        // 0xF6 + 10 wraps to 0: the result ends before it.
        QCOMPARE(Codecs::password(Codecs::Encode, QStringLiteral("ö")), QString());
        QCOMPARE(Codecs::password(Codecs::Encode, QStringLiteral("aöb")).size(), 3);
        // Position 4 shifts by 3*4-10 = 2: code 2 becomes 0 and cuts there.
        QCOMPARE(Codecs::passwordBytes(Codecs::Encode, QByteArray("abcd\x02xyz")).size(), 4);
    }

    void confirmation()
    {
        QCOMPARE(Codecs::confirmation(Codecs::Encode, QStringLiteral("abc")), QStringLiteral("kkk"));
        QCOMPARE(Codecs::confirmation(Codecs::Decode, QStringLiteral("kkk")), QStringLiteral("abc"));
        const QString code = QStringLiteral("OC-R-ABC202401150OK");
        QCOMPARE(Codecs::confirmation(Codecs::Decode, Codecs::confirmation(Codecs::Encode, code)), code);
    }

    void cp1252Table()
    {
        QCOMPARE(Cp1252::fromUnicode(QStringLiteral("€ŠŸçã")), QByteArray("\x80\x8A\x9F\xE7\xE3"));
        QCOMPARE(Cp1252::toUnicode(QByteArray("\x80\x8A\x9F\xE7\xE3")), QStringLiteral("€ŠŸçã"));
        // Every byte survives the trip through Unicode, undefined ones included.
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        bool lossless = false;
        QCOMPARE(Cp1252::fromUnicode(Cp1252::toUnicode(all), &lossless), all);
        QVERIFY(lossless);
        QCOMPARE(Cp1252::fromUnicode(QStringLiteral("a→b😀"), &lossless), QByteArray("a?b?"));
        QVERIFY(!lossless);
        QVERIFY(!Cp1252::canEncode(QStringLiteral("Ā")));
    }

    // The one check every entry point asks: the first character that would
    // reach the regulator as "?", and the message naming the field.
    void textOutsideTheCodePageIsNamed()
    {
        QCOMPARE(Cp1252::firstUnencodable(QStringLiteral("Şişecam Ω")), QStringLiteral("Ş"));
        QCOMPARE(Cp1252::firstUnencodable(QStringLiteral("Ação € Œuvre Ω")), QStringLiteral("Ω"));
        QCOMPARE(Cp1252::firstUnencodable(QStringLiteral("ok 😀 x")), QStringLiteral("😀"));
        QCOMPARE(Cp1252::firstUnencodable(QStringLiteral("Ação € Œuvre ‰ “x”")), QString());
        QVERIFY(Cp1252::canEncode(QString()));
        QVERIFY(!Cp1252::canEncode(QStringLiteral("Şişecam Ω")));
        QCOMPARE(Cp1252::fieldProblem(QStringLiteral("Razão Social"), QStringLiteral("Şişecam Ω")),
                 QStringLiteral("O campo Razão Social contém o caractere \"Ş\", que não existe no Windows-1252 e não "
                                "pode ser enviado ao Quelora. Corrija o texto."));
        QVERIFY(Cp1252::fieldProblem(QStringLiteral("Razão Social"), QStringLiteral("Água & Cia")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSharedCodecs)
#include "test_shared_codecs.moc"
