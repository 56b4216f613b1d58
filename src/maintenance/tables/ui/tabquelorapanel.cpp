#include "maintenance/tables/ui/tabquelorapanel.h"

#include "base/messenger.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TabQueloraPanel::TabQueloraPanel(MaintenanceContext &context, QWidget *parent)
    : QWidget(parent),
      m_ctx(context)
{
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Tabelas QUELORA"), this);
    group->setObjectName(QStringLiteral("GroupTabQuelora"));
    outer->addWidget(group);
    auto *layout = new QVBoxLayout(group);
    tabWidget = new QTabWidget(group);
    tabWidget->setObjectName(QStringLiteral("PControlTabQuelora"));
    layout->addWidget(tabWidget, 1);

    Messenger &msg = m_ctx.messenger;
    for (const QueloraTables::TabDefinition &d : QueloraTables::tabs()) {
        QList<SelectionListModel::Column> columns;
        for (int i = 0; i < d.titles.size(); ++i)
            columns << SelectionListModel::Column{d.titles.at(i), d.fields.at(i)};
        auto *grid = new SelectionGrid(d.objectName, columns, tabWidget);
        grid->setAccessibleName(d.title);
        grid->horizontalHeader()->setSortIndicatorShown(true);
        const int tab = int(m_grids.size());
        for (int c = 0; c + 1 < d.titles.size(); ++c)
            grid->setColumnWidth(c, c == 0 ? 110 : 300);
        connect(grid, &SelectionGrid::titleClicked, this,
                [this, tab, &msg](int column) { guard(msg, [&] { titleClicked(tab, column); }); });
        tabWidget->addTab(grid, d.title);
        m_grids << grid;
        m_sorting << QueloraTables::Sorting();
    }

    auto *btnSaida = DialogParts::button(group, QStringLiteral("btnSaidaQuelora"), QStringLiteral("&Saída"));
    layout->addLayout(SelectionParts::spreadRow({}, {btnSaida}));
    connect(btnSaida, &QPushButton::clicked, this, guarded(msg, [this] { leavePanel(); }));
}

SelectionGrid *TabQueloraPanel::grid(QueloraTables::Tab tab) const
{
    for (int i = 0; i < QueloraTables::tabs().size(); ++i)
        if (QueloraTables::tabs().at(i).tab == tab)
            return m_grids.value(i);
    return nullptr;
}

void TabQueloraPanel::entered()
{
    for (int i = 0; i < m_grids.size(); ++i) {
        m_sorting[i] = QueloraTables::Sorting();
        m_grids[i]->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        m_grids[i]->open(m_ctx.db, QueloraTables::statement(QueloraTables::tabs().at(i).tab));
    }
    tabWidget->setCurrentIndex(0);
}

void TabQueloraPanel::titleClicked(int tab, int column)
{
    if (tab < 0 || tab >= m_grids.size())
        return;
    m_sorting[tab] = m_sorting[tab].clicked(column);
    const QueloraTables::Sorting &s = m_sorting[tab];
    m_grids[tab]->open(m_ctx.db, QueloraTables::statement(QueloraTables::tabs().at(tab).tab, s));
    m_grids[tab]->horizontalHeader()->setSortIndicator(column, s.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TabQueloraPanel::leavePanel()
{
    for (SelectionGrid *g : m_grids)
        g->close();
    emit leave();
}
