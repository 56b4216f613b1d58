#pragma once
#include "maintenance/companies/certifiedcompanyselection.h"

#include <QDialog>
#include <optional>

class Database;
class Messenger;
class QComboBox;
class QLabel;
class QLineEdit;
class SelectionGrid;

// "Seleciona Empresa Certificada": one of the legal-entity companies of a
// certificate, for a service of it.
class TFrmSelEmpCert : public QDialog
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

    void BtFiltraClick();
    void BtOkClick();

private:
    void buildUi();
    void run(const CertifiedCompanySelection::Filter &filter);

    Database &m_db;
    Messenger &m_msg;
    SelectedCertificate m_certificate;
    std::optional<CompanyKey> m_chosen;

    QComboBox *CbPais = nullptr;
    QLineEdit *EdCNPJ = nullptr;
    QLineEdit *EdNomeFantasia = nullptr;
    QLineEdit *EdRazaoSocial = nullptr;
    QLabel *LbQuantidade = nullptr;
    SelectionGrid *GrdEmpresas = nullptr;
};
