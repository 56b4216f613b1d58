#include "widgets/selectiongrid.h"

#include "maintenance/selectionsql.h"

#include <QHeaderView>
#include <QKeyEvent>

SelectionGrid::SelectionGrid(const QString &objectName, const QList<SelectionListModel::Column> &columns,
                             QWidget *parent)
    : QTableView(parent),
      m_model(new SelectionListModel(this))
{
    setObjectName(objectName);
    m_model->setColumns(columns);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &SelectionGrid::titleClicked);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit rowChosen();
    });
}

void SelectionGrid::open(Database &db, const SelectionSql::Statement &statement)
{
    m_model->open(db, statement.sql, statement.orderBy, statement.params);
    if (m_model->rowCount() > 0)
        setCurrentIndex(m_model->index(0, 0));
}

void SelectionGrid::close()
{
    m_model->close();
}

int SelectionGrid::currentRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() && i.row() < m_model->rowCount() ? i.row() : -1;
}

void SelectionGrid::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        emit rowChosen();
        return;
    }
    QTableView::keyPressEvent(event);
}
