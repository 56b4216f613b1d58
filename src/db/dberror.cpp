#include "db/dberror.h"

#include <QRegularExpression>
#include <sqlite3.h>

DbError::DbError(const QString &message, bool keyViolation)
    : std::runtime_error(message.toStdString()),
      m_message(message),
      m_keyViolation(keyViolation)
{ }

DbError::DbError(const QString &message, int code, bool rolledBack)
    : std::runtime_error(message.toStdString()),
      m_message(message),
      m_code(code),
      m_keyViolation(DbErrors::isKeyViolationCode(code)),
      m_rolledBack(rolledBack)
{ }

DbError::DbError(const QSqlError &error, bool rolledBack)
    : DbError(error.databaseText().isEmpty() ? error.text() : error.databaseText(), error.nativeErrorCode().toInt(),
              rolledBack)
{ }

DbError DbError::fromServer(const QSqlError &error, bool rolledBack)
{
    // The driver prefixes the server's text with its severity.
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (text.startsWith(QLatin1String("ERROR:")))
        text = text.mid(6).trimmed();
    // The lines after the first quote the statement as the driver sent it.
    text = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    const QString state = error.nativeErrorCode();
    // A width check, "TABLE.Column N", is told as the file's engine tells it.
    static const QRegularExpression widthCheck(QStringLiteral("check constraint \"(\\S+) (\\d+)\""));
    if (const QRegularExpressionMatch m = widthCheck.match(text); state == QLatin1String("23514") && m.hasMatch())
        text = QStringLiteral("CHECK constraint failed: %1 aceita no máximo %2 caracteres")
                   .arg(m.captured(1), m.captured(2));
    DbError e(text, 0, rolledBack);
    e.m_sqlState = state;
    e.m_keyViolation = e.m_sqlState == QLatin1String("23505"); // unique_violation
    return e;
}

DbError DbError::withState(const QString &message, const QString &sqlState)
{
    DbError e(message, 0, true);
    e.m_sqlState = sqlState;
    return e;
}

bool DbError::isConflict() const
{
    return m_sqlState == QLatin1String("40001") || m_sqlState == QLatin1String("40P01");
}

DbError DbError::connectionLost(const QString &server, bool duringCommit)
{
    DbError e(duringCommit ? QStringLiteral("A conexão com o %1 foi perdida enquanto a operação era confirmada: "
                                            "verifique se ela foi gravada antes de repeti-la.")
                                 .arg(server)
                           : QStringLiteral("A conexão com o %1 foi perdida. A operação em andamento não foi "
                                            "gravada; nada dela ficou no banco de dados.")
                                 .arg(server),
              0, true);
    e.m_connectionLost = true;
    return e;
}

bool DbError::isBusy() const
{
    // lock_not_available: a lock asked for without waiting was held.
    return m_sqlState.isEmpty() ? DbErrors::isBusyCode(m_code) : m_sqlState == QLatin1String("55P03");
}

bool DbError::isTooLong() const
{
    // check_violation: the width checks are the only checks of the tables.
    return m_sqlState.isEmpty() ? DbErrors::isTooLongCode(m_code) : m_sqlState == QLatin1String("23514");
}

QString DbError::userMessage() const
{
    if (isBusy())
        return DbErrors::BusyMessage;
    if (m_sqlState.isEmpty() && (m_code & 0xFF) == SQLITE_FULL)
        return QStringLiteral("Não há espaço livre no disco da base de dados. As alterações não foram efetuadas.");
    return m_message;
}

namespace DbErrors {

bool isKeyViolationCode(int code)
{
    return code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE;
}

bool isKeyViolation(const QSqlError &error)
{
    return isKeyViolationCode(error.nativeErrorCode().toInt());
}

bool isTooLongCode(int code)
{
    return code == SQLITE_CONSTRAINT_CHECK;
}

QString writeFailure(const std::exception &e, const QString &generic)
{
    const auto *db = dynamic_cast<const DbError *>(&e);
    if (!db || !db->isTooLong())
        return generic;
    // The engine names the failed check ("CHECK constraint failed: <name>"),
    // and each width check is named "TABLE.Column aceita no máximo N caracteres".
    QString check = db->message();
    const qsizetype colon = check.indexOf(QLatin1String(": "));
    if (colon >= 0)
        check = check.mid(colon + 2);
    return QStringLiteral("Texto longo demais: %1. As alterações não foram efetuadas.").arg(check.trimmed());
}

bool isBusyCode(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

QString className(const std::exception &e)
{
    if (dynamic_cast<const DbError *>(&e))
        return QStringLiteral("EDatabaseError");
    if (dynamic_cast<const AppError *>(&e))
        return QStringLiteral("Exception");
    return QStringLiteral("std::exception");
}

}
