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

    // Handlers, named after their controls.
    void FormShow();
    void btnIncluirDocNormClick();
    void bbtAplicarDocNormClick();
    void bbtCancelarDocNormClick();
    void btnExDocNormClick();
    void btnCadHistoricoClick();
    void sbStatusDocNormClick(const QString &letter);
    void cmbTituloChange();
    void cmbIdentificacaoChange();
    void cmbTipoDocChange();

private:
    void reopen(int idDocNorm);
    void setBrowse();
    void setEditing();
    void dtsDocNorProdDataChange();
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

    QGroupBox *RgReferentes;
    QRadioButton *RbProdutos;
    QRadioButton *RbServicos;
    QLabel *LbAtencao;
    QLabel *LbItem;
    QTableView *DBGDocNorm;
    QStandardItemModel *m_model;
    QPushButton *btnIncluirDocNorm;
    QPushButton *btnExDocNorm;
    QPushButton *btnCadHistorico;
    QPushButton *btnSaida;
    StatusGroup *GbStatusDocNorm;
    QGroupBox *GbEdicao;
    QComboBox *cmbIdentificacao;
    QComboBox *cmbTitulo;
    QComboBox *cmbTipoDoc;
    QLineEdit *EdtIdentificacao;
    QLineEdit *EdtTitulo;
    QLineEdit *EdtTipoDoc;
    MaskedDateEdit *EdtDtEntrada;
    QPushButton *bbtAplicarDocNorm;
    QPushButton *bbtCancelarDocNorm;
};
