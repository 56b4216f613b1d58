#include "maintenance/tables/ui/tablepanelparts.h"

#include "widgets/selectiongrid.h"

#include <QLabel>

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
