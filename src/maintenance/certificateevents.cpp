#include "maintenance/certificateevents.h"

#include "db/database.h"
#include "db/dberror.h"

namespace CertificateEvents {

void write(Database &db, const CertificateKey &key, const QString &evento, const QString &justification,
           const QString &status, const QDateTime &statusDate, const QString &userCode)
{
    const int seq = db.scalar(QStringLiteral("SELECT COALESCE(MAX(SeqEvento), 0) + 1 FROM Status_c")).toInt();
    if (seq > 32767)
        throw AppError(QStringLiteral("A numeração de eventos da tabela STATUS_C está esgotada."));
    db.execute(QStringLiteral("INSERT INTO Status_c (siglacertificador, numcertif, seqevento, evento, justificativa, "
                              "historicosis, statuscertificado, dthstatuscertificado, dthultatualiz, usuresp) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               {key.sigla, key.numero, seq, evento, justification.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : justification,
                QStringLiteral("2"), status, statusDate, QDateTime::currentDateTime(), userCode});
}

}
