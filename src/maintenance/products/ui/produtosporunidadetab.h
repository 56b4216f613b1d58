#pragma once
#include "maintenance/products/ui/producttab.h"

class QComboBox;
class QGroupBox;

// "Produtos por Unidade": single units of a product by serial number, with
// where each is installed.
class ProdutosPorUnidadeTab : public ProductTab
{
    Q_OBJECT
public:
    ProdutosPorUnidadeTab(MaintenanceContext &context, QWidget *parent = nullptr);
    QString title() const override { return QStringLiteral("Produtos por Unidade"); }

protected:
    void showItem(const CertificateItem &item) override;
    void readItem(CertificateItem &item) const override;
    void editingChanged(bool editing) override;

private:
    QLineEdit *m_serie;
    QLineEdit *m_obs;
    QGroupBox *m_location;
    QLineEdit *m_local;
    QLineEdit *m_bairro;
    QLineEdit *m_cidade;
    QLineEdit *m_cep;
    QComboBox *m_uf;
};
