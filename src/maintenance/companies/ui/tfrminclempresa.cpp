#include "maintenance/companies/ui/tfrminclempresa.h"

#include "maintenance/selectionsql.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/columnfit.h"
#include "widgets/guardedslot.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using SelectionParts::button;
using SelectionParts::labelFor;

TFrmInclEmpresa::TFrmInclEmpresa(Database &db, Messenger &messenger, const QString &userCode, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger),
      m_user(userCode)
{
    setObjectName(QStringLiteral("FrmInclEmpresa"));
    setWindowTitle(QStringLiteral("Inclusão de Empresa"));
    setModal(true);
    buildUi();
    guard(m_msg, [this] {
        CbPais->addItem(QString());
        for (const SelectionSql::Entry &e : SelectionSql::countries(m_db))
            CbPais->addItem(e.name, e.code);
        CbUF->addItem(QString());
        for (const SelectionSql::Entry &e :
             SelectionSql::entries(m_db, QStringLiteral("SELECT SiglaUF, NomeUF FROM UF ORDER BY SiglaUF")))
            CbUF->addItem(e.code, e.code);
    });
    CbPaisChange();
}

QLineEdit *TFrmInclEmpresa::box(const QString &name, const QString &column)
{
    auto *e = new QLineEdit(this);
    e->setObjectName(name);
    ColumnFit::fit(e, QStringLiteral("EMPRESA"), column);
    return e;
}

