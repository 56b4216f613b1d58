#include "remessa/transferdelivery.h"

#include "db/database.h"
#include "remessa/remessacontrol.h"

#include <QDateTime>
#include <exception>

namespace {

// The TXT control row reports failure as false and never raises.
bool insertTxt(Database &db, const QString &fileName, const QString &obs, const QString &user, bool sent)
{
    try {
        db.execute(QStringLiteral("INSERT INTO CONTROLE_TXT(DATAHORAEVENTO,NOMEARQUIVO,OBS,USURESP,ENVIADOQUELORA) "
                                  "VALUES(?,?,?,?,?)"),
                   {QDateTime::currentDateTime(), fileName, obs, user, sent ? QStringLiteral("S") : QStringLiteral("N")});
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

}

namespace TransferDelivery {

QChar typeOf(const QString &fileName)
{
    return fileName.size() > 1 ? fileName.at(1).toUpper() : QChar();
}

bool isTxt(const QString &fileName)
{
    return typeOf(fileName) == QLatin1Char('X');
}

bool log(Database &db, const QString &fileName, const QString &number, const QString &userCode,
         const QString &userName, const QString &remark)
{
    if (isTxt(fileName))
        return insertTxt(db, fileName, remark, userCode, true);
    RemessaControl::appendEvent(db, number, QString(typeOf(fileName)), QStringLiteral("TR"), userName, remark);
    return true;
}

}
