#pragma once

struct MaintenanceContext;
class ModificaCertificadoPanel;

// Adds the tabs of the certificate's products and services to the modify
// panel: "Produtos por Tipo", "Produtos por Lote", "Produtos por Unidade",
// "Serviços".
void addItemTabs(ModificaCertificadoPanel *panel, MaintenanceContext &context);
