#include "maintenance/companies/ui/tfrmselecionaempresa.h"

#include "base/messenger.h"
#include "maintenance/companies/companyinclusion.h"
#include "maintenance/companies/ui/tfrminclempresa.h"
#include "maintenance/selectionlistmodel.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString CnpjMask = QStringLiteral("99.999.999/9999-99;_");
const QString CpfMask = QStringLiteral("000000000-99;_");

SelectionDialog::Layout companyChoiceLayout()
{
    using Format = SelectionListModel::Format;
    SelectionDialog::Layout l(QStringLiteral("FrmSelecionaEmpresa"), QStringLiteral("Seleciona Empresa"),
                              QSize(780, 560));
    l.grid = {QStringLiteral("GrdEmpresas"),
              {{QStringLiteral("País"), QStringLiteral("NomePais")},
               {QStringLiteral("CNPJ/CPF"), QStringLiteral("CGC"), Format::TaxId, QStringLiteral("TipoPessoa"),
                QStringLiteral("CPF")},
               {QStringLiteral("Razão Social/Nome Pessoa Física"), QStringLiteral("RazSocialEmp"), Format::Name,
                QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")},
               {QStringLiteral("Nome Fantasia"), QStringLiteral("NomFantasia")}},
              QStringLiteral("Empresas"),
              QStringLiteral("empresas"),
              240,
              {120, 150, 300}};
    l.countCaption = QStringLiteral("Empresas encontradas:");
    l.includeNew = SelectionDialog::Button{QStringLiteral("BtNova"), QStringLiteral("Nova...")};
    return l;
}
}

TFrmSelecionaEmpresa::TFrmSelecionaEmpresa(Database &db, Messenger &messenger, const QString &userCode, bool offerNew,
                                           QWidget *parent)
    : SelectionDialog(db, messenger, companyChoiceLayout(), parent),
      m_user(userCode)
{
    m_countryList = countryFilter();
    const SelectionParts::PersonKind kinds = SelectionParts::personKind(filterBox());
    m_naturalPerson = kinds.naturalPerson;
    m_legalEntity = kinds.legalEntity;
    m_taxIdField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdCNPJ"));
    m_taxIdField->setInputMask(CnpjMask);
    m_tradeNameField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdNomeFantasia"));
    m_legalNameField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdRazaoSocial"), 255);

    const QList<QLabel *> captions = finishForm({{QStringLiteral("País:"), m_countryList},
                                                 {QStringLiteral("Tipo Pessoa:"), kinds.box},
                                                 {QStringLiteral("CNPJ:"), m_taxIdField},
                                                 {QStringLiteral("Nome Fantasia:"), m_tradeNameField},
                                                 {QStringLiteral("Razão Social:"), m_legalNameField}},
                                                {m_taxIdField, m_tradeNameField, m_legalNameField});
    m_taxIdLabel = captions.at(2);
    m_tradeNameLabel = captions.at(3);

    connect(m_naturalPerson, &QRadioButton::toggled, this, [this] { kindChanged(); });
    connect(m_legalEntity, &QRadioButton::toggled, this, [this] { kindChanged(); });
    includeButton()->setVisible(offerNew);
    guard(m_msg, [this] {
        fillCountries(m_countryList);
        run(CompanySelection::statement(m_filter));
    });
}

CompanySelection::Kind TFrmSelecionaEmpresa::kind() const
{
    using Kind = CompanySelection::Kind;
    return m_naturalPerson->isChecked() ? Kind::NaturalPerson
        : m_legalEntity->isChecked()    ? Kind::LegalEntity
                                        : Kind::Any;
}

void TFrmSelecionaEmpresa::kindChanged()
{
    const bool person = kind() == CompanySelection::Kind::NaturalPerson;
    const QString mask = person ? CpfMask : CnpjMask;
    if (m_taxIdField->inputMask() != mask) {
        m_taxIdField->setInputMask(mask);
        m_taxIdField->clear();
    }
    m_taxIdLabel->setText(person ? QStringLiteral("CPF:") : QStringLiteral("CNPJ:"));
    m_tradeNameLabel->setText(person ? QStringLiteral("Nome Pessoa Física:") : QStringLiteral("Nome Fantasia:"));
    m_legalNameField->setEnabled(!person);
    if (person)
        m_legalNameField->clear();
}

void TFrmSelecionaEmpresa::clearFields()
{
    SelectionParts::clearFields({m_countryList, m_taxIdField, m_tradeNameField, m_legalNameField});
}

void TFrmSelecionaEmpresa::applyFilter()
{
    CompanySelection::Filter f;
    f.country = m_countryList->currentData().toString();
    f.kind = kind();
    f.taxId = CompanyInclusion::digitsOf(m_taxIdField->text());
    f.name = m_tradeNameField->text().trimmed();
    f.legalName = m_legalNameField->text().trimmed();
    m_filter = f;
    run(CompanySelection::statement(m_filter));
    clearFields();
}

void TFrmSelecionaEmpresa::orderBy(int column)
{
    using Order = CompanySelection::Order;
    static const Order orders[] = {Order::Country, Order::TaxId, Order::LegalName, Order::TradeName};
    if (column >= 0 && column < int(std::size(orders)))
        run(CompanySelection::statement(m_filter, orders[column]));
}

void TFrmSelecionaEmpresa::chooseCurrent()
{
    const int row = grid()->currentRow();
    if (row < 0)
        return;
    const SelectedCompany c = CompanySelection::rowOf(*grid()->list(), row);
    if (c.nomePais.isEmpty())
        return;
    m_chosen = c;
    accept();
}

void TFrmSelecionaEmpresa::includeNew()
{
    const std::optional<CompanyKey> key = TFrmInclEmpresa::include(this, m_db, m_msg, m_user);
    takeIncluded(key ? std::optional(CompanySelection::only(*key)) : std::nullopt, NenhumaNova,
                 CompanySelection::statement(m_filter));
}

std::optional<SelectedCompany> TFrmSelecionaEmpresa::choose(QWidget *parent, Database &db, Messenger &messenger,
                                                            const QString &userCode, bool offerNew)
{
    TFrmSelecionaEmpresa dlg(db, messenger, userCode, offerNew, parent);
    return chosenBy(dlg);
}
