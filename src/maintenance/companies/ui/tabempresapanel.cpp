#include "maintenance/companies/ui/tabempresapanel.h"

#include "base/messenger.h"
#include "base/taxid.h"
#include "maintenance/companies/companytable.h"
#include "maintenance/companies/ui/tfrmselecionaempresa.h"
#include "maintenance/selectionsql.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/dialogparts.h"
#include "widgets/selectiongrid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

using SelectionParts::labelFor;

namespace {

QLineEdit *box(QWidget *parent, const char *name, const char *column)
{
    return DialogParts::columnEdit(parent, QLatin1String(name), QStringLiteral("EMPRESA"), QLatin1String(column));
}

TablePanel::Layout panelLayout()
{
    using Col = SelectionListModel::Column;
    using Fmt = SelectionListModel::Format;
    return {QStringLiteral("Tabela de Empresas"),
            QStringLiteral("Empresa"),
            {Col{QStringLiteral("País"), QStringLiteral("NomePais")},
             Col{QStringLiteral("CNPJ/CPF"), QStringLiteral("CGC"), Fmt::TaxId, QStringLiteral("TipoPessoa"),
                 QStringLiteral("CPF")},
             Col{QStringLiteral("Razão Social/Nome Pessoa Física"), QStringLiteral("RazSocialEmp"), Fmt::Name,
                 QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")},
             Col{QStringLiteral("Nome Fantasia"), QStringLiteral("NomFantasia")}},
            QStringLiteral("empresas"),
            {120, 150, 340},
            QStringLiteral("Dados da Empresa")};
}

}

TabEmpresaPanel::TabEmpresaPanel(MaintenanceContext &context, QWidget *parent)
    : KeyedTablePanel(context, panelLayout(), {&CompanyTable::rowOf, &CompanyTable::remove}, parent)
{
    QWidget *d = detailBox();
    m_countryList = new QComboBox(d);
    m_countryList->setObjectName(QStringLiteral("CbPais"));
    const SelectionParts::PersonKind kinds = SelectionParts::personKind(d);
    QWidget *kindBox = kinds.box;
    m_naturalPerson = kinds.naturalPerson;
    m_legalEntity = kinds.legalEntity;
    m_legalEntity->setChecked(true);

    m_cnpjField = box(d, "EdCNPJ", "CGC");
    // "-" to "9" (digits, "-", ".", "/") and "\": what a typed CNPJ holds.
    m_cnpjField->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-./0-9\\\\]*")), m_cnpjField));
    m_cpfField = box(d, "EdCPF", "CPF");
    m_cpfField->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_cpfField));
    m_legalNameField = box(d, "EdRazaoSocial", "RazSocialEmp");
    m_personNameField = box(d, "EdNomePessoaFisica", "NomPessoaFisica");
    m_tradeNameField = box(d, "EdNomeFantasia", "NomFantasia");
    m_streetField = box(d, "EdEndereco", "EndLogr");
    m_numberField = box(d, "EdNumero", "EndNum");
    m_complementField = box(d, "EdComplemento", "EndCompl");
    m_cepField = box(d, "EdCEP", "EndCEP");
    m_districtField = box(d, "EdBairro", "EndBairro");
    m_cityField = box(d, "EdCidade", "EndCidade");
    m_stateList = new QComboBox(d);
    m_stateList->setObjectName(QStringLiteral("CbUF"));
    m_phoneField = box(d, "EdTelefone", "Telefone");
    m_faxField = box(d, "EdFax", "Fax");
    m_emailField = box(d, "EdEmail", "Email");

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("Nome Pessoa Física:")) + 8);
    auto put = [&](int row, int col, QWidget *field, const QString &text) {
        QLabel *l = labelFor(d, text, field);
        grid->addWidget(l, row, col);
        grid->addWidget(field, row, col + 1);
        return l;
    };
    m_countryLabel = put(0, 0, m_countryList, QStringLiteral("País:"));
    put(0, 2, kindBox, QStringLiteral("Tipo Pessoa:"));
    m_cnpjLabel = put(1, 0, m_cnpjField, QStringLiteral("CNPJ:"));
    m_cpfLabel = put(1, 0, m_cpfField, QStringLiteral("CPF:"));
    m_tradeNameLabel = put(1, 2, m_tradeNameField, QStringLiteral("Nome Fantasia:"));
    m_legalNameLabel = put(2, 0, m_legalNameField, QStringLiteral("Razão Social:"));
    m_personNameLabel = put(2, 2, m_personNameField, QStringLiteral("Nome Pessoa Física:"));
    put(3, 0, m_streetField, QStringLiteral("Endereço:"));
    put(3, 2, m_numberField, QStringLiteral("Número:"));
    put(4, 0, m_complementField, QStringLiteral("Complemento:"));
    m_cepLabel = put(4, 2, m_cepField, QStringLiteral("CEP:"));
    put(5, 0, m_districtField, QStringLiteral("Bairro:"));
    put(5, 2, m_cityField, QStringLiteral("Cidade:"));
    put(6, 0, m_stateList, QStringLiteral("UF:"));
    put(6, 2, m_phoneField, QStringLiteral("Telefone:"));
    put(7, 0, m_faxField, QStringLiteral("Fax:"));
    put(7, 2, m_emailField, QStringLiteral("Email:"));
    finish(grid);

    connect(m_countryList, &QComboBox::activated, this, [this] { countryChanged(); });
    connect(m_naturalPerson, &QRadioButton::clicked, this, [this] { kindChanged(); });
    connect(m_legalEntity, &QRadioButton::clicked, this, [this] { kindChanged(); });

    m_chooser = [this]() -> std::optional<CompanyKey> {
        const auto c = TFrmSelecionaEmpresa::choose(this, m_ctx.db, m_ctx.messenger, m_ctx.userCode, false);
        if (!c)
            return std::nullopt;
        return CompanyKey{c->codigoPais, c->idEmpresa};
    };
    setBrowsing();
}

