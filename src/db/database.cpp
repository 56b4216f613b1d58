#include "db/database.h"
#include "db/dberror.h"
#include "db/sqlfunctions.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <sqlite3.h>

Database::Database(const QString &connectionName) : m_name(connectionName) {}

Database::~Database()
{
    close();
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase Database::handle() const
{
    return QSqlDatabase::database(m_name, false);
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_name) && handle().isOpen();
}

void Database::open(const QString &path)
{
    close();
    if (!QFileInfo(path).isFile())
        throw DbError(QStringLiteral("Não foi possível abrir o banco de dados: o arquivo %1 não foi encontrado.")
                          .arg(QDir::toNativeSeparators(path)));
    QSqlDatabase db = QSqlDatabase::contains(m_name) ? QSqlDatabase::database(m_name, false)
                                                     : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw DbError(db.lastError());
    m_path = path;
    // A damaged or foreign file opens fine in SQLite; reading the schema tells.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        QSqlError err = probe.lastError();
        db.close();
        m_path.clear();
        throw DbError(err);
    }
    registerFunctions();
}

void Database::create(const QString &path)
{
    close();
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("O arquivo %1 já existe.").arg(QDir::toNativeSeparators(path)));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSqlDatabase db = QSqlDatabase::contains(m_name) ? QSqlDatabase::database(m_name, false)
                                                     : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    if (!db.open())
        throw DbError(db.lastError());
    m_path = path;
    registerFunctions();
}

void Database::close()
{
    // Cached statements belong to the connection being closed.
    clearPrepared();
    if (!QSqlDatabase::contains(m_name))
        return;
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (db.isOpen())
        db.close();
    m_path.clear();
}

void Database::registerFunctions()
{
    QVariant v = handle().driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0) {
        auto *h = *static_cast<sqlite3 *const *>(v.data());
        if (h)
            SqlFunctions::registerAll(h);
    }
}

bool Database::inTransaction() const
{
    if (!isOpen())
        return false;
    QVariant v = handle().driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0) {
        auto *h = *static_cast<sqlite3 *const *>(v.data());
        if (h)
            return sqlite3_get_autocommit(h) == 0;
    }
    return false;
}

void Database::begin()
{
    QSqlDatabase db = handle();
    if (!db.transaction())
        throw DbError(db.lastError());
}

void Database::commit()
{
    QSqlDatabase db = handle();
    if (!db.commit())
        throw DbError(db.lastError());
}

void Database::rollback()
{
    QSqlDatabase db = handle();
    if (inTransaction() && !db.rollback())
        throw DbError(db.lastError());
}

QSqlQuery Database::exec(const QString &sql, const QVariantList &params) const
{
    if (!isOpen())
        throw DbError(QStringLiteral("O banco de dados não está aberto."));
    QSqlQuery q(handle());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DbError(q.lastError());
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, params.at(i));
    if (!q.exec())
        throw DbError(q.lastError());
    return q;
}

QSqlQuery Database::exec(const QString &sql, const QVariantMap &named) const
{
    if (!isOpen())
        throw DbError(QStringLiteral("O banco de dados não está aberto."));
    QSqlQuery q(handle());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DbError(q.lastError());
    for (auto it = named.begin(); it != named.end(); ++it) {
        QString key = it.key().startsWith(QLatin1Char(':')) ? it.key() : QLatin1Char(':') + it.key();
        q.bindValue(key, it.value());
    }
    if (!q.exec())
        throw DbError(q.lastError());
    return q;
}

QSqlQuery &Database::prepared(const QString &sql)
{
    if (!isOpen())
        throw DbError(QStringLiteral("O banco de dados não está aberto."));
    auto it = m_prepared.find(sql);
    if (it != m_prepared.end())
        return *it->second;
    // Only a bounded set of texts is expected; a caller that builds endless
    // variants must not make the cache grow without end.
    if (m_prepared.size() >= MaxPrepared)
        clearPrepared();
    auto q = std::make_unique<QSqlQuery>(handle());
    q->setForwardOnly(true);
    if (!q->prepare(sql))
        throw DbError(q->lastError());
    return *m_prepared.emplace(sql, std::move(q)).first->second;
}

QSqlQuery &Database::execPrepared(const QString &sql, const QVariantList &params)
{
    QSqlQuery &q = prepared(sql);
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, params.at(i));
    if (!q.exec()) {
        const QSqlError err = q.lastError();
        q.finish();
        throw DbError(err);
    }
    return q;
}

void Database::clearPrepared()
{
    m_prepared.clear();
}

QVariant Database::scalar(const QString &sql, const QVariantList &params) const
{
    QSqlQuery q = exec(sql, params);
    return q.next() ? q.value(0) : QVariant();
}

int Database::execute(const QString &sql, const QVariantList &params) const
{
    QSqlQuery q = exec(sql, params);
    return q.numRowsAffected();
}

bool Database::tableExists(const QString &table) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE"),
                  {table}).toInt() > 0;
}

QStringList Database::tables() const
{
    QStringList out;
    QSqlQuery q = exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    while (q.next())
        out << q.value(0).toString();
    return out;
}

Transaction::Transaction(Database &db) : m_db(db)
{
    if (!m_db.inTransaction()) {
        m_db.begin();
        m_owns = true;
    }
}

Transaction::~Transaction()
{
    if (m_owns && !m_done) {
        try {
            m_db.rollback();
        } catch (...) {
        }
    }
}

void Transaction::commit()
{
    if (m_owns && !m_done)
        m_db.commit();
    m_done = true;
}

void Transaction::rollback()
{
    if (m_owns && !m_done)
        m_db.rollback();
    m_done = true;
}
