#include "db/database.h"
#include "base/moments.h"
#include "base/safefile.h"
#include "db/dberror.h"
#include "db/schemaupgrade.h"
#include "db/serverpipeline.h"
#include "db/sqlfunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <sqlite3.h>

Database::Database(const QString &connectionName)
    : m_name(connectionName)
{ }

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
    QSqlDatabase db = connection(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(DbErrors::BusyTimeoutMs));
    if (!db.open())
        throw DbError(db.lastError());
    m_path = path;
    attachEngine();
    // A damaged or foreign file opens fine in SQLite; reading the schema tells.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        const DbError err(probe.lastError());
        db.close();
        m_path.clear();
        m_engine = nullptr;
        throw err;
    }
    try {
        checkSchemaVersion(scalar(QStringLiteral("PRAGMA user_version")).toInt());
        SchemaUpgrade::apply(*this);
    } catch (const DbError &) {
        close();
        throw;
    }
}

void Database::create(const QString &path)
{
    close();
    SafeFile::makeFolder(QFileInfo(path).absolutePath());
    // Made here, exclusively: of two programs creating the same file at
    // once, exactly one gets it and the other is told it exists. The
    // register is its owner's only; the engine's journals take its mode.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, SafeFile::OwnerOnly)) {
        if (QFileInfo::exists(path))
            throw DbError(QStringLiteral("O arquivo %1 já existe.").arg(QDir::toNativeSeparators(path)));
        throw DbError(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    file.close();
    QSqlDatabase db = connection(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(DbErrors::BusyTimeoutMs));
    if (!db.open()) {
        const DbError error(db.lastError());
        QFile::remove(path); // made above by this call
        throw error;
    }
    m_path = path;
    attachEngine();
}

void Database::close()
{
    if (m_pipeline)
        m_pipeline->forget(); // unanswered writes go with the session
    // Cached statements belong to the connection being closed.
    if (m_serverLost)
        dropStatementsOfLostSession();
    else
        clearStatements();
    if (!QSqlDatabase::contains(m_name))
        return;
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (db.isOpen())
        db.close();
    m_path.clear();
    m_engine = nullptr;
    m_kind = DbEngine::Sqlite;
    m_server = ServerAddress();
    m_serverTransaction = m_serverTransactionFailed = false;
}

void Database::attachEngine()
{
    QVariant v = handle().driver()->handle();
    m_engine = nullptr;
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        m_engine = *static_cast<sqlite3 *const *>(v.data());
    if (m_engine)
        SqlFunctions::registerAll(m_engine);
}

bool Database::inTransaction() const
{
    if (m_kind == DbEngine::Postgres)
        return m_serverTransaction;
    return m_engine && sqlite3_get_autocommit(m_engine) == 0;
}

void Database::holdExclusively()
{
    // A server serves every workstation at once and never hands its database
    // to one client; only its administrator can stop the others.
    if (m_kind == DbEngine::Postgres)
        throw DbError(QStringLiteral("O banco de dados %1 não pode ser reservado para um só programa: os outros "
                                     "postos de trabalho continuam a usá-lo. Para impedir o acesso deles, o "
                                     "administrador do servidor deve fazê-lo no próprio servidor.")
                          .arg(describe()));
    if (!m_engine)
        throw DbError(QStringLiteral("O banco de dados não está aberto."));
    clearStatements();
    // In this locking mode the connection keeps every lock it takes until it
    // closes; an exclusive transaction takes the strongest one.
    for (const char *sql : {"PRAGMA locking_mode=EXCLUSIVE", "BEGIN EXCLUSIVE", "COMMIT"}) {
        if (sqlite3_exec(m_engine, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            const DbError error(QString::fromUtf8(sqlite3_errmsg(m_engine)), sqlite3_extended_errcode(m_engine), false);
            sqlite3_exec(m_engine, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_exec(m_engine, "PRAGMA locking_mode=NORMAL", nullptr, nullptr, nullptr);
            throw error;
        }
    }
}

namespace {

// Copies every page of one open database into another, in one transaction
// of the destination. Raises DbError.
void copyPages(sqlite3 *from, sqlite3 *to)
{
    sqlite3_backup *copy = sqlite3_backup_init(to, "main", from, "main");
    if (!copy)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(to)), sqlite3_extended_errcode(to), false);
    sqlite3_backup_step(copy, -1);
    const int rc = sqlite3_backup_finish(copy);
    if (rc != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(to)), rc, false);
}

// A connection of the engine's own to another file, closed on leaving.
struct OtherFile
{
    sqlite3 *db = nullptr;
    OtherFile(const QString &file, int flags)
    {
        const QByteArray name = QFile::encodeName(file);
        if (sqlite3_open_v2(name.constData(), &db, flags, nullptr) != SQLITE_OK) {
            const DbError error(db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"),
                                db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM, false);
            sqlite3_close(db);
            throw error;
        }
        sqlite3_busy_timeout(db, DbErrors::BusyTimeoutMs);
    }
    ~OtherFile() { sqlite3_close(db); }
    OtherFile(const OtherFile &) = delete;
    OtherFile &operator=(const OtherFile &) = delete;
};

}

