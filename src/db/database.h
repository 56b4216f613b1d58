#pragma once
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <unordered_map>

// The one connection to the local database (logical name "CapaCertific").
// Every failure is raised as DbError with the engine's message.
//
// Conventions for values: booleans are stored 0/1; date-time columns are
// bound as QDateTime (never QDate), so every stored moment has the same text
// form and compares correctly; text keys compare case-insensitively.
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
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }
    QString connectionName() const { return m_name; }
    QSqlDatabase handle() const;

    bool inTransaction() const;
    void begin();
    void commit();
    void rollback();

    // Prepares and runs a statement, binding positional ("?") or named
    // (":name") parameters in the order they appear. Raises DbError.
    QSqlQuery exec(const QString &sql, const QVariantList &params = {}) const;
    QSqlQuery exec(const QString &sql, const QVariantMap &named) const;
    QVariant scalar(const QString &sql, const QVariantList &params = {}) const;
    int execute(const QString &sql, const QVariantList &params = {}) const; // rows affected
    bool tableExists(const QString &table) const;
    QStringList tables() const;

    // Opt-in statement cache for callers that run the same few statements
    // many times (the import runs a handful of texts per record): the same
    // SQL text gets the same prepared query, so it is parsed once. The caller
    // binds by position, runs it and calls finish() when done reading. The
    // reference is valid until the next prepared()/execPrepared() call or
    // close(). Raises DbError when the text cannot be prepared.
    QSqlQuery &prepared(const QString &sql);
    // prepared(sql) with params bound by position and run. Raises DbError.
    QSqlQuery &execPrepared(const QString &sql, const QVariantList &params = {});
    void clearPrepared();

private:
    void registerFunctions();
    QString m_name;
    QString m_path;
    static constexpr size_t MaxPrepared = 256;
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_prepared;
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
