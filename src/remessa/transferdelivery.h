#pragma once
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
bool log(Database &db, const QString &fileName, const QString &number, const QString &userCode,
         const QString &userName, const QString &remark);

}
