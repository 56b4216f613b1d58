#pragma once
#include "maintenance/tables/signatories.h"
#include "maintenance/ui/maintenancecontext.h"

#include <QWidget>
#include <optional>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SelectionGrid;

// Panel "Signatarios": the signatories offered on a new certificate, the
// default one first.
class SignatariosPanel : public QWidget
{
    Q_OBJECT
public:
    explicit SignatariosPanel(MaintenanceContext &context, QWidget *parent = nullptr);

    bool isEditing() const { return m_action.has_value(); }

    // The panel was entered: the list is read again.
    void entered();

    // What the controls do.
    void includeNew();
    void editCurrent();
    void deleteCurrent();
    void applyEdit();
    void cancelEdit();
    void leavePanel();

signals:
    void leave();

private:
    void requery(int id);
    void startEditing(Signatories::Action action);
    void setEditing(bool editing);

    MaintenanceContext &m_ctx;
    std::optional<Signatories::Action> m_action;
    int m_id = 0;

    SelectionGrid *signatoryGrid = nullptr;
    QGroupBox *editBox = nullptr;
    QLineEdit *nameField = nullptr;
    QRadioButton *defaultYes = nullptr;
    QRadioButton *defaultNo = nullptr;
    QPushButton *includeButton = nullptr;
    QPushButton *editButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *applyButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *exitButton = nullptr;
};
