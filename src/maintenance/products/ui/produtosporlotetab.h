#pragma once
#include "maintenance/products/ui/producttab.h"

class MaskedDateEdit;

// "Produtos por Lote": numbered lots of a product, with their quantity,
// proforma invoice (imported products only) and manufacturing and validity
// dates.
class ProdutosPorLoteTab : public ProductTab
{
    Q_OBJECT
public:
    ProdutosPorLoteTab(MaintenanceContext &context, QWidget *parent = nullptr);
    QString title() const override { return QStringLiteral("Produtos por Lote"); }

    void checkFabricationDate();
    void checkValidityDate();

protected:
    void showItem(const CertificateItem &item) override;
    void readItem(CertificateItem &item) const override;
    void editingChanged(bool editing) override;

private:
    QLineEdit *m_numLote;
    QLineEdit *m_quant;
    QLineEdit *m_invoice;
    MaskedDateEdit *m_fabr;
    MaskedDateEdit *m_valid;
    int m_importado = 0;
};
