#include "maintenance/certificates/certificatecontents.h"

#include "db/database.h"

#include <QSqlQuery>

namespace CertificateContents {

namespace {

QVariantMap keyParams(const CertificateKey &key)
{
    return {{"sigla", key.sigla}, {"num", key.numero}};
}

}

Heading heading(const Database &db, const CertificateKey &key)
{
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT C.SiglaCertificador, C.NumCertif, CL.NomClasseCertif, P.NomClasseProd "
                       "FROM CERTIFIC C LEFT JOIN CLASSE_C CL ON CL.IdClasseCertif = C.IdClasseCertif "
                       "LEFT JOIN CLASSE_P P ON P.IdClasseProd = C.IdClasseProd "
                       "WHERE C.SiglaCertificador = ? AND C.NumCertif = ?"),
        {key.sigla, key.numero});
    Heading h;
    if (!q.next())
        return h;
    h.found = true;
    h.key = {q.value(0).toString(), q.value(1).toString()};
    h.classeCertificado = q.value(2).toString();
    h.classeProdutos = q.value(3).toString();
    return h;
}

SelectionSql::Statement companies(const CertificateKey &key)
{
    return {QStringLiteral("SELECT PA.NomePais, E.CGC, E.CPF, E.TipoPessoa, E.RazSocialEmp, E.NomPessoaFisica, "
                           "E.NomFantasia, PE.PapelEmp, EC.CodigoPais, EC.IdEmpresa "
                           "FROM EMP_CERT EC LEFT JOIN EMPRESA E ON E.CodigoPais = EC.CodigoPais "
                           "AND E.IdEmpresa = EC.IdEmpresa "
                           "LEFT JOIN PAIS PA ON PA.CodigoPais = EC.CodigoPais "
                           "LEFT JOIN PAPEL_EMP PE ON PE.IdPapelEmp = EC.IdPapelEmp "
                           "WHERE EC.SiglaCertificador = :sigla AND EC.NumCertif = :num"),
            QStringLiteral("ORDER BY EC.CodigoPais, EC.IdEmpresa"), keyParams(key)};
}

SelectionSql::Statement products(const CertificateKey &key)
{
    // qryTodosProdutos: each kind of product item joined with its product.
    const QString part = QStringLiteral("select a.SiglaCertificador, a.NumCertif, a.MarcaProd, a.ModeloProd, "
                                        "a.Importado, b.CodEANUPC, %1 as Numero from %2 a, produto b "
                                        "where a.MarcaProd = b.MarcaProd and a.ModeloProd = b.ModeloProd "
                                        "and a.Importado = b.Importado "
                                        "and a.SiglaCertificador = :sigla and a.NumCertif = :num");
    return {QStringLiteral("SELECT * FROM (") + part.arg(QStringLiteral("''"), QStringLiteral("tipo")) +
                QStringLiteral(" union ") + part.arg(QStringLiteral("a.NumSerieProd"), QStringLiteral("unidade")) +
                QStringLiteral(" union ") + part.arg(QStringLiteral("a.NumLote"), QStringLiteral("lote")) +
                QStringLiteral(") as produtos"),
            QStringLiteral("ORDER BY MarcaProd, ModeloProd, Importado, Numero"), keyParams(key)};
}

SelectionSql::Statement services(const CertificateKey &key)
{
    return {QStringLiteral("SELECT CS.NomClasseServ, CASE WHEN E.TipoPessoa = '2' THEN E.NomPessoaFisica "
                           "ELSE E.RazSocialEmp END AS NomeEmpresa, S.IdClasseServ, S.CodigoPais, S.IdEmpresa "
                           "FROM SERVICO S LEFT JOIN CLASSE_S CS ON CS.IdClasseServ = S.IdClasseServ "
                           "LEFT JOIN EMPRESA E ON E.CodigoPais = S.CodigoPais AND E.IdEmpresa = S.IdEmpresa "
                           "WHERE S.SiglaCertificador = :sigla AND S.NumCertif = :num"),
            QStringLiteral("ORDER BY CS.NomClasseServ"), keyParams(key)};
}

}
