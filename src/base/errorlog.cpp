#include "base/errorlog.h"
#include "base/apppaths.h"
#include "base/safefile.h"
#include "base/textutil.h"

#include <QDir>
#include <QFile>

namespace ErrorLog {

QString fileName(const QDate &day)
{
    return AppPaths::programDir() + QLatin1Char('/') + AppPaths::programName() + QStringLiteral("_LOGERROS_") +
        day.toString(QStringLiteral("dd-MM-yyyy")) + QStringLiteral(".log");
}

bool append(const QString &message, const QString &className)
{
    try {
        const QDateTime now = QDateTime::currentDateTime();
        QDir().mkpath(AppPaths::programDir());
        QFile f(fileName(now.date()));
        if (!SafeFile::openForAppend(f, QIODevice::Text))
            return false;
        const QString entry = QStringLiteral("Data..........: ") + now.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) +
            QStringLiteral("\nMensagem......: ") + TextUtil::trimBlanks(message) +
            QStringLiteral("\nTipo Erro.....: ") + className + QLatin1Char('\n') + QString(70, QLatin1Char('-')) +
            QLatin1Char('\n');
        const QByteArray bytes = entry.toUtf8();
        const bool ok = f.write(bytes) == bytes.size() && f.flush();
        f.close();
        return ok;
    } catch (...) {
        return false;
    }
}

}
