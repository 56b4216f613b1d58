#pragma once
#include <QString>
#include <stdexcept>

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
