#include "maintenance/companies/ui/tfrminclempresa.h"

#include "maintenance/selectionsql.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/columnfit.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

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
        SelectionParts::fillList(countryList, SelectionSql::countries(m_db));
        stateList->addItem(QString());
        for (const SelectionSql::Entry &e :
             SelectionSql::entries(m_db, QStringLiteral("SELECT SiglaUF, NomeUF FROM UF ORDER BY SiglaUF")))
            stateList->addItem(e.code, e.code);
    });
    countryChanged();
}

QLineEdit *TFrmInclEmpresa::box(const QString &name, const QString &column)
{
    return DialogParts::columnEdit(this, name, QStringLiteral("EMPRESA"), column);
}

void TFrmInclEmpresa::buildUi()
{
    countryList = new QComboBox(this);
    countryList->setObjectName(QStringLiteral("CbPais"));
    const SelectionParts::PersonKind kinds = SelectionParts::personKind(this);
    QWidget *kindBox = kinds.box;
    naturalPerson = kinds.naturalPerson;
    legalEntity = kinds.legalEntity;
    legalEntity->setChecked(true);

    taxIdField = box(QStringLiteral("EdCNPJ"), QStringLiteral("CGC"));
    // Digits and the separators of a typed CNPJ or CPF.
    taxIdField->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-./0-9\\\\]*")), taxIdField));
    nameField = box(QStringLiteral("EdRazaoSocial"), QStringLiteral("RazSocialEmp"));
    tradeNameField = box(QStringLiteral("EdNomeFantasia"), QStringLiteral("NomFantasia"));
    streetField = box(QStringLiteral("EdEndereco"), QStringLiteral("EndLogr"));
    numberField = box(QStringLiteral("EdNumero"), QStringLiteral("EndNum"));
    complementField = box(QStringLiteral("EdComplemento"), QStringLiteral("EndCompl"));
    cepField = box(QStringLiteral("EdCEP"), QStringLiteral("EndCEP"));
    districtField = box(QStringLiteral("EdBairro"), QStringLiteral("EndBairro"));
    cityField = box(QStringLiteral("EdCidade"), QStringLiteral("EndCidade"));
    stateList = new QComboBox(this);
    stateList->setObjectName(QStringLiteral("CbUF"));
    phoneField = box(QStringLiteral("EdTelefone"), QStringLiteral("Telefone"));
    faxField = box(QStringLiteral("EdFax"), QStringLiteral("Fax"));
    emailField = box(QStringLiteral("EdEmail"), QStringLiteral("Email"));

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
    pair(countryList, QStringLiteral("País:"), kindBox, QStringLiteral("Tipo Pessoa:"));
    pair(taxIdField, QStringLiteral("CNPJ:"), nameField, QStringLiteral("Razão Social:"), &taxIdLabel, &nameLabel);
    pair(tradeNameField, QStringLiteral("Nome Fantasia:"), nullptr, QString());
    pair(streetField, QStringLiteral("Endereço:"), numberField, QStringLiteral("Número:"));
    pair(complementField, QStringLiteral("Complemento:"), cepField, QStringLiteral("CEP:"));
    pair(districtField, QStringLiteral("Bairro:"), cityField, QStringLiteral("Cidade:"));
    pair(stateList, QStringLiteral("UF:"), phoneField, QStringLiteral("Telefone:"));
    pair(faxField, QStringLiteral("Fax:"), emailField, QStringLiteral("Email:"));

    auto *ok = button(this, QStringLiteral("BtOk"), QStringLiteral("Ok"));
    ok->setDefault(true);
    auto *cancel = button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    QHBoxLayout *buttons = SelectionParts::spreadRow({}, {ok, cancel});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(countryList, &QComboBox::currentIndexChanged, this, [this] { countryChanged(); });
    connect(naturalPerson, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            kindChanged();
    });
    connect(legalEntity, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            kindChanged();
    });
    connect(ok, &QPushButton::clicked, this, guarded(m_msg, [this] { includeTyped(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrmInclEmpresa::countryChanged()
{
    const bool chosen = countryList->currentIndex() > 0;
    const bool brazil = chosen && CompanyInclusion::isBrazil(countryList->currentText());
    if (chosen && !brazil)
        legalEntity->setChecked(true);
    naturalPerson->setEnabled(!chosen || brazil);
    legalEntity->setEnabled(!chosen || brazil);
    SelectionParts::setBold(taxIdLabel, brazil);
    SelectionParts::setBold(nameLabel, chosen && !brazil);
}

void TFrmInclEmpresa::kindChanged()
{
    const bool person = naturalPerson->isChecked();
    taxIdLabel->setText(person ? QStringLiteral("CPF:") : QStringLiteral("CNPJ:"));
    nameLabel->setText(person ? QStringLiteral("Nome Pessoa Física:") : QStringLiteral("Razão Social:"));
    ColumnFit::fit(nameField, QStringLiteral("EMPRESA"),
                   person ? QStringLiteral("NomPessoaFisica") : QStringLiteral("RazSocialEmp"));
    taxIdField->clear();
    nameField->clear();
    if (person)
        tradeNameField->clear();
    tradeNameField->setEnabled(!person);
}

NewCompany TFrmInclEmpresa::typed() const
{
    NewCompany c;
    if (countryList->currentIndex() > 0) {
        c.codigoPais = countryList->currentData().toString();
        c.nomePais = countryList->currentText();
    }
    c.naturalPerson = naturalPerson->isChecked();
    c.taxId = taxIdField->text();
    c.name = nameField->text();
    c.nomFantasia = c.naturalPerson ? QString() : tradeNameField->text();
    c.endLogr = streetField->text();
    c.endNum = numberField->text();
    c.endCompl = complementField->text();
    c.endCep = cepField->text();
    c.endBairro = districtField->text();
    c.endCidade = cityField->text();
    c.siglaUf = stateList->currentText();
    c.telefone = phoneField->text();
    c.fax = faxField->text();
    c.email = emailField->text();
    return c;
}

void TFrmInclEmpresa::includeTyped()
{
    using CompanyInclusion::Field;
    Field refused = Field::None;
    m_included = CompanyInclusion::save(m_db, m_msg, typed(), m_user, &refused);
    if (m_included) {
        accept();
        return;
    }
    QWidget *focus = refused == Field::Country ? static_cast<QWidget *>(countryList)
        : refused == Field::TaxId              ? static_cast<QWidget *>(taxIdField)
        : refused == Field::Name               ? static_cast<QWidget *>(nameField)
        : refused == Field::Cep                ? static_cast<QWidget *>(cepField)
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