void Database::replaceContentFrom(const QString &file)
{
    if (!m_engine)
        throw DbError(QStringLiteral("O banco de dados não está aberto."));
    clearStatements();
    OtherFile source(file, SQLITE_OPEN_READONLY);
    copyPages(source.db, m_engine);
}

void Database::copyContentTo(const QString &file)
{
    if (!m_engine)
        throw DbError(QStringLiteral("O banco de dados não está aberto."));
    clearStatements();
    OtherFile target(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    copyPages(m_engine, target.db);
}

void Database::begin()
{
    // The write lock is taken now, waiting briefly for another program to
    // finish. Taken at the first write instead, two programs that had both
    // read could only be told apart by failing one of them at once.
    reviveServer();
    if (!isOpen())
        throw notOpen();
    if (m_kind == DbEngine::Postgres) {
        beginOnServer();
        return;
    }
    QSqlQuery q(handle());
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        throw DbError(q.lastError());
}

void Database::commit()
{
    if (m_kind == DbEngine::Postgres) {
        commitOnServer();
        return;
    }
    QSqlDatabase db = handle();
    if (!db.commit())
        throw DbError(db.lastError());
}

void Database::rollback()
{
    if (m_kind == DbEngine::Postgres) {
        rollbackOnServer();
        return;
    }
    QSqlDatabase db = handle();
    if (inTransaction() && !db.rollback())
        throw DbError(db.lastError());
}

QSqlQuery Database::run(const QString &sql, const std::function<void(QSqlQuery &)> &bind) const
{
    reviveServer();
    if (!isOpen())
        throw notOpen();
    if (m_kind == DbEngine::Postgres)
        return runOnServer(sql, bind);
    QSqlQuery q(handle());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw failure(q.lastError(), inTransaction());
    bind(q);
    const bool wasInTransaction = inTransaction();
    if (!q.exec())
        throw failure(q.lastError(), wasInTransaction);
    return q;
}

namespace {
bool isNullValue(const QVariant &v);

// QtSql's driver writes a moment through QDateTime::toString, which adds the
// zone of a moment that has one; every moment is stored as its wall clock.
QVariant bindable(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime && !isNullValue(v))
        return Moments::storedText(v.toDateTime());
    return v;
}
}

QVariant Database::bound(const QVariant &value) const
{
    // The server's driver writes a yes/no as a boolean, which a 0/1 column
    // refuses; the file's driver writes it as 0/1.
    if (m_kind == DbEngine::Postgres && value.typeId() == QMetaType::Bool)
        return QVariant(value.toBool() ? 1 : 0);
    return bindable(value);
}

QSqlQuery Database::exec(const QString &sql, const QVariantList &params) const
{
    return run(sql, [this, &params](QSqlQuery &q) {
        for (int i = 0; i < params.size(); ++i)
            q.bindValue(i, bound(params.at(i)));
    });
}

QSqlQuery Database::exec(const QString &sql, const QVariantMap &named) const
{
    return run(sql, [this, &named](QSqlQuery &q) {
        for (auto it = named.begin(); it != named.end(); ++it) {
            const QString key = it.key().startsWith(QLatin1Char(':')) ? it.key() : QLatin1Char(':') + it.key();
            q.bindValue(key, bound(it.value()));
        }
    });
}

