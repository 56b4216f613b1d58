// The register on a server: connection, transactions, schema version and the
// statement cache through the server's driver.
#include "db/database.h"
#include "db/dberror.h"
#include "db/placeholders.h"
#include "db/schema.h"
#include "db/schemaupgrade.h"
#include "db/serverpipeline.h"

#include <libpq-fe.h>

#include <QSqlError>

QSqlDatabase Database::connection(const QString &driver)
{
    if (QSqlDatabase::contains(m_name)) {
        if (QSqlDatabase::database(m_name, false).driverName() == driver)
            return QSqlDatabase::database(m_name, false);
        QSqlDatabase::removeDatabase(m_name);
    }
    return QSqlDatabase::addDatabase(driver, m_name);
}

QString Database::describe() const
{
    if (m_kind == DbEngine::Postgres)
        return QStringLiteral("servidor ") + m_server.shortText();
    return m_path;
}

DbError Database::failure(const QSqlError &error, bool wasInTransaction) const
{
    if (m_kind != DbEngine::Postgres)
        return DbError(error, wasInTransaction && !inTransaction());
    if (wasInTransaction)
        m_serverTransactionFailed = true;
    DbError e = serverError(error, false);
    if (wasInTransaction && !m_statementUndo && !e.isConnectionLost()) {
        m_failedWithoutUndo = true;
        e.setFailedWithoutStatementUndo();
    }
    return e;
}

DbError Database::notOpen() const
{
    // Still a server's connection, not closed here: the client library
    // dropped it when the session was lost.
    if (m_kind == DbEngine::Postgres) {
        m_serverLost = true; // the next use tries again
        return DbError::connectionLost(describe(), false);
    }
    return DbError(QStringLiteral("O banco de dados não está aberto."));
}

DbError Database::serverError(const QSqlError &error, bool duringCommit) const
{
    DbError e = DbError::fromServer(error, duringCommit);
    const QString state = e.sqlState();
    // Class 08 and the server's own shutdowns (57P01-57P03) end the session.
    bool lost = state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
        state == QLatin1String("57P02") || state == QLatin1String("57P03");
    // An error without a code came from the client library, not the server:
    // the connection is gone when the server no longer answers at all.
    if (state.isEmpty()) {
        // The driver counts a connection whose session is gone as closed.
        QSqlQuery q(handle());
        lost = !handle().isOpen() || (!q.exec(QStringLiteral("SELECT 1")) && q.lastError().nativeErrorCode().isEmpty());
    }
    if (!lost)
        return e;
    // The server undoes an open transaction whose session ends.
    m_serverTransaction = m_serverTransactionFailed = false;
    m_serverLost = true;
    return DbError::connectionLost(describe(), duringCommit);
}

void Database::checkSchemaVersion(int found) const
{
    // On a file, 0 is a register made before versions were recorded: the
    // upgrade on open brings it to this version.
    const int version = Schema::version(m_kind);
    if (found == version || (found == 0 && m_kind == DbEngine::Sqlite))
        return;
    const QString which = m_kind == DbEngine::Postgres ? describe() : QStringLiteral("deste computador");
    if (found > version)
        throw DbError(QStringLiteral("O banco de dados %1 foi criado por uma versão mais nova do programa (esquema %2; "
                                     "esta versão lê o esquema %3). Atualize o programa.")
                          .arg(which)
                          .arg(found)
                          .arg(version));
    throw DbError(QStringLiteral("O banco de dados %1 foi criado por uma versão anterior do programa (esquema %2; "
                                 "esta versão lê o esquema %3) e não pode ser aberto.")
                      .arg(which)
                      .arg(found)
                      .arg(version));
}

