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

    // Handlers, named after their controls.
    void btnIncluirClick();
    void btnEditarClick();
    void btnExcluirClick();
    void btnAplicarClick();
    void btnCancelarClick();
    void btnSaidaClick();

signals:
    void leave();

private:
    void requery(int id);
    void startEditing(Signatories::Action action);
    void setEditing(bool editing);

    MaintenanceContext &m_ctx;
    std::optional<Signatories::Action> m_action;
    int m_id = 0;

    SelectionGrid *DBGridSignatarios = nullptr;
    QGroupBox *GroupEdicao = nullptr;
    QLineEdit *edtSignatario = nullptr;
    QRadioButton *RbDefaultSim = nullptr;
    QRadioButton *RbDefaultNao = nullptr;
    QPushButton *btnIncluir = nullptr;
    QPushButton *btnEditar = nullptr;
    QPushButton *btnExcluir = nullptr;
    QPushButton *btnAplicar = nullptr;
    QPushButton *btnCancelar = nullptr;
    QPushButton *btnSaida = nullptr;
};
