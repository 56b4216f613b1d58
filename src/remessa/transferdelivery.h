#pragma once
#include "remessa/registerstep.h"

#include <QChar>
#include <QString>

class Database;

// What every transfer mode does once a file has been delivered.
namespace TransferDelivery {

// The type character of a file handed to a transfer mode: its second
// character, "C" or "T" for a remittance package, "X" for a TXT file.
QChar typeOf(const QString &fileName);
bool isTxt(const QString &fileName);

// Records the delivery: a TXT file gets its CONTROLE_TXT row (sent "S"),
// a remittance the "TR" event of the current remittance, both with the
// remark. False when the TXT row could not be written; a failing "TR" row
// raises DbError.
bool log(Database &db, const QString &fileName, const QString &number, const QString &userCode, const QString &userName,
         const QString &remark);

// One delivery from its start to its record. A remittance package holds the
// register's step marker from before its first byte until its "TR" is
// written or the transfer failed, so it cannot be cancelled meanwhile; a
// TXT file needs none.
class Delivery
{
public:
    Delivery(Database &db, const QString &fileName, const QString &number);
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
    QString m_fileName, m_number;
    RegisterStep::Marker m_marker;
};

}
