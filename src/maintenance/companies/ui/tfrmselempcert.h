#pragma once
#include "maintenance/companies/certifiedcompanyselection.h"
#include "maintenance/ui/selectiondialog.h"

#include <optional>

class QComboBox;
class QLineEdit;

// "Seleciona Empresa Certificada": one of the legal-entity companies of a
// certificate, for a service of it.
class TFrmSelEmpCert : public SelectionDialog
{
    Q_OBJECT
public:
    // Shows the dialog modally; CodigoPais and IdEmpresa of the chosen
    // company, or nothing when cancelled.
    static std::optional<CompanyKey> choose(QWidget *parent, Database &db, Messenger &messenger,
                                            const SelectedCertificate &certificate);
    static inline const QString SelecioneEmpresa = QStringLiteral("Por favor selecione uma empresa");

    TFrmSelEmpCert(Database &db, Messenger &messenger, const SelectedCertificate &certificate,
                   QWidget *parent = nullptr);

    std::optional<CompanyKey> chosen() const { return m_chosen; }

    void applyFilter() override;
    void chooseCurrent() override;

private:
    void run(const CertifiedCompanySelection::Filter &filter);

    SelectedCertificate m_certificate;
    std::optional<CompanyKey> m_chosen;

    QComboBox *m_countryList = nullptr;
    QLineEdit *m_cnpjField = nullptr;
    QLineEdit *m_tradeNameField = nullptr;
    QLineEdit *m_legalNameField = nullptr;
};
