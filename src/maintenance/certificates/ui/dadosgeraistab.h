#pragma once
#include "maintenance/certificates/certificate.h"
#include "maintenance/certificates/ui/certificatetab.h"

class CertificateForm;
class QPushButton;
class StatusGroup;

// Tab "Dados Gerais" of the modify panel: the certificate's own row, its
// save (with a justification once the certificate has been approved), and
// its status buttons.
class DadosGeraisTab : public CertificateTab
{
    Q_OBJECT
public:
    DadosGeraisTab(MaintenanceContext &context, QWidget *parent = nullptr);

    QString title() const override { return QStringLiteral("Dados Gerais"); }
    void openCertificate(const OpenCertificate &certificate) override;
    void closeCertificate() override;
    QString leaveRefusal() const override;
    bool hasCurrentRow() const override { return m_open; }
    // The certificate itself (STATUS_C), as stored.
    std::optional<TabItem> currentItem() const override;
    void entered() override;

    // The values on screen differ from the stored row.
    bool isModified() const;
    const Certificate &row() const { return m_loaded; }
    CertificateForm *form() const { return m_form; }

    // What the controls do.
    void checkIssueDate();
    void checkValidityDate();
    // True when nothing was left unsaved (saved, or nothing to save).
    bool saveGeneral();
    void cancelEdit();
    void changeStatus(const QString &letter);

signals:
    // The number changed: the certificate is open under this key now.
    void keyChanged(const CertificateKey &key);

private:
    void applyLocks();
    void showRow(const Certificate &row);

    MaintenanceContext &m_ctx;
    CertificateForm *m_form;
    StatusGroup *m_status;
    QPushButton *saveButton;
    QPushButton *cancelButton;
    Certificate m_loaded;
    bool m_held = false; // the regulator may hold it
    bool m_open = false;
};
