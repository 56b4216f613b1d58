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

    // Handlers, named after their controls.
    void btnSelCertExclusaoClick();
    void btnExcluiCertifClick();
    void BitBtn83Click();

signals:
    void leave();

private:
    MaintenanceContext &m_ctx;
    CertificateChooser m_chooser;
    CertificateKey m_shown;

    QLineEdit *DBEdit1 = nullptr; // Certificador
    QLineEdit *DBEdit2 = nullptr; // Número do Certificado
    QLineEdit *DBEdit3 = nullptr; // Classe do Certificado
    QLineEdit *DBEdit4 = nullptr; // Classe de Produtos
    SelectionGrid *DBGridEmpresas = nullptr;
    SelectionGrid *DBGridProdutos = nullptr;
    SelectionGrid *DBGridServicos = nullptr;
    QPushButton *btnSelCertExclusao = nullptr;
    QPushButton *btnExcluiCertif = nullptr;
    QPushButton *BitBtn83 = nullptr;
};
