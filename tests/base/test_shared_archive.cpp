#include "base/apppaths.h"
#include "base/archive.h"
#include "base/fileutil.h"
#include "support/scriptedmessenger.h"

#include <QtTest>
#include <zip.h>

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entryNames(const QString &archive)
{
    QStringList out;
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &err);
    if (!za)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i)
        out << QString::fromUtf8(zip_get_name(za, i, 0));
    zip_discard(za);
    out.sort();
    return out;
}

// Builds an archive with libzip directly, names as given (hostile ones too).
void buildArchive(const QString &archive, const QList<QPair<QByteArray, QByteArray>> &entries)
{
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    QVERIFY(za);
    for (const auto &e : entries) {
        QByteArray *keep = new QByteArray(e.second); // lives until zip_close
        zip_source_t *src = zip_source_buffer(za, keep->constData(), keep->size(), 0);
        QVERIFY(zip_file_add(za, e.first.constData(), src, ZIP_FL_ENC_RAW) >= 0);
    }
    QCOMPARE(zip_close(za), 0);
}

}

class TestSharedArchive : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;
    QString dir(const QString &name)
    {
        const QString p = m_home.path() + QLatin1Char('/') + name;
        QDir(p).removeRecursively();
        QDir().mkpath(p);
        return p;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        AppPaths::setProgramDir(m_home.path());
    }

    void zipMovesMatchingFilesFlat()
    {
        const QString src = dir(QStringLiteral("transf"));
        writeFile(src + "/CERTIFIC_I.db", "one");
        writeFile(src + "/EMPRESA_A.DB", "two");
        writeFile(src + "/CERTIFIC_I.px", "three");
        writeFile(src + "/notes.txt", "keep");
        writeFile(src + "/sub/deep.db", "deep");
        const QString archive = src + "/OC-ABC2024010101.zip";
        writeFile(archive, "stale archive");

        ScriptedMessenger m;
        QVERIFY(Archive::zip(QStringList{src + "/*.db", src + "/*.px", src + "/CERTIFIC_I.*"}, archive, m));
        QVERIFY(m.messages.isEmpty());
        QCOMPARE(entryNames(archive), QStringList({"CERTIFIC_I.db", "CERTIFIC_I.px", "EMPRESA_A.DB"}));
        // Moved, not copied; the rest stays.
        QVERIFY(!QFile::exists(src + "/CERTIFIC_I.db"));
        QVERIFY(!QFile::exists(src + "/EMPRESA_A.DB"));
        QVERIFY(!QFile::exists(src + "/CERTIFIC_I.px"));
        QVERIFY(QFile::exists(src + "/notes.txt"));
        QVERIFY(QFile::exists(src + "/sub/deep.db"));

        // And what went in comes out.
        const QString out = dir(QStringLiteral("out"));
        QVERIFY(Archive::unzip(archive, out, m));
        QCOMPARE(readFile(out + "/EMPRESA_A.DB"), QByteArray("two"));
        QCOMPARE(readFile(out + "/CERTIFIC_I.px"), QByteArray("three"));
        QVERIFY(QFile::exists(archive));
    }

    // Files compressed ahead on the packer's thread land in the archive as
    // they are on disk when it is made, a file changed after it was queued
    // included, stored flat and deflated.
    void packerTakesWhatWasCompressedAhead()
    {
        const QString src = dir(QStringLiteral("packer"));
        QByteArray big;
        for (int i = 0; i < 200000; ++i)
            big += QByteArray::number(i % 977) + '\0';
        writeFile(src + "/EVENTO_I.DB", big);
        writeFile(src + "/EMPRESA_A.db", "before");
        const QStringList masks{src + "/*.db", src + "/*.px"};
        const QString archive = src + "/OC-PKG.zip";
        ScriptedMessenger m;
        {
            Archive::Packer packer;
            packer.addFinished(masks);
            writeFile(src + "/EMPRESA_A.db", "after, longer");
            writeFile(src + "/LOTE_E.px", "late");
            packer.addFinished(masks);
            writeFile(src + "/LOTE_E.px", "LATE"); // same size, other bytes
            QVERIFY(packer.zip(masks, archive, m));
        }
        QVERIFY(m.messages.isEmpty());
        QCOMPARE(entryNames(archive), QStringList({"EMPRESA_A.db", "EVENTO_I.DB", "LOTE_E.px"}));
        int err = 0;
        zip_t *za = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
        QVERIFY(za);
        zip_stat_t st;
        QCOMPARE(zip_stat(za, "EVENTO_I.DB", 0, &st), 0);
        QCOMPARE(st.comp_method, zip_uint16_t(ZIP_CM_DEFLATE));
        QVERIFY(st.comp_size < st.size / 4);
        zip_discard(za);
        QVERIFY(!QFile::exists(src + "/EVENTO_I.DB"));
        const QString out = dir(QStringLiteral("packer-out"));
        QVERIFY(Archive::unzip(archive, out, m));
        QCOMPARE(readFile(out + "/EVENTO_I.DB"), big);
        QCOMPARE(readFile(out + "/EMPRESA_A.db"), QByteArray("after, longer"));
        QCOMPARE(readFile(out + "/LOTE_E.px"), QByteArray("LATE"));

        // Given up before the archive: nothing is made, the files stay.
        writeFile(src + "/EVENTO_I.DB", big);
        {
            Archive::Packer packer;
            packer.addFinished(masks);
        }
        QVERIFY(QFile::exists(src + "/EVENTO_I.DB"));
        QCOMPARE(QDir(src).entryList({QStringLiteral("*.zip")}, QDir::Files), QStringList{"OC-PKG.zip"});
    }

    void zipOfNothingLeavesNoArchive()
    {
        const QString src = dir(QStringLiteral("empty"));
        const QString archive = src + "/OC-X.zip";
        writeFile(archive, "old");
        ScriptedMessenger m;
        QVERIFY(!Archive::zip(src + "/*.db", archive, m));
        QVERIFY(!QFile::exists(archive));
        QCOMPARE(m.messages.size(), 1);
        QCOMPARE(m.lastKind(), ScriptedMessenger::Error);
        QCOMPARE(m.lastText(), QStringLiteral("Ocorreu um erro na criação do arquivo."));
    }

    void zipRelativeToProgramFolderAndSingleFile()
    {
        dir(QStringLiteral("rel"));
        writeFile(m_home.path() + "/rel/TX-1.txt", "texto");
        ScriptedMessenger m;
        QVERIFY(Archive::zip(QStringLiteral("rel/TX-1.txt"), QStringLiteral("rel/TX-1.zip"), m));
        QCOMPARE(entryNames(m_home.path() + "/rel/TX-1.zip"), QStringList{"TX-1.txt"});
        QVERIFY(!QFile::exists(m_home.path() + "/rel/TX-1.txt"));
    }

    void unzipOverwritesAndKeepsFolders()
    {
        const QString work = dir(QStringLiteral("over"));
        const QString archive = work + "/pkg.zip";
        buildArchive(archive, {{"PAIS.DB", "new pais"}, {"docs/", ""}, {"docs/LEIA.txt", "leia"}});
        const QString dest = work + "/dest";
        writeFile(dest + "/PAIS.DB", "old pais, longer than the new one");
        ScriptedMessenger m;
        QVERIFY(Archive::unzip(archive, dest, m));
        QVERIFY(m.messages.isEmpty());
        QCOMPARE(readFile(dest + "/PAIS.DB"), QByteArray("new pais"));
        QCOMPARE(readFile(dest + "/docs/LEIA.txt"), QByteArray("leia"));
        // A destination that does not exist yet is created.
        QVERIFY(Archive::unzip(archive, work + "/new/dest", m));
        QCOMPARE(readFile(work + "/new/dest/PAIS.DB"), QByteArray("new pais"));
    }

    void unzipMissingOrDamagedArchive()
    {
        const QString work = dir(QStringLiteral("missing"));
        ScriptedMessenger m;
        QVERIFY(!Archive::unzip(work + "/nada.zip", work, m));
        QCOMPARE(m.lastText(), QStringLiteral("Ocorreu um erro na extração do arquivo."));
        QCOMPARE(m.lastKind(), ScriptedMessenger::Error);
        writeFile(work + "/lixo.zip", "this is not a zip file at all");
        QVERIFY(!Archive::unzip(work + "/lixo.zip", work + "/d", m));
        QCOMPARE(m.messages.size(), 2);
        QCOMPARE(m.lastText(), QStringLiteral("Ocorreu um erro na extração do arquivo."));
    }

    void unzipRefusesEscapingEntries_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("parent") << QByteArray("../evil.txt");
        QTest::newRow("nested parent") << QByteArray("a/../../evil.txt");
        QTest::newRow("absolute") << QByteArray("/tmp/corvane-evil.txt");
        QTest::newRow("backslash") << QByteArray("..\\evil.txt");
        QTest::newRow("drive") << QByteArray("C:/evil.txt");
    }
    void unzipRefusesEscapingEntries()
    {
        QFETCH(QByteArray, name);
        const QString work = dir(QStringLiteral("evil"));
        const QString dest = work + "/dest/inner";
        QDir().mkpath(dest);
        const QString archive = work + "/evil.zip";
        // The harmless entry comes first: nothing at all may be written.
        buildArchive(archive, {{"ok.txt", "fine"}, {name, "pwned"}});
        ScriptedMessenger m;
        QVERIFY(!Archive::unzip(archive, dest, m));
        QCOMPARE(m.lastText(), QStringLiteral("Ocorreu um erro na extração do arquivo."));
        QVERIFY(!QFile::exists(dest + "/ok.txt"));
        QVERIFY(!QFile::exists(work + "/dest/evil.txt"));
        QVERIFY(!QFile::exists(work + "/evil.txt"));
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/corvane-evil.txt")));
        QCOMPARE(QDir(dest).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    // An archive from outside that would unpack beyond its limits (a small
    // zip of hundreds of megabytes of zeros, or thousands of entries) is
    // refused before anything is written.
    void unzipRefusesWhatExpandsBeyondItsLimits()
    {
        const QString work = dir(QStringLiteral("bomb"));
        const QString zeros = work + "/zeros.bin";
        {
            QFile f(zeros);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(600) << 20)); // sparse: costs no disk
        }
        int err = 0;
        zip_t *za = zip_open(QFile::encodeName(work + "/bomb.zip").constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        QVERIFY(za);
        zip_source_t *src = zip_source_file(za, QFile::encodeName(zeros).constData(), 0, -1);
        const zip_int64_t index = zip_file_add(za, "OC-R-ABC2026120801-OK.txt", src, 0);
        QVERIFY(index >= 0);
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, 9);
        QCOMPARE(zip_close(za), 0);
        QFile::remove(zeros);
        QVERIFY(QFileInfo(work + "/bomb.zip").size() < (qint64(1) << 20));

        ScriptedMessenger m;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!Archive::unzip(work + "/bomb.zip", work + "/dest", m, Archive::ResultLimits));
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY2(m.lastText().contains("excede o limite"), qPrintable(m.lastText()));
        QCOMPARE(QDir(work + "/dest").entryList(QDir::Files), QStringList());

        QList<QPair<QByteArray, QByteArray>> many;
        for (int i = 0; i <= Archive::ResultLimits.maxEntries; ++i)
            many.append({QByteArray("r") + QByteArray::number(i) + ".txt", "x"});
        buildArchive(work + "/many.zip", many);
        QVERIFY(!Archive::unzip(work + "/many.zip", work + "/dest", m, Archive::ResultLimits));
        QCOMPARE(QDir(work + "/dest").entryList(QDir::Files), QStringList());
        many.removeLast();
        buildArchive(work + "/enough.zip", many);
        QVERIFY(Archive::unzip(work + "/enough.zip", work + "/dest", m, Archive::ResultLimits));
        QCOMPARE(QDir(work + "/dest").entryList(QDir::Files).size(), Archive::ResultLimits.maxEntries);
    }

    void unzipDoesNotFollowLinkedFolders()
    {
        const QString work = dir(QStringLiteral("link"));
        const QString outside = work + "/outside";
        const QString dest = work + "/dest";
        QDir().mkpath(outside);
        QDir().mkpath(dest);
        QVERIFY(QFile::link(outside, dest + "/up"));
        buildArchive(work + "/l.zip", {{"up/planted.txt", "pwned"}});
        ScriptedMessenger m;
        QVERIFY(!Archive::unzip(work + "/l.zip", dest, m));
        QVERIFY(!QFile::exists(outside + "/planted.txt"));
    }

    void fileHelpers()
    {
        const QString work = dir(QStringLiteral("files"));
        writeFile(work + "/A_I.DB", "12345");
        writeFile(work + "/b_e.db", "");
        writeFile(work + "/keep.px", "x");
        QCOMPARE(FileUtil::fileSize(work + "/A_I.DB"), qint64(5));
        QCOMPARE(FileUtil::fileSize(work + "/b_e.db"), qint64(0));
        QCOMPARE(FileUtil::fileSize(work + "/none.db"), qint64(-1));
        QCOMPARE(FileUtil::fileSize(work), qint64(-1));
        QCOMPARE(FileUtil::dbFileSize(work + "/A_I.DB"), qint64(5));
        FileUtil::deleteByMask(work + "/", QStringLiteral("*.db"));
        QCOMPARE(QDir(work).entryList(QDir::Files), QStringList{"keep.px"});
    }
};

QTEST_GUILESS_MAIN(TestSharedArchive)
#include "test_shared_archive.moc"
