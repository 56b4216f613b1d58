#include "db/dberror.h"

DbError::DbError(const QString &message, bool keyViolation)
    : std::runtime_error(message.toStdString()), m_message(message), m_keyViolation(keyViolation)
{
}

DbError::DbError(const QSqlError &error)
    : DbError(error.databaseText().isEmpty() ? error.text() : error.databaseText(),
              DbErrors::isKeyViolation(error))
{
}

AppError::AppError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

namespace DbErrors {

bool isKeyViolation(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("1555") || code == QLatin1String("2067");
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