namespace {

// wasInTransaction: a transaction was open when the failing step began; an
// engine that has rolled it back since is reported so.
DbError engineError(sqlite3 *db, bool wasInTransaction = false)
{
    return DbError(QString(reinterpret_cast<const QChar *>(sqlite3_errmsg16(db))), sqlite3_extended_errcode(db),
                   wasInTransaction && sqlite3_get_autocommit(db) != 0);
}

// QtSql's test for a value it binds as NULL: a null variant or a null string,
// byte array, date or time inside one.
bool isNullValue(const QVariant &v)
{
    if (v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString: return static_cast<const QString *>(v.constData())->isNull();
    case QMetaType::QByteArray: return static_cast<const QByteArray *>(v.constData())->isNull();
    case QMetaType::QDateTime: return static_cast<const QDateTime *>(v.constData())->isNull();
    case QMetaType::QDate: return static_cast<const QDate *>(v.constData())->isNull();
    case QMetaType::QTime: return static_cast<const QTime *>(v.constData())->isNull();
    default: return false;
    }
}

// The stored text of a moment: its own date and time of day, with no zone
// conversion (as for the moments the import and the windows write).
QString isoText(const QDateTime &dt)
{
    return Moments::storedText(dt);
}

int bindText(sqlite3_stmt *stmt, int placeholder, const QString &text, void (*lifetime)(void *))
{
    return sqlite3_bind_text16(stmt, placeholder, text.utf16(), int(text.size() * sizeof(QChar)), lifetime);
}

}

Database::Statement &Database::statement(const QString &sql)
{
    reviveServer();
    if (!isOpen())
        throw notOpen();
    auto it = m_statements.find(sql);
    if (it != m_statements.end())
        return *it->second;
    if (m_kind == DbEngine::Postgres)
        return serverStatement(sql);
    sqlite3 *db = m_engine;
    if (!db)
        throw DbError(QStringLiteral("O banco de dados não está aberto."));
    // Only a bounded set of texts is expected; a caller that builds endless
    // variants must not make the cache grow without end.
    if (m_statements.size() >= MaxStatements)
        clearStatements();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare16_v2(db, sql.utf16(), int(sql.size() * sizeof(QChar)), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw engineError(db);
    }
    std::unique_ptr<Statement> st(new Statement(db, stmt));
    return *m_statements.emplace(sql, std::move(st)).first->second;
}

void Database::clearStatements()
{
    m_statements.clear();
    ++m_statementGeneration;
}

Database::Statement::~Statement()
{
    dropRows();
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

QString Database::Statement::dateTimeText(const QDateTime &moment)
{
    return isoText(moment);
}

int Database::Statement::bindValue(sqlite3_stmt *stmt, int placeholder, const QVariant &value)
{
    if (isNullValue(value))
        return sqlite3_bind_null(stmt, placeholder);
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const auto *bytes = static_cast<const QByteArray *>(value.constData());
        return sqlite3_bind_blob(stmt, placeholder, bytes->constData(), int(bytes->size()), SQLITE_STATIC);
    }
    case QMetaType::Int:
    case QMetaType::Bool: return sqlite3_bind_int(stmt, placeholder, value.toInt());
    case QMetaType::Double: return sqlite3_bind_double(stmt, placeholder, value.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong: return sqlite3_bind_int64(stmt, placeholder, value.toLongLong());
    case QMetaType::QDateTime: return bindText(stmt, placeholder, isoText(value.toDateTime()), SQLITE_TRANSIENT);
    case QMetaType::QTime:
        return bindText(stmt, placeholder, value.toTime().toString(u"hh:mm:ss.zzz"), SQLITE_TRANSIENT);
    case QMetaType::QString:
        return bindText(stmt, placeholder, *static_cast<const QString *>(value.constData()), SQLITE_STATIC);
    default: return bindText(stmt, placeholder, value.toString(), SQLITE_TRANSIENT);
    }
}

void Database::Statement::exec(const QVariantList &params)
{
    if (m_query) {
        serverExec(params);
        return;
    }
    reset();
    if (params.size() != sqlite3_bind_parameter_count(m_stmt))
        throw DbError(QStringLiteral("Parameter count mismatch"));
    m_params = params;
    for (int i = 0; i < m_params.size(); ++i) {
        if (bindValue(m_stmt, i + 1, m_params.at(i)) != SQLITE_OK) {
            DbError error = engineError(m_db);
            reset();
            throw error;
        }
    }
    next();
    if (m_tally)
        *m_tally += sqlite3_changes(m_db);
}

bool Database::Statement::next()
{
    if (m_query)
        return m_rows ? pipelineNext() : serverNext();
    m_inTransaction = sqlite3_get_autocommit(m_db) == 0;
    const int rc = sqlite3_step(m_stmt);
    m_row = rc == SQLITE_ROW;
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail();
    return m_row;
}

