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
        db.execute(
            QStringLiteral("INSERT INTO CONTROLE_TXT(DATAHORAEVENTO,NOMEARQUIVO,OBS,USURESP,ENVIADOQUELORA) "
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

bool log(Database &db, const QString &fileName, const QString &number, const QString &userCode, const QString &userName,
         const QString &remark)
{
    if (isTxt(fileName))
        return insertTxt(db, fileName, remark, userCode, true);
    RemessaControl::appendEvent(db, number, QString(typeOf(fileName)), QStringLiteral("TR"), userName, remark);
    return true;
}

Delivery::Delivery(Database &db, const QString &fileName, const QString &number)
    : m_db(db),
      m_fileName(fileName),
      m_number(number),
      m_marker(db, QStringLiteral("Transferência"))
{ }

QString Delivery::begin()
{
    if (isTxt(m_fileName))
        return QString();
    try {
        m_marker.take([&] { RemessaControl::require(m_db, RemessaControl::Step::Transfer, m_number); });
    } catch (const RegisterStep::Refused &e) {
        return e.message();
    }
    return QString();
}

bool Delivery::delivered(const QString &userCode, const QString &userName, const QString &remark)
{
    if (isTxt(m_fileName))
        return log(m_db, m_fileName, m_number, userCode, userName, remark);
    RegisterStep::run(m_db, [&] {
        RemessaControl::require(m_db, RemessaControl::Step::Transfer, m_number);
        log(m_db, m_fileName, m_number, userCode, userName, remark);
    });
    m_marker.release();
    return true;
}

void Delivery::abandon()
{
    m_marker.release();
}

}
