#pragma once
#include "maintenance/selectionlistmodel.h"

#include <QTableView>
#include <functional>

class Database;
namespace SelectionSql {
struct Statement;
}

// The grid of a selection dialog over its lazy list: whole rows, read-only,
// a column title click asks for a new ordering, a double click or Enter
// chooses the current row.
class SelectionGrid : public QTableView
{
    Q_OBJECT
public:
    SelectionGrid(const QString &objectName, const QList<SelectionListModel::Column> &columns, QWidget *parent);

    SelectionListModel *list() const { return m_model; }
    // Opens the statement and makes its first row current. Raises DbError.
    void open(Database &db, const SelectionSql::Statement &statement);
    void close();
    // The current row, or -1 when the list is empty.
    int currentRow() const;

signals:
    void titleClicked(int column);
    void rowChosen();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    SelectionListModel *m_model;
};
