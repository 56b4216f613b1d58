#include "maintenance/products/ui/produtosporlotetab.h"

#include "base/messenger.h"
#include "maintenance/maintenancedates.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/maskeddateedit.h"

#include <QLineEdit>

namespace {

ItemTab::Names lotNames()
{
    ItemTab::Names n;
    n.tab = QStringLiteral("TabLote");
    n.grid = QStringLiteral("DBGridLote");
    n.incluir = QStringLiteral("btnInLoteEd");
    n.editar = QStringLiteral("btnEdLoteEd");
    n.excluir = QStringLiteral("btnExLoteEd");
    n.seleciona = QStringLiteral("btnSelProdLote");
    n.selecionaText = QStringLiteral("Seleciona Produto");
    n.aplicar = QStringLiteral("btnAplLote");
    n.cancelar = QStringLiteral("btnCanLote");
    n.detailTitle = QStringLiteral("Dados Lote Certificado");
    n.entryDate = QStringLiteral("EdtDtEntradaLote");
    n.statusTitle = QStringLiteral("Status do Lote");
    n.status = {QStringLiteral("DBTextStatusLote"), QStringLiteral("sbAtivLote"), QStringLiteral("sbSuspLote"),
                QStringLiteral("sbCanLote")};
    n.leaveRefusal = QStringLiteral("Existem inclusões ou alterações não Aplicadas no painel de Produtos por Lote. "
                                    "Pressione o botão Aplicar ou Cancelar antes de mudar de painel.");
    return n;
}

using Col = SelectionListModel::Column;
using F = SelectionListModel::Format;

}

ProdutosPorLoteTab::ProdutosPorLoteTab(MaintenanceContext &context, QWidget *parent)
    : ProductTab(context, ItemKind::Lote, lotNames(), QStringLiteral("EdEmpresaLote"),
                 {Col{QStringLiteral("Marca"), QStringLiteral("MarcaProd")},
                  Col{QStringLiteral("Modelo"), QStringLiteral("ModeloProd")},
                  Col{QStringLiteral("Importado?"), QStringLiteral("Importado"), F::YesNo},
                  Col{QStringLiteral("EAN/UPC"), QStringLiteral("CodEANUPC")},
                  Col{QStringLiteral("Número do Lote"), QStringLiteral("NumLote")}},
                 parent)
{
    auto box = [this](const char *name, const char *column) {
        return DialogParts::columnEdit(detailGroup(), QLatin1String(name), QStringLiteral("LOTE"),
                                       QLatin1String(column));
    };
    m_numLote = box("EdNumLote", "NumLote");
    m_numLote->setValidator(numberValidator(m_numLote));
    m_quant = box("EdQuantLote", "QuantLote");
    m_invoice = box("EdNumProfInvoice", "NumProfInvoice");
    m_fabr = new MaskedDateEdit(detailGroup());
    m_fabr->setObjectName(QStringLiteral("EdDataFabrLote"));
    m_valid = new MaskedDateEdit(detailGroup());
    m_valid->setObjectName(QStringLiteral("EdDataValLote"));

    addRow(QStringLiteral("Marca e Modelo"), m_marcaModelo);
    addRow(QStringLiteral("EAN/UPC do Produto"), m_eanUpc);
    addRow(QStringLiteral("Número do Lote"), m_numLote);
    addRow(QStringLiteral("Quantidade do Lote"), m_quant);
    addRow(QStringLiteral("Proforma Invoice"), m_invoice);
    addRow(QStringLiteral("Data de Fabricação"), m_fabr);
    addRow(QStringLiteral("Data de Validade"), m_valid);
    addRow(QStringLiteral("Empresa Vinculada"), m_company);
    addRow(QString(), entryDateBox());

    Messenger &msg = m_ctx.messenger;
    connect(m_fabr, &MaskedDateEdit::left, this, guarded(msg, [this] { checkFabricationDate(); }));
    connect(m_valid, &MaskedDateEdit::left, this, guarded(msg, [this] { checkValidityDate(); }));
}

void ProdutosPorLoteTab::showItem(const CertificateItem &item)
{
    ProductTab::showItem(item);
    m_numLote->setText(item.numLote);
    m_quant->setText(item.quantLote);
    m_invoice->setText(item.numProfInvoice);
    m_fabr->setMoment(item.dataFabrLote);
    m_valid->setMoment(item.dataValLote);
    m_importado = item.importado;
    m_invoice->setEnabled(isEditing() && m_importado == 1);
}

void ProdutosPorLoteTab::editingChanged(bool editing)
{
    m_invoice->setEnabled(editing && m_importado == 1);
}

void ProdutosPorLoteTab::readItem(CertificateItem &item) const
{
    ProductTab::readItem(item);
    item.numLote = m_numLote->text().remove(QLatin1Char(' ')).toUpper();
    item.quantLote = m_quant->text();
    // A national product has no proforma invoice.
    item.numProfInvoice = item.importado == 1 ? m_invoice->text() : QString();
    item.dataFabrLote = m_fabr->moment();
    item.dataValLote = m_valid->moment();
}

void ProdutosPorLoteTab::checkFabricationDate()
{
    const QString problem = ItemService::fabricationProblem(m_fabr->boxText(), QDate::currentDate());
    if (!problem.isEmpty()) {
        m_ctx.messenger.error(problem, MaintenanceDates::EntryCaption);
        m_fabr->takeFocusBack();
    }
}

void ProdutosPorLoteTab::checkValidityDate()
{
    const QString problem = ItemService::validityProblem(m_valid->boxText(), m_fabr->boxText());
    if (!problem.isEmpty()) {
        m_ctx.messenger.error(problem, MaintenanceDates::EntryCaption);
        m_valid->takeFocusBack();
    }
}
