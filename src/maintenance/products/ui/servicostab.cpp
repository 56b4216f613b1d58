#include "maintenance/products/ui/servicostab.h"

#include "maintenance/certificates/certificatestore.h"
#include "maintenance/companies/ui/tfrmselempcert.h"
#include "maintenance/products/itemstore.h"
#include "widgets/columnfit.h"
#include "widgets/maskeddateedit.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

ItemTab::Names serviceNames()
{
    ItemTab::Names n;
    n.tab = QStringLiteral("TabServico");
    n.grid = QStringLiteral("DBGridServico");
    n.incluir = QStringLiteral("btnInServEd");
    n.editar = QStringLiteral("btnEdServEd");
    n.excluir = QStringLiteral("btnExServEd");
    n.seleciona = QStringLiteral("btnSelEmpServ");
    n.selecionaText = QStringLiteral("Seleciona Empresa Envolvida");
    n.aplicar = QStringLiteral("btnAplServ");
    n.cancelar = QStringLiteral("btnCanServ");
    n.detailTitle = QStringLiteral("Serviço Certificado");
    n.entryDate = QStringLiteral("EdtDtEntradaServ");
    n.statusTitle = QStringLiteral("Status do Serviço");
    n.status = {QStringLiteral("DBTextStatusServ"), QStringLiteral("sbAtivServ"), QStringLiteral("sbSuspServ"),
                QStringLiteral("sbCanServ")};
    n.leaveRefusal = QStringLiteral("Existem inclusões ou alterações não Aplicadas no painel de Serviços. Pressione o "
                                    "botão Aplicar ou Cancelar antes de mudar de painel.");
    return n;
}

using Col = SelectionListModel::Column;
using F = SelectionListModel::Format;

}

ServicosTab::ServicosTab(MaintenanceContext &context, QWidget *parent)
    : ItemTab(context, ItemKind::Servico, serviceNames(),
              {Col{QStringLiteral("Serviço Certificado"), QStringLiteral("NomClasseServ")},
               Col{QStringLiteral("Empresa Certificada"), QStringLiteral("RazSocialEmp"), F::Name,
                   QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")}},
              parent)
{
    m_classe = new QComboBox(detailGroup());
    m_classe->setObjectName(QStringLiteral("CbClasseServ"));
    m_classe->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_pais = shownBox(QStringLiteral("EdPaisServ"));
    m_cnpj = shownBox(QStringLiteral("EdCNPJServ"));
    m_razao = shownBox(QStringLiteral("EdRazSocialServ"));
    m_obs = new QLineEdit(detailGroup());
    m_obs->setObjectName(QStringLiteral("EdObsServico"));
    ColumnFit::fit(m_obs, QStringLiteral("SERVICO"), QStringLiteral("Observacoes"));
    addRow(QStringLiteral("Classe de Serviço"), m_classe);
    addRow(QStringLiteral("País"), m_pais);
    addRow(QStringLiteral("CNPJ"), m_cnpj);
    addRow(QStringLiteral("Razão Social"), m_razao);
    addRow(QStringLiteral("Observações"), m_obs);
    addRow(QString(), entryDateBox());
    m_chooser = [this]() {
        return TFrmSelEmpCert::choose(this, m_ctx.db, m_ctx.messenger, {open().key.sigla, open().key.numero});
    };
}

void ServicosTab::editStarted([[maybe_unused]] bool inclusion)
{
    // The classes the certifier is accredited for, plus the item's own.
    const int current = m_classe->currentData().toInt();
    m_classe->clear();
    for (const auto &c : CertificateStore::serviceClasses(m_ctx.db))
        m_classe->addItem(c.name, c.id.toInt());
    if (current != 0 && m_classe->findData(current) < 0)
        m_classe->addItem(draft().nomClasseServ, current);
    m_classe->setCurrentIndex(m_classe->findData(current));
}

void ServicosTab::showItem(const CertificateItem &item)
{
    int index = m_classe->findData(item.idClasseServ);
    if (index < 0 && item.idClasseServ != 0) {
        m_classe->addItem(item.nomClasseServ, item.idClasseServ);
        index = m_classe->count() - 1;
    }
    m_classe->setCurrentIndex(index);
    m_pais->setText(item.codigoPais);
    m_cnpj->setText(item.companyTaxId);
    m_razao->setText(item.companyName);
    m_obs->setText(item.observacoes);
}

void ServicosTab::readItem(CertificateItem &item) const
{
    item.idClasseServ = m_classe->currentIndex() >= 0 ? m_classe->currentData().toInt() : 0;
    item.nomClasseServ = m_classe->currentText();
    item.observacoes = m_obs->text();
}

bool ServicosTab::select(CertificateItem &draft)
{
    const auto company = m_chooser ? m_chooser() : std::nullopt;
    if (!company)
        return false;
    draft.codigoPais = company->codigoPais;
    draft.idEmpresa = company->idEmpresa;
    ItemStore::describeCompany(m_ctx.db, draft);
    return true;
}
