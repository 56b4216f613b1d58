#include "maintenance/companies/ui/tfrmselecionaempresa.h"

#include "base/messenger.h"
#include "maintenance/companies/ui/tfrminclempresa.h"
#include "maintenance/selectionlistmodel.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"
#include "widgets/spreadsheetexport.h"
#include "widgets/waitcursor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using SelectionParts::button;
using SelectionParts::labelFor;

namespace {
const QString CnpjMask = QStringLiteral("99.999.999/9999-99;_");
const QString CpfMask = QStringLiteral("000000000-99;_");

QString digitsOf(const QString &text)
{
    QString out;
    for (QChar c : text)
        if (c.isDigit())
            out.append(c);
    return out;
}
}

TFrmSelecionaEmpresa::TFrmSelecionaEmpresa(Database &db, Messenger &messenger, const QString &userCode, bool offerNew,
                                           QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger),
      m_user(userCode)
{
    setObjectName(QStringLiteral("FrmSelecionaEmpresa"));
    setWindowTitle(QStringLiteral("Seleciona Empresa"));
    setModal(true);
    buildUi();
    BtNova->setVisible(offerNew);
    guard(m_msg, [this] {
        CbPais->addItem(QString());
        for (const SelectionSql::Entry &e : SelectionSql::countries(m_db))
            CbPais->addItem(e.name, e.code);
        run(CompanySelection::statement(m_filter));
    });
}