void Database::Statement::start()
{
    reset();
}

void Database::Statement::bind(int placeholder, const QVariant &value)
{
    if (m_query)
        return serverBind(placeholder, m_owner->bound(value));
    m_params.append(value);
    if (bindValue(m_stmt, placeholder, m_params.constLast()) != SQLITE_OK)
        fail();
}

void Database::Statement::bindTextView(int placeholder, QStringView text)
{
    if (m_query)
        return serverBind(placeholder, text.toString());
    if (sqlite3_bind_text16(m_stmt, placeholder, text.utf16(), int(text.size() * sizeof(QChar)), SQLITE_STATIC) !=
        SQLITE_OK)
        fail();
}

void Database::Statement::bindInteger(int placeholder, qint64 value)
{
    if (m_query)
        return serverBind(placeholder, value);
    if (sqlite3_bind_int64(m_stmt, placeholder, value) != SQLITE_OK)
        fail();
}

void Database::Statement::bindNull(int placeholder)
{
    if (m_query)
        return serverBind(placeholder, QVariant(QMetaType::fromType<QString>()));
    if (sqlite3_bind_null(m_stmt, placeholder) != SQLITE_OK)
        fail();
}

void Database::Statement::step()
{
    if (m_query)
        return serverRun();
    next();
    if (m_tally)
        *m_tally += sqlite3_changes(m_db);
}

int Database::Statement::changes() const
{
    if (m_query)
        return m_pipedLast ? pipelineChanges() : m_query->numRowsAffected();
    return sqlite3_changes(m_db);
}

void Database::Statement::fail()
{
    DbError error = engineError(m_db, m_inTransaction);
    reset();
    throw error;
}

QVariant Database::Statement::value(int column) const
{
    if (!m_row)
        return QVariant();
    if (m_query)
        return m_rows ? pipelineValue(column) : m_query->value(column);
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER: return qint64(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT: return sqlite3_column_double(m_stmt, column);
    case SQLITE_NULL: return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, column)),
                          sqlite3_column_bytes(m_stmt, column));
    default:
        return QString(reinterpret_cast<const QChar *>(sqlite3_column_text16(m_stmt, column)),
                       sqlite3_column_bytes16(m_stmt, column) / int(sizeof(QChar)));
    }
}

Database::Statement::Cell Database::Statement::cell(int column) const
{
    Cell c;
    if (!m_row)
        return c;
    if (m_query)
        return m_rows ? pipelineCell(column) : serverCell(column);
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        c.type = Cell::Integer;
        c.integer = sqlite3_column_int64(m_stmt, column);
        break;
    case SQLITE_FLOAT:
        c.type = Cell::Real;
        c.real = sqlite3_column_double(m_stmt, column);
        break;
    case SQLITE_NULL: break;
    case SQLITE_BLOB: c.type = Cell::Blob; break;
    default:
        c.type = Cell::Text;
        c.text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        c.size = sqlite3_column_bytes(m_stmt, column);
        break;
    }
    return c;
}

void Database::Statement::reset()
{
    if (m_query) {
        dropRows();
        m_query->finish();
    } else {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    m_params.clear();
    m_row = false;
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

void Database::executeScript(const QStringList &statements)
{
    if (m_kind != DbEngine::Postgres) {
        for (const QString &sql : statements)
            execute(sql);
        return;
    }
    if (statements.isEmpty())
        return;
    // A round trip per statement, and two more for its savepoint, made the
    // schema of a new register cost more than everything else in it.
    const bool undo = m_statementUndo;
    m_statementUndo = false;
    try {
        execute(statements.join(QLatin1String(";\n")));
    } catch (...) {
        m_statementUndo = undo;
        throw;
    }
    m_statementUndo = undo;
}

bool Database::tableExists(const QString &table) const
{
    if (m_kind == DbEngine::Postgres)
        return serverTableExists(table);
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE"),
                  {table})
               .toInt() > 0;
}

QStringList Database::tables() const
{
    if (m_kind == DbEngine::Postgres)
        return serverTables();
    QStringList out;
    QSqlQuery q = exec(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    while (q.next())
        out << q.value(0).toString();
    return out;
}

Transaction::Transaction(Database &db)
    : m_db(db)
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
        } catch (...) { }
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