void Database::connectServer(const ServerAddress &address)
{
    close();
    QSqlDatabase db = connection(QStringLiteral("QPSQL"));
    db.setHostName(address.host);
    db.setPort(address.port);
    db.setUserName(address.user);
    db.setDatabaseName(address.name);
    // No password here: the client library reads PGPASSWORD, ~/.pgpass or
    // a service file by itself.
    db.setPassword(QString());
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=corvane"));
    if (!db.open()) {
        const QString text = db.lastError().databaseText().trimmed();
        throw DbError(QStringLiteral("Não foi possível conectar ao servidor %1: %2")
                          .arg(address.shortText(), text.isEmpty() ? db.lastError().text() : text));
    }
    m_kind = DbEngine::Postgres;
    m_server = address;
    m_serverTransaction = m_serverTransactionFailed = false;
    // Notices (an object that already exists, a name cut short) are no
    // business of the user's.
    exec(QStringLiteral("SET client_min_messages = warning"));
}

void Database::openServer(const ServerAddress &address)
{
    connectServer(address);
    try {
        if (!serverTableExists(QLatin1String(Schema::VersionTable)))
            throw DbError(QStringLiteral("O banco de dados %1 não contém um registro do Corvane: crie-o com "
                                         "corvane-cli init --db %2.")
                              .arg(describe(), address.uri()));
        const QString versionOf = QStringLiteral("SELECT max(versao) FROM %1").arg(QLatin1String(Schema::VersionTable));
        int found = scalar(versionOf).toInt();
        if (found == SchemaUpgrade::OldServerVersion) {
            SchemaUpgrade::applyOnServer(*this);
            found = scalar(versionOf).toInt();
        }
        checkSchemaVersion(found);
    } catch (...) {
        close();
        throw;
    }
}

namespace {

QtMessageHandler previousHandler = nullptr;

// The driver's complaint that a statement of a lost session cannot be freed.
void withoutFreeingWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("Unable to free statement")))
        return;
    if (previousHandler) // the default one when none was installed
        previousHandler(type, context, text);
}

// While queries of a lost session are let go: each tries to free its plan
// on the server and the driver warns that it cannot.
struct QuietFreeing
{
    QuietFreeing() { previousHandler = qInstallMessageHandler(withoutFreeingWarnings); }
    ~QuietFreeing() { qInstallMessageHandler(previousHandler); }
    QuietFreeing(const QuietFreeing &) = delete;
    QuietFreeing &operator=(const QuietFreeing &) = delete;
};

}

QSqlQuery Database::runOnServer(const QString &sql, const std::function<void(QSqlQuery &)> &bind) const
{
    // Read whole, not row by row: a forward-only query of the server's
    // driver streams its rows and loses them when the connection runs
    // another statement, and callers read one query while running others.
    waitForWrites();
    QSqlQuery q(handle());
    const bool wasInTransaction = inTransaction();
    const bool guarded = statementBegins(sql);
    bool ok;
    // The server's driver prepares a statement as an SQL PREPARE, which
    // takes queries and row changes only: the rest (tables, settings) run
    // as they are.
    if (Placeholders::any(sql)) {
        ok = q.prepare(sql);
        if (ok) {
            bind(q);
            ok = q.exec();
        }
    } else {
        ok = q.exec(sql);
    }
    if (!ok) {
        const DbError error = failure(q.lastError(), wasInTransaction);
        statementEnds(guarded, false);
        if (error.isConnectionLost()) {
            QuietFreeing quiet;
            q.clear();
        }
        throw error;
    }
    statementEnds(guarded, true);
    return q;
}

bool Database::statementBegins(const QString &sql) const
{
    if (m_kind != DbEngine::Postgres || !m_serverTransaction || m_serverTransactionFailed || !m_statementUndo)
        return false;
    // A query's rows are read after it runs, while the savepoint's end would
    // be a statement of its own: queries go unguarded (a failed one leaves
    // the transaction to be undone).
    if (sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive))
        return false;
    QSqlQuery q(handle());
    if (!q.exec(QStringLiteral("SAVEPOINT corvane_comando")))
        throw failure(q.lastError(), true);
    return true;
}

