#include "maintenance/documents/ui/documentwindows.h"

#include "maintenance/certificates/certificatestore.h"
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/documents/ui/tfrmdocumentosnormativos.h"
#include "maintenance/documents/ui/tfrmgerahistorico.h"

namespace DocumentWindows {
namespace {

// The item's row with the certificate key filled in when the tab left it out.
QVariantMap withCertificate(const OpenCertificate &certificate, QVariantMap row)
{
    auto fill = [&row](const QString &column, const QString &value) {
        for (auto it = row.constBegin(); it != row.constEnd(); ++it)
            if (it.key().compare(column, Qt::CaseInsensitive) == 0 && !it.value().toString().isEmpty())
                return;
        row.insert(column, value);
    };
    fill(QStringLiteral("SiglaCertificador"), certificate.key.sigla);
    fill(QStringLiteral("NumCertif"), certificate.key.numero);
    return row;
}

}

void openDocuments(MaintenanceContext &context, const OpenCertificate &certificate, const QString &tabTitle,
                   const TabItem &item, QWidget *parent)
{
    const auto mode = DocNormLinks::modeOf(tabTitle);
    if (!mode)
        return;
    const auto row = CertificateStore::load(context.db, certificate.key);
    if (!row)
        return;
    TFrmDocumentosNormativos window(context, *mode,
                                    DocNormLinks::itemFrom(*row, withCertificate(certificate, item.row)), parent);
    window.exec();
}

void openHistory(MaintenanceContext &context, const OpenCertificate &certificate, const TabItem &item, QWidget *parent)
{
    TFrmGeraHistorico window(context.db, context.messenger, context.userCode, item.table,
                             StatusEvents::ItemKey::fromRow(withCertificate(certificate, item.row)),
                             certificate.issueDate, parent);
    window.exec();
}

void install(ModificaCertificadoPanel &panel, MaintenanceContext &context)
{
    ModificaCertificadoPanel *owner = &panel;
    panel.setDocumentsAction([&context, owner](const OpenCertificate &certificate, CertificateTab *tab) {
        if (!tab)
            return;
        if (const auto item = tab->currentItem())
            openDocuments(context, certificate, tab->title(), *item, owner);
    });
    panel.setHistoryAction([&context, owner](const OpenCertificate &certificate, CertificateTab *tab) {
        if (!tab)
            return;
        if (const auto item = tab->currentItem())
            openHistory(context, certificate, *item, owner);
    });
}

}
