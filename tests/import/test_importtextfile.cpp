// Lines are cut from blocks read ahead: a line that crosses a block, a last
// line without its end, empty lines, CR LF and LF, the UTF-8 mark.
#include "import/importtextfile.h"

#include <QTemporaryDir>
#include <QtTest>

class TestImportTextFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QStringList linesOf(const QByteArray &content, ImportTextFile::Encoding *encoding = nullptr)
    {
        const QString path = m_dir.filePath(QStringLiteral("f.txt"));
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
        f.close();
        ImportTextFile file;
        if (!file.open(path))
            return {QStringLiteral("<not opened>")};
        if (encoding)
            *encoding = file.encoding();
        QStringList out;
        QString line;
        while (!file.atEnd()) {
            if (!file.readLine(&line))
                break;
            out << line;
        }
        QString extra;
        if (file.readLine(&extra))
            out << QStringLiteral("<read past the end>");
        return out;
    }

private slots:
    void linesAsWritten()
    {
        QCOMPARE(linesOf(""), QStringList());
        QCOMPARE(linesOf("a\r\nb\r\n"), (QStringList{"a", "b"}));
        QCOMPARE(linesOf("a\nb"), (QStringList{"a", "b"}));
        QCOMPARE(linesOf("a\r\n\r\n\nb\r\n"), (QStringList{"a", "", "", "b"}));
        QCOMPARE(linesOf("a\rb\r\n"), (QStringList{"a\rb"}));
        // CP1252 unless the whole file is UTF-8; the UTF-8 mark is dropped.
        ImportTextFile::Encoding enc;
        QCOMPARE(linesOf("Jos\xe9\r\n", &enc), QStringList{QStringLiteral("José")});
        QCOMPARE(enc, ImportTextFile::Encoding::Cp1252);
        QCOMPARE(linesOf("\x80 \x93x\x94 \x9f\xa0\xff\r\n"), QStringList{QStringLiteral("€ “x” Ÿ\u00a0ÿ")});
        QCOMPARE(linesOf("\xEF\xBB\xBFJos\xC3\xA9\r\nb\r\n", &enc), (QStringList{QStringLiteral("José"), "b"}));
        QCOMPARE(enc, ImportTextFile::Encoding::Utf8);
    }

    void linesAcrossBlocks()
    {
        QByteArray content;
        QStringList expected;
        for (int i = 0; i < 3000; ++i) {
            const QByteArray line = QByteArray::number(i) + QByteArray(i % 97, 'x');
            content += line + "\r\n";
            expected << QString::fromLatin1(line);
        }
        const QByteArray longLine(200000, 'y'); // wider than a block
        content += longLine + "\r\n" + "fim";
        expected << QString::fromLatin1(longLine) << QStringLiteral("fim");
        QCOMPARE(linesOf(content), expected);
    }
};

QTEST_GUILESS_MAIN(TestImportTextFile)
#include "test_importtextfile.moc"
