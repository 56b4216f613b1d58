// Files written where they are meant to be: whole or not at all, never
// through a link, readable by their owner only; and the causes told.
#include "base/errorlog.h"
#include "base/safefile.h"
#include "support/fulldisk.h"
#include "support/testdb.h"
#include "support/testfiles.h"
#include "support/testhome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList namesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}

class TestSafeFile : public QObject
{
    Q_OBJECT

private slots:
    // A link named like the file, to a file elsewhere or to nothing, is
    // replaced by the file; its target is neither written nor created.
    void aLinkAtTheNameIsReplacedNeverFollowed()
    {
        QTemporaryDir dest, elsewhere;
        const QString victim = elsewhere.filePath("victim.txt");
        QVERIFY(writeFile(victim, "keep"));
        const QString name = dest.filePath("OC-OCP00012026120901.zip");
        QVERIFY(QFile::link(victim, name));

        QString why;
        QVERIFY2(SafeFile::write(name, "package", &why), qPrintable(why));
        QCOMPARE(readFile(victim), QByteArray("keep"));
        QVERIFY(!QFileInfo(name).isSymLink());
        QCOMPARE(readFile(name), QByteArray("package"));
        QCOMPARE(QFileInfo(name).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());

        const QString dangling = dest.filePath("OR-OCP00012026120901-OK.zip");
        const QString nowhere = elsewhere.filePath("created-through-the-link");
        QVERIFY(QFile::link(nowhere, dangling));
        QVERIFY(SafeFile::write(dangling, "result"));
        QVERIFY(!QFileInfo::exists(nowhere));
        QCOMPARE(readFile(dangling), QByteArray("result"));
        QCOMPARE(namesIn(dest.path()), QStringList({"OC-OCP00012026120901.zip", "OR-OCP00012026120901-OK.zip"}));
    }

    // Uncommitted or failed, nothing of the write stays and the file that
    // was there keeps its content.
    void aWriteNotCompletedLeavesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("relatorio.pdf");
        QVERIFY(writeFile(path, "old"));
        {
            SafeFile::Writer w(path);
            QVERIFY(w.open());
            QVERIFY(w.write("half"));
        }
        QCOMPARE(readFile(path), QByteArray("old"));
        QCOMPARE(namesIn(dir.path()), QStringList{"relatorio.pdf"});

        // A folder that does not exist is named.
        SafeFile::Writer missing(dir.filePath("nao-existe/x.pdf"));
        QVERIFY(!missing.open());
        QVERIFY2(missing.error().contains("não existe"), qPrintable(missing.error()));
    }

    void aFullDiskIsNamedAndLeavesNothing()
    {
        FullDisk disk(512 * 1024);
        REQUIRE_MOUNTED(disk);
        const QString path = QDir(disk.path()).filePath("relatorio.pdf");
        QVERIFY(writeFile(path, "old"));
        disk.fill(16 * 1024);
        SafeFile::Writer w(path);
        QVERIFY(w.open());
        const QByteArray block(64 * 1024, 'x');
        bool ok = true;
        for (int i = 0; i < 4 && ok; ++i)
            ok = w.write(block);
        ok = ok && w.commit();
        QVERIFY(!ok);
        QVERIFY2(w.error().startsWith("não há espaço livre no disco da pasta"), qPrintable(w.error()));
        QCOMPARE(readFile(path), QByteArray("old"));
        QCOMPARE(namesIn(disk.path()), QStringList({".filler", "relatorio.pdf"}));
    }

    // Only "<name matching the mask>.XXXXXX" goes.
    void leftoversOfAKilledWriterGo()
    {
        QTemporaryDir dir;
        for (const char *name : {"OC-OCP00012026120901.zip.a1B2c3", "OC-OCP00012026120901.zip", "x.zip.12345",
                                 "x.zip.1234567", "Certific_I.DB.a1B2c3", "x.zipa1B2c3"})
            QVERIFY(writeFile(dir.filePath(name), "x"));
        SafeFile::removeLeftovers(dir.path(), "*.zip");
        QCOMPARE(namesIn(dir.path()),
                 QStringList({"Certific_I.DB.a1B2c3", "OC-OCP00012026120901.zip", "x.zip.12345", "x.zip.1234567",
                              "x.zipa1B2c3"}));
    }

    // The register and the error log are their owner's only.
    void registerAndLogsAreTheOwnersOnly()
    {
        TestHome home;
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
            QFileDevice::ReadOther | QFileDevice::WriteOther;
        QVERIFY(ErrorLog::append("falha de teste", "AppError"));
        QVERIFY(QFileInfo::exists(ErrorLog::fileName()));
        QCOMPARE(QFileInfo(ErrorLog::fileName()).permissions() & others, QFileDevice::Permissions());
        if (TestDb::onServer())
            QSKIP("the register is kept by the server, not in a file of the program folder");
        QCOMPARE(QFileInfo(home.dbPath()).permissions() & others, QFileDevice::Permissions());
        QCOMPARE(QFileInfo(QFileInfo(home.dbPath()).path()).permissions() &
                     (others | QFileDevice::ExeGroup | QFileDevice::ExeOther),
                 QFileDevice::Permissions());
    }
};

QTEST_GUILESS_MAIN(TestSafeFile)
#include "test_safefile.moc"
