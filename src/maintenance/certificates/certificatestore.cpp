#include "maintenance/certificates/certificatestore.h"
#include "base/moments.h"

#include "db/database.h"
#include "register/statusevents.h"

namespace CertificateStore {
namespace {

QList<ClassItem> items(const Database &db, const QString &sql)
{
    QList<ClassItem> out;
    auto q = db.exec(sql);
    while (q.next())
        out.append({q.value(0), q.value(1).toString()});
    return out;
}

bool any(const Database &db, const char *table, const CertificateKey &key)
{
    return db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1 WHERE SiglaCertificador = ? AND NumCertif = ?)")
                         .arg(QLatin1String(table)),
                     {key.sigla, key.numero})
               .toInt() > 0;
}

QDateTime moment(const QVariant &v)
{
    return Moments::fromValue(v);
}

}

QList<ClassItem> certificateClasses(const Database &db)
{
    // A class counts when the certifier holds it for products or for
    // services; joining both accreditation tables at once would need both.
    return items(
        db,
        QStringLiteral("SELECT DISTINCT CL.IDCLASSECERTIF, CL.NOMCLASSECERTIF FROM CLASSE_C CL, CONFIG_LOCAL C "
                       "WHERE EXISTS (SELECT 1 FROM CREDENCIAMENTO CC WHERE CC.IDCLASSECERTIF = CL.IDCLASSECERTIF "
                       "AND CC.SIGLACERTIFICADOR = C.SIGLACERTIFICADOR) "
                       "OR EXISTS (SELECT 1 FROM CREDENCIAMENTO_SERV CS WHERE CS.IDCLASSECERTIF = CL.IDCLASSECERTIF "
                       "AND CS.SIGLACERTIFICADOR = C.SIGLACERTIFICADOR) ORDER BY CL.NOMCLASSECERTIF"));
}

QList<ClassItem> productClasses(const Database &db)
{
    // DISTINCT: a product class accredited under two certificate classes is
    // one entry of the list.
    return items(
        db,
        QStringLiteral(
            "SELECT DISTINCT P.IDCLASSEPROD, P.NOMCLASSEPROD FROM CLASSE_P P, CONFIG_LOCAL C, CREDENCIAMENTO CC "
            "WHERE P.IDCLASSEPROD = CC.IDCLASSEPROD AND C.SIGLACERTIFICADOR = CC.SIGLACERTIFICADOR "
            "ORDER BY P.NOMCLASSEPROD"));
}

QList<ClassItem> serviceClasses(const Database &db)
{
    return items(
        db,
        QStringLiteral(
            "SELECT DISTINCT S.IDCLASSESERV, S.NOMCLASSESERV FROM CLASSE_S S, CONFIG_LOCAL C, CREDENCIAMENTO_SERV CS "
            "WHERE S.IDCLASSESERV = CS.IDCLASSESERV AND C.SIGLACERTIFICADOR = CS.SIGLACERTIFICADOR "
            "ORDER BY S.NOMCLASSESERV"));
}

QStringList signatories(const Database &db)
{
    QStringList out;
    auto q = db.exec(QStringLiteral("SELECT Signatario FROM Signatarios ORDER BY default_s DESC, signatario ASC"));
    while (q.next())
        out << q.value(0).toString();
    return out;
}

int configRowCount(const Database &db)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM CONFIG_LOCAL")).toInt();
}

std::optional<Certificate> load(const Database &db, const CertificateKey &key)
{
    auto q = db.exec(
        QStringLiteral("SELECT SiglaCertificador, NumCertif, StatusCertificado, DthStatusCertificado, IdClasseProd, "
                       "IdClasseCertif, "
                       "DataEmissao, DataValid, LabEnsaio, NumRelEnsaio, Signatarios, Observacoes, Completo, Aprovado, "
                       "DthUltAtualiz, UsuResp FROM CERTIFIC WHERE UCASE(SiglaCertificador) = UCASE(?) AND "
                       "UCASE(NumCertif) = UCASE(?)"),
        {key.sigla, key.numero});
    if (!q.next())
        return std::nullopt;
    Certificate c;
    c.siglaCertificador = q.value(0).toString();
    c.numCertif = q.value(1).toString();
    c.statusCertificado = q.value(2).toString();
    c.dthStatusCertificado = moment(q.value(3));
    c.idClasseProd = q.value(4).isNull() ? QVariant() : QVariant(q.value(4).toInt());
    c.idClasseCertif = q.value(5).toString();
    c.dataEmissao = moment(q.value(6));
    c.dataValid = moment(q.value(7));
    c.labEnsaio = q.value(8).toString();
    c.numRelEnsaio = q.value(9).toString();
    c.signatarios = q.value(10).toString();
    c.observacoes = q.value(11).toString();
    c.completo = q.value(12).toInt() != 0;
    c.aprovado = q.value(13).toInt() != 0;
    c.dthUltAtualiz = moment(q.value(14));
    c.usuResp = q.value(15).toString();
    return c;
}

QString lastApprovalTime(Database &db, const CertificateKey &key)
{
    const QDateTime at = StatusEvents::lastApprovalTime(db, key.sigla, key.numero);
    return at.isValid() ? at.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")) : QString();
}

bool hasCompanies(const Database &db, const CertificateKey &key)
{
    return any(db, "EMP_CERT", key);
}

bool hasProductsOrServices(const Database &db, const CertificateKey &key)
{
    for (const char *t : {"TIPO", "UNIDADE", "LOTE", "SERVICO"})
        if (any(db, t, key))
            return true;
    return false;
}

bool hasItems(const Database &db, const CertificateKey &key)
{
    return hasCompanies(db, key) || hasProductsOrServices(db, key);
}

bool inReplica(const Database &db, const QString &numero)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) AS Total_Certificado FROM rep_certific WHERE NUMCERTIF = ?"),
                     {numero})
               .toInt() > 0;
}

bool hasAnyDocument(const Database &db, const QString &numero)
{
    QStringList selects;
    QVariantList values;
    for (const char *t : {"doc_norm_cert_produto", "doc_norm_tipo", "doc_norm_lote", "doc_norm_unidade",
                          "doc_norm_cert_servico", "doc_norm_serv"}) {
        selects << QStringLiteral("SELECT IdDocNorm FROM %1 WHERE NUMCERTIF = ?").arg(QLatin1String(t));
        values << numero;
    }
    return db.scalar(QStringLiteral("SELECT EXISTS (") + selects.join(QStringLiteral(" UNION ")) + QStringLiteral(")"),
                     values)
               .toInt() > 0;
}

bool isComplete(const Database &db, const Certificate &header)
{
    if (header.siglaCertificador.isEmpty() || header.numCertif.isEmpty() || !header.dataEmissao.isValid() ||
        !header.hasClasses())
        return false;
    const CertificateKey key = header.key();
    if (!hasCompanies(db, key) || !hasProductsOrServices(db, key))
        return false;
    return inReplica(db, header.numCertif) || hasAnyDocument(db, header.numCertif);
}

bool storeCompleteness(Database &db, const CertificateKey &key)
{
    const auto row = load(db, key);
    if (!row)
        return false;
    const bool complete = isComplete(db, *row);
    db.execute(QStringLiteral("UPDATE CERTIFIC SET Completo = ? WHERE SiglaCertificador = ? AND NumCertif = ?"),
               {complete ? 1 : 0, row->siglaCertificador, row->numCertif});
    return complete;
}

}
