#pragma once
#include "maintenance/certificates/certificate.h"

#include <QList>

class Database;

// A company or product that certificates use was changed in its own table:
// each of those certificates must be approved again, and its history says
// why.
namespace ReferenceChange {

// Clears the approval of each certificate and writes an "ALT" event on it
// with the justification given, the certificate's current status, dated
// now. Runs inside the caller's transaction; raises on failure.
void markChanged(Database &db, const QList<CertificateKey> &certificates, const QString &justificativa,
                 const QString &userCode);

}
