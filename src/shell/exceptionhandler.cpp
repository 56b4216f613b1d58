#include "shell/exceptionhandler.h"

#include "base/errorlog.h"
#include "base/messenger.h"
#include "db/dberror.h"

namespace ExceptionHandler {

QString messageOf(const std::exception &e)
{
    if (auto *db = dynamic_cast<const DbError *>(&e))
        return db->message();
    if (auto *app = dynamic_cast<const AppError *>(&e))
        return app->message();
    return QString::fromLocal8Bit(e.what());
}

void handle(const std::exception &e, Messenger &messenger)
{
    const QString message = messageOf(e);
    appendErrorLog(message, DbErrors::className(e));
    messenger.warning(message, Caption);
}

void handleUnknown(Messenger &messenger)
{
    const QString message = QStringLiteral("Erro desconhecido.");
    appendErrorLog(message, QStringLiteral("Exception"));
    messenger.warning(message, Caption);
}

}
