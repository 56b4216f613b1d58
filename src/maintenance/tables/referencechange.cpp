#include "maintenance/tables/referencechange.h"

#include "db/database.h"
#include "register/statusevents.h"

#include <QDateTime>
#include <QSqlQuery>

namespace ReferenceChange {

void markChanged(Database &db, const QList<CertificateKey> &certificates, const QString &justificativa,
                 const QString &userCode)
{
    const QDateTime now = QDateTime::currentDateTime();
    for (const CertificateKey &key : certificates) {
        db.execute(QStringLiteral("update certific set aprovado = 0 where SiglaCertificador = ? and NumCertif = ?"),
                   {key.sigla, key.numero});
        const QString status = db.scalar(QStringLiteral(
                                             "SELECT STATUSCERTIFICADO FROM CERTIFIC WHERE SIGLACERTIFICADOR = ? "
                                             "AND NUMCERTIF = ?"),
                                         {key.sigla, key.numero})
                                   .toString();
        StatusEvents::Event event;
        event.key = StatusEvents::certificateKey(key.sigla, key.numero);
        event.evento = QStringLiteral("ALT");
        event.justificativa = justificativa;
        event.historicoSis = StatusEvents::OrigemSistema;
        event.status = status;
        event.statusDate = now;
        event.writtenAt = now;
        event.user = userCode;
        StatusEvents::insert(db, StatusEvents::Table::Status_C, event);
    }
}

}
