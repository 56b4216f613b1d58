#pragma once
#include "register/certificatekey.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Database;

// The checks that close an imported file, run inside the file's transaction.
// Each one reports through "Log_BD.txt" in the import directory only; the run
// turns a failed check into the file's failure.
namespace PostImport {

inline const QString LogFileName = QStringLiteral("Log.txt");
inline const QString LogBdFileName = QStringLiteral("Log_BD.txt");

// Appends lines (each followed by a line end) to dir/fileName, creating it.
void appendLog(const QString &dir, const QString &fileName, const QStringList &lines);
// The log file of that name in dir, matched without regard to case (the
// descriptors and older files disagree on "log.txt"/"Log.txt"); empty if absent.
QString findLog(const QString &dir, const QString &fileName);

// Every item changed by the file must have been justified by a history row of
// the same file. Passes (and empties CTR_HISTORICO) when no pairing row is
// left at "0"; otherwise lists the unpaired rows in Log_BD.txt and fails.
// Raises DbError when the table cannot be read.
bool checkPairing(Database &db, const QString &logDir);

// Every company named by a TIPO, LOTE or UNIDADE row of the whole database
// must be a company of its certificate (EMP_CERT). Lists the offenders in
// Log_BD.txt and fails otherwise. Raises DbError.
bool checkCompanyRoles(Database &db, const QString &logDir);

// Marks complete and approved those of the given certificates (the ones the
// imported file wrote) that are complete; others of the database are left as
// they are, so one left unapproved on purpose is not sent by an import.
// progress(done, total) is called before and after the marking.
// Returns the number of certificates marked. Raises DbError.
int markCompleteCertificates(Database &db, const QList<CertificateKey> &certificates,
                             const std::function<void(int, int)> &progress = {});

// The certificates that markCompleteCertificates would mark, as
// "sigla|number" (for checks and listings).
QStringList completeCertificates(Database &db);

}
