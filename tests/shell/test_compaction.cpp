#include "db/database.h"
#include "db/dberror.h"
#include "shell/compaction.h"
#include "support/scriptedmessenger.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>

namespace {

QByteArray digest(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Names of the rows of the test table in a database file, read apart from
// the system's connection.
QStringList namesIn(const QString &file)
{
    Database other(QStringLiteral("leitura"));
    other.open(file);
    QStringList out;
    QSqlQuery q = other.exec(QStringLiteral("SELECT Nome FROM ITENS ORDER BY Nome"));
    while (q.next())
        out << q.value(0).toString();
    return out;
}

class FailingCompactor : public Compactor
{
public:
    using Compactor::Compactor;
    enum Mode { EngineError, DamagedCopy, DamagedBeforePutting } mode = EngineError;

protected:
    void compactInto(Database &source, const QString &dst) override
    {
        if (mode == EngineError)
            throw DbError(QStringLiteral("disco cheio"));
        if (mode == DamagedCopy) {
            QFile f(dst);
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray("SQLite format 3") + QByteArray(4096, '\x5a'));
            f.close();
            checkIntegrity(dst);
            return;
        }
        Compactor::compactInto(source, dst);
    }
    // The checked copy is spoilt before it is put in place: the engine must
    // refuse it and leave the database whole.
    void putInPlace(Database &held, const QString &copy) override
    {
        if (mode == DamagedBeforePutting) {
            QFile f(copy);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(QByteArray(8192, '\x5a'));
        }
        Compactor::putInPlace(held, copy);
    }
};
}

