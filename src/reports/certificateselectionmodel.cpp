#include "reports/certificateselectionmodel.h"

#include "db/database.h"
#include "db/dberror.h"
#include "reports/certificateselection.h"
#include "reports/reportformat.h"

#include <QSqlError>
#include <QSqlQuery>

CertificateSelectionModel::CertificateSelectionModel(QObject *parent)
    : LazyQueryModel(parent)
{ }

void CertificateSelectionModel::select(Database &db, const CertificateFilter &filter)
{
    const CertificateSelection::Statement s = CertificateSelection::build(filter);
    const QString sql = QStringLiteral("select NumCertif, NomClasseCertif, NomClasseProd, DataEmissao, DataValid "
                                       "from (") +
        s.sql + QStringLiteral(") as selecao");
    openLazily(db, sql, s.params);
}

void CertificateSelectionModel::reset()
{
    closeLazily();
}

int CertificateSelectionModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 5;
}

QVariant CertificateSelectionModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {QStringLiteral("Número"), QStringLiteral("Classe do Certificado"),
                                       QStringLiteral("Classe de Produtos"), QStringLiteral("Emissão"),
                                       QStringLiteral("Validade")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles.size())
        return titles.at(section);
    return LazyQueryModel::headerData(section, orientation, role);
}

QVariant CertificateSelectionModel::data(const QModelIndex &index, int role) const
{
    const QVariant v = LazyQueryModel::data(index, role);
    if (role == Qt::DisplayRole && index.column() >= 3)
        return ReportFormat::date(v);
    return v;
}
