#include "maintenance/certificates/ui/excluicertificadopanel.h"

#include "base/messenger.h"
#include "maintenance/certificates/certificatecontents.h"
#include "maintenance/certificates/certificatedeletion.h"
#include "maintenance/certificates/ui/tfrmselecionacertificado.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

using Col = SelectionListModel::Column;
using Fmt = SelectionListModel::Format;

QLineEdit *readOnlyBox(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    return e;
}

QGroupBox *gridGroup(QWidget *parent, const QString &title, SelectionGrid *grid)
{
    auto *g = new QGroupBox(title, parent);
    auto *l = new QVBoxLayout(g);
    l->setContentsMargins(4, 4, 4, 4);
    grid->setParent(g);
    grid->setAccessibleName(title);
    l->addWidget(grid);
    return g;
}

}

ExcluiCertificadoPanel::ExcluiCertificadoPanel(MaintenanceContext &context, QWidget *parent)
    : QWidget(parent),
      m_ctx(context)
{
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Exclui Certificado"), this);
    group->setObjectName(QStringLiteral("GroupExcluiCertificado"));
    outer->addWidget(group);
    auto *layout = new QVBoxLayout(group);

    DBEdit1 = readOnlyBox(group, "DBEdit1");
    DBEdit2 = readOnlyBox(group, "DBEdit2");
    DBEdit3 = readOnlyBox(group, "DBEdit3");
    DBEdit4 = readOnlyBox(group, "DBEdit4");
    auto *heading = new QGridLayout;
    heading->setColumnStretch(1, 1);
    heading->setColumnStretch(3, 2);
    heading->addWidget(
        DialogParts::label(group, QStringLiteral("LbCertificador"), QStringLiteral("Certificador:"), DBEdit1), 0, 0);
    heading->addWidget(DBEdit1, 0, 1);
    heading->addWidget(
        DialogParts::label(group, QStringLiteral("LbNumCertif"), QStringLiteral("Número do Certificado:"), DBEdit2), 0,
        2);
    heading->addWidget(DBEdit2, 0, 3);
    heading->addWidget(
        DialogParts::label(group, QStringLiteral("LbClasseCertif"), QStringLiteral("Classe do Certificado:"), DBEdit3),
        1, 0);
    heading->addWidget(DBEdit3, 1, 1);
    heading->addWidget(
        DialogParts::label(group, QStringLiteral("LbClasseProd"), QStringLiteral("Classe de Produtos:"), DBEdit4), 1,
        2);
    heading->addWidget(DBEdit4, 1, 3);
    layout->addLayout(heading);

    DBGridEmpresas = new SelectionGrid(QStringLiteral("DBGridEmpresas"),
                                       {Col{QStringLiteral("País"), QStringLiteral("NomePais")},
                                        Col{QStringLiteral("CNPJ\\CPF"), QStringLiteral("CGC"), Fmt::TaxId,
                                            QStringLiteral("TipoPessoa"), QStringLiteral("CPF")},
                                        Col{QStringLiteral("Razão Social"), QStringLiteral("RazSocialEmp"), Fmt::Name,
                                            QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")},
                                        Col{QStringLiteral("Nome Fantasia"), QStringLiteral("NomFantasia")},
                                        Col{QStringLiteral("Papel na Certificação"), QStringLiteral("PapelEmp")}},
                                       group);
    DBGridProdutos = new SelectionGrid(QStringLiteral("DBGridProdutos"),
                                       {Col{QStringLiteral("Marca"), QStringLiteral("MarcaProd")},
                                        Col{QStringLiteral("Modelo"), QStringLiteral("ModeloProd")},
                                        Col{QStringLiteral("Importado?"), QStringLiteral("Importado"), Fmt::YesNo},
                                        Col{QStringLiteral("EAN/UPC"), QStringLiteral("CodEANUPC")},
                                        Col{QStringLiteral("Núm. Lote/Série"), QStringLiteral("Numero")}},
                                       group);
    DBGridServicos = new SelectionGrid(QStringLiteral("DBGridServicos"),
                                       {Col{QStringLiteral("Serviço Certificado"), QStringLiteral("NomClasseServ")},
                                        Col{QStringLiteral("Empresa Certificada"), QStringLiteral("NomeEmpresa")}},
                                       group);
    layout->addWidget(gridGroup(group, QStringLiteral("Empresas Certificadas"), DBGridEmpresas), 3);
    layout->addWidget(gridGroup(group, QStringLiteral("Produtos Certificados"), DBGridProdutos), 3);
    layout->addWidget(gridGroup(group, QStringLiteral("Serviços Certificados"), DBGridServicos), 2);
    const QList<std::pair<SelectionGrid *, QList<int>>> widths{
        {DBGridEmpresas, {110, 150, 260, 150}}, {DBGridProdutos, {210, 210, 90, 150}}, {DBGridServicos, {320}}};
    for (const auto &[grid, columns] : widths)
        for (int c = 0; c < columns.size(); ++c)
            grid->setColumnWidth(c, columns.at(c));

    btnSelCertExclusao = DialogParts::button(group, QStringLiteral("btnSelCertExclusao"),
                                             QStringLiteral("Seleciona Certificado"));
    btnExcluiCertif = DialogParts::button(group, QStringLiteral("btnExcluiCertif"),
                                          QStringLiteral("Exclui Certificado"));
    BitBtn83 = DialogParts::button(group, QStringLiteral("BitBtn83"), QStringLiteral("Cancela"));
    auto *row = new QHBoxLayout;
    row->addWidget(btnSelCertExclusao);
    row->addWidget(btnExcluiCertif);
    row->addStretch();
    row->addWidget(BitBtn83);
    layout->addLayout(row);

    Messenger &msg = m_ctx.messenger;
    connect(btnSelCertExclusao, &QPushButton::clicked, this, guarded(msg, [this] { btnSelCertExclusaoClick(); }));
    connect(btnExcluiCertif, &QPushButton::clicked, this, guarded(msg, [this] { btnExcluiCertifClick(); }));
    connect(BitBtn83, &QPushButton::clicked, this, guarded(msg, [this] { BitBtn83Click(); }));

    m_chooser = [this]() -> std::optional<CertificateKey> {
        const auto chosen = TFrmSelecionaCertificado::choose(this, m_ctx.db, m_ctx.messenger);
        if (!chosen)
            return std::nullopt;
        return CertificateKey{chosen->siglaCertificador, chosen->numCertif};
    };
    entered();
}

void ExcluiCertificadoPanel::entered()
{
    closeAll();
    btnExcluiCertif->setEnabled(false);
}

void ExcluiCertificadoPanel::closeAll()
{
    m_shown = CertificateKey();
    for (QLineEdit *e : {DBEdit1, DBEdit2, DBEdit3, DBEdit4})
        e->clear();
    for (SelectionGrid *g : {DBGridEmpresas, DBGridProdutos, DBGridServicos})
        g->close();
}

void ExcluiCertificadoPanel::show(const CertificateKey &wanted)
{
    const CertificateKey key = wanted; // may be m_shown itself, cleared below
    closeAll();
    const CertificateContents::Heading h = CertificateContents::heading(m_ctx.db, key);
    if (!h.found)
        return;
    m_shown = h.key;
    DBEdit1->setText(h.key.sigla);
    DBEdit2->setText(h.key.numero);
    DBEdit3->setText(h.classeCertificado);
    DBEdit4->setText(h.classeProdutos);
    DBGridEmpresas->open(m_ctx.db, CertificateContents::companies(m_shown));
    DBGridProdutos->open(m_ctx.db, CertificateContents::products(m_shown));
    DBGridServicos->open(m_ctx.db, CertificateContents::services(m_shown));
}

void ExcluiCertificadoPanel::btnSelCertExclusaoClick()
{
    const std::optional<CertificateKey> chosen = m_chooser ? m_chooser() : std::nullopt;
    if (!chosen || chosen->isEmpty())
        m_ctx.messenger.information(TFrmSelecionaCertificado::NenhumEscolhido);
    else
        show(*chosen);
    // Offered once a certificate is on the panel (never for an empty one).
    btnExcluiCertif->setEnabled(!m_shown.isEmpty());
}

void ExcluiCertificadoPanel::btnExcluiCertifClick()
{
    if (m_shown.isEmpty())
        return;
    if (!CertificateDeletion::run(m_ctx.db, m_ctx.messenger, m_shown)) {
        // A failed deletion leaves the certificate whole: show it as it is.
        show(m_shown);
        return;
    }
    closeAll();
    btnExcluiCertif->setEnabled(false);
}

void ExcluiCertificadoPanel::BitBtn83Click()
{
    closeAll();
    emit leave();
}
