#include "maintenance/companies/ui/tfrmalterastatusempresa.h"

#include "base/messenger.h"
#include "maintenance/maintenancedates.h"
#include "maintenance/ui/selectionparts.h"
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
    productGrid = new SelectionGrid(QStringLiteral("DBGridProdutos"),
                                    {{QStringLiteral("Marca"), QStringLiteral("MARCAPROD")},
                                     {QStringLiteral("Modelo"), QStringLiteral("MODELOPROD")}},
                                    products);
    (new QVBoxLayout(products))->addWidget(productGrid);
    productGrid->setAccessibleName(products->title());

    auto *services = new QGroupBox(QStringLiteral("Serviços"), this);
    services->setObjectName(QStringLiteral("GbServicos"));
    serviceGrid = new SelectionGrid(QStringLiteral("DBGridServicos"),
                                    {{QStringLiteral("Classe de Serviço"), QStringLiteral("NOMCLASSESERV")}}, services);
    (new QVBoxLayout(services))->addWidget(serviceGrid);
    serviceGrid->setAccessibleName(services->title());

    auto *lists = new QHBoxLayout;
    lists->addWidget(products, 3);
    lists->addWidget(services, 2);

    auto *propagateBox = new QGroupBox(QStringLiteral("Propagar Status"), this);
    propagateBox->setObjectName(QStringLiteral("GbPropagar"));
    propagateLabel = new QLabel(propagateBox);
    propagateLabel->setObjectName(QStringLiteral("LbPropagar"));
    propagateButton = DialogParts::button(propagateBox, QStringLiteral("BtPropaga"), QStringLiteral("Propagar"));
    auto *propagateRow = new QHBoxLayout(propagateBox);
    propagateRow->addWidget(propagateLabel, 1);
    propagateRow->addWidget(propagateButton, 0, Qt::AlignBottom);

    transferBox = new QGroupBox(this);
    transferBox->setObjectName(QStringLiteral("GbTransferir"));
    currentCompanyField = new QLineEdit(transferBox);
    currentCompanyField->setObjectName(QStringLiteral("EdEmpresaAtual"));
    currentCompanyField->setReadOnly(true);
    newCompanyList = new QComboBox(transferBox);
    newCompanyList->setObjectName(QStringLiteral("CbNovaEmpresa"));
    transferButton = DialogParts::button(transferBox, QStringLiteral("BtTransfere"), QStringLiteral("Transferir"));
    auto *form = new QFormLayout;
    form->addRow(DialogParts::label(transferBox, QStringLiteral("LbEmpresaAtual"),
                                    QStringLiteral("Empresa Vinculada Atual"), currentCompanyField),
                 currentCompanyField);
    form->addRow(DialogParts::label(transferBox, QStringLiteral("LbNovaEmpresa"), QStringLiteral("Nova Empresa"),
                                    newCompanyList),
                 newCompanyList);
    auto *transferRow = new QHBoxLayout(transferBox);
    transferRow->addLayout(form, 1);
    transferRow->addWidget(transferButton, 0, Qt::AlignBottom);

    exitButton = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(propagateBox);
    layout->addWidget(transferBox);
    layout->addLayout(SelectionParts::spreadRow({}, {exitButton}));

    connect(propagateButton, &QPushButton::clicked, this, guarded(m_msg, [this] { propagate(); }));
    connect(transferButton, &QPushButton::clicked, this, guarded(m_msg, [this] { transfer(); }));
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    resize(680, 520);
}

void TFrmAlteraStatusEmpresa::fill()
{
    const Texts t = textsFor(m_req.letter);
    propagateLabel->setText(QString::fromUtf8(t.label) + QLatin1Char('\n') +
                            QStringLiteral("para os Produtos ou Serviços Vinculados"));
    transferBox->setTitle(QString::fromUtf8(t.group));

    productGrid->open(m_db, m_cascade.productsStatement());
    serviceGrid->open(m_db, m_cascade.servicesStatement());

    newCompanyList->addItem(QString());
    for (const CertificateCompany &c : m_cascade.companies()) {
        const bool self = c.key.codigoPais.compare(m_req.company.codigoPais, Qt::CaseInsensitive) == 0 &&
            c.key.idEmpresa.compare(m_req.company.idEmpresa, Qt::CaseInsensitive) == 0;
        if (self)
            currentCompanyField->setText(c.name);
        else
            newCompanyList->addItem(c.name, QStringList{c.key.codigoPais, c.key.idEmpresa});
    }
}

void TFrmAlteraStatusEmpresa::finished()
{
    propagateButton->setEnabled(false);
    transferButton->setEnabled(false);
    productGrid->open(m_db, m_cascade.productsStatement());
    serviceGrid->open(m_db, m_cascade.servicesStatement());
}

void TFrmAlteraStatusEmpresa::propagate()
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

void TFrmAlteraStatusEmpresa::transfer()
{
    if (!m_msg.confirm(CompanyCascadeTexts::ConfirmTransfer))
        return;
    // Each entry of the list keeps its company's key: two companies may
    // share a name.
    const QStringList chosen = newCompanyList->currentData().toStringList();
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