void TFrmSelecionaEmpresa::buildUi()
{
    auto *filterBox = new QGroupBox(QStringLiteral("Filtro"), this);
    filterBox->setObjectName(QStringLiteral("GbFiltro"));
    CbPais = new QComboBox(filterBox);
    CbPais->setObjectName(QStringLiteral("CbPais"));
    CbPais->setMinimumContentsLength(20);

    auto *kindBox = new QWidget(filterBox);
    kindBox->setObjectName(QStringLiteral("RgTipoPessoa"));
    kindBox->setAccessibleName(QStringLiteral("Tipo Pessoa"));
    RbFisica = new QRadioButton(QStringLiteral("Física"), kindBox);
    RbFisica->setObjectName(QStringLiteral("RbFisica"));
    RbJuridica = new QRadioButton(QStringLiteral("Jurídica"), kindBox);
    RbJuridica->setObjectName(QStringLiteral("RbJuridica"));
    auto *kindGroup = new QButtonGroup(this);
    kindGroup->addButton(RbFisica);
    kindGroup->addButton(RbJuridica);
    auto *kindLayout = new QHBoxLayout(kindBox);
    kindLayout->setContentsMargins(0, 0, 0, 0);
    kindLayout->addWidget(RbFisica);
    kindLayout->addWidget(RbJuridica);
    kindLayout->addStretch();

    EdCNPJ = new QLineEdit(filterBox);
    EdCNPJ->setObjectName(QStringLiteral("EdCNPJ"));
    EdCNPJ->setInputMask(CnpjMask);
    EdNomeFantasia = new QLineEdit(filterBox);
    EdNomeFantasia->setObjectName(QStringLiteral("EdNomeFantasia"));
    EdRazaoSocial = new QLineEdit(filterBox);
    EdRazaoSocial->setObjectName(QStringLiteral("EdRazaoSocial"));
    EdRazaoSocial->setMaxLength(255);

    auto *form = new QFormLayout;
    form->addRow(labelFor(filterBox, QStringLiteral("País:"), CbPais), CbPais);
    auto *kindLabel = new QLabel(QStringLiteral("Tipo Pessoa:"), filterBox);
    kindLabel->setObjectName(QStringLiteral("LbTipoPessoa"));
    form->addRow(kindLabel, kindBox);
    LbCNPJ = labelFor(filterBox, QStringLiteral("CNPJ:"), EdCNPJ);
    form->addRow(LbCNPJ, EdCNPJ);
    LbNomeFantasia = labelFor(filterBox, QStringLiteral("Nome Fantasia:"), EdNomeFantasia);
    form->addRow(LbNomeFantasia, EdNomeFantasia);
    form->addRow(labelFor(filterBox, QStringLiteral("Razão Social:"), EdRazaoSocial), EdRazaoSocial);
    auto *filtra = button(filterBox, QStringLiteral("BtFiltra"), QStringLiteral("Filtra"));
    auto *filterButtons = new QHBoxLayout;
    filterButtons->addStretch();
    filterButtons->addWidget(filtra);
    auto *filterLayout = new QVBoxLayout(filterBox);
    filterLayout->addLayout(form);
    filterLayout->addLayout(filterButtons);

    using Format = SelectionListModel::Format;
    GrdEmpresas = new SelectionGrid(QStringLiteral("GrdEmpresas"),
                                    {{QStringLiteral("País"), QStringLiteral("NomePais")},
                                     {QStringLiteral("CNPJ/CPF"), QStringLiteral("CGC"), Format::TaxId,
                                      QStringLiteral("TipoPessoa"), QStringLiteral("CPF")},
                                     {QStringLiteral("Razão Social/Nome Pessoa Física"), QStringLiteral("RazSocialEmp"),
                                      Format::Name, QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")},
                                     {QStringLiteral("Nome Fantasia"), QStringLiteral("NomFantasia")}},
                                    this);
    SpreadsheetExport::attach(GrdEmpresas, m_msg, QStringLiteral("empresas"));
    GrdEmpresas->setAccessibleName(QStringLiteral("Empresas"));
    GrdEmpresas->setMinimumHeight(240);
    GrdEmpresas->horizontalHeader()->resizeSection(0, 120);
    GrdEmpresas->horizontalHeader()->resizeSection(1, 150);
    GrdEmpresas->horizontalHeader()->resizeSection(2, 300);

    LbQuantidade = new QLabel(this);
    LbQuantidade->setObjectName(QStringLiteral("LbQuantidade"));
    auto *countCaption = new QLabel(QStringLiteral("Empresas encontradas:"), this);
    countCaption->setObjectName(QStringLiteral("LbQuantidadeTitulo"));
    BtNova = button(this, QStringLiteral("BtNova"), QStringLiteral("Nova..."));
    auto *ok = button(this, QStringLiteral("BtOk"), QStringLiteral("Ok"));
    ok->setDefault(true);
    auto *cancel = button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(countCaption);
    bottom->addWidget(LbQuantidade);
    bottom->addStretch();
    bottom->addWidget(BtNova);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filterBox);
    layout->addWidget(GrdEmpresas, 1);
    layout->addLayout(bottom);
    resize(780, 560);

    connect(RbFisica, &QRadioButton::toggled, this, [this] { RgTipoPessoaClick(); });
    connect(RbJuridica, &QRadioButton::toggled, this, [this] { RgTipoPessoaClick(); });
    connect(filtra, &QPushButton::clicked, this, guarded(m_msg, [this] { BtFiltraClick(); }));
    for (QLineEdit *field : {EdCNPJ, EdNomeFantasia, EdRazaoSocial})
        SelectionParts::filterOnEnter(field, guarded(m_msg, [this] { BtFiltraClick(); }));
    connect(BtNova, &QPushButton::clicked, this, guarded(m_msg, [this] { BtNovaClick(); }));
    connect(ok, &QPushButton::clicked, this, guarded(m_msg, [this] { BtOkClick(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(GrdEmpresas, &SelectionGrid::rowChosen, this, guarded(m_msg, [this] { BtOkClick(); }));
    connect(GrdEmpresas, &SelectionGrid::titleClicked, this,
            [this](int column) { guard(m_msg, [&] { GridTitleClick(column); }); });
}

CompanySelection::Kind TFrmSelecionaEmpresa::kind() const
{
    using Kind = CompanySelection::Kind;
    return RbFisica->isChecked() ? Kind::NaturalPerson : RbJuridica->isChecked() ? Kind::LegalEntity : Kind::Any;
}

void TFrmSelecionaEmpresa::RgTipoPessoaClick()
{
    const bool person = kind() == CompanySelection::Kind::NaturalPerson;
    const QString mask = person ? CpfMask : CnpjMask;
    if (EdCNPJ->inputMask() != mask) {
        EdCNPJ->setInputMask(mask);
        EdCNPJ->clear();
    }
    LbCNPJ->setText(person ? QStringLiteral("CPF:") : QStringLiteral("CNPJ:"));
    LbNomeFantasia->setText(person ? QStringLiteral("Nome Pessoa Física:") : QStringLiteral("Nome Fantasia:"));
    EdRazaoSocial->setEnabled(!person);
    if (person)
        EdRazaoSocial->clear();
}

void TFrmSelecionaEmpresa::run(const SelectionSql::Statement &s)
{
    WaitCursor wait;
    try {
        GrdEmpresas->open(m_db, s);
    } catch (...) {
        GrdEmpresas->close();
        LbQuantidade->setText(QStringLiteral("0"));
        throw;
    }
    LbQuantidade->setText(QString::number(GrdEmpresas->list()->found()));
}

void TFrmSelecionaEmpresa::clearFields()
{
    CbPais->setCurrentIndex(0);
    EdCNPJ->clear();
    EdNomeFantasia->clear();
    EdRazaoSocial->clear();
}

void TFrmSelecionaEmpresa::BtFiltraClick()
{
    CompanySelection::Filter f;
    f.country = CbPais->currentData().toString();
    f.kind = kind();
    f.taxId = digitsOf(EdCNPJ->text());
    f.name = EdNomeFantasia->text().trimmed();
    f.legalName = EdRazaoSocial->text().trimmed();
    m_filter = f;
    run(CompanySelection::statement(m_filter));
    clearFields();
}

void TFrmSelecionaEmpresa::GridTitleClick(int column)
{
    using Order = CompanySelection::Order;
    static const Order orders[] = {Order::Country, Order::TaxId, Order::LegalName, Order::TradeName};
    if (column >= 0 && column < int(std::size(orders)))
        run(CompanySelection::statement(m_filter, orders[column]));
}

void TFrmSelecionaEmpresa::BtOkClick()
{
    const int row = GrdEmpresas->currentRow();
    if (row < 0)
        return;
    const SelectedCompany c = CompanySelection::rowOf(*GrdEmpresas->list(), row);
    if (c.nomePais.isEmpty())
        return;
    m_chosen = c;
    accept();
}

void TFrmSelecionaEmpresa::BtNovaClick()
{
    const std::optional<CompanyKey> key = TFrmInclEmpresa::include(this, m_db, m_msg, m_user);
    if (!key) {
        m_msg.plain(NenhumaNova, QStringLiteral("Aviso"));
        // A refused inclusion rolls back, which ends the reading of the list.
        run(CompanySelection::statement(m_filter));
        return;
    }
    run(CompanySelection::only(*key));
    BtOkClick();
}

std::optional<SelectedCompany> TFrmSelecionaEmpresa::choose(QWidget *parent, Database &db, Messenger &messenger,
                                                            const QString &userCode, bool offerNew)
{
    TFrmSelecionaEmpresa dlg(db, messenger, userCode, offerNew, parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.chosen();
}
