#include "maintenance/companies/ui/tfrmalterastatusempresa.h"

#include "base/messenger.h"
#include "maintenance/maintenancedates.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Texts
{
    const char *label;
    const char *group;
};

Texts textsFor(const QString &letter)
{
    if (letter == QLatin1String("C"))
        return {"Cancela Empresa e Propagar o Status de Cancelado",
                "Cancelar e Transferir Empresa Vinculada dos Produtos"};
    if (letter == QLatin1String("S"))
        return {"Suspende Empresa e Propagar o Status de Suspenso",
                "Suspender e Transferir Empresa Vinculada dos Produtos"};
    return {"Ativa Empresa e Propagar o Status de Ativado", "Ativar e Transferir Empresa Vinculada dos Produtos"};
}

}

TFrmAlteraStatusEmpresa::TFrmAlteraStatusEmpresa(Database &db, Messenger &messenger, const CascadeRequest &request,
                                                 JustificationPrompt askJustification, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger),
      m_req(request),
      m_ask(std::move(askJustification)),
      m_cascade(db, messenger, request)
{
    setObjectName(QStringLiteral("FrmAlteraStatusEmpresa"));
    setWindowTitle(QStringLiteral("Alteração de Status"));
    setModal(true);
    buildUi();
    guard(m_msg, [this] { fill(); });
}

void TFrmAlteraStatusEmpresa::run(QWidget *parent, Database &db, Messenger &messenger, const CascadeRequest &request,
                                  const JustificationPrompt &askJustification)
{
    TFrmAlteraStatusEmpresa dialog(db, messenger, request, askJustification, parent);
    dialog.exec();
}

void TFrmAlteraStatusEmpresa::buildUi()
{
    auto *products = new QGroupBox(QStringLiteral("Produtos"), this);
    products->setObjectName(QStringLiteral("GbProdutos"));
    DBGridProdutos = new SelectionGrid(QStringLiteral("DBGridProdutos"),
                                       {{QStringLiteral("Marca"), QStringLiteral("MARCAPROD")},
                                        {QStringLiteral("Modelo"), QStringLiteral("MODELOPROD")}},
                                       products);
    (new QVBoxLayout(products))->addWidget(DBGridProdutos);
    DBGridProdutos->setAccessibleName(products->title());

    auto *services = new QGroupBox(QStringLiteral("Serviços"), this);
    services->setObjectName(QStringLiteral("GbServicos"));
    DBGridServicos = new SelectionGrid(QStringLiteral("DBGridServicos"),
                                       {{QStringLiteral("Classe de Serviço"), QStringLiteral("NOMCLASSESERV")}},
                                       services);
    (new QVBoxLayout(services))->addWidget(DBGridServicos);
    DBGridServicos->setAccessibleName(services->title());

    auto *lists = new QHBoxLayout;
    lists->addWidget(products, 3);
    lists->addWidget(services, 2);

    auto *propagate = new QGroupBox(QStringLiteral("Propagar Status"), this);
    propagate->setObjectName(QStringLiteral("GbPropagar"));
    LbPropagar = new QLabel(propagate);
    LbPropagar->setObjectName(QStringLiteral("LbPropagar"));
    BtPropaga = DialogParts::button(propagate, QStringLiteral("BtPropaga"), QStringLiteral("Propagar"));
    auto *propagateRow = new QHBoxLayout(propagate);
    propagateRow->addWidget(LbPropagar, 1);
    propagateRow->addWidget(BtPropaga, 0, Qt::AlignBottom);

    GbTransferir = new QGroupBox(this);
    GbTransferir->setObjectName(QStringLiteral("GbTransferir"));
    EdEmpresaAtual = new QLineEdit(GbTransferir);
    EdEmpresaAtual->setObjectName(QStringLiteral("EdEmpresaAtual"));
    EdEmpresaAtual->setReadOnly(true);
    CbNovaEmpresa = new QComboBox(GbTransferir);
    CbNovaEmpresa->setObjectName(QStringLiteral("CbNovaEmpresa"));
    BtTransfere = DialogParts::button(GbTransferir, QStringLiteral("BtTransfere"), QStringLiteral("Transferir"));
    auto *form = new QFormLayout;
    form->addRow(DialogParts::label(GbTransferir, QStringLiteral("LbEmpresaAtual"),
                                    QStringLiteral("Empresa Vinculada Atual"), EdEmpresaAtual),
                 EdEmpresaAtual);
    form->addRow(DialogParts::label(GbTransferir, QStringLiteral("LbNovaEmpresa"), QStringLiteral("Nova Empresa"),
                                    CbNovaEmpresa),
                 CbNovaEmpresa);
    auto *transferRow = new QHBoxLayout(GbTransferir);
    transferRow->addLayout(form, 1);
    transferRow->addWidget(BtTransfere, 0, Qt::AlignBottom);

    BtSaida = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(propagate);
    layout->addWidget(GbTransferir);
    auto *exitRow = new QHBoxLayout;
    exitRow->addStretch();
    exitRow->addWidget(BtSaida);
    layout->addLayout(exitRow);

    connect(BtPropaga, &QPushButton::clicked, this, guarded(m_msg, [this] { BtPropagaClick(); }));
    connect(BtTransfere, &QPushButton::clicked, this, guarded(m_msg, [this] { BtTransfereClick(); }));
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::accept);
    resize(680, 520);
}

