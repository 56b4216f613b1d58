#include "maintenance/products/typequeries.h"

#include "db/database.h"
#include "maintenance/maintenancedates.h"
#include "maintenance/products/itemstore.h"

#include <QSqlQuery>
#include <QSqlRecord>

SelectionSql::Statement TypeQueries::listStatement(const CertificateKey &certificate)
{
    SelectionSql::Statement s;
    s.sql = QStringLiteral(
        "SELECT T.NUMCERTIF, T.MARCAPROD, T.MODELOPROD,  T.IMPORTADO, "
        "P.CODEANUPC, P.DESCRPROD, T.DthEntCertif "
        "FROM TIPO T left JOIN PRODUTO P "
        " ON T.MARCAPROD = P.MARCAPROD AND   T.MODELOPROD = P.MODELOPROD AND T.IMPORTADO = P.IMPORTADO"
        " WHERE T.SIGLACERTIFICADOR = :PSIGLACERTIFICADOR "
        "AND T.NUMCERTIF = :PNUMCERTIF");
    s.orderBy = QStringLiteral("ORDER BY T.MARCAPROD, T.MODELOPROD, T.IMPORTADO");
    s.params = {{QStringLiteral("PSIGLACERTIFICADOR"), certificate.sigla},
                {QStringLiteral("PNUMCERTIF"), certificate.numero}};
    return s;
}

QSqlQuery TypeQueries::typeRow(const CertificateKey &certificate, const QString &marca, const QString &modelo,
                               int importado) const
{
    // The brand is matched whole: a pattern would also find the same model of
    // another brand that contains this one.
    return m_db.exec(QStringLiteral("SELECT * FROM TIPO "
                                    "WHERE  SIGLACERTIFICADOR = :SIGLACERTIFICADOR "
                                    "AND  NUMCERTIF = :NUMCERTIF "
                                    "AND  MARCAPROD = :MARCAPROD "
                                    "AND  MODELOPROD = :MODELOPROD "
                                    "AND  IMPORTADO = :IMPORTADO"),
                     QVariantMap{{QStringLiteral("SIGLACERTIFICADOR"), certificate.sigla},
                                 {QStringLiteral("NUMCERTIF"), certificate.numero},
                                 {QStringLiteral("MARCAPROD"), marca},
                                 {QStringLiteral("MODELOPROD"), modelo},
                                 {QStringLiteral("IMPORTADO"), importado}});
}

std::optional<CertificateItem> TypeQueries::find(const CertificateKey &certificate, const QString &marca,
                                                 const QString &modelo, int importado) const
{
    QSqlQuery q = typeRow(certificate, marca, modelo, importado);
    if (!q.next())
        return std::nullopt;
    CertificateItem item = ItemStore::fromRecord(ItemKind::Tipo, q.record());
    item.companyName = linkedCompanyName(item.codigoPais, item.idEmpresa);
    QSqlQuery p = m_db.exec(QStringLiteral("SELECT CodEANUPC, DescrProd FROM PRODUTO WHERE MarcaProd = ? AND "
                                           "ModeloProd = ? AND Importado = ?"),
                            {item.marcaProd, item.modeloProd, item.importado});
    if (p.next()) {
        item.codEanUpc = p.value(0).toString();
        item.descrProd = p.value(1).toString();
    }
    return item;
}

QString TypeQueries::linkedCompanyName(const QString &codigoPais, const QString &idEmpresa) const
{
    if (codigoPais.isEmpty() || idEmpresa.isEmpty())
        return {};
    return m_db
        .scalar(QStringLiteral("Select IIF(e.TipoPessoa = '2', e.NomPessoaFisica, "
                               "IIF(\"ISNULL\"(e.RazSocialEmp),'-',e.RazSocialEmp)) As NomeEmpresa "
                               "from empresa e where e.CodigoPais = ? and e.IdEmpresa = ?"),
                {codigoPais, idEmpresa})
        .toString();
}

bool TypeQueries::exists(const CertificateItem &type) const
{
    return typeRow(type.certificate(), type.marcaProd, type.modeloProd, type.importado).next();
}

QString TypeQueries::duplicateMessage(const CertificateItem &type)
{
    return QStringLiteral("O Produto ") + type.marcaProd + QLatin1Char(' ') + type.modeloProd +
        QStringLiteral(" já existe.");
}

QString TypeQueries::entryDateProblem(const QString &text, const QDateTime &issue, const QDate &today)
{
    MaintenanceDates::DayMessages messages = MaintenanceDates::entryDateMessages();
    messages.blank = EntradaEmBranco;
    return MaintenanceDates::dayProblem(text, issue, today, messages);
}
