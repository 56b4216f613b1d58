#pragma once
#include "remessa/registerstep.h"
#include "remessa/remittance.h"

#include <QString>

class Database;

// What every transfer mode does once a file has been delivered.
namespace TransferDelivery {

// A "TX-" TXT file rather than a remittance package.
bool isTxt(const QString &fileName);

// Records the delivery: a TXT file gets its CONTROLE_TXT row (sent "S"),
// a package the "TR" event of its remittance, both with the remark. False
// when the TXT row could not be written; a failing "TR" row raises DbError.
bool log(Database &db, const QString &fileName, const Remittance &remittance, const QString &userCode,
         const QString &userName, const QString &remark);

// One delivery from its start to its record. A remittance package holds the
// register's step marker from before its first byte until its "TR" is
// written or the transfer failed, so it cannot be cancelled meanwhile; a
// TXT file needs none.
class Delivery
{
public:
    // fileName is the remittance's package or a TXT file.
    Delivery(Database &db, const QString &fileName, const Remittance &remittance);
    // "" when the transfer may start, else why not (nothing was written).
    QString begin();
    // Records the delivery as log() does, once the remittance is seen still
    // waiting for its transfer; the marker goes with it. Raises
    // RegisterStep::Refused when the state moved on.
    bool delivered(const QString &userCode, const QString &userName, const QString &remark);
    // The transfer failed or was interrupted.
    void abandon();

private:
    Database &m_db;
    QString m_fileName;
    Remittance m_remittance;
    RegisterStep::Marker m_marker;
};

}
