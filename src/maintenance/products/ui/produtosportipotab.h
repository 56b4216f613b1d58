#pragma once
#include "maintenance/products/ui/producttab.h"

// "Produtos por Tipo": a brand and model certified as a type. The tab may
// be left while a type is being edited (it keeps its state).
class ProdutosPorTipoTab : public ProductTab
{
    Q_OBJECT
public:
    ProdutosPorTipoTab(MaintenanceContext &context, QWidget *parent = nullptr);
    QString title() const override { return QStringLiteral("Produtos por Tipo"); }
};
