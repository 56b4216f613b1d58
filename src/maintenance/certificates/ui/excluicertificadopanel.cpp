#include "maintenance/certificates/ui/excluicertificadopanel.h"

#include "base/messenger.h"
#include "maintenance/certificates/certificatecontents.h"
#include "maintenance/certificates/certificatedeletion.h"
#include "maintenance/certificates/ui/tfrmselecionacertificado.h"
#include "maintenance/ui/selectionparts.h"
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

    certifierField = readOnlyBox(group, "DBEdit1");
    numberField = readOnlyBox(group, "DBEdit2");
    certificateClassField = readOnlyBox(group, "DBEdit3");
    productClassField = readOnlyBox(group, "DBEdit4");
    auto *heading = new QGridLayout;
    heading->setColumnStretch(1, 1);
    heading->setColumnStretch(3, 2);
    heading->addWidget(
        DialogParts::label(group, QStringLiteral("LbCertificador"), QStringLiteral("Certificador:"), certifierField), 0,
        0);
    heading->addWidget(certifierField, 0, 1);
    heading->addWidget(
        DialogParts::label(group, QStringLiteral("LbNumCertif"), QStringLiteral("Número do Certificado:"), numberField),
        0, 2);
    heading->addWidget(numberField, 0, 3);
    heading->addWidget(DialogParts::label(group, QStringLiteral("LbClasseCertif"),
                                          QStringLiteral("Classe do Certificado:"), certificateClassField),
                       1, 0);
    heading->addWidget(certificateClassField, 1, 1);
    heading->addWidget(DialogParts::label(group, QStringLiteral("LbClasseProd"), QStringLiteral("Classe de Produtos:"),
                                          productClassField),
                       1, 2);
    heading->addWidget(productClassField, 1, 3);
    layout->addLayout(heading);

    companyGrid = new SelectionGrid(QStringLiteral("DBGridEmpresas"),
                                    {Col{QStringLiteral("País"), QStringLiteral("NomePais")},
                                     Col{QStringLiteral("CNPJ\\CPF"), QStringLiteral("CGC"), Fmt::TaxId,
                                         QStringLiteral("TipoPessoa"), QStringLiteral("CPF")},
                                     Col{QStringLiteral("Razão Social"), QStringLiteral("RazSocialEmp"), Fmt::Name,
                                         QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")},
                                     Col{QStringLiteral("Nome Fantasia"), QStringLiteral("NomFantasia")},
                                     Col{QStringLiteral("Papel na Certificação"), QStringLiteral("PapelEmp")}},
                                    group);
    productGrid = new SelectionGrid(QStringLiteral("DBGridProdutos"),
                                    {Col{QStringLiteral("Marca"), QStringLiteral("MarcaProd")},
                                     Col{QStringLiteral("Modelo"), QStringLiteral("ModeloProd")},
                                     Col{QStringLiteral("Importado?"), QStringLiteral("Importado"), Fmt::YesNo},
                                     Col{QStringLiteral("EAN/UPC"), QStringLiteral("CodEANUPC")},
                                     Col{QStringLiteral("Núm. Lote/Série"), QStringLiteral("Numero")}},
                                    group);
    serviceGrid = new SelectionGrid(QStringLiteral("DBGridServicos"),
                                    {Col{QStringLiteral("Serviço Certificado"), QStringLiteral("NomClasseServ")},
                                     Col{QStringLiteral("Empresa Certificada"), QStringLiteral("NomeEmpresa")}},
                                    group);
    layout->addWidget(gridGroup(group, QStringLiteral("Empresas Certificadas"), companyGrid), 3);
    layout->addWidget(gridGroup(group, QStringLiteral("Produtos Certificados"), productGrid), 3);
    layout->addWidget(gridGroup(group, QStringLiteral("Serviços Certificados"), serviceGrid), 2);
    const QList<std::pair<SelectionGrid *, QList<int>>> widths{
        {companyGrid, {110, 150, 260, 150}}, {productGrid, {210, 210, 90, 150}}, {serviceGrid, {320}}};
    for (const auto &[grid, columns] : widths)
        for (int c = 0; c < columns.size(); ++c)
            grid->setColumnWidth(c, columns.at(c));

    chooseButton = DialogParts::button(group, QStringLiteral("btnSelCertExclusao"),
                                       QStringLiteral("Seleciona Certificado"));
    deleteButton = DialogParts::button(group, QStringLiteral("btnExcluiCertif"), QStringLiteral("Exclui Certificado"));
    cancelButton = DialogParts::button(group, QStringLiteral("BitBtn83"), QStringLiteral("Cancela"));
    layout->addLayout(SelectionParts::spreadRow({chooseButton, deleteButton}, {cancelButton}));

    Messenger &msg = m_ctx.messenger;
    connect(chooseButton, &QPushButton::clicked, this, guarded(msg, [this] { chooseCertificate(); }));
    connect(deleteButton, &QPushButton::clicked, this, guarded(msg, [this] { deleteShown(); }));
    connect(cancelButton, &QPushButton::clicked, this, guarded(msg, [this] { cancelDeletion(); }));

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
    deleteButton->setEnabled(false);
}

void ExcluiCertificadoPanel::closeAll()
{
    m_shown = CertificateKey();
    for (QLineEdit *e : {certifierField, numberField, certificateClassField, productClassField})
        e->clear();
    for (SelectionGrid *g : {companyGrid, productGrid, serviceGrid})
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
    certifierField->setText(h.key.sigla);
    numberField->setText(h.key.numero);
    certificateClassField->setText(h.classeCertificado);
    productClassField->setText(h.classeProdutos);
    companyGrid->open(m_ctx.db, CertificateContents::companies(m_shown));
    productGrid->open(m_ctx.db, CertificateContents::products(m_shown));
    serviceGrid->open(m_ctx.db, CertificateContents::services(m_shown));
}

void ExcluiCertificadoPanel::chooseCertificate()
{
    const std::optional<CertificateKey> chosen = m_chooser ? m_chooser() : std::nullopt;
    if (!chosen || chosen->isEmpty())
        m_ctx.messenger.information(TFrmSelecionaCertificado::NenhumEscolhido);
    else
        show(*chosen);
    // Offered once a certificate is on the panel (never for an empty one).
    deleteButton->setEnabled(!m_shown.isEmpty());
}

void ExcluiCertificadoPanel::deleteShown()
{
    if (m_shown.isEmpty())
        return;
    if (!CertificateDeletion::run(m_ctx.db, m_ctx.messenger, m_shown)) {
        // A failed deletion leaves the certificate whole: show it as it is.
        show(m_shown);
        return;
    }
    closeAll();
    deleteButton->setEnabled(false);
}

void ExcluiCertificadoPanel::cancelDeletion()
{
    closeAll();
    emit leave();
}
