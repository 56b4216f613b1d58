#include "maintenance/products/ui/itemtabs.h"

#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/products/ui/produtosporlotetab.h"
#include "maintenance/products/ui/produtosportipotab.h"
#include "maintenance/products/ui/produtosporunidadetab.h"
#include "maintenance/products/ui/servicostab.h"

void addItemTabs(ModificaCertificadoPanel *panel, MaintenanceContext &context)
{
    panel->addTab(new ProdutosPorTipoTab(context, panel));
    panel->addTab(new ProdutosPorLoteTab(context, panel));
    panel->addTab(new ProdutosPorUnidadeTab(context, panel));
    panel->addTab(new ServicosTab(context, panel));
}
