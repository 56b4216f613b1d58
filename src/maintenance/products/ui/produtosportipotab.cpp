#include "maintenance/products/ui/produtosportipotab.h"

#include "widgets/maskeddateedit.h"

namespace {

ItemTab::Names typeNames()
{
    ItemTab::Names n;
    n.tab = QStringLiteral("TabTipo");
    n.grid = QStringLiteral("DBGrid14");
    n.incluir = QStringLiteral("btnInTipoEd");
    n.editar = QStringLiteral("btnEdTipoEd");
    n.excluir = QStringLiteral("btnExTipoEd");
    n.seleciona = QStringLiteral("btnSelProdTipo");
    n.selecionaText = QStringLiteral("Seleciona Produto");
    n.aplicar = QStringLiteral("btnAplTipo");
    n.cancelar = QStringLiteral("btnCanTipo");
    n.detailTitle = QStringLiteral("Produto Certificado por Tipo");
    n.entryDate = QStringLiteral("EdtDtEntradaTipo");
    n.statusTitle = QStringLiteral("Status do Produto");
    n.status = {QStringLiteral("DBTextStatusTipo"), QStringLiteral("sbAtivTipo"), QStringLiteral("sbSuspTipo"),
                QStringLiteral("sbCanTipo")};
    return n;
}

using Col = SelectionListModel::Column;
using F = SelectionListModel::Format;

}

ProdutosPorTipoTab::ProdutosPorTipoTab(MaintenanceContext &context, QWidget *parent)
    : ProductTab(context, ItemKind::Tipo, typeNames(), QStringLiteral("EdEmpresaTipo"),
                 {Col{QStringLiteral("Marca"), QStringLiteral("MARCAPROD")},
                  Col{QStringLiteral("Modelo"), QStringLiteral("MODELOPROD")},
                  Col{QStringLiteral("Importado?"), QStringLiteral("IMPORTADO"), F::YesNo},
                  Col{QStringLiteral("EAN/UPC"), QStringLiteral("CODEANUPC")},
                  Col{QStringLiteral("Descrição"), QStringLiteral("DESCRPROD")}},
                 parent)
{
    addRow(QStringLiteral("Empresa Vinculada"), m_company);
    addRow(QStringLiteral("Marca e Modelo"), m_marcaModelo);
    addRow(QStringLiteral("EAN/UPC do Produto"), m_eanUpc);
    addRow(QString(), entryDateBox());
}
