#pragma once
#include "maintenance/selectionlistmodel.h"
#include "maintenance/ui/maintenancecontext.h"

#include <QWidget>
#include <optional>

class QGroupBox;
class QLabel;
class QLayout;
class QPushButton;
class SelectionGrid;
namespace SelectionSql {
struct Statement;
}

// A table of the register browsed in a grid, with a detail group edited on
// inclusion and edit. The panel keeps the browse/edit states and the grid;
// a table says what it lists and how a row is shown, typed and stored.
class TablePanel : public QWidget
{
    Q_OBJECT
public:
    struct Layout
    {
        QString title; // of the group around the grid
        QString subject; // "Empresa": GroupTabEmpresa, DBGridEmpresa, btnIncluirEmpresa...
        QList<SelectionListModel::Column> columns;
        QString exportName;
        QList<int> widths; // of the leading columns
        QString detailTitle;
    };

    bool isEditing() const { return m_editing; }

    // The panel was entered: the table is opened on its first row.
    void entered();

    void includeNew();
    void editCurrent();
    void deleteCurrent();
    void saveEdit();
    void cancelEdit();
    void search();
    void exit();

signals:
    void leave();

protected:
    TablePanel(MaintenanceContext &context, const Layout &layout, QWidget *parent);

    QGroupBox *detailBox() const { return m_detail; }
    SelectionGrid *grid() const { return m_grid; }
    // Completes the detail group under `fields` with "Ok" and "Cancela".
    void finish(QLayout *fields);
    // Back to browsing, the row at `row` current (the first when -1).
    void reopen(int row);
    void setBrowsing();
    void setEditState();

    // What the grid lists.
    virtual SelectionSql::Statement listStatement() const = 0;
    // Lists the detail fields choose from, read again on entering.
    virtual void loadLists() { }
    // The current row in the fields, or blank fields when there is none.
    virtual void showRecord() = 0;
    virtual void clearFields() = 0;
    // The fields of a new record; answers the field to start on.
    virtual QWidget *startInclusion() = 0;
    // The current record's fields with what it may not change locked;
    // answers the field to start on, or nothing when there is no record.
    virtual QWidget *startEdit() = 0;
    // Stores what was typed; the row of the stored record in the list, or
    // nothing when refused.
    virtual std::optional<int> store() = 0;
    // Deletes the current record; false when there is none or it was kept.
    virtual bool removeCurrent() = 0;
    // The row of the record "&Pesquisar" picks; nothing when none was picked.
    virtual std::optional<int> searchRow() = 0;
    // Field states beyond the frame's when browsing and editing.
    virtual void browsingFields() { }
    virtual void editingFields() { }

    MaintenanceContext &m_ctx;

private:
    void showCurrent();

    bool m_editing = false;
    SelectionGrid *m_grid = nullptr;
    QGroupBox *m_detail = nullptr;
    QString m_subject;
    QPushButton *m_include = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_search = nullptr;
    QPushButton *m_exit = nullptr;
};

// Pieces the table panels share with the other register panels.
namespace TablePanelParts {

// Makes row `row` of the grid's lazy list current, fetching up to it.
void showRow(SelectionGrid *grid, int row);
// A label drawn maroon while its field is locked because certificates use the row.
void markLocked(QLabel *label, bool locked);

}
