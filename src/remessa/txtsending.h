#pragma once
#include <QString>
#include <QStringList>

class Database;
class Messenger;

// TXT migration files handed to the regulator: which may go, how they are
// packed and how a delivery is logged (CONTROLE_TXT).
namespace TxtSending {

// "TX-" + acronym + "*.txt": the only files offered for sending.
QString fileMask(const QString &acronym);
bool matchesMask(const QString &fileName, const QString &acronym);
// The folder's files matching the mask (case ignored, as on the workstations
// the files come from), sorted.
QStringList listFiles(const QString &dir, const QString &acronym);

// Whether CONTROLE_TXT already names the file, sent or imported; a failing
// query counts as not found.
bool alreadySent(const Database &db, const QString &fileName);
QString alreadySentMessage(const QString &fileName);

// The name the file travels under: its name up to the first "." + ".zip".
QString packageName(const QString &fileName);
// Packs dir/fileName alone into dir/packageName(fileName), replacing an
// older package. The TXT file itself stays where it is, so that a failed
// transfer can be tried again from the list.
bool package(const QString &dir, const QString &fileName, Messenger &messenger);

// The CONTROLE_TXT row of a delivery (sent flag "S"); false on a database
// error, never raises.
bool logDelivery(Database &db, const QString &fileName, const QString &remark, const QString &userCode);

}
