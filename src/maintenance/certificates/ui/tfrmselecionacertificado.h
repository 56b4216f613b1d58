#pragma once
#include "maintenance/certificates/certificatechoice.h"
#include "maintenance/selectionresults.h"
#include "maintenance/ui/selectiondialog.h"

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Seleciona Certificado": finds a certificate of the local database by
// number, classes, company, product, service class and origin.
class TFrmSelecionaCertificado : public SelectionDialog
{
    Q_OBJECT
public:
    // Shows the dialog modally. The chosen certificate, or nothing when the
    // user cancelled or pressed "Ok" on an empty list; the caller then says
    // NenhumEscolhido.
    static std::optional<SelectedCertificate> choose(QWidget *parent, Database &db, Messenger &messenger);
    static inline const QString NenhumEscolhido = QStringLiteral("Nenhum Certificado foi escolhido !!!");

    TFrmSelecionaCertificado(Database &db, Messenger &messenger, QWidget *parent = nullptr);

    std::optional<SelectedCertificate> chosen() const { return m_chosen; }
    // The company and product of the filter, as "Seleciona Empresa..." and
    // "Seleciona Produto..." set them.
    void setCompany(const SelectedCompany &company);
    void setProduct(const SelectedProduct &product);

    void applyFilter() override;
    void clearFilter() override;
    void chooseCurrent() override;
    void orderBy(int column) override;
    void pickCompany();
    void pickProduct();
    void showCompanyDetails();

private:
    void fillClasses();
    void run(CertificateChoice::Order order);
    CertificateFilter filterFromFields() const;

    std::optional<SelectedCertificate> m_chosen;
    std::optional<SelectedCompany> m_company;
    std::optional<SelectedProduct> m_product;
    std::optional<CertificateFilter> m_filter; // of the list shown

    QLineEdit *m_numberField = nullptr;
    QComboBox *m_certificateClassList = nullptr;
    QComboBox *m_productClassList = nullptr;
    QComboBox *m_serviceClassList = nullptr;
    QComboBox *m_originList = nullptr;
    QLineEdit *m_companyField = nullptr;
    QLineEdit *m_productField = nullptr;
    QPushButton *m_companyDetailsButton = nullptr;
};
