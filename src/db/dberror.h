#pragma once
#include <QSqlError>
#include <QString>
#include <stdexcept>

// An engine error carried as an exception, with the engine's message text.
// Key violations are told apart by the engine's error code, never by text.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message, bool keyViolation = false);
    explicit DbError(const QSqlError &error);
    QString message() const { return m_message; }
    bool isKeyViolation() const { return m_keyViolation; }

private:
    QString m_message;
    bool m_keyViolation;
};

// Any exception raised by the system's own rules (a bad value, a missing
// folder) that has no engine error behind it.
class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

namespace DbErrors {
// SQLITE_CONSTRAINT_PRIMARYKEY (1555) and SQLITE_CONSTRAINT_UNIQUE (2067).
bool isKeyViolation(const QSqlError &error);
// The class name written to the error log for an exception.
QString className(const std::exception &e);
}
