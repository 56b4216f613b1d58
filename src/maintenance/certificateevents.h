#pragma once
#include "maintenance/certificate.h"

class Database;

// The certificate's own history rows (STATUS_C) written by the maintenance
// window, all with HistoricoSis "2".
namespace CertificateEvents {

inline const QString SystemJustification = QStringLiteral("Historico gerado pelo sistema");

// Raises on failure (DbError, or AppError when the numbering is exhausted).
void write(Database &db, const CertificateKey &key, const QString &evento, const QString &justification,
           const QString &status, const QDateTime &statusDate, const QString &userCode);

}