class TestCompaction : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir *m_dir = nullptr;
    Database *m_db = nullptr;
    ScriptedMessenger m_msg;
    QStringList m_panel; // shown texts; "-" when hidden

    QString dbDir() const { return m_dir->filePath(QStringLiteral("db")); }
    QString file(const char *name) const { return dbDir() + QLatin1Char('/') + QLatin1String(name); }
    void attach(Compactor &c)
    {
        c.setPanel([this](const QString &text, bool visible) { m_panel << (visible ? text : QStringLiteral("-")); });
    }
    void add(const QString &name)
    {
        m_db->execute(QStringLiteral("INSERT INTO ITENS (Nome, Dados) VALUES (?, zeroblob(20000))"), {name});
    }
    // Rows added and deleted again: the file keeps their room until compacted.
    qint64 growWithDeletedRows()
    {
        for (int i = 0; i < 40; ++i)
            add(QStringLiteral("lixo%1").arg(i));
        m_db->execute(QStringLiteral("DELETE FROM ITENS WHERE Nome LIKE 'lixo%'"));
        return QFileInfo(file("bdocc.mdb")).size();
    }
    void expectReopened()
    {
        QVERIFY(m_db->isOpen());
        QCOMPARE(QFileInfo(m_db->path()).canonicalFilePath(), QFileInfo(file("bdocc.mdb")).canonicalFilePath());
        m_db->scalar(QStringLiteral("SELECT count(*) FROM ITENS"));
    }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        m_db = new Database;
        m_db->create(file("bdocc.mdb"));
        m_db->execute(QStringLiteral("CREATE TABLE ITENS (Nome TEXT PRIMARY KEY, Dados BLOB)"));
        add(QStringLiteral("a"));
        m_msg.clear();
        m_msg.answers.clear();
        m_panel.clear();
    }
    void cleanup()
    {
        delete m_db;
        delete m_dir;
    }

    void noLeavesEverythingAsItWas()
    {
        writeFile(file("bdoccTMP.mdb"), "tmp");
        writeFile(file("bdoccBKP.mdb"), "bkp");
        const QByteArray before = digest(file("bdocc.mdb"));
        Compactor c(*m_db, m_msg, dbDir());
        attach(c);
        QVERIFY(!c.run());
        QCOMPARE(m_msg.messages.size(), 1);
        QCOMPARE(m_msg.lastKind(), ScriptedMessenger::Confirm);
        QCOMPARE(m_msg.lastText(),
                 QStringLiteral("O sistema não poderá ser usado até o término da operação.\n"
                                "Esta operação pode demorar e não deve ser interrompida.\n\n"
                                "Deseja efetuar a Compactação e Reparação do Banco de Dados?"));
        QVERIFY(m_panel.isEmpty());
        QVERIFY(m_db->isOpen());
        QCOMPARE(digest(file("bdocc.mdb")), before);
        QFile tmp(file("bdoccTMP.mdb")), bkp(file("bdoccBKP.mdb"));
        QVERIFY(tmp.open(QIODevice::ReadOnly) && bkp.open(QIODevice::ReadOnly));
        QCOMPARE(tmp.readAll(), QByteArray("tmp"));
        QCOMPARE(bkp.readAll(), QByteArray("bkp"));
    }

    void twoRunsKeepTheDatabaseOfBeforeTheSecond()
    {
        // Leftovers of an interrupted run are cleared first.
        writeFile(file("bdoccTMP.mdb"), "restos");
        const qint64 grown = growWithDeletedRows();

        Compactor c(*m_db, m_msg, dbDir());
        attach(c);
        m_msg.answers << true << true;
        QVERIFY(c.run());
        QCOMPARE(m_panel,
                 (QStringList{QStringLiteral("Compactando Banco de Dados, aguarde..."),
                              QStringLiteral("Apagando Arquivo Temporário"), QStringLiteral("Renomeando Arquivo"),
                              QStringLiteral("Banco de Dados Compactado com Sucesso!"), QStringLiteral("-")}));
        QCOMPARE(m_msg.messages.size(), 2);
        QCOMPARE(m_msg.lastKind(), ScriptedMessenger::Plain);
        QCOMPARE(m_msg.lastText(), QStringLiteral("Banco de dados reparado com sucesso!"));
        expectReopened();
        QVERIFY(!QFile::exists(file("bdoccTMP.mdb")));
        QVERIFY(QFileInfo(file("bdocc.mdb")).size() < grown);
        QCOMPARE(QFileInfo(file("bdoccBKP.mdb")).size(), grown);

        add(QStringLiteral("b"));
        QVERIFY(c.run());
        expectReopened();
        QCOMPARE(namesIn(file("bdoccBKP.mdb")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(namesIn(file("bdocc.mdb")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QVERIFY(!QFile::exists(file("bdoccTMP.mdb")));
    }

    void compactionRunsOffTheConnectionsThread()
    {
        // The window closes and reopens its connection on its own thread;
        // the compaction between uses connections it opens where it runs.
        const qint64 grown = growWithDeletedRows();
        Compactor c(*m_db, m_msg, dbDir());
        attach(c);
        c.closeDatabase();
        QVERIFY(!m_db->isOpen());
        bool compacted = false;
        std::unique_ptr<QThread> worker(QThread::create([&] { compacted = c.compactClosed(); }));
        worker->start();
        QVERIFY(worker->wait(30000));
        QVERIFY(compacted);
        QVERIFY(!m_db->isOpen());
        QVERIFY(c.reopenDatabase(compacted));
        expectReopened();
        QCOMPARE(m_panel.first(), QStringLiteral("Compactando Banco de Dados, aguarde..."));
        QCOMPARE(m_panel.last(), QStringLiteral("-"));
        QCOMPARE(m_msg.texts(), QStringList{QStringLiteral("Banco de dados reparado com sucesso!")});
        QVERIFY(QFileInfo(file("bdocc.mdb")).size() < grown);
        QCOMPARE(namesIn(file("bdocc.mdb")), QStringList{QStringLiteral("a")});
    }

    void engineFailureLeavesTheDatabase()
    {
        writeFile(file("bdoccBKP.mdb"), "bkp");
        const QByteArray before = digest(file("bdocc.mdb"));
        FailingCompactor c(*m_db, m_msg, dbDir());
        attach(c);
        m_msg.answers << true;
        QVERIFY(!c.run());
        QCOMPARE(m_panel.last(), QStringLiteral("Ocorreu um Erro durante a Compactação"));
        QCOMPARE(m_msg.lastKind(), ScriptedMessenger::Warning);
        QCOMPARE(m_msg.lastText(), QStringLiteral("Não foi possível compactar o banco de dados. \ndisco cheio"));
        QCOMPARE(digest(file("bdocc.mdb")), before);
        // The previous backup goes only once a checked copy exists.
        QCOMPARE(digest(file("bdoccBKP.mdb")), QCryptographicHash::hash("bkp", QCryptographicHash::Sha256));
        expectReopened();
    }

    void damagedCopyIsNotPutInPlace()
    {
        writeFile(file("bdoccBKP.mdb"), "bkp");
        const QByteArray before = digest(file("bdocc.mdb"));
        FailingCompactor c(*m_db, m_msg, dbDir());
        c.mode = FailingCompactor::DamagedCopy;
        attach(c);
        m_msg.answers << true;
        QVERIFY(!c.run());
        QCOMPARE(m_panel.last(), QStringLiteral("Ocorreu um Erro durante a Compactação"));
        QCOMPARE(m_msg.lastKind(), ScriptedMessenger::Warning);
        QVERIFY(m_msg.lastText().startsWith(QStringLiteral("Não foi possível compactar o banco de dados. \n")));
        QCOMPARE(digest(file("bdocc.mdb")), before);
        QCOMPARE(digest(file("bdoccBKP.mdb")), QCryptographicHash::hash("bkp", QCryptographicHash::Sha256));
        expectReopened();
    }

    void fileFailureIsPlainAndKeepsBackup()
    {
        // A folder in the way of the temporary file cannot be deleted.
        QVERIFY(QDir(dbDir()).mkpath(QStringLiteral("bdoccTMP.mdb/x")));
        writeFile(file("bdoccBKP.mdb"), "bkp");
        const QByteArray before = digest(file("bdocc.mdb"));
        Compactor c(*m_db, m_msg, dbDir());
        attach(c);
        m_msg.answers << true;
        QVERIFY(!c.run());
        QCOMPARE(m_msg.lastKind(), ScriptedMessenger::Plain);
        QVERIFY(m_msg.lastText().startsWith(QStringLiteral("Não foi possível compactar o banco de dados. \n")));
        QCOMPARE(m_panel.last(), QStringLiteral("Ocorreu um Erro durante a Compactação"));
        QCOMPARE(digest(file("bdocc.mdb")), before);
        QCOMPARE(digest(file("bdoccBKP.mdb")), QCryptographicHash::hash("bkp", QCryptographicHash::Sha256));
        expectReopened();
    }

    void failedPuttingInPlaceLeavesTheDatabase()
    {
        add(QStringLiteral("b"));
        FailingCompactor c(*m_db, m_msg, dbDir());
        c.mode = FailingCompactor::DamagedBeforePutting;
        attach(c);
        m_msg.answers << true;
        QVERIFY(!c.run());
        QCOMPARE(m_msg.lastKind(), ScriptedMessenger::Warning);
        QVERIFY(m_msg.lastText().startsWith(QStringLiteral("Não foi possível compactar o banco de dados. \n")));
        expectReopened();
        QCOMPARE(namesIn(file("bdocc.mdb")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QVERIFY(!QFile::exists(file("bdocc.mdb-journal")));
    }

    // Another program holding the database: the repair refuses in words,
    // after a short wait, and touches nothing.
    void refusesWhileAnotherProgramHoldsTheDatabase()
    {
        writeFile(file("bdoccBKP.mdb"), "bkp");
        const QByteArray before = digest(file("bdocc.mdb"));
        {
            Database other(QStringLiteral("outro-programa"));
            other.open(file("bdocc.mdb"));
            other.begin();
            other.execute(QStringLiteral("INSERT INTO ITENS (Nome) VALUES ('do outro')"));
            Compactor c(*m_db, m_msg, dbDir());
            attach(c);
            m_msg.answers << true;
            QVERIFY(!c.run());
            QCOMPARE(m_msg.lastKind(), ScriptedMessenger::Warning);
            QCOMPARE(m_msg.lastText(),
                     QStringLiteral("Não foi possível compactar o banco de dados. \n"
                                    "A base de dados está em uso por outro programa. Tente novamente."));
            QCOMPARE(m_panel.last(), QStringLiteral("Ocorreu um Erro durante a Compactação"));
            other.commit();
        }
        QCOMPARE(digest(file("bdoccBKP.mdb")), QCryptographicHash::hash("bkp", QCryptographicHash::Sha256));
        QVERIFY(!QFile::exists(file("bdoccTMP.mdb")));
        expectReopened();
        QCOMPARE(namesIn(file("bdocc.mdb")), (QStringList{QStringLiteral("a"), QStringLiteral("do outro")}));
        QVERIFY(digest(file("bdocc.mdb")) != before);
    }

    // A program that had the file open before the repair goes on writing
    // into the database, not into the backup.
    void aProgramKeepingTheFileOpenWritesIntoTheDatabase()
    {
        Database other(QStringLiteral("outro-programa"));
        other.open(file("bdocc.mdb"));
        QCOMPARE(other.scalar(QStringLiteral("SELECT count(*) FROM ITENS")).toInt(), 1);
        for (int i = 0; i < 20; ++i)
            add(QStringLiteral("lixo%1").arg(i));
        m_db->execute(QStringLiteral("DELETE FROM ITENS WHERE Nome LIKE 'lixo%'"));

        Compactor c(*m_db, m_msg, dbDir());
        m_msg.answers << true;
        QVERIFY(c.run());
        other.execute(QStringLiteral("INSERT INTO ITENS (Nome) VALUES ('depois')"));
        QCOMPARE(namesIn(file("bdocc.mdb")), (QStringList{QStringLiteral("a"), QStringLiteral("depois")}));
        QCOMPARE(namesIn(file("bdoccBKP.mdb")), QStringList{QStringLiteral("a")});
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM ITENS")).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCompaction)
#include "test_compaction.moc"