SelectionSql::Statement TabEmpresaPanel::listStatement() const
{
    return CompanyTable::listStatement();
}

std::optional<CompanyKey> TabEmpresaPanel::currentKey() const
{
    const int row = grid()->currentRow();
    if (row < 0)
        return std::nullopt;
    return CompanyKey{grid()->list()->value(row, QStringLiteral("CodigoPais")).toString(),
                      grid()->list()->value(row, QStringLiteral("IdEmpresa")).toString()};
}

void TabEmpresaPanel::loadLists()
{
    SelectionParts::fillList(m_countryList, SelectionSql::countries(m_ctx.db));
    SelectionParts::fillList(
        m_stateList, SelectionSql::entries(m_ctx.db, QStringLiteral("SELECT SiglaUF, NomeUF FROM UF ORDER BY NomeUF")));
}

void TabEmpresaPanel::showRecord()
{
    const auto key = currentKey();
    const auto company = key ? CompanyTable::load(m_ctx.db, *key) : std::nullopt;
    if (company)
        fill(*company);
    else
        clearFields();
}

bool TabEmpresaPanel::brazilChosen() const
{
    return m_countryList->currentIndex() > 0 && CompanyInclusion::isBrazil(m_countryList->currentText());
}

void TabEmpresaPanel::fill(const NewCompany &c)
{
    m_countryList->setCurrentIndex(qMax(0, m_countryList->findData(c.codigoPais, Qt::UserRole, Qt::MatchFixedString)));
    m_naturalPerson->setChecked(c.naturalPerson);
    m_legalEntity->setChecked(!c.naturalPerson);
    // A Brazilian CNPJ is shown under its mask; the digits are what is stored.
    const bool cnpj = !c.naturalPerson && CompanyInclusion::digitsOf(c.taxId).size() == 14;
    m_cnpjField->setText(c.naturalPerson ? QString() : cnpj ? TaxId::cnpjMask(c.taxId, true) : c.taxId);
    m_cpfField->setText(c.naturalPerson ? c.taxId : QString());
    m_legalNameField->setText(c.naturalPerson ? QString() : c.name);
    m_personNameField->setText(c.naturalPerson ? c.name : QString());
    m_tradeNameField->setText(c.nomFantasia);
    m_streetField->setText(c.endLogr);
    m_numberField->setText(c.endNum);
    m_complementField->setText(c.endCompl);
    m_cepField->setText(c.endCep);
    m_districtField->setText(c.endBairro);
    m_cityField->setText(c.endCidade);
    m_stateList->setCurrentIndex(qMax(0, m_stateList->findData(c.siglaUf, Qt::UserRole, Qt::MatchFixedString)));
    m_phoneField->setText(c.telefone);
    m_faxField->setText(c.fax);
    m_emailField->setText(c.email);
}

void TabEmpresaPanel::clearFields()
{
    m_countryList->setCurrentIndex(0);
    m_legalEntity->setChecked(true);
    for (QLineEdit *e :
         {m_cnpjField, m_cpfField, m_legalNameField, m_personNameField, m_tradeNameField, m_streetField, m_numberField,
          m_complementField, m_cepField, m_districtField, m_cityField, m_phoneField, m_faxField, m_emailField})
        e->clear();
    m_stateList->setCurrentIndex(0);
}

