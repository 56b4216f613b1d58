#include "maintenance/selectionlistmodel.h"
#include "base/moments.h"

#include "base/taxid.h"
#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/selectionresults.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

QString SelectedCompany::displayId() const
{
    return isNaturalPerson() ? TaxId::cpfDisplay(cpf) : TaxId::cnpjMask(cgc, true);
}

SelectionListModel::SelectionListModel(QObject *parent)
    : LazyQueryModel(parent)
{ }

void SelectionListModel::setColumns(const QList<Column> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void SelectionListModel::open(Database &db, const QString &sql, const QString &orderBy, const QVariantMap &params)
{
    close();
    QSqlQuery count = db.exec(QStringLiteral("select count(*) from (") + sql + QStringLiteral(") as linhas"), params);
    const int found = count.next() ? count.value(0).toInt() : 0;
    count.finish();

    openLazily(db, sql + QLatin1Char(' ') + orderBy, params);
    m_found = found;
    m_open = true;
}

void SelectionListModel::close()
{
    closeLazily();
    m_open = false;
    m_found = 0;
}

int SelectionListModel::sourceColumn(const QString &field) const
{
    return queryColumns().indexOf(field);
}

QVariant SelectionListModel::raw(int row, const QString &field) const
{
    const int col = sourceColumn(field);
    return col < 0 ? QVariant() : cell(row, col);
}

QVariant SelectionListModel::value(int row, const QString &field) const
{
    return raw(row, field);
}

int SelectionListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant SelectionListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const Column &c = m_columns.at(index.column());
    const int row = index.row();
    const QVariant v = raw(row, c.field);
    const bool person = !c.personField.isEmpty() && raw(row, c.personField).toString() == QLatin1String("2");
    switch (c.format) {
    case Format::Text: return v.toString();
    case Format::Date: return displayDate(v);
    case Format::YesNo: return v.toInt() == 1 ? QStringLiteral("Sim") : QStringLiteral("Não");
    case Format::TaxId:
        return person ? TaxId::cpfDisplay(raw(row, c.altField).toString()) : TaxId::cnpjMask(v.toString(), true);
    case Format::Cnpj: return TaxId::cnpjMask(v.toString(), true);
    case Format::Name: return person ? raw(row, c.altField).toString() : v.toString();
    }
    return {};
}

QVariant SelectionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns.at(section).title;
    if (orientation == Qt::Vertical)
        return {};
    return LazyQueryModel::headerData(section, orientation, role);
}

QString SelectionListModel::displayDate(const QVariant &value)
{
    if (value.isNull())
        return {};
    const QDateTime moment = Moments::fromValue(value);
    return moment.isValid() ? moment.toString(QStringLiteral("dd/MM/yyyy")) : value.toString();
}
