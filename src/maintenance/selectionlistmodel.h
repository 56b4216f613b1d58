#pragma once
#include "db/lazyquerymodel.h"

#include <QList>
#include <QVariantMap>

class Database;

// The list of a selection dialog: the rows of a bound statement, fetched a
// screenful at a time as the view scrolls (never the whole result at once),
// shown through a few display columns. The number of rows found is counted
// by the engine, so it is known without reading them.
class SelectionListModel : public LazyQueryModel
{
    Q_OBJECT
public:
    enum class Format {
        Text,
        Date, // dd/mm/yyyy
        YesNo, // 1 "Sim", anything else "Não"
        TaxId, // masked CNPJ, or CPF display when the person column says "2"
        Cnpj, // masked CNPJ
        Name, // legal name, or the person's name when the person column says "2"
    };
    struct Column
    {
        QString title;
        QString field; // column of the statement shown here
        Format format = Format::Text;
        QString personField = {}; // TipoPessoa, for TaxId and Name
        QString altField = {}; // CPF or NomPessoaFisica, for TaxId and Name
    };

    explicit SelectionListModel(QObject *parent = nullptr);

    void setColumns(const QList<Column> &columns);
    const QList<Column> &columns() const { return m_columns; }

    // Counts and opens `sql` (without its ordering) followed by `orderBy`.
    // Raises DbError; the list is left empty then.
    void open(Database &db, const QString &sql, const QString &orderBy, const QVariantMap &params);
    // Empties the list; the count becomes 0.
    void close();
    bool isOpen() const { return m_open; }
    // Rows that the statement gives, fetched or not.
    int found() const { return m_found; }
    // A statement column of a row (fetched on demand).
    QVariant value(int row, const QString &field) const;

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // dd/mm/yyyy of a stored moment; empty for a null one.
    static QString displayDate(const QVariant &value);

private:
    int sourceColumn(const QString &field) const;
    QVariant raw(int row, const QString &field) const;

    QList<Column> m_columns;
    bool m_open = false;
    int m_found = 0;
};
