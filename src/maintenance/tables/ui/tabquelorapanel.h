#pragma once
#include "maintenance/tables/queloratables.h"
#include "maintenance/ui/maintenancecontext.h"

#include <QList>
#include <QWidget>

class QTabWidget;
class SelectionGrid;

// Panel "TabQuelora": the regulator's tables, read-only, one tab each; a
// click on a column title orders that grid by the column.
class TabQueloraPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TabQueloraPanel(MaintenanceContext &context, QWidget *parent = nullptr);

    // Opens the five grids in their base order and shows the first tab.
    void entered();
    void titleClicked(int tab, int column);
    SelectionGrid *grid(QueloraTables::Tab tab) const;

    void leavePanel();

signals:
    void leave();

private:
    MaintenanceContext &m_ctx;
    QTabWidget *tabWidget = nullptr;
    QList<SelectionGrid *> m_grids;
    QList<QueloraTables::Sorting> m_sorting;
};
