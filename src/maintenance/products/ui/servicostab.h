#pragma once
#include "maintenance/products/ui/itemtab.h"
#include "maintenance/selectionresults.h"

#include <functional>

class QComboBox;
class QLineEdit;

// "Serviços": a class of service performed by one of the certificate's
// companies, chosen with "Seleciona Empresa Envolvida".
class ServicosTab : public ItemTab
{
    Q_OBJECT
public:
    using CompanyChooser = std::function<std::optional<CompanyKey>()>;

    ServicosTab(MaintenanceContext &context, QWidget *parent = nullptr);
    QString title() const override { return QStringLiteral("Serviços"); }

    // How "Seleciona Empresa Envolvida" picks the company (the dialog unless told).
    void setCompanyChooser(CompanyChooser chooser) { m_chooser = std::move(chooser); }

protected:
    void showItem(const CertificateItem &item) override;
    void readItem(CertificateItem &item) const override;
    bool select(CertificateItem &draft) override;
    void editStarted(bool inclusion) override;

private:
    QComboBox *m_classe;
    QLineEdit *m_pais;
    QLineEdit *m_cnpj;
    QLineEdit *m_razao;
    QLineEdit *m_obs;
    CompanyChooser m_chooser;
};
