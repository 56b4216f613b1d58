#include "maintenance/companies/certifiedcompanyselection.h"

#include "maintenance/selectionlistmodel.h"

namespace CertifiedCompanySelection {

SelectionSql::Statement statement(const SelectedCertificate &certificate, const Filter &f)
{
    SelectionSql::Statement s;
    s.sql = QStringLiteral("SELECT EC.IDEMPRESA, EC.CODIGOPAIS, E.CGC, E.RAZSOCIALEMP, E.NOMFANTASIA, P.NOMEPAIS "
                           "FROM EMP_CERT EC, EMPRESA E, PAIS P "
                           "WHERE EC.SIGLACERTIFICADOR = :PSIGLACERTIFICADOR AND EC.NUMCERTIF = :PNUMCERTIF "
                           "AND EC.CODIGOPAIS = E.CODIGOPAIS AND EC.IDEMPRESA = E.IDEMPRESA "
                           "AND E.TIPOPESSOA = '1' AND EC.CODIGOPAIS = P.CODIGOPAIS ");
    s.params.insert(QStringLiteral("PSIGLACERTIFICADOR"), certificate.siglaCertificador);
    s.params.insert(QStringLiteral("PNUMCERTIF"), certificate.numCertif);
    if (!f.country.isEmpty()) {
        s.sql += QStringLiteral("AND EC.CODIGOPAIS = :pCodigoPais ");
        s.params.insert(QStringLiteral("pCodigoPais"), f.country);
    }
    if (!f.cnpj.isEmpty()) {
        s.sql += QStringLiteral("AND E.CGC = :pCGC ");
        s.params.insert(QStringLiteral("pCGC"), f.cnpj);
    }
    if (!f.tradeName.isEmpty()) {
        s.sql += QStringLiteral("AND UCASE(E.NOMFANTASIA) LIKE :pNomFantasia") + SelectionSql::Escape;
        s.params.insert(QStringLiteral("pNomFantasia"), SelectionSql::contains(f.tradeName.toUpper()));
    }
    if (!f.legalName.isEmpty()) {
        s.sql += QStringLiteral("AND UCASE(E.RAZSOCIALEMP) LIKE :pRazSocialEmp") + SelectionSql::Escape;
        s.params.insert(QStringLiteral("pRazSocialEmp"), SelectionSql::contains(f.legalName.toUpper()));
    }
    s.orderBy = QStringLiteral("ORDER BY P.NOMEPAIS, E.RAZSOCIALEMP");
    return s;
}

CompanyKey rowOf(const SelectionListModel &m, int row)
{
    return {m.value(row, QStringLiteral("CODIGOPAIS")).toString(),
            m.value(row, QStringLiteral("IDEMPRESA")).toString()};
}

}
