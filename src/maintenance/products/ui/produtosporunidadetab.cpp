#include "maintenance/products/ui/produtosporunidadetab.h"

#include "db/database.h"
#include "widgets/dialogparts.h"
#include "widgets/maskeddateedit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>

namespace {

ItemTab::Names unitNames()
{
    ItemTab::Names n;
    n.tab = QStringLiteral("TabUnidade");
    n.grid = QStringLiteral("DBGridUnidade");
    n.incluir = QStringLiteral("btnInUnidEd");
    n.editar = QStringLiteral("btnEdUnidEd");
    n.excluir = QStringLiteral("btnExUnidEd");
    n.seleciona = QStringLiteral("btnSelProdUnid");
    n.selecionaText = QStringLiteral("Seleciona Produto");
    n.aplicar = QStringLiteral("btnAplUnid");
    n.cancelar = QStringLiteral("btnCanUnid");
    n.detailTitle = QStringLiteral("Produto Certificado por Unidade");
    n.entryDate = QStringLiteral("EdtDtEntradaUnid");
    n.statusTitle = QStringLiteral("Status da Unidade");
    n.status = {QStringLiteral("DBTextStatusUnid"), QStringLiteral("sbAtivUnid"), QStringLiteral("sbSuspUnid"),
                QStringLiteral("sbCanUnid")};
    n.leaveRefusal = QStringLiteral("Existem inclusões ou alterações não Aplicadas no painel de Produtos por Unidade. "
                                    "Pressione o botão Aplicar ou Cancelar antes de mudar de painel.");
    return n;
}

using Col = SelectionListModel::Column;
using F = SelectionListModel::Format;

}

ProdutosPorUnidadeTab::ProdutosPorUnidadeTab(MaintenanceContext &context, QWidget *parent)
    : ProductTab(context, ItemKind::Unidade, unitNames(), QStringLiteral("EdEmpresaUnid"),
                 {Col{QStringLiteral("Marca"), QStringLiteral("MarcaProd")},
                  Col{QStringLiteral("Modelo"), QStringLiteral("ModeloProd")},
                  Col{QStringLiteral("Importado?"), QStringLiteral("Importado"), F::YesNo},
                  Col{QStringLiteral("EAN/UPC"), QStringLiteral("CodEANUPC")},
                  Col{QStringLiteral("Número de Série"), QStringLiteral("NumSerieProd")}},
                 parent)
{
    auto box = [](QWidget *parent, const char *name, const char *column) {
        return DialogParts::columnEdit(parent, QLatin1String(name), QStringLiteral("UNIDADE"), QLatin1String(column));
    };
    m_serie = box(detailGroup(), "EdNumSerieProd", "NumSerieProd");
    m_serie->setValidator(numberValidator(m_serie));
    m_obs = box(detailGroup(), "EdObsUnidade", "Observacoes");
    addRow(QStringLiteral("Marca e Modelo"), m_marcaModelo);
    addRow(QStringLiteral("EAN/UPC do Produto"), m_eanUpc);
    addRow(QStringLiteral("Número de Série"), m_serie);
    addRow(QStringLiteral("Empresa Vinculada"), m_company);
    addRow(QString(), entryDateBox());
    addRow(QStringLiteral("Observações"), m_obs);

    m_location = new QGroupBox(QStringLiteral("Localização do Produto"), this);
    m_location->setObjectName(QStringLiteral("GroupLocalizacaoUnidade"));
    auto *form = new QFormLayout(m_location);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_local = box(m_location, "EdLocalInstalacao", "LocalInstalacao");
    m_bairro = box(m_location, "EdEndBairroUnid", "EndBairro");
    m_cidade = box(m_location, "EdEndCidadeUnid", "EndCidade");
    m_cep = box(m_location, "EdEndCEPUnid", "EndCEP");
    m_uf = new QComboBox(m_location);
    m_uf->setObjectName(QStringLiteral("CbSiglaUFUnid"));
    m_uf->addItem(QString());
    QSqlQuery q = m_ctx.db.exec(QStringLiteral("SELECT SiglaUF FROM UF ORDER BY SiglaUF"));
    while (q.next())
        m_uf->addItem(q.value(0).toString());
    const std::pair<const char *, QWidget *> rows[] = {
        {"Instalado em", m_local}, {"Bairro", m_bairro}, {"Cidade", m_cidade}, {"CEP", m_cep}, {"UF", m_uf}};
    for (const auto &[text, widget] : rows) {
        form->addRow(DialogParts::label(m_location, QStringLiteral("Lb") + widget->objectName(),
                                        QString::fromUtf8(text), widget),
                     widget);
        chainFocus(widget);
    }
    detailRow()->addWidget(m_location, 1);
    m_location->setEnabled(false);
}

void ProdutosPorUnidadeTab::editingChanged(bool editing)
{
    m_location->setEnabled(editing);
}

void ProdutosPorUnidadeTab::showItem(const CertificateItem &item)
{
    ProductTab::showItem(item);
    m_serie->setText(item.numSerieProd);
    m_obs->setText(item.observacoes);
    m_local->setText(item.localInstalacao);
    m_bairro->setText(item.endBairro);
    m_cidade->setText(item.endCidade);
    m_cep->setText(item.endCep);
    int uf = m_uf->findText(item.siglaUF, Qt::MatchFixedString);
    if (uf < 0 && !item.siglaUF.isEmpty()) {
        m_uf->addItem(item.siglaUF);
        uf = m_uf->count() - 1;
    }
    m_uf->setCurrentIndex(qMax(0, uf));
}

void ProdutosPorUnidadeTab::readItem(CertificateItem &item) const
{
    ProductTab::readItem(item);
    item.numSerieProd = m_serie->text().remove(QLatin1Char(' ')).toUpper();
    item.observacoes = m_obs->text();
    item.localInstalacao = m_local->text();
    item.endBairro = m_bairro->text();
    item.endCidade = m_cidade->text();
    item.endCep = m_cep->text();
    item.siglaUF = m_uf->currentText();
}
