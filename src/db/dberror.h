#pragma once
#include "base/apperror.h"

#include <QSqlError>
#include <QString>
#include <stdexcept>

// An engine error carried as an exception, with the engine's message text.
// Key violations and a database held by another program are told apart by
// the engine's error code, never by text.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message, bool keyViolation = false);
    // code: the engine's extended result code (0 when none).
    DbError(const QString &message, int code, bool rolledBack);
    explicit DbError(const QSqlError &error, bool rolledBack = false);
    // An error of the server: its SQLSTATE tells key violations and the rest.
    static DbError fromServer(const QSqlError &error, bool rolledBack = false);
    // A message of this program's own that keeps a server's code.
    static DbError withState(const QString &message, const QString &sqlState);
    QString sqlState() const { return m_sqlState; }
    QString message() const { return m_message; }
    int code() const { return m_code; }
    bool isKeyViolation() const { return m_keyViolation; }
    // Another program holds the database (busy or locked past the wait).
    bool isBusy() const;
    // A text longer than its column: every declared width is a check of the
    // table, named after the column and its width.
    bool isTooLong() const;
    // The engine rolled the open transaction back on its own (disk full, I/O
    // error): whatever runs next would be written outside it.
    bool rolledBack() const { return m_rolledBack; }
    // The server undid the transaction because it collided with another
    // workstation's (serialization failure 40001, deadlock 40P01): the same
    // work may simply run again.
    bool isConflict() const;
    // The connection to the server is gone (the server stopped, the network
    // failed, an administrator ended the session).
    bool isConnectionLost() const { return m_connectionLost; }
    // What is raised when it is: the server has undone whatever the open
    // transaction held; after a lost COMMIT the outcome is unknown.
    static DbError connectionLost(const QString &server, bool duringCommit);
    // A statement failed on a server while statements were not undone one
    // by one (Database::setStatementUndo): the transaction can only be undone.
    bool failedWithoutStatementUndo() const { return m_withoutStatementUndo; }
    void setFailedWithoutStatementUndo() { m_withoutStatementUndo = true; }
    // The operation cannot go on: busy, or its transaction is gone.
    bool endsOperation() const { return isBusy() || m_rolledBack || m_connectionLost || m_withoutStatementUndo; }
    // The message for the user: the Portuguese busy text, else the engine's.
    QString userMessage() const;

private:
    QString m_message;
    int m_code = 0;
    QString m_sqlState; // the server's five-character code, empty on a file
    bool m_keyViolation;
    bool m_rolledBack = false;
    bool m_connectionLost = false;
    bool m_withoutStatementUndo = false;
};

namespace DbErrors {
// Shown, once, when another program holds the database.
inline const QString BusyMessage = QStringLiteral("A base de dados está em uso por outro programa. Tente novamente.");
// How long a statement waits for another program's lock before giving up.
constexpr int BusyTimeoutMs = 5000;
// SQLITE_CONSTRAINT_PRIMARYKEY (1555) and SQLITE_CONSTRAINT_UNIQUE (2067).
bool isKeyViolation(const QSqlError &error);
bool isKeyViolationCode(int code);
// SQLITE_BUSY and SQLITE_LOCKED with every extended code.
bool isBusyCode(int code);
// SQLITE_CONSTRAINT_CHECK.
bool isTooLongCode(int code);
// What the user is told when a write failed: the column and its width when a
// value was too long for it (never a generic message then), else `generic`.
QString writeFailure(const std::exception &e, const QString &generic);
// The class name written to the error log for an exception.
QString className(const std::exception &e);
}