void Database::statementEnds(bool guarded, bool ok) const
{
    if (!guarded)
        return;
    QSqlQuery q(handle());
    if (!ok && q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT corvane_comando")))
        m_serverTransactionFailed = false;
    if (!q.exec(QStringLiteral("RELEASE SAVEPOINT corvane_comando")) && ok)
        throw failure(q.lastError(), true);
}

PGconn *Database::serverConnection() const
{
    if (m_kind != DbEngine::Postgres)
        return nullptr;
    const QVariant v = handle().driver()->handle();
    // The driver names the client library's own type (struct pg_conn).
    const bool named = v.isValid() && (qstrcmp(v.typeName(), "pg_conn*") == 0 || qstrcmp(v.typeName(), "PGconn*") == 0);
    return named ? *static_cast<PGconn *const *>(v.data()) : nullptr;
}

void Database::reviveServer() const
{
    if (!m_serverLost || m_serverTransaction)
        return;
    m_serverLost = false;
    if (m_pipeline)
        m_pipeline->forget();
    PGconn *conn = serverConnection();
    if (!conn)
        return;
    // The client library connects again to the address it was opened with;
    // when the server is still away, the statement that follows says so.
    PQreset(conn);
    if (PQstatus(conn) != CONNECTION_OK) {
        m_serverLost = true;
        return;
    }
    PQclear(PQexec(conn, "SET client_min_messages = warning"));
    // Their callers may hold them: each keeps its place and gets a query
    // prepared on the new session. The old ones free their plans on the
    // old session, which the driver reports as a warning.
    QuietFreeing quiet;
    for (const auto &[sql, st] : m_statements) {
        auto query = std::make_unique<QSqlQuery>(handle());
        query->setForwardOnly(true);
        query->prepare(sql); // a failure shows when it runs
        st->m_query = std::move(query);
        st->m_row = false;
    }
}

void Database::dropStatementsOfLostSession()
{
    QuietFreeing quiet;
    clearStatements();
    m_serverLost = false;
}

void Database::beginOnServer()
{
    QSqlQuery q(handle());
    if (!q.exec(QStringLiteral("BEGIN")))
        throw serverError(q.lastError(), false);
    m_serverTransaction = true;
    m_serverTransactionFailed = false;
    m_failedWithoutUndo = false;
    m_guessMissed = false;
}

void Database::commitOnServer()
{
    if (!m_serverTransaction)
        throw DbError(QStringLiteral("Nenhuma transação aberta."));
    waitForWrites(); // a failure leaves the transaction to be undone below
    QSqlQuery q(handle());
    // A transaction in which a statement failed can only end undone; the
    // server would answer the COMMIT by undoing it quietly.
    if (m_serverTransactionFailed) {
        q.exec(QStringLiteral("ROLLBACK"));
        m_serverTransaction = m_serverTransactionFailed = false;
        throw DbError(QStringLiteral("A transação foi desfeita: um comando falhou dentro dela."), 0, true);
    }
    const bool ok = q.exec(QStringLiteral("COMMIT"));
    m_serverTransaction = m_serverTransactionFailed = false;
    if (!ok)
        throw serverError(q.lastError(), true);
}

void Database::rollbackOnServer()
{
    if (!m_serverTransaction)
        return;
    if (m_pipeline && m_pipeline->pending())
        m_pipeline->sync(serverConnection()); // undone below, failed or not
    QSqlQuery q(handle());
    const bool ok = q.exec(QStringLiteral("ROLLBACK"));
    m_serverTransaction = m_serverTransactionFailed = false;
    if (!ok)
        throw DbError::fromServer(q.lastError());
}

bool Database::serverTableExists(const QString &table) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema() "
                                 "AND tablename = lower(?)"),
                  {table})
               .toInt() > 0;
}

