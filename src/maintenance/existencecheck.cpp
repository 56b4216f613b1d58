#include "maintenance/existencecheck.h"

#include "db/database.h"

namespace ExistenceCheck {
namespace {

QString eq(const char *column)
{
    return QStringLiteral("UCASE(%1) = UCASE(?)").arg(QLatin1String(column));
}

bool count(const Database &db, const char *table, const QStringList &conditions, const QVariantList &values)
{
    const QString sql = QStringLiteral("SELECT COUNT(*) AS Quant FROM %1 WHERE %2")
                            .arg(QLatin1String(table), conditions.join(QStringLiteral(" AND ")));
    return db.scalar(sql, values).toInt() > 0;
}

}

bool exists(const Database &db, const QString &kind, const Key &k)
{
    const QString cert = eq("SIGLACERTIFICADOR") + QStringLiteral(" AND ") + eq("NUMCERTIF");
    const QString product = eq("MARCAPROD") + QStringLiteral(" AND ") + eq("MODELOPROD") +
        QStringLiteral(" AND IMPORTADO = ?");
    const QString company = eq("CODIGOPAIS") + QStringLiteral(" AND ") + eq("IDEMPRESA");
    const QString k_ = kind.toUpper();
    if (k_ == QLatin1String("PRODUTO"))
        return count(db, "PRODUTO", {product}, {k.marcaProd, k.modeloProd, k.importado});
    if (k_ == QLatin1String("EMPRESA"))
        return count(db, "EMPRESA", {company}, {k.codigoPais, k.idEmpresa});
    if (k_ == QLatin1String("CERTIFICADO"))
        return count(db, "CERTIFIC", {cert}, {k.siglaCertificador, k.numCertif});
    if (k_ == QLatin1String("EMPCERT"))
        return count(db, "EMP_CERT", {cert, company}, {k.siglaCertificador, k.numCertif, k.codigoPais, k.idEmpresa});
    if (k_ == QLatin1String("TIPO"))
        return count(db, "TIPO", {cert, product},
                     {k.siglaCertificador, k.numCertif, k.marcaProd, k.modeloProd, k.importado});
    if (k_ == QLatin1String("LOTE"))
        return count(db, "LOTE", {eq("NUMLOTE"), cert, product},
                     {k.numLote, k.siglaCertificador, k.numCertif, k.marcaProd, k.modeloProd, k.importado});
    if (k_ == QLatin1String("UNIDADE"))
        return count(db, "UNIDADE", {eq("NUMSERIEPROD"), cert, product},
                     {k.numSerieProd, k.siglaCertificador, k.numCertif, k.marcaProd, k.modeloProd, k.importado});
    if (k_ == QLatin1String("SERVICO"))
        return count(db, "SERVICO", {QStringLiteral("IdClasseServ = ?"), cert, company},
                     {k.idClasseServ, k.siglaCertificador, k.numCertif, k.codigoPais, k.idEmpresa});
    if (k_ == QLatin1String("DOCUMENTOS"))
        return certificateHasDocuments(db, k.siglaCertificador, k.numCertif);
    return false;
}

bool certificateHasDocuments(const Database &db, const QString &sigla, const QString &numero)
{
    // Every service of the certificate counts, not only the one a grid
    // happens to stand on: a document on any of them ties the classes.
    QStringList selects;
    for (const char *table : {"DOC_NORM_CERT_PRODUTO", "DOC_NORM_LOTE", "DOC_NORM_TIPO", "DOC_NORM_UNIDADE",
                              "DOC_NORM_CERT_SERVICO", "DOC_NORM_SERV"})
        selects << QStringLiteral("SELECT 1 FROM %1 WHERE siglacertificador = ? AND numcertif = ?")
                       .arg(QLatin1String(table));
    QVariantList values;
    for (int i = 0; i < selects.size(); ++i)
        values << sigla << numero;
    auto q = db.exec(QStringLiteral("SELECT EXISTS (") + selects.join(QStringLiteral(" UNION ")) + QStringLiteral(")"),
                     values);
    return q.next() && q.value(0).toInt() > 0;
}

}
