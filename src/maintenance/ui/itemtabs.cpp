#include "maintenance/ui/itemtabs.h"

#include "maintenance/ui/modificacertificadopanel.h"
#include "maintenance/ui/produtosporlotetab.h"
#include "maintenance/ui/produtosportipotab.h"
#include "maintenance/ui/produtosporunidadetab.h"
#include "maintenance/ui/servicostab.h"

void addItemTabs(ModificaCertificadoPanel *panel, MaintenanceContext &context)
{
    panel->addTab(new ProdutosPorTipoTab(context, panel));
    panel->addTab(new ProdutosPorLoteTab(context, panel));
    panel->addTab(new ProdutosPorUnidadeTab(context, panel));
    panel->addTab(new ServicosTab(context, panel));
}