NewCompany TabEmpresaPanel::typed() const
{
    NewCompany c;
    if (m_countryList->currentIndex() > 0) {
        c.codigoPais = m_countryList->currentData().toString();
        c.nomePais = m_countryList->currentText();
    }
    c.naturalPerson = m_naturalPerson->isChecked();
    c.taxId = c.naturalPerson ? m_cpfField->text() : m_cnpjField->text();
    c.name = c.naturalPerson ? m_personNameField->text() : m_legalNameField->text();
    c.nomFantasia = c.naturalPerson ? QString() : m_tradeNameField->text();
    c.endLogr = m_streetField->text();
    c.endNum = m_numberField->text();
    c.endCompl = m_complementField->text();
    c.endCep = m_cepField->text();
    c.endBairro = m_districtField->text();
    c.endCidade = m_cityField->text();
    c.siglaUf = m_stateList->currentIndex() > 0 ? m_stateList->currentData().toString() : QString();
    c.telefone = m_phoneField->text();
    c.fax = m_faxField->text();
    c.email = m_emailField->text();
    return c;
}

void TabEmpresaPanel::browsingFields()
{
    m_edited.reset();
    m_lockCountry = m_lockTaxId = m_lockName = false;
    for (QLabel *l : {m_countryLabel, m_cnpjLabel, m_cpfLabel, m_legalNameLabel})
        TablePanelParts::markLocked(l, false);
    kindChanged();
}

void TabEmpresaPanel::editingFields()
{
    m_countryList->setEnabled(!m_lockCountry);
    m_cnpjField->setEnabled(!m_lockTaxId);
    m_cpfField->setEnabled(!m_lockTaxId);
    TablePanelParts::markLocked(m_countryLabel, m_lockCountry);
    TablePanelParts::markLocked(m_cnpjLabel, m_lockTaxId);
    TablePanelParts::markLocked(m_cpfLabel, m_lockTaxId);
    TablePanelParts::markLocked(m_legalNameLabel, m_lockName);
    countryChanged();
    kindChanged();
}

QWidget *TabEmpresaPanel::startInclusion()
{
    clearFields();
    m_edited.reset();
    m_lockCountry = m_lockTaxId = m_lockName = false;
    return m_countryList;
}

QWidget *TabEmpresaPanel::startEdit()
{
    const auto key = currentKey();
    if (!key)
        return nullptr;
    const auto company = CompanyTable::load(m_ctx.db, *key);
    if (!company)
        return nullptr;
    fill(*company);
    const CompanyTable::Locks locks = CompanyTable::editLocks(m_ctx.db, *key);
    m_lockCountry = locks.country;
    m_lockTaxId = locks.taxId;
    m_lockName = locks.legalName;
    m_edited = key;
    return m_streetField;
}

void TabEmpresaPanel::countryChanged()
{
    const bool chosen = m_countryList->currentIndex() > 0;
    const bool brazil = brazilChosen();
    // A foreign company is always a legal entity; the person type of a
    // stored company never changes.
    if (isEditing() && chosen && !brazil && !m_edited)
        m_legalEntity->setChecked(true);
    const bool kindFree = isEditing() && !m_edited && (!chosen || brazil);
    m_naturalPerson->setEnabled(kindFree);
    m_legalEntity->setEnabled(kindFree);
    SelectionParts::setBold(m_cnpjLabel, brazil);
    SelectionParts::setBold(m_cepLabel, brazil);
    kindChanged();
}

void TabEmpresaPanel::kindChanged()
{
    const bool person = m_naturalPerson->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(m_cpfLabel), static_cast<QWidget *>(m_cpfField),
                       static_cast<QWidget *>(m_personNameLabel), static_cast<QWidget *>(m_personNameField)})
        w->setVisible(person);
    for (QWidget *w : {static_cast<QWidget *>(m_cnpjLabel), static_cast<QWidget *>(m_cnpjField),
                       static_cast<QWidget *>(m_tradeNameLabel), static_cast<QWidget *>(m_tradeNameField)})
        w->setVisible(!person);
    if (!isEditing())
        return;
    if (person) {
        m_cnpjField->clear();
        m_legalNameField->clear();
        m_tradeNameField->clear();
    } else {
        m_cpfField->clear();
        m_personNameField->clear();
    }
    m_legalNameField->setEnabled(!person && !m_lockName);
}

std::optional<int> TabEmpresaPanel::store()
{
    using CompanyInclusion::Field;
    Field refused = Field::None;
    const auto saved = CompanyTable::save(m_ctx.db, m_ctx.messenger, typed(), m_edited, m_ctx.userCode, &refused);
    if (!saved) {
        const bool person = m_naturalPerson->isChecked();
        QWidget *focus = refused == Field::Country ? static_cast<QWidget *>(m_countryList)
            : refused == Field::TaxId              ? (person ? static_cast<QWidget *>(m_cpfField) : m_cnpjField)
            : refused == Field::Name ? (person ? static_cast<QWidget *>(m_personNameField) : m_legalNameField)
            : refused == Field::Cep  ? static_cast<QWidget *>(m_cepField)
                                     : nullptr;
        if (focus && focus->isEnabled())
            focus->setFocus();
        return std::nullopt;
    }
    return rowOf(*saved);
}
