#include "db/registercopy.h"

#include "base/apperror.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/provisioning.h"
#include "db/serveraddress.h"
#include "db/servercopyin.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <memory>

namespace RegisterCopy {

namespace {

using RegisterTables::Sum;

QString connectionName(const char *what)
{
    static QAtomicInt serial;
    return QStringLiteral("RegisterCopy-%1-%2").arg(QLatin1String(what)).arg(serial.fetchAndAddRelaxed(1));
}

QString selectAll(const Database &db, const Schema::Table &t)
{
    QStringList cols;
    for (const Schema::Field &f : t.fields)
        cols << RegisterTables::sqlName(db, f.name);
    return QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QLatin1String(", ")), RegisterTables::sqlName(db, t.name));
}

QStringList columnNames(const Schema::Table &t)
{
    QStringList out;
    for (const Schema::Field &f : t.fields)
        out << f.name;
    return out;
}

// Each copy sums the rows it reads: the source is read once, as one moment,
// so these are its sums.
Sum copyToServer(Database &from, Database &to, const Schema::Table &t)
{
    ServerCopyIn copy(to, t.name, columnNames(t));
    RegisterTables::SumBuilder read(t);
    std::vector<Database::Statement::Cell> cells(size_t(t.fields.size()));
    Database::Statement &q = from.statement(selectAll(from, t));
    q.exec();
    for (bool more = q.hasRow(); more; more = q.next()) {
        RegisterTables::readRow(q, cells);
        read.add(cells);
        for (const Database::Statement::Cell &c : cells)
            copy.add(c);
        copy.endRow();
    }
    q.reset();
    copy.finish();
    return read.result();
}

Sum copyToFile(Database &from, Database &to, const Schema::Table &t)
{
    RegisterTables::SumBuilder read(t);
    QStringList marks;
    for (qsizetype i = 0; i < t.fields.size(); ++i)
        marks << QStringLiteral("?");
    QStringList cols;
    for (const Schema::Field &f : t.fields)
        cols << RegisterTables::sqlName(to, f.name);
    Database::Statement &insert = to.statement(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(RegisterTables::sqlName(to, t.name), cols.join(QLatin1String(", ")), marks.join(QLatin1String(", "))));
    Database::Statement &q = from.statement(selectAll(from, t));
    q.exec();
    std::vector<Database::Statement::Cell> cells(size_t(t.fields.size()));
    for (bool more = q.hasRow(); more; more = q.next()) {
        RegisterTables::readRow(q, cells);
        read.add(cells);
        insert.start();
        for (int i = 0; i < t.fields.size(); ++i) {
            const Database::Statement::Cell &c = cells[size_t(i)];
            switch (c.type) {
            case Database::Statement::Cell::Null: insert.bindNull(i + 1); break;
            case Database::Statement::Cell::Integer: insert.bindInteger(i + 1, c.integer); break;
            case Database::Statement::Cell::Real: insert.bind(i + 1, c.real); break;
            case Database::Statement::Cell::Text:
            case Database::Statement::Cell::Blob: insert.bind(i + 1, QString::fromUtf8(c.text, c.size)); break;
            }
        }
        insert.step();
    }
    q.reset();
    insert.reset();
    return read.result();
}

// Numbers the server hands out itself continue after the copied ones (and
// after any the file handed out and deleted since).
void continueNumbering(Database &file, Database &server, const Schema::Table &t)
{
    for (const Schema::Field &f : t.fields) {
        if (f.type != Schema::FieldType::AutoInc)
            continue;
        qint64 last = file.scalar(
                              QStringLiteral("SELECT max(%1) FROM %2")
                                  .arg(RegisterTables::sqlName(file, f.name), RegisterTables::sqlName(file, t.name)))
                          .toLongLong();
        if (file.tableExists(QStringLiteral("sqlite_sequence")))
            last = qMax(
                last,
                file.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"), {t.name}).toLongLong());
        if (last > 0)
            server.scalar(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), ?)"),
                          {RegisterTables::sqlName(server, t.name), f.name.toLower(), last});
    }
}

