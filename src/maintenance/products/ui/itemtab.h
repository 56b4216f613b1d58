#pragma once
#include "maintenance/certificates/ui/certificatetab.h"
#include "maintenance/certificates/ui/statusgroup.h"
#include "maintenance/products/certificateitem.h"
#include "maintenance/products/itemservice.h"
#include "maintenance/selectionlistmodel.h"

class MaskedDateEdit;
class QFormLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class SelectionGrid;

// A tab of the certificate's products or services: a grid of the items,
// "&Incluir", "&Editar", "E&xcluir ", a detail group edited with the
// selection button, "Aplicar" and "Cancelar", and the status group. Browse
// state: the grid, the three item buttons and the status group work, the
// detail group is locked. Edit state: the reverse. Each kind of item gives
// its fields, its selection dialog and its control names.
class ItemTab : public CertificateTab
{
    Q_OBJECT
public:
    struct Names
    {
        QString tab;
        QString grid;
        QString incluir;
        QString editar;
        QString excluir;
        QString seleciona;
        QString selecionaText;
        QString aplicar;
        QString cancelar;
        QString detailTitle;
        QString entryDate;
        QString statusTitle;
        StatusGroup::Names status;
        // Refusal of leaving the tab with changes not applied; empty: none.
        QString leaveRefusal;
    };

    ItemTab(MaintenanceContext &context, ItemKind kind, const Names &names,
            const QList<SelectionListModel::Column> &columns, QWidget *parent = nullptr);

    void openCertificate(const OpenCertificate &certificate) override;
    void closeCertificate() override;
    QString leaveRefusal() const override;
    bool hasCurrentRow() const override { return m_current.has_value(); }
    std::optional<TabItem> currentItem() const override;
    // Shown again: what other tabs wrote (a company's status passed on to
    // its products) shows.
    void entered() override;

    ItemKind kind() const { return m_kind; }
    bool isEditing() const { return m_editing; }
    bool isInclusion() const { return m_editing && !m_old; }
    const std::optional<CertificateItem> &current() const { return m_current; }
    SelectionGrid *grid() const { return m_grid; }
    // Makes the item of the key current, when the grid holds it.
    bool locate(const CertificateItem &key);

    // Handlers, named after what they do.
    void includeNew();
    void editCurrent();
    void deleteCurrent();
    void chooseProduct();
    void applyEdit();
    void cancelEdit();
    void changeItemStatus(const QString &letter);

protected:
    // The detail widgets show the item (its stored values, or the draft).
    virtual void showItem(const CertificateItem &item) = 0;
    // The item's own fields, as typed.
    virtual void readItem(CertificateItem &item) const = 0;
    // The selection dialog; the draft takes what was chosen. False: cancelled.
    virtual bool select(CertificateItem &draft) = 0;
    // An inclusion or edit starts (lists to fill), or ends.
    virtual void editStarted(bool inclusion) { Q_UNUSED(inclusion) }
    virtual void editEnded() { }
    // The detail widgets follow the state (locked in browse).
    virtual void editingChanged(bool editing) { Q_UNUSED(editing) }

    QFormLayout *detailForm() const { return m_form; }
    QHBoxLayout *detailRow() const { return m_detailRow; }
    QGroupBox *detailGroup() const { return m_detail; }
    MaskedDateEdit *entryDateBox() const { return m_entryDate; }
    QLabel *entryDateLabel() const { return m_entryDateLabel; }
    // Adds "label: widget" to the detail form, the label the widget's buddy.
    void addRow(const QString &text, QWidget *widget);
    // Puts the widget next in the reading order of the detail (after the
    // fields added so far, before "Seleciona", "Aplicar" and "Cancelar").
    void chainFocus(QWidget *widget);
    // A read-only box, shown only.
    QLineEdit *shownBox(const QString &name);
    const OpenCertificate &open() const { return m_open; }
    ItemService::Certificate certificate() const;
    ItemService service() const;
    CertificateItem &draft() { return m_draft; }
    MaintenanceContext &m_ctx;

private:
    void reload(const std::optional<CertificateItem> &positionOn);
    void rowChanged();
    void setEditing(bool editing);
    void showCurrent();
    CertificateItem keyOfRow(int row) const;

    ItemKind m_kind;
    Names m_names;
    SelectionGrid *m_grid;
    QPushButton *m_incluir;
    QPushButton *m_editar;
    QPushButton *m_excluir;
    QPushButton *m_seleciona;
    QPushButton *m_aplicar;
    QPushButton *m_cancelar;
    QGroupBox *m_detail;
    QFormLayout *m_form;
    QHBoxLayout *m_detailRow;
    MaskedDateEdit *m_entryDate;
    QLabel *m_entryDateLabel;
    StatusGroup *m_status;
    QWidget *m_lastField = nullptr;

    OpenCertificate m_open;
    bool m_isOpen = false;
    bool m_editing = false;
    std::optional<CertificateItem> m_current;
    std::optional<CertificateItem> m_old; // the item as loaded, on an edit
    CertificateItem m_draft;
};
