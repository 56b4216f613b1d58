#include "maintenance/certificates/certificatedeletion.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "register/regulatorholding.h"

namespace CertificateDeletion {

const QStringList &tables()
{
    static const QStringList all{// events of the normative documents, then the documents
                                 QStringLiteral("STATUS_DNCP"), QStringLiteral("STATUS_DNCS"),
                                 QStringLiteral("STATUS_DNS"), QStringLiteral("STATUS_DNT"),
                                 QStringLiteral("STATUS_DNL"), QStringLiteral("STATUS_DNU"),
                                 QStringLiteral("DOC_NORM_CERT_PRODUTO"), QStringLiteral("DOC_NORM_CERT_SERVICO"),
                                 QStringLiteral("DOC_NORM_SERV"), QStringLiteral("DOC_NORM_TIPO"),
                                 QStringLiteral("DOC_NORM_LOTE"), QStringLiteral("DOC_NORM_UNIDADE"),
                                 // events of the items, the items, the certificate
                                 QStringLiteral("EVENTO_EMP"), QStringLiteral("STATUS_T"), QStringLiteral("STATUS_L"),
                                 QStringLiteral("STATUS_U"), QStringLiteral("STATUS_S"), QStringLiteral("STATUS_C"),
                                 QStringLiteral("EMP_CERT"), QStringLiteral("TIPO"), QStringLiteral("LOTE"),
                                 QStringLiteral("UNIDADE"), QStringLiteral("SERVICO"), QStringLiteral("CERTIFIC")};
    return all;
}

int deleteAll(Database &db, const CertificateKey &key)
{
    Transaction tx(db);
    if (RegulatorHolding::certificate(db, key))
        throw Held();
    int removed = 0;
    for (const QString &table : tables())
        removed += db.execute(QStringLiteral("DELETE FROM %1 WHERE SIGLACERTIFICADOR = ? AND NUMCERTIF = ?").arg(table),
                              {key.sigla, key.numero});
    tx.commit();
    return removed;
}

bool run(Database &db, Messenger &messenger, const CertificateKey &key)
{
    if (key.isEmpty())
        return false;
    if (RegulatorHolding::certificate(db, key)) {
        messenger.information(JaAprovado, Caption);
        return false;
    }
    if (!messenger.confirm(Confirma, QStringLiteral("Exclusão do Certificado"))) {
        messenger.information(Cancelada, Caption);
        return false;
    }
    try {
        deleteAll(db, key);
    } catch (const Held &) {
        messenger.information(JaAprovado, Caption); // held since the question
        return false;
    } catch (const DbError &e) {
        if (e.endsOperation())
            throw;
        messenger.error(Falhou, QStringLiteral("Erro de deleção"));
        return false;
    }
    return true;
}

}