// A table filled in bulk takes its keys and indexes afterwards: built once
// from the sorted rows instead of row by row, several times faster.
class KeysLater
{
public:
    KeysLater(Database &server, const Schema::Table &t)
        : m_server(server),
          m_table(t)
    {
        const QString table = RegisterTables::sqlName(server, t.name);
        m_key = server
                    .scalar(QStringLiteral("SELECT conname FROM pg_catalog.pg_constraint WHERE conrelid = ?::regclass "
                                           "AND contype = 'p'"),
                            {table})
                    .toString();
        if (!m_key.isEmpty())
            server.execute(QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT \"%2\"").arg(table, m_key));
        for (const Schema::Index &ix : t.indexes)
            server.execute(QStringLiteral("DROP INDEX %1").arg(RegisterTables::sqlName(server, ix.name)));
    }
    void restore()
    {
        const QString table = RegisterTables::sqlName(m_server, m_table.name);
        if (!m_key.isEmpty()) {
            QStringList cols;
            for (const QString &c : m_table.key)
                cols << RegisterTables::sqlName(m_server, c);
            m_server.execute(QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT \"%2\" PRIMARY KEY (%3)")
                                 .arg(table, m_key, cols.join(QLatin1String(", "))));
        }
        for (const QString &sql : Schema::indexStatements(m_table, DbEngine::Postgres))
            m_server.execute(sql);
    }

private:
    Database &m_server;
    const Schema::Table &m_table;
    QString m_key;
};

// Runs one table's step; a failure names the table.
template <typename Step> void forTable(const Schema::Table &t, Step step)
{
    try {
        step();
    } catch (const DbError &e) {
        throw AppError(QStringLiteral("Falha ao copiar a tabela %1: %2").arg(t.name, e.userMessage()));
    }
}

void createOthers(Database &to, const QList<Schema::Table> &tables)
{
    for (const Schema::Table &t : tables)
        if (!Schema::table(t.name))
            for (const QString &sql : Schema::createStatements(t, to.engine()))
                to.execute(sql);
}

void refuseUnlessEmpty(Database &server)
{
    const int objects = server
                            .scalar(QStringLiteral(
                                "SELECT (SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                                "ON n.oid = c.relnamespace WHERE n.nspname = current_schema()) + "
                                "(SELECT count(*) FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n "
                                "ON n.oid = p.pronamespace WHERE n.nspname = current_schema())"))
                            .toInt();
    if (objects > 0)
        throw AppError(QStringLiteral("O banco de dados %1 não está vazio.").arg(server.describe()));
}

// What the destination holds, summed anew, against what was read.
QList<Sum> proved(const QList<Sum> &read, Database &to, const QList<Schema::Table> &tables)
{
    QList<Sum> written;
    for (const Schema::Table &t : tables)
        forTable(t, [&] { written << RegisterTables::sum(to, t); });
    compare(read, written);
    return written;
}

// The source read as one moment: on the server a read-only snapshot, on a
// file a transaction of its own.
class Snapshot
{
public:
    explicit Snapshot(Database &db)
        : m_db(db)
    {
        if (db.inTransaction())
            return;
        if (db.onServer()) {
            QSqlQuery q(db.handle());
            if (!q.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")))
                throw DbError::fromServer(q.lastError());
            m_serverOpen = true;
        } else {
            m_fileTx = std::make_unique<Transaction>(db);
        }
    }
    ~Snapshot()
    {
        if (m_serverOpen)
            QSqlQuery(m_db.handle()).exec(QStringLiteral("ROLLBACK"));
    }

private:
    Database &m_db;
    bool m_serverOpen = false;
    std::unique_ptr<Transaction> m_fileTx;
};

}

QList<Sum> sums(Database &db)
{
    QList<Sum> out;
    for (const Schema::Table &t : RegisterTables::of(db))
        out << RegisterTables::sum(db, t);
    return out;
}

