#pragma once
#include "db/engine.h"
#include "db/serveraddress.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

// The one connection to the local database (logical name "CapaCertific").
// Every failure is raised as DbError with the engine's message. A statement
// that finds the file held by another program waits briefly
// (DbErrors::BusyTimeoutMs) before it fails with DbError::isBusy().
//
// Conventions for values: booleans are stored 0/1; date-time columns are
// bound as QDateTime (never QDate), so every stored moment has the same text
// form and compares correctly; text keys compare case-insensitively.
struct sqlite3;
struct sqlite3_stmt;
struct pg_result;
class DbError;
class ServerPipeline;

class Database
{
public:
    static constexpr const char *DefaultConnection = "CapaCertific";

    explicit Database(const QString &connectionName = QLatin1String(DefaultConnection));
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing file; a missing file is an error (never created here).
    void open(const QString &path);
    // Creates a new, empty file (used by the provisioning tool only).
    void create(const QString &path);
    // Opens a register on a server; raises DbError when the server cannot
    // be reached or holds no register of this program's schema version.
    void openServer(const ServerAddress &address);
    // Connects to a server database without looking at what it holds (for
    // the provisioning tool, which fills an empty one).
    void connectServer(const ServerAddress &address);
    void close();
    bool isOpen() const;
    DbEngine engine() const { return m_kind; }
    bool onServer() const { return m_kind == DbEngine::Postgres; }
    // On a server every write runs inside a savepoint of its own, so that a
    // failed statement undoes itself alone as on the file. Work that is
    // undone whole on a failure anyway may do without: the savepoints cost
    // round trips, and a transaction of thousands of them slows the server
    // down. A failure then raises a DbError that ends the operation
    // (failedWithoutStatementUndo) and is remembered until the next begin().
    void setStatementUndo(bool on) { m_statementUndo = on; }
    bool statementUndo() const { return m_statementUndo; }
    bool failedWithoutStatementUndo() const { return m_failedWithoutUndo; }
    // Without that undo, the writes of cached statements (statement()) are
    // sent without waiting for their answers: the next query, the commit or
    // this call waits for them all and raises the first failure. Work that
    // tells the user of its progress calls it first, so that what it tells
    // follows what was written.
    void waitForWrites() const;
    bool writesPending() const;
    // A read sent by Statement::guessNoRow() gave a row: what followed the
    // guess was undone with the transaction (remembered until begin()).
    bool guessMissed() const { return m_guessMissed; }
    ServerAddress server() const { return m_server; }
    // The open register in a few words: the file, or "servidor HOST:PORT/NAME".
    QString describe() const;
    QString path() const { return m_path; }
    QString connectionName() const { return m_name; }
    QSqlDatabase handle() const;

    bool inTransaction() const;
    // Starts a transaction holding the write lock (see DbError::isBusy()).
    void begin();
    void commit();
    void rollback();

    // Takes the file for this connection alone until close(): no other
    // connection or program may read or write it meanwhile. Waits briefly
    // for others to finish; raises DbError (isBusy()) when they do not.
    // A server database cannot be held so: there it raises DbError saying so.
    void holdExclusively();
    // Replaces the whole content of the open file by that of another
    // database file, in one transaction of the engine (a failure leaves the
    // file as it was). The file keeps its identity: programs that have it
    // open see the new content. Raises DbError.
    void replaceContentFrom(const QString &file);
    // Writes a copy of the open database into file (created when absent),
    // through this connection: a copy made by opening the file apart would
    // drop the locks this connection holds on it. Raises DbError.
    void copyContentTo(const QString &file);

    // Prepares and runs a statement, binding positional ("?") or named
    // (":name") parameters in the order they appear. Raises DbError.
    QSqlQuery exec(const QString &sql, const QVariantList &params = {}) const;
    QSqlQuery exec(const QString &sql, const QVariantMap &named) const;
    // On a server, a query read a block at a time: its rows as they were
    // when it was opened, while other workstations write (a cursor of the
    // session that outlives the transaction). fetchCursor reads the next
    // rows (none at the end); closeCursor lets it go. Raise DbError.
    // The client library's own connection of a server register; none on a file.
    struct pg_conn *serverConnection() const;
    QString openCursor(const QString &sql, const QVariantMap &named) const;
    QString openCursor(const QString &sql, const QVariantList &positional) const;
    QSqlQuery fetchCursor(const QString &name, int rows) const;
    void closeCursor(const QString &name) const;
    QVariant scalar(const QString &sql, const QVariantList &params = {}) const;
    int execute(const QString &sql, const QVariantList &params = {}) const; // rows affected
    // Statements without values (tables, domains, indexes) run in order. A
    // server gets them in one message, without a savepoint each: one that
    // fails leaves the open transaction only to be undone.
    void executeScript(const QStringList &statements);
    bool tableExists(const QString &table) const;
    QStringList tables() const;