QStringList Database::serverTables() const
{
    // The register's tables, as the declaration spells them where it knows them.
    QStringList out;
    QSqlQuery q = exec(QStringLiteral("SELECT tablename FROM pg_catalog.pg_tables WHERE schemaname = current_schema() "
                                      "AND tablename <> ? ORDER BY tablename"),
                       {QLatin1String(Schema::VersionTable)});
    while (q.next()) {
        const QString name = q.value(0).toString();
        const Schema::Table *declared = Schema::table(name);
        out << (declared ? declared->name : name);
    }
    return out;
}

Database::Statement &Database::serverStatement(const QString &sql)
{
    waitForWrites();
    if (m_statements.size() >= MaxStatements)
        clearStatements();
    auto query = std::make_unique<QSqlQuery>(handle());
    query->setForwardOnly(true);
    if (!query->prepare(sql))
        throw failure(query->lastError(), inTransaction());
    std::unique_ptr<Statement> st(new Statement(this, std::move(query)));
    return *m_statements.emplace(sql, std::move(st)).first->second;
}

Database::Statement::Statement(Database *owner, std::unique_ptr<QSqlQuery> query)
    : m_owner(owner),
      m_query(std::move(query)),
      m_db(nullptr),
      m_stmt(nullptr)
{ }

void Database::Statement::serverExec(const QVariantList &params)
{
    reset();
    for (int i = 0; i < params.size(); ++i)
        m_query->bindValue(i, m_owner->bound(params.at(i)));
    serverRun();
}

void Database::Statement::serverBind(int placeholder, const QVariant &value)
{
    m_query->bindValue(placeholder - 1, value);
}

void Database::Statement::serverRun()
{
    dropRows();
    m_pipedLast = false;
    if (m_owner->pipelining() && pipelineRun())
        return;
    try {
        m_owner->waitForWrites(); // what was sent before runs first
    } catch (...) {
        reset();
        throw;
    }
    const bool wasInTransaction = m_owner->inTransaction();
    const bool guarded = m_owner->statementBegins(m_query->lastQuery());
    bool ok = m_query->exec();
    auto fail = [&](bool guard) {
        DbError error = m_owner->failure(m_query->lastError(), wasInTransaction);
        reset();
        m_owner->statementEnds(guard, false);
        throw error;
    };
    // A table whose columns changed since the statement was prepared: the
    // server refuses to run the old plan, so it is prepared again, as the
    // file's engine does by itself.
    if (!ok && m_query->lastError().nativeErrorCode() == QLatin1String("0A000") && (guarded || !wasInTransaction)) {
        if (guarded)
            m_owner->statementEnds(true, false);
        const bool again = m_owner->statementBegins(m_query->lastQuery());
        const QString sql = m_query->lastQuery();
        const QVariantList values = m_query->boundValues();
        ok = m_query->prepare(sql);
        for (int i = 0; ok && i < values.size(); ++i)
            m_query->bindValue(i, values.at(i));
        if (!(ok && m_query->exec()))
            fail(again);
        m_owner->statementEnds(again, true);
    } else {
        if (!ok)
            fail(guarded);
        m_owner->statementEnds(guarded, true);
    }
    if (m_tally)
        *m_tally += m_query->numRowsAffected();
    serverNext();
}

bool Database::Statement::serverNext()
{
    m_cellText.clear();
    m_row = m_query->isSelect() && m_query->next();
    return m_row;
}

Database::Statement::Cell Database::Statement::serverCell(int column) const
{
    Cell c;
    const QVariant v = m_query->value(column);
    if (v.isNull())
        return c;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        c.type = Cell::Integer;
        c.integer = v.toLongLong();
        return c;
    case QMetaType::Double:
    case QMetaType::Float:
        c.type = Cell::Real;
        c.real = v.toDouble();
        return c;
    case QMetaType::QByteArray: c.type = Cell::Blob; return c;
    default: break;
    }
    if (m_cellText.size() <= size_t(column))
        m_cellText.resize(column + 1);
    m_cellText[column] = v.toString().toUtf8();
    c.type = Cell::Text;
    c.text = m_cellText[column].constData();
    c.size = int(m_cellText[column].size());
    return c;
}
