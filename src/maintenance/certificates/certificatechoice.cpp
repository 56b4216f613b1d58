#include "maintenance/certificates/certificatechoice.h"

namespace CertificateChoice {

namespace {

// A type, unit or lot of the certificate matching `condition`.
QString anyProductItem(const QString &condition)
{
    struct Item
    {
        const char *table;
        const char *alias;
    };
    static const Item items[] = {{"tipo", "T"}, {"unidade", "U"}, {"lote", "L"}};
    QStringList blocks;
    for (const Item &i : items) {
        const QString alias = QLatin1String(i.alias);
        QString c = condition;
        c.replace(QStringLiteral("X."), alias + QLatin1Char('.'));
        blocks << QStringLiteral("exists (select * from %1 as %2 where %2.SiglaCertificador = a.SiglaCertificador "
                                 "and %2.NumCertif = a.NumCertif and %3)")
                      .arg(QLatin1String(i.table), alias, c);
    }
    return QStringLiteral("and (") + blocks.join(QStringLiteral(" or ")) + QStringLiteral(") ");
}

}

QString orderClause(Order order)
{
    // The certificate number breaks ties, so equal names keep a stable order.
    switch (order) {
    case Order::Default: return QStringLiteral("Order By 1, 2");
    case Order::Number: return QStringLiteral("Order by a.NumCertif");
    case Order::CertificateClass: return QStringLiteral("Order by b.NomClasseCertif NULLS FIRST, a.NumCertif");
    case Order::ProductClass: return QStringLiteral("Order by c.NomClasseProd NULLS FIRST, a.NumCertif");
    case Order::Issue: return QStringLiteral("Order by a.DataEmissao NULLS FIRST, a.NumCertif");
    case Order::Validity: return QStringLiteral("Order by a.DataValid NULLS FIRST, a.NumCertif");
    }
    return {};
}

SelectionSql::Statement statement(const CertificateFilter &f, Order order)
{
    SelectionSql::Statement s;
    // One row per certificate already (the classes join on their keys): no
    // DISTINCT, whose sort of the whole register would delay every opening.
    // Outer joins: a certificate whose class is missing from the class tables
    // is still sent to the regulator, so it must still be found (class empty).
    s.sql = QStringLiteral("select a.SiglaCertificador, a.NumCertif, b.NomClasseCertif, c.NomClasseProd, "
                           "a.DataEmissao, a.DataValid, a.UsuResp, a.DthUltAtualiz "
                           "from certific a left join classe_c b on a.IdClasseCertif = b.IdClasseCertif "
                           "left join classe_p c on a.IdClasseProd = c.IdClasseProd where 1 = 1 ");
    if (!f.numero.isEmpty()) {
        s.sql += QStringLiteral("and UCase(a.NumCertif) like :NumCert") + SelectionSql::Escape;
        s.params.insert(QStringLiteral("NumCert"), SelectionSql::contains(f.numero.toUpper()));
    }
    if (!f.nomClasseCertif.isEmpty()) {
        s.sql += QStringLiteral("and b.NomClasseCertif = :NomeClasseCert ");
        s.params.insert(QStringLiteral("NomeClasseCert"), f.nomClasseCertif);
    }
    if (!f.nomClasseProd.isEmpty()) {
        s.sql += QStringLiteral("and c.NomClasseProd = :NomeClasseProd ");
        s.params.insert(QStringLiteral("NomeClasseProd"), f.nomClasseProd);
    }
    if (f.hasCompany()) {
        s.sql += QStringLiteral("and exists (select * from Emp_Cert EC where EC.NumCertif = a.NumCertif and "
                                "EC.SiglaCertificador = a.SiglaCertificador and EC.CodigoPais = :Cod_Pais and "
                                "EC.IdEmpresa = :Id_Emp) ");
        s.params.insert(QStringLiteral("Cod_Pais"), f.codigoPais);
        s.params.insert(QStringLiteral("Id_Emp"), f.idEmpresa);
    }
    if (f.hasProduct()) {
        s.sql += anyProductItem(QStringLiteral("X.MarcaProd = :Marca and X.ModeloProd = :Modelo and "
                                               "X.Importado = :Importado"));
        s.params.insert(QStringLiteral("Marca"), f.marcaProd);
        s.params.insert(QStringLiteral("Modelo"), f.modeloProd);
        s.params.insert(QStringLiteral("Importado"), f.importadoProd);
    }
    if (!f.nomClasseServ.isEmpty()) {
        s.sql += QStringLiteral("and exists (select * from servico as S, Classe_s CS "
                                "where S.IdClasseServ = CS.IdClasseServ and CS.NomClasseServ = :Nom_Class and "
                                "S.SiglaCertificador = a.siglacertificador and S.Numcertif = a.numcertif) ");
        s.params.insert(QStringLiteral("Nom_Class"), f.nomClasseServ);
    }
    if (!f.hasProduct() && f.importado != CertificateFilter::Origin::Todos) {
        s.sql += anyProductItem(QStringLiteral("X.Importado = :Origem"));
        s.params.insert(QStringLiteral("Origem"), f.importado == CertificateFilter::Origin::Sim ? 1 : 0);
    }
    s.orderBy = orderClause(order);
    return s;
}

}
