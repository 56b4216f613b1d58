#include "maintenance/tables/ui/tablepanel.h"

#include "maintenance/selectionsql.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"
#include "widgets/spreadsheetexport.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using SelectionParts::button;

TablePanel::TablePanel(MaintenanceContext &context, const Layout &layout, QWidget *parent)
    : QWidget(parent),
      m_ctx(context),
      m_subject(layout.subject)
{
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(layout.title, this);
    group->setObjectName(QStringLiteral("GroupTab") + m_subject);
    outer->addWidget(group);
    auto *inner = new QVBoxLayout(group);

    m_grid = new SelectionGrid(QStringLiteral("DBGrid") + m_subject, layout.columns, group);
    m_grid->setAccessibleName(group->title());
    SpreadsheetExport::attach(m_grid, m_ctx.messenger, layout.exportName);
    for (int c = 0; c < layout.widths.size(); ++c)
        m_grid->setColumnWidth(c, layout.widths.at(c));
    inner->addWidget(m_grid, 1);

    m_include = button(group, QStringLiteral("btnIncluir") + m_subject, QStringLiteral("&Incluir"));
    m_edit = button(group, QStringLiteral("btnEditar") + m_subject, QStringLiteral("&Editar"));
    m_delete = button(group, QStringLiteral("btnExcluir") + m_subject, QStringLiteral("E&xcluir "));
    m_search = button(group, QStringLiteral("btnPesquisar") + m_subject, QStringLiteral("&Pesquisar"));
    m_exit = button(group, QStringLiteral("btnSaida") + m_subject, QStringLiteral("&Saída"));
    inner->addLayout(SelectionParts::spreadRow({m_include, m_edit, m_delete, m_search}, {m_exit}));

    m_detail = new QGroupBox(layout.detailTitle, group);
    m_detail->setObjectName(QStringLiteral("GroupDetalhe") + m_subject);
    inner->addWidget(m_detail);
}

void TablePanel::finish(QLayout *fields)
{
    auto *detail = new QVBoxLayout(m_detail);
    detail->addLayout(fields);
    auto *ok = button(m_detail, QStringLiteral("btnOk") + m_subject, QStringLiteral("Ok"));
    auto *cancel = button(m_detail, QStringLiteral("btnCancela") + m_subject, QStringLiteral("Cancela"));
    detail->addLayout(SelectionParts::spreadRow({}, {ok, cancel}));

    Messenger &msg = m_ctx.messenger;
    connect(m_include, &QPushButton::clicked, this, guarded(msg, [this] { includeNew(); }));
    connect(m_edit, &QPushButton::clicked, this, guarded(msg, [this] { editCurrent(); }));
    connect(m_delete, &QPushButton::clicked, this, guarded(msg, [this] { deleteCurrent(); }));
    connect(ok, &QPushButton::clicked, this, guarded(msg, [this] { saveEdit(); }));
    connect(cancel, &QPushButton::clicked, this, guarded(msg, [this] { cancelEdit(); }));
    connect(m_search, &QPushButton::clicked, this, guarded(msg, [this] { search(); }));
    connect(m_exit, &QPushButton::clicked, this, guarded(msg, [this] { exit(); }));
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &msg] { guard(msg, [this] { showCurrent(); }); });
}

void TablePanel::entered()
{
    loadLists();
    reopen(-1);
    setBrowsing();
}

void TablePanel::reopen(int row)
{
    m_editing = false;
    m_grid->open(m_ctx.db, listStatement());
    TablePanelParts::showRow(m_grid, row);
    showCurrent();
}

void TablePanel::showCurrent()
{
    if (m_editing)
        return;
    showRecord();
    setBrowsing();
}

void TablePanel::setBrowsing()
{
    m_editing = false;
    const bool rows = m_grid->currentRow() >= 0;
    m_grid->setEnabled(true);
    m_include->setEnabled(true);
    m_exit->setEnabled(true);
    m_edit->setEnabled(rows);
    m_delete->setEnabled(rows);
    m_search->setEnabled(rows);
    m_detail->setEnabled(false);
    browsingFields();
}

void TablePanel::setEditState()
{
    m_editing = true;
    m_grid->setEnabled(false);
    for (QPushButton *b : {m_include, m_edit, m_delete, m_search, m_exit})
        b->setEnabled(false);
    m_detail->setEnabled(true);
    editingFields();
}

void TablePanel::includeNew()
{
    QWidget *first = startInclusion();
    setEditState();
    first->setFocus();
}

void TablePanel::editCurrent()
{
    QWidget *first = startEdit();
    if (!first)
        return;
    setEditState();
    first->setFocus();
}

void TablePanel::saveEdit()
{
    const std::optional<int> row = store();
    if (!row)
        return;
    reopen(*row);
}

void TablePanel::cancelEdit()
{
    m_editing = false;
    showCurrent();
}

void TablePanel::deleteCurrent()
{
    const int row = m_grid->currentRow();
    if (!removeCurrent())
        return;
    m_grid->open(m_ctx.db, listStatement());
    TablePanelParts::showRow(m_grid, qMin(row, m_grid->list()->found() - 1));
    showCurrent();
}

void TablePanel::search()
{
    const std::optional<int> row = searchRow();
    if (!row)
        return;
    TablePanelParts::showRow(m_grid, *row);
    showCurrent();
}

void TablePanel::exit()
{
    m_grid->close();
    clearFields();
    setBrowsing();
    emit leave();
}

namespace TablePanelParts {

void showRow(SelectionGrid *grid, int row)
{
    SelectionListModel *list = grid->list();
    if (row < 0) {
        if (list->rowCount() > 0)
            grid->setCurrentIndex(list->index(0, 0));
        return;
    }
    while (list->rowCount() <= row && list->canFetchMore())
        list->fetchMore();
    if (row < list->rowCount()) {
        const QModelIndex index = list->index(row, 0);
        grid->setCurrentIndex(index);
        grid->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
}

void markLocked(QLabel *label, bool locked)
{
    label->setStyleSheet(locked ? QStringLiteral("color: maroon;") : QString());
}

}