    class Statement;
    // Opt-in statement cache for loops that run the same few statements for
    // thousands of rows (the import runs a handful of texts per record). The
    // same SQL text gets the same statement, prepared once, and it runs on
    // the engine directly: the QtSql layer (named-parameter rewriting,
    // per-value bookkeeping, result records) cost several times the engine's
    // own work there. Values bind and read back exactly as through exec().
    // The reference is valid until the next statement() call or close().
    // Raises DbError when the text cannot be prepared.
    Statement &statement(const QString &sql);
    void clearStatements();
    // Changes whenever cached statements are dropped: a caller that keeps a
    // Statement pointer may use it while the number is unchanged.
    quint64 statementGeneration() const { return m_statementGeneration; }

private:
    void attachEngine();
    QSqlDatabase connection(const QString &driver);
    void checkSchemaVersion(int found) const;
    DbError failure(const QSqlError &error, bool wasInTransaction) const;
    // A server's error, or DbError::connectionLost() when the session is gone.
    DbError serverError(const QSqlError &error, bool duringCommit) const;
    // Raised by a statement on a connection that is not open.
    DbError notOpen() const;
    QVariant bound(const QVariant &value) const;
    Statement &serverStatement(const QString &sql);
    // A failed statement undoes itself alone, as on the file: on the server
    // it runs inside a savepoint of the open transaction, if any.
    bool statementBegins(const QString &sql) const;
    void statementEnds(bool guarded, bool ok) const;
    void beginOnServer();
    // After a lost connection, the next use outside a transaction connects
    // again (same address, same settings) and prepares the cached
    // statements anew on the new session.
    void reviveServer() const;
    QString declareCursor(const QString &sql, const QVariantMap &named, const QVariantList &positional) const;
    void dropStatementsOfLostSession();
    void commitOnServer();
    void rollbackOnServer();
    // Cached statements are sent through the pipeline: a server transaction
    // whose statements are not undone one by one.
    bool pipelining() const;
    ServerPipeline &pipeline() const;
    DbError pipelineFailure(const QString &message, const QString &state, bool lost, bool guessMissed = false) const;
    bool serverTableExists(const QString &table) const;
    QStringList serverTables() const;
    friend class Statement;
    QSqlQuery run(const QString &sql, const std::function<void(QSqlQuery &)> &bind) const;
    QSqlQuery runOnServer(const QString &sql, const std::function<void(QSqlQuery &)> &bind) const;
    DbEngine m_kind = DbEngine::Sqlite;
    ServerAddress m_server;
    // The server keeps a failed transaction open but refuses all in it until
    // it ends; the file ends it at once. Both are followed here.
    mutable bool m_serverTransaction = false;
    mutable bool m_serverTransactionFailed = false;
    bool m_statementUndo = true;
    mutable bool m_serverLost = false;
    mutable bool m_failedWithoutUndo = false;
    mutable bool m_guessMissed = false;
    QString m_name;
    QString m_path;
    sqlite3 *m_engine = nullptr; // the open connection's engine handle
    mutable std::unique_ptr<ServerPipeline> m_pipeline;
    static constexpr size_t MaxStatements = 256;
    std::unordered_map<QString, std::unique_ptr<Statement>> m_statements;
    quint64 m_statementGeneration = 1;
};

