#pragma once
#include "maintenance/documents/docnormlinks.h"
#include "maintenance/ui/maintenancecontext.h"

#include <QDialog>
#include <functional>

class MaskedDateEdit;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QTableView;
class StatusGroup;

// "Documentos Normativos": the normative documents linked to the item in
// view on the maintenance window (the certificate, a product type, lot or
// unit, or a service), with their status and history.
class TFrmDocumentosNormativos : public QDialog
{
    Q_OBJECT
public:
    // Opens the history of a link (event table, link key, issue date).
    using HistoryOpener = std::function<void(StatusEvents::Table, const StatusEvents::ItemKey &, const QDateTime &)>;

    TFrmDocumentosNormativos(MaintenanceContext &context, DocNormLinks::Mode mode, const DocNormLinks::Item &item,
                             QWidget *parent = nullptr);

    void setHistoryOpener(HistoryOpener opener) { m_historyOpener = std::move(opener); }
    const DocNormLinks &dataModule() const { return m_dm; }
    // The link of the grid's current row.
    std::optional<DocNormLinks::Link> currentLink() const;
    bool isEditing() const { return m_editing; }

    // What the controls do.
    void reloadKeepingRow();
    void includeNew();
    void applyInclusion();
    void cancelInclusion();
    void deleteCurrent();
    void openHistory();
    void changeDocumentStatus(const QString &letter);
    void titleChanged();
    void identificationChanged();
    void docTypeChanged();

private:
    void reopen(int idDocNorm);
    void setBrowse();
    void setEditing();
    void showCurrentLink();
    void fillChoices(std::optional<int> idTipoDoc);
    void pickCandidate(int index);
    void updateApply();
    std::optional<DocNormLinks::Candidate> chosenCandidate() const;

    MaintenanceContext &m_ctx;
    DocNormLinks m_dm;
    QList<DocNormLinks::Link> m_links;
    QList<DocNormLinks::Candidate> m_candidates;
    QList<DocNormLinks::DocType> m_types;
    HistoryOpener m_historyOpener;
    bool m_editing = false;
    bool m_filling = false;

    QGroupBox *referentsBox;
    QRadioButton *productsChoice;
    QRadioButton *servicesChoice;
    QLabel *attentionLabel;
    QLabel *itemLabel;
    QTableView *documentGrid;
    QStandardItemModel *m_model;
    QPushButton *includeButton;
    QPushButton *deleteButton;
    QPushButton *historyButton;
    QPushButton *exitButton;
    StatusGroup *statusGroup;
    QGroupBox *editBox;
    QComboBox *identificationList;
    QComboBox *titleList;
    QComboBox *docTypeList;
    QLineEdit *identificationField;
    QLineEdit *titleField;
    QLineEdit *docTypeField;
    MaskedDateEdit *entryDateField;
    QPushButton *applyButton;
    QPushButton *cancelButton;
};