void compare(const QList<Sum> &from, const QList<Sum> &to)
{
    for (qsizetype i = 0; i < qMax(from.size(), to.size()); ++i) {
        if (i >= from.size() || i >= to.size())
            throw AppError(QStringLiteral("A tabela %1 existe apenas de um lado da cópia.")
                               .arg(i < from.size() ? from.at(i).table : to.at(i).table));
        const Sum &a = from.at(i);
        const Sum &b = to.at(i);
        if (a.table.compare(b.table, Qt::CaseInsensitive) != 0)
            throw AppError(
                QStringLiteral("A tabela %1 não tem par do outro lado da cópia (%2).").arg(a.table, b.table));
        if (a.rows != b.rows)
            throw AppError(
                QStringLiteral("A tabela %1 não confere após a cópia: %2 linha(s) na origem e %3 no destino.")
                    .arg(a.table)
                    .arg(a.rows)
                    .arg(b.rows));
        if (a.digest != b.digest)
            throw AppError(
                QStringLiteral("A tabela %1 não confere após a cópia: as somas de verificação diferem.").arg(a.table));
    }
}

QList<Sum> toServer(Database &file, const ServerAddress &address, const std::function<void()> &beforeCommit)
{
    Snapshot snapshot(file);
    const QList<Schema::Table> tables = RegisterTables::of(file);
    Database server(connectionName("servidor"));
    server.connectServer(address);
    Transaction tx(server);
    // Two runs filling one database at once: the second waits here for the
    // first, then finds it no longer empty.
    server.scalar(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('corvane-init'))"));
    refuseUnlessEmpty(server);
    Provisioning::createSchema(server);
    createOthers(server, tables);
    QList<Sum> read;
    for (const Schema::Table &t : tables)
        forTable(t, [&] {
            KeysLater keys(server, t);
            read << copyToServer(file, server, t);
            keys.restore();
            continueNumbering(file, server, t);
        });
    const QList<Sum> out = proved(read, server, tables);
    if (beforeCommit)
        beforeCommit();
    tx.commit();
    return out;
}

QList<Sum> toFile(Database &source, const QString &path)
{
    if (QFileInfo::exists(path))
        throw AppError(
            QStringLiteral("O arquivo %1 já existe. Nenhuma cópia foi feita.").arg(QDir::toNativeSeparators(path)));
    Snapshot snapshot(source);
    const QList<Schema::Table> tables = RegisterTables::of(source);
    bool created = false;
    try {
        Database file(connectionName("arquivo"));
        try {
            file.create(path);
        } catch (const DbError &) {
            if (QFileInfo::exists(path))
                throw AppError(QStringLiteral("O arquivo %1 já existe. Nenhuma cópia foi feita.")
                                   .arg(QDir::toNativeSeparators(path)));
            throw;
        }
        created = true;
        Transaction tx(file);
        Provisioning::createSchema(file);
        createOthers(file, tables);
        QList<Sum> read;
        for (const Schema::Table &t : tables)
            forTable(t, [&] { read << copyToFile(source, file, t); });
        const QList<Sum> out = proved(read, file, tables);
        tx.commit();
        return out;
    } catch (...) {
        // Only a file this call made goes.
        if (created) {
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-journal"));
        }
        throw;
    }
}

}

namespace RegisterCopy {

QList<Sum> replaceOnServer(Database &server, const QString &path)
{
    Database file(connectionName("origem"));
    file.open(path);
    Snapshot snapshot(file);
    const QList<Schema::Table> tables = RegisterTables::of(file);
    Transaction tx(server);
    QStringList present;
    for (const Schema::Table &t : RegisterTables::of(server))
        present << RegisterTables::sqlName(server, t.name);
    // One statement for all: the server takes every table at once, so no
    // workstation's transaction sees some emptied and others not.
    server.execute(QStringLiteral("TRUNCATE %1").arg(present.join(QLatin1String(", "))));
    for (const Schema::Table &t : tables)
        if (!server.tableExists(t.name))
            for (const QString &sql : Schema::createStatements(t, DbEngine::Postgres))
                server.execute(sql);
    QList<Sum> read;
    for (const Schema::Table &t : tables)
        forTable(t, [&] {
            read << copyToServer(file, server, t);
            continueNumbering(file, server, t);
        });
    const QList<Sum> out = proved(read, server, tables);
    tx.commit();
    return out;
}

}
