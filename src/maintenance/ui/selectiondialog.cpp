#include "maintenance/ui/selectiondialog.h"

#include "base/messenger.h"
#include "maintenance/selectionsql.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"
#include "widgets/spreadsheetexport.h"
#include "widgets/waitcursor.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using SelectionParts::button;

SelectionDialog::SelectionDialog(Database &db, Messenger &messenger, const Layout &layout, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger),
      m_layout(layout)
{
    setObjectName(layout.objectName);
    setWindowTitle(layout.title);
    setModal(true);
    m_filterBox = new QGroupBox(QStringLiteral("Filtro"), this);
    m_filterBox->setObjectName(QStringLiteral("GbFiltro"));
}

void SelectionDialog::finish(QLayout *fields, const QList<QWidget *> &besideFilter, const QList<QWidget *> &enterFields)
{
    auto *filtra = button(m_filterBox, QStringLiteral("BtFiltra"), m_layout.filterText);
    QPushButton *clear = nullptr;
    if (m_layout.clearFilter) {
        clear = button(m_filterBox, m_layout.clearFilter->name, m_layout.clearFilter->text);
        connect(clear, &QPushButton::clicked, this, guarded(m_msg, [this] { clearFilter(); }));
    }
    auto *filterLayout = new QVBoxLayout(m_filterBox);
    filterLayout->addLayout(fields);
    filterLayout->addLayout(SelectionParts::spreadRow(besideFilter, {filtra, clear}));

    const Grid &g = m_layout.grid;
    m_grid = new SelectionGrid(g.name, g.columns, this);
    m_grid->setAccessibleName(g.accessibleName);
    if (!g.exportName.isEmpty())
        SpreadsheetExport::attach(m_grid, m_msg, g.exportName);
    m_grid->setMinimumHeight(g.minimumHeight);
    for (int c = 0; c < g.widths.size(); ++c)
        m_grid->horizontalHeader()->resizeSection(c, g.widths.at(c));

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("LbQuantidade"));
    auto *countCaption = new QLabel(m_layout.countCaption, this);
    countCaption->setObjectName(QStringLiteral("LbQuantidadeTitulo"));
    if (m_layout.includeNew)
        m_include = button(this, m_layout.includeNew->name, m_layout.includeNew->text);
    auto *ok = button(this, QStringLiteral("BtOk"), QStringLiteral("Ok"));
    ok->setDefault(true);
    auto *cancel = button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_filterBox);
    layout->addWidget(m_grid, 1);
    layout->addLayout(SelectionParts::spreadRow({countCaption, m_count}, {m_include, ok, cancel}));
    resize(m_layout.size);

    connect(filtra, &QPushButton::clicked, this, guarded(m_msg, [this] { applyFilter(); }));
    for (QWidget *field : enterFields)
        SelectionParts::filterOnEnter(field, guarded(m_msg, [this] { applyFilter(); }));
    if (m_include)
        connect(m_include, &QPushButton::clicked, this, guarded(m_msg, [this] { includeNew(); }));
    connect(ok, &QPushButton::clicked, this, guarded(m_msg, [this] { chooseCurrent(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &SelectionGrid::rowChosen, this, guarded(m_msg, [this] { chooseCurrent(); }));
    connect(m_grid, &SelectionGrid::titleClicked, this, [this](int column) { guard(m_msg, [&] { orderBy(column); }); });
}

QList<QLabel *> SelectionDialog::finishForm(const QList<FilterRow> &rows, const QList<QWidget *> &enterFields)
{
    auto *form = new QFormLayout;
    QList<QLabel *> captions;
    for (const FilterRow &row : rows) {
        captions.append(SelectionParts::labelFor(m_filterBox, row.caption, row.field));
        form->addRow(captions.last(), row.field);
    }
    finish(form, {}, enterFields);
    return captions;
}

QComboBox *SelectionDialog::countryFilter()
{
    auto *c = new QComboBox(m_filterBox);
    c->setObjectName(QStringLiteral("CbPais"));
    c->setMinimumContentsLength(20);
    return c;
}

void SelectionDialog::fillCountries(QComboBox *list)
{
    SelectionParts::fillList(list, SelectionSql::countries(m_db));
}

void SelectionDialog::orderBy(int)
{ }

void SelectionDialog::clearFilter()
{ }

void SelectionDialog::includeNew()
{ }

void SelectionDialog::run(const SelectionSql::Statement &statement)
{
    WaitCursor wait;
    try {
        m_grid->open(m_db, statement);
    } catch (...) {
        m_grid->close();
        showCount();
        throw;
    }
    showCount();
}

void SelectionDialog::takeIncluded(const std::optional<SelectionSql::Statement> &only, const QString &nothingNew,
                                   const SelectionSql::Statement &list)
{
    if (!only) {
        m_msg.plain(nothingNew, QStringLiteral("Aviso"));
        // A refused inclusion rolls back, which ends the reading of the list.
        run(list);
        return;
    }
    run(*only);
    chooseCurrent();
}

void SelectionDialog::showCount()
{
    m_count->setText(QString::number(m_grid->list()->found()));
}
