#include "base/apperror.h"

AppError::AppError(const QString &message)
    : std::runtime_error(message.toStdString()),
      m_message(message)
{ }
