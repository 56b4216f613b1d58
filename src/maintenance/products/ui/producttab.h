#pragma once
#include "maintenance/products/itemstore.h"
#include "maintenance/products/ui/itemtab.h"
#include "maintenance/selectionresults.h"

#include <functional>

class QComboBox;
class QLineEdit;
class QValidator;

// What the three product tabs share: the product chosen with "Seleciona
// Produto" ("Marca e Modelo", "EAN/UPC do Produto") and the "Empresa
// Vinculada", a list of the certificate's companies while editing and the
// stored name otherwise.
class ProductTab : public ItemTab
{
    Q_OBJECT
public:
    using ProductChooser = std::function<std::optional<SelectedProduct>()>;

    ProductTab(MaintenanceContext &context, ItemKind kind, const Names &names, const QString &companyName,
               const QList<SelectionListModel::Column> &columns, QWidget *parent = nullptr);

    // How "Seleciona Produto" picks a product (the selection dialog unless told).
    void setProductChooser(ProductChooser chooser) { m_chooser = std::move(chooser); }
    QComboBox *companyList() const { return m_companyList; }

    // Upper case, a typed space dropped: the lot number and the serial number.
    static QValidator *numberValidator(QObject *parent);

protected:
    void showItem(const CertificateItem &item) override;
    void readItem(CertificateItem &item) const override;
    bool select(CertificateItem &draft) override;
    void editStarted(bool inclusion) override;
    void editEnded() override;

    QLineEdit *m_marcaModelo;
    QLineEdit *m_eanUpc;
    // The company box: a list while editing, the name otherwise.
    QWidget *m_company;

private:
    void fillCompanies();

    QComboBox *m_companyList;
    QLineEdit *m_companyName;
    QList<LinkedCompany> m_companies;
    ProductChooser m_chooser;
};
