#pragma once
#include "maintenance/certificates/certificate.h"
#include "maintenance/ui/maintenancecontext.h"

#include <QWidget>

class CertificateForm;
class QPushButton;

// Panel "NovoCertificado": the general data of a certificate being
// registered. The dates stay in their boxes until the save.
class NovoCertificadoPanel : public QWidget
{
    Q_OBJECT
public:
    NovoCertificadoPanel(MaintenanceContext &context, QWidget *parent = nullptr);

    // A blank certificate of the given certifier: status "A", not approved.
    void start(const QString &certifier);
    // The row is being entered and holds something typed.
    bool isModified() const;
    CertificateForm *form() const { return m_form; }

    // What the controls do.
    void updateSaveEnabled();
    void checkIssueDate();
    void checkValidityDate();
    void saveNew();
    void cancelNew();

signals:
    void saved(const CertificateKey &key);
    void cancelled();

private:
    MaintenanceContext &m_ctx;
    CertificateForm *m_form;
    QPushButton *saveButton;
    QPushButton *cancelButton;
    Certificate m_blank;
    bool m_inserting = false;
};
