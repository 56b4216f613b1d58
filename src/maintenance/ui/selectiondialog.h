#pragma once
#include "maintenance/selectionlistmodel.h"

#include <QDialog>
#include <QSize>
#include <optional>

class Database;
class Messenger;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QPushButton;
class SelectionGrid;
namespace SelectionSql {
struct Statement;
}

// The frame every selection dialog shares: a "Filtro" box holding the
// dialog's own fields and its "Filtra" button, the grid over the lazy list,
// the count of rows found, an optional button registering a new record, "Ok"
// and "Cancela". A dialog says what differs in a Layout, builds its fields
// in filterBox() and then calls finish() or finishForm().
class SelectionDialog : public QDialog
{
    Q_OBJECT
public:
    struct Button
    {
        QString name;
        QString text;
    };
    struct Grid
    {
        QString name;
        QList<SelectionListModel::Column> columns;
        QString accessibleName;
        QString exportName; // empty: no spreadsheet export
        int minimumHeight = 0;
        QList<int> widths; // of the leading columns
    };
    struct Layout
    {
        Layout(const QString &name, const QString &windowTitle, QSize windowSize)
            : objectName(name),
              title(windowTitle),
              size(windowSize)
        { }

        QString objectName;
        QString title;
        QSize size;
        QString filterText = QStringLiteral("Filtra");
        std::optional<Button> clearFilter; // beside "Filtra"
        Grid grid;
        QString countCaption;
        std::optional<Button> includeNew; // before "Ok"
    };

    // "Filtra": a new list from the filter fields.
    virtual void applyFilter() = 0;
    // "Ok", a double click or Enter on the grid: hands back the current row.
    virtual void chooseCurrent() = 0;
    // A column title clicked: the list ordered by it.
    virtual void orderBy(int column);
    virtual void clearFilter();
    virtual void includeNew();

protected:
    SelectionDialog(Database &db, Messenger &messenger, const Layout &layout, QWidget *parent);

    QGroupBox *filterBox() const { return m_filterBox; }
    SelectionGrid *grid() const { return m_grid; }
    QPushButton *includeButton() const { return m_include; }
    // Completes the window: `fields` above a row of `besideFilter` and the
    // filter buttons; Enter in any of `enterFields` filters.
    void finish(QLayout *fields, const QList<QWidget *> &besideFilter, const QList<QWidget *> &enterFields);
    // Opens the list and shows its count; a failure leaves it empty. Raises DbError.
    void run(const SelectionSql::Statement &statement);
    void showCount();
    // After an inclusion from the dialog: the new record alone in the list
    // (`only`), chosen at once; without one, `nothingNew` is said and `list`
    // is read again. Raises DbError.
    void takeIncluded(const std::optional<SelectionSql::Statement> &only, const QString &nothingNew,
                      const SelectionSql::Statement &list);

    // A field of the filter form, captioned by a label for it.
    struct FilterRow
    {
        QString caption;
        QWidget *field;
    };
    // finish() with the fields as a form of captioned rows; the captions, in
    // the order of `rows`.
    QList<QLabel *> finishForm(const QList<FilterRow> &rows, const QList<QWidget *> &enterFields);
    // "País" (CbPais), filled by fillCountries().
    QComboBox *countryFilter();
    // A blank entry and every country. Raises DbError.
    void fillCountries(QComboBox *list);

    // The dialog shown modally; what it chose, or nothing when cancelled.
    template <typename Dialog> static auto chosenBy(Dialog &dialog) -> decltype(dialog.chosen())
    {
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.chosen();
    }

    Database &m_db;
    Messenger &m_msg;

private:
    Layout m_layout;
    QGroupBox *m_filterBox = nullptr;
    SelectionGrid *m_grid = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_include = nullptr;
};