void TFrmInclEmpresa::buildUi()
{
    CbPais = new QComboBox(this);
    CbPais->setObjectName(QStringLiteral("CbPais"));
    auto *kindBox = new QWidget(this);
    kindBox->setObjectName(QStringLiteral("RgTipoPessoa"));
    kindBox->setAccessibleName(QStringLiteral("Tipo Pessoa"));
    RbFisica = new QRadioButton(QStringLiteral("Física"), kindBox);
    RbFisica->setObjectName(QStringLiteral("RbFisica"));
    RbJuridica = new QRadioButton(QStringLiteral("Jurídica"), kindBox);
    RbJuridica->setObjectName(QStringLiteral("RbJuridica"));
    RbJuridica->setChecked(true);
    auto *kindGroup = new QButtonGroup(this);
    kindGroup->addButton(RbFisica);
    kindGroup->addButton(RbJuridica);
    auto *kindLayout = new QHBoxLayout(kindBox);
    kindLayout->setContentsMargins(0, 0, 0, 0);
    kindLayout->addWidget(RbFisica);
    kindLayout->addWidget(RbJuridica);
    kindLayout->addStretch();

    EdCNPJ = box(QStringLiteral("EdCNPJ"), QStringLiteral("CGC"));
    // Digits and the separators of a typed CNPJ or CPF.
    EdCNPJ->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-./0-9\\\\]*")), EdCNPJ));
    EdRazaoSocial = box(QStringLiteral("EdRazaoSocial"), QStringLiteral("RazSocialEmp"));
    EdNomeFantasia = box(QStringLiteral("EdNomeFantasia"), QStringLiteral("NomFantasia"));
    EdEndereco = box(QStringLiteral("EdEndereco"), QStringLiteral("EndLogr"));
    EdNumero = box(QStringLiteral("EdNumero"), QStringLiteral("EndNum"));
    EdComplemento = box(QStringLiteral("EdComplemento"), QStringLiteral("EndCompl"));
    EdCEP = box(QStringLiteral("EdCEP"), QStringLiteral("EndCEP"));
    EdBairro = box(QStringLiteral("EdBairro"), QStringLiteral("EndBairro"));
    EdCidade = box(QStringLiteral("EdCidade"), QStringLiteral("EndCidade"));
    CbUF = new QComboBox(this);
    CbUF->setObjectName(QStringLiteral("CbUF"));
    EdTelefone = box(QStringLiteral("EdTelefone"), QStringLiteral("Telefone"));
    EdFax = box(QStringLiteral("EdFax"), QStringLiteral("Fax"));
    EdEmail = box(QStringLiteral("EdEmail"), QStringLiteral("Email"));

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(1, 240);
    grid->setColumnMinimumWidth(3, 240);
    // Room for the longer of the two name labels, so switching kinds does not move the boxes.
    grid->setColumnMinimumWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("Nome Pessoa Física:")) + 8);
    int row = 0;
    auto pair = [&](QWidget *left, const QString &leftText, QWidget *right, const QString &rightText,
                    QLabel **leftLabel = nullptr, QLabel **rightLabel = nullptr) {
        if (left) {
            QLabel *l = labelFor(this, leftText, left);
            grid->addWidget(l, row, 0);
            grid->addWidget(left, row, 1);
            if (leftLabel)
                *leftLabel = l;
        }
        if (right) {
            QLabel *l = labelFor(this, rightText, right);
            grid->addWidget(l, row, 2);
            grid->addWidget(right, row, 3);
            if (rightLabel)
                *rightLabel = l;
        }
        ++row;
    };
    pair(CbPais, QStringLiteral("País:"), kindBox, QStringLiteral("Tipo Pessoa:"));
    pair(EdCNPJ, QStringLiteral("CNPJ:"), EdRazaoSocial, QStringLiteral("Razão Social:"), &LbCNPJ, &LbRazaoSocial);
    pair(EdNomeFantasia, QStringLiteral("Nome Fantasia:"), nullptr, QString());
    pair(EdEndereco, QStringLiteral("Endereço:"), EdNumero, QStringLiteral("Número:"));
    pair(EdComplemento, QStringLiteral("Complemento:"), EdCEP, QStringLiteral("CEP:"));
    pair(EdBairro, QStringLiteral("Bairro:"), EdCidade, QStringLiteral("Cidade:"));
    pair(CbUF, QStringLiteral("UF:"), EdTelefone, QStringLiteral("Telefone:"));
    pair(EdFax, QStringLiteral("Fax:"), EdEmail, QStringLiteral("Email:"));

    auto *ok = button(this, QStringLiteral("BtOk"), QStringLiteral("Ok"));
    ok->setDefault(true);
    auto *cancel = button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(CbPais, &QComboBox::currentIndexChanged, this, [this] { CbPaisChange(); });
    connect(RbFisica, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RgTipoPessoaClick();
    });
    connect(RbJuridica, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RgTipoPessoaClick();
    });
    connect(ok, &QPushButton::clicked, this, guarded(m_msg, [this] { BtOkClick(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrmInclEmpresa::CbPaisChange()
{
    const bool chosen = CbPais->currentIndex() > 0;
    const bool brazil = chosen && CompanyInclusion::isBrazil(CbPais->currentText());
    if (chosen && !brazil)
        RbJuridica->setChecked(true);
    RbFisica->setEnabled(!chosen || brazil);
    RbJuridica->setEnabled(!chosen || brazil);
    SelectionParts::setBold(LbCNPJ, brazil);
    SelectionParts::setBold(LbRazaoSocial, chosen && !brazil);
}

void TFrmInclEmpresa::RgTipoPessoaClick()
{
    const bool person = RbFisica->isChecked();
    LbCNPJ->setText(person ? QStringLiteral("CPF:") : QStringLiteral("CNPJ:"));
    LbRazaoSocial->setText(person ? QStringLiteral("Nome Pessoa Física:") : QStringLiteral("Razão Social:"));
    ColumnFit::fit(EdRazaoSocial, QStringLiteral("EMPRESA"),
                   person ? QStringLiteral("NomPessoaFisica") : QStringLiteral("RazSocialEmp"));
    EdCNPJ->clear();
    EdRazaoSocial->clear();
    if (person)
        EdNomeFantasia->clear();
    EdNomeFantasia->setEnabled(!person);
}

NewCompany TFrmInclEmpresa::typed() const
{
    NewCompany c;
    if (CbPais->currentIndex() > 0) {
        c.codigoPais = CbPais->currentData().toString();
        c.nomePais = CbPais->currentText();
    }
    c.naturalPerson = RbFisica->isChecked();
    c.taxId = EdCNPJ->text();
    c.name = EdRazaoSocial->text();
    c.nomFantasia = c.naturalPerson ? QString() : EdNomeFantasia->text();
    c.endLogr = EdEndereco->text();
    c.endNum = EdNumero->text();
    c.endCompl = EdComplemento->text();
    c.endCep = EdCEP->text();
    c.endBairro = EdBairro->text();
    c.endCidade = EdCidade->text();
    c.siglaUf = CbUF->currentText();
    c.telefone = EdTelefone->text();
    c.fax = EdFax->text();
    c.email = EdEmail->text();
    return c;
}

void TFrmInclEmpresa::BtOkClick()
{
    using CompanyInclusion::Field;
    Field refused = Field::None;
    m_included = CompanyInclusion::save(m_db, m_msg, typed(), m_user, &refused);
    if (m_included) {
        accept();
        return;
    }
    QWidget *focus = refused == Field::Country ? static_cast<QWidget *>(CbPais)
        : refused == Field::TaxId              ? static_cast<QWidget *>(EdCNPJ)
        : refused == Field::Name               ? static_cast<QWidget *>(EdRazaoSocial)
        : refused == Field::Cep                ? static_cast<QWidget *>(EdCEP)
                                               : nullptr;
    if (focus)
        focus->setFocus();
}

std::optional<CompanyKey> TFrmInclEmpresa::include(QWidget *parent, Database &db, Messenger &messenger,
                                                   const QString &userCode)
{
    TFrmInclEmpresa dlg(db, messenger, userCode, parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.included();
}