// A statement of Database::statement(). Placeholders ("?" or ":name") are
// bound by position, in the order they appear in the text.
class Database::Statement
{
public:
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Binds the values and runs the statement up to its first row, if any.
    // Raises DbError (the statement is reset then).
    void exec(const QVariantList &params = {});
    bool hasRow() const { return m_row; }
    // Moves to the following row; false at the end. Raises DbError.
    bool next();
    // A column of the current row, typed as QtSql types it.
    QVariant value(int column) const;
    // The same column as the engine holds it, for loops that convert
    // millions of values themselves: no QVariant, no copy. The text is the
    // engine's UTF-8 and stays valid until the next step or reset.
    struct Cell
    {
        enum Type { Null, Integer, Real, Text, Blob } type = Null;
        qint64 integer = 0;
        double real = 0;
        const char *text = nullptr;
        int size = 0;
    };
    Cell cell(int column) const;
    // Ends the run; a statement left running keeps its table busy.
    void reset();

    // The same run bound one value at a time, for loops that bind millions
    // and already know each value's type: start(), a bind per placeholder
    // (from 1), then step(). bind() binds as exec() does and keeps a copy;
    // bindTextView() binds the text where it is, so it must stay unchanged until
    // reset(). Raise DbError (the statement is reset then).
    void start();
    void bind(int placeholder, const QVariant &value);
    void bindTextView(int placeholder, QStringView text);
    void bindInteger(int placeholder, qint64 value);
    void bindNull(int placeholder);
    void step();
    // A step of a read whose caller goes on as if it gave no row (hasRow()
    // is false) without waiting for its answer, on a server sending the
    // writes without waiting (Database::waitForWrites()); a row found later
    // fails the transaction (Database::guessMissed()). A plain step()
    // elsewhere.
    void guessNoRow();
    // Rows the last run inserted, updated or deleted.
    int changes() const;
    // For a statement that writes: the rows each later run changes are
    // added to *total as their answers come, at once or, for writes sent
    // unanswered, at the next wait (Database::waitForWrites()), so a loop
    // need not wait for each. Null stops it.
    void countChanges(std::shared_ptr<int> total) { m_tally = std::move(total); }

    // Binds one value as QtSql's SQLite driver binds it (placeholder from 1).
    static int bindValue(sqlite3_stmt *stmt, int placeholder, const QVariant &value);
    // The text a date-time is stored as (ISO 8601 with milliseconds).
    static QString dateTimeText(const QDateTime &moment);

private:
    friend class Database;
    Statement(sqlite3 *db, sqlite3_stmt *stmt)
        : m_db(db),
          m_stmt(stmt)
    { }
    // A statement on a server: a prepared query of the connection.
    Statement(Database *owner, std::unique_ptr<QSqlQuery> query);
    void fail();
    void serverExec(const QVariantList &params);
    void serverBind(int placeholder, const QVariant &value);
    void serverRun(); // runs with the values bound
    bool serverNext();
    Cell serverCell(int column) const;
    // Through the pipeline: false when it cannot take the statement (it
    // runs the usual way then).
    bool pipelineRun(bool guessEmpty = false);
    bool pipelineNext();
    int pipelineChanges() const;
    QVariant pipelineValue(int column) const;
    Cell pipelineCell(int column) const;
    void dropRows();
    Database *m_owner = nullptr;
    struct Piped
    {
        bool known = false; // the text was looked at
        bool usable = false; // parameters bind by position, each once
        bool write = false; // answers with nothing but a count
        bool readable = true; // its columns read here as the driver reads them
        QString sql; // with $1, $2, ...
        int parameters = 0;
        QByteArray name; // prepared under, in session
        quint64 session = 0;
        int slot = -1; // in batch
        quint64 batch = 0;
    } m_piped;
    pg_result *m_rows = nullptr; // a read's answer through the pipeline
    int m_rowIndex = 0;
    bool m_pipedLast = false; // the last run went through the pipeline
    std::unique_ptr<QSqlQuery> m_query;
    mutable std::vector<QByteArray> m_cellText; // what serverCell() points into
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt;
    QVariantList m_params; // bound text points into these until reset
    bool m_row = false;
    bool m_inTransaction = false; // when the last step began
    std::shared_ptr<int> m_tally;
};

// Opens a transaction only when none is open; rolls back on destruction
// unless committed. Nested guards over an outer transaction do nothing.
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();
    void rollback();
    bool owns() const { return m_owns; }

private:
    Database &m_db;
    bool m_owns = false;
    bool m_done = false;
};