void TFrmAlteraStatusEmpresa::fill()
{
    const Texts t = textsFor(m_req.letter);
    LbPropagar->setText(QString::fromUtf8(t.label) + QLatin1Char('\n') +
                        QStringLiteral("para os Produtos ou Serviços Vinculados"));
    GbTransferir->setTitle(QString::fromUtf8(t.group));

    DBGridProdutos->open(m_db, m_cascade.productsStatement());
    DBGridServicos->open(m_db, m_cascade.servicesStatement());

    CbNovaEmpresa->addItem(QString());
    for (const CertificateCompany &c : m_cascade.companies()) {
        const bool self = c.key.codigoPais.compare(m_req.company.codigoPais, Qt::CaseInsensitive) == 0 &&
            c.key.idEmpresa.compare(m_req.company.idEmpresa, Qt::CaseInsensitive) == 0;
        if (self)
            EdEmpresaAtual->setText(c.name);
        else
            CbNovaEmpresa->addItem(c.name, QStringList{c.key.codigoPais, c.key.idEmpresa});
    }
}

void TFrmAlteraStatusEmpresa::finished()
{
    BtPropaga->setEnabled(false);
    BtTransfere->setEnabled(false);
    DBGridProdutos->open(m_db, m_cascade.productsStatement());
    DBGridServicos->open(m_db, m_cascade.servicesStatement());
}

void TFrmAlteraStatusEmpresa::BtPropagaClick()
{
    if (!m_msg.confirm(CompanyCascadeTexts::ConfirmPropagate))
        return;
    // The status date is checked against today only here: no issue date.
    const auto answer = m_ask ? m_ask(true, QDateTime()) : std::nullopt;
    if (!answer)
        return;
    if (m_cascade.propagate(answer->text, MaintenanceDates::parse(answer->date)))
        finished();
}

void TFrmAlteraStatusEmpresa::BtTransfereClick()
{
    if (!m_msg.confirm(CompanyCascadeTexts::ConfirmTransfer))
        return;
    // Each entry of the list keeps its company's key: two companies may
    // share a name.
    const QStringList chosen = CbNovaEmpresa->currentData().toStringList();
    std::optional<CompanyKey> target;
    if (chosen.size() == 2)
        target = CompanyKey{chosen.at(0), chosen.at(1)};
    const QString refusal = m_cascade.transferRefusal(target);
    if (!refusal.isEmpty()) {
        m_msg.information(refusal);
        return;
    }
    const auto answer = m_ask ? m_ask(true, QDateTime()) : std::nullopt;
    if (!answer)
        return;
    if (m_cascade.transfer(*target, answer->text, MaintenanceDates::parse(answer->date)))
        finished();
}
