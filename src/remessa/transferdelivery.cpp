#include "remessa/transferdelivery.h"

#include "remessa/controlelog.h"

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
        return ControleLog::insertTxt(db, fileName, remark, userCode, true);
    ControleLog::append(db, number, QString(typeOf(fileName)), QStringLiteral("TR"), userName, remark);
    return true;
}

}
