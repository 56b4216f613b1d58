#pragma once
#include "maintenance/certificates/certificatechoice.h"
#include "maintenance/selectionresults.h"

#include <QDialog>
#include <optional>

class Database;
class Messenger;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SelectionGrid;

// "Seleciona Certificado": finds a certificate of the local database by
// number, classes, company, product, service class and origin.
class TFrmSelecionaCertificado : public QDialog
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

    void BtFiltraClick();
    void BtLimpaFiltroClick();
    void BtSelEmpresaClick();
    void BtSelProdutoClick();
    void BtDetalheEmpresaClick();
    void BtOkClick();
    void GridTitleClick(int column);

private:
    void buildUi();
    void fillClasses();
    void run(CertificateChoice::Order order);
    void showCount();
    CertificateChoice::Filter filterFromFields() const;

    Database &m_db;
    Messenger &m_msg;
    std::optional<SelectedCertificate> m_chosen;
    std::optional<SelectedCompany> m_company;
    std::optional<SelectedProduct> m_product;
    std::optional<CertificateChoice::Filter> m_filter; // of the list shown

    QLineEdit *EdNumero = nullptr;
    QComboBox *CbClasseCertif = nullptr;
    QComboBox *CbClasseProd = nullptr;
    QComboBox *CbClasseServ = nullptr;
    QComboBox *CbImportado = nullptr;
    QLineEdit *EdEmpresa = nullptr;
    QLineEdit *EdProduto = nullptr;
    QPushButton *BtSelEmpresa = nullptr;
    QPushButton *BtDetalheEmpresa = nullptr;
    QPushButton *BtSelProduto = nullptr;
    QLabel *LbQuantidade = nullptr;
    SelectionGrid *GrdCertificados = nullptr;
};
