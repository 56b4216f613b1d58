#include "remessa/transferdelivery.h"

#include "db/database.h"
#include "remessa/remessacontrol.h"
#include "remessa/txtsending.h"


namespace TransferDelivery {

bool isTxt(const QString &fileName)
{
    return fileName.size() > 1 && fileName.at(1).toUpper() == QLatin1Char('X');
}

bool log(Database &db, const QString &fileName, const Remittance &remittance, const QString &userCode,
         const QString &userName, const QString &remark)
{
    if (isTxt(fileName))
        return TxtSending::logDelivery(db, fileName, remark, userCode);
    RemessaControl::appendEvent(db, remittance.number, remittance.type, QStringLiteral("TR"), userName, remark);
    return true;
}

Delivery::Delivery(Database &db, const QString &fileName, const Remittance &remittance)
    : m_db(db),
      m_fileName(fileName),
      m_remittance(remittance),
      m_marker(db, QStringLiteral("Transferência"))
{ }

QString Delivery::begin()
{
    if (isTxt(m_fileName))
        return QString();
    try {
        m_marker.take([&] { RemessaControl::require(m_db, RemessaControl::Step::Transfer, m_remittance.number); });
    } catch (const RegisterStep::Refused &e) {
        return e.message();
    }
    return QString();
}

bool Delivery::delivered(const QString &userCode, const QString &userName, const QString &remark)
{
    if (isTxt(m_fileName))
        return log(m_db, m_fileName, m_remittance, userCode, userName, remark);
    RegisterStep::run(m_db, [&] {
        RemessaControl::require(m_db, RemessaControl::Step::Transfer, m_remittance.number);
        log(m_db, m_fileName, m_remittance, userCode, userName, remark);
    });
    m_marker.release();
    return true;
}

void Delivery::abandon()
{
    m_marker.release();
}

}
