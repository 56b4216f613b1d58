#pragma once
#include "maintenance/ui/maintenancecontext.h"
#include "register/statusevents.h"

#include <QVariantMap>
#include <QWidget>
#include <optional>

// The item a tab shows as current, for the history and normative-documents
// windows: its event table and its row (key columns, status letter and, for
// products, MarcaProd/ModeloProd/Importado/NumLote/NumSerieProd; for a
// service IdClasseServ/CodigoPais/IdEmpresa), column names as the database
// spells them.
struct TabItem
{
    StatusEvents::Table table;
    QVariantMap row;
};

// One tab of the modify panel ("Dados Gerais", and the companies, products
// and services tabs). The panel opens and closes the certificate on every
// tab, asks the tab before the user leaves it, and sets its own buttons
// from what the tab answers.
class CertificateTab : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The tab's caption.
    virtual QString title() const = 0;
    // A certificate was opened (or opened again after its key changed).
    virtual void openCertificate(const OpenCertificate &certificate) = 0;
    // The certificate was closed: show nothing.
    virtual void closeCertificate() = 0;
    // Non-empty while the tab holds changes not applied: the message that
    // refuses leaving it (caption "Erro de Edição").
    virtual QString leaveRefusal() const { return {}; }
    // The tab's dataset has a current row ("Cad. Histórico" follows it).
    virtual bool hasCurrentRow() const = 0;
    // The current item of the tab, if any.
    virtual std::optional<TabItem> currentItem() const { return std::nullopt; }
    // "Doc. Normativos" is offered on this tab.
    virtual bool offersDocuments() const { return true; }
    // Called when the tab becomes the current one.
    virtual void entered() { }

signals:
    // The current row or the tab's state changed: the panel sets its buttons.
    void stateChanged();
    // Something was written that bears on the certificate as a whole (its
    // locks, its completeness): the panel reloads the certificate's header.
    void certificateChanged();
    // Items shown on other tabs were written from this one (a company's
    // status carried to its products and services): the panel opens the
    // certificate again on the other tabs.
    void itemsChanged();
};
