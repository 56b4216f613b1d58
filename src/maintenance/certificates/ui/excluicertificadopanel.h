#pragma once
#include "maintenance/ui/maintenancecontext.h"

#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class SelectionGrid;

// Panel "ExcluiCertificado": shows a chosen certificate read-only and
// deletes it with everything attached, unless it was ever approved.
class ExcluiCertificadoPanel : public QWidget
{
    Q_OBJECT
public:
    using CertificateChooser = std::function<std::optional<CertificateKey>()>;

    explicit ExcluiCertificadoPanel(MaintenanceContext &context, QWidget *parent = nullptr);

    // How "Seleciona Certificado" picks a certificate.
    void setCertificateChooser(CertificateChooser chooser) { m_chooser = std::move(chooser); }
    const CertificateKey &shown() const { return m_shown; }

    // The panel was entered: nothing shown, "Exclui Certificado" disabled.
    void entered();
    // Shows a certificate (nothing when it does not exist).
    void show(const CertificateKey &key);
    void closeAll();

    // What the controls do.
    void chooseCertificate();
    void deleteShown();
    void cancelDeletion();

signals:
    void leave();

private:
    MaintenanceContext &m_ctx;
    CertificateChooser m_chooser;
    CertificateKey m_shown;

    QLineEdit *certifierField = nullptr; // Certificador
    QLineEdit *numberField = nullptr; // Número do Certificado
    QLineEdit *certificateClassField = nullptr; // Classe do Certificado
    QLineEdit *productClassField = nullptr; // Classe de Produtos
    SelectionGrid *companyGrid = nullptr;
    SelectionGrid *productGrid = nullptr;
    SelectionGrid *serviceGrid = nullptr;
    QPushButton *chooseButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *cancelButton = nullptr;
};
