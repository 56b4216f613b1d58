#include "maintenance/companies/ui/tfrmselempcert.h"

#include "base/messenger.h"
#include "maintenance/companies/companyinclusion.h"
#include "maintenance/selectionlistmodel.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>

namespace {

SelectionDialog::Layout certifiedCompanyChoiceLayout()
{
    using Format = SelectionListModel::Format;
    SelectionDialog::Layout l(QStringLiteral("FrmSelEmpCert"), QStringLiteral("Seleciona Empresa Certificada"),
                              QSize(720, 480));
    l.grid = {QStringLiteral("GrdEmpresas"),
              {{QStringLiteral("País"), QStringLiteral("NOMEPAIS")},
               {QStringLiteral("CNPJ"), QStringLiteral("CGC"), Format::Cnpj},
               {QStringLiteral("Razão Social"), QStringLiteral("RAZSOCIALEMP")},
               {QStringLiteral("Nome Fantasia"), QStringLiteral("NOMFANTASIA")}},
              QStringLiteral("Empresas Certificadas"),
              QString(),
              200,
              {120, 150, 280}};
    l.countCaption = QStringLiteral("Empresas encontradas:");
    return l;
}

}

TFrmSelEmpCert::TFrmSelEmpCert(Database &db, Messenger &messenger, const SelectedCertificate &certificate,
                               QWidget *parent)
    : SelectionDialog(db, messenger, certifiedCompanyChoiceLayout(), parent),
      m_certificate(certificate)
{
    m_countryList = countryFilter();
    m_cnpjField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdCNPJ"));
    m_cnpjField->setInputMask(QStringLiteral("99.999.999/9999-99;_"));
    m_tradeNameField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdNomeFantasia"));
    m_legalNameField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdRazaoSocial"));
    finishForm({{QStringLiteral("País:"), m_countryList},
                {QStringLiteral("CNPJ:"), m_cnpjField},
                {QStringLiteral("Nome Fantasia:"), m_tradeNameField},
                {QStringLiteral("Razão Social:"), m_legalNameField}},
               {m_cnpjField, m_tradeNameField, m_legalNameField});

    guard(m_msg, [this] {
        fillCountries(m_countryList);
        run({});
    });
}

void TFrmSelEmpCert::run(const CertifiedCompanySelection::Filter &filter)
{
    SelectionDialog::run(CertifiedCompanySelection::statement(m_certificate, filter));
}

void TFrmSelEmpCert::applyFilter()
{
    CertifiedCompanySelection::Filter f;
    f.country = m_countryList->currentData().toString();
    f.cnpj = CompanyInclusion::digitsOf(m_cnpjField->text());
    f.tradeName = m_tradeNameField->text().trimmed();
    f.legalName = m_legalNameField->text().trimmed();
    run(f);
    SelectionParts::clearFields({m_countryList, m_cnpjField, m_tradeNameField, m_legalNameField});
}

void TFrmSelEmpCert::chooseCurrent()
{
    const int row = grid()->currentRow();
    if (row < 0) {
        m_msg.information(SelecioneEmpresa, QStringLiteral("Aviso"));
        return;
    }
    m_chosen = CertifiedCompanySelection::rowOf(*grid()->list(), row);
    accept();
}

std::optional<CompanyKey> TFrmSelEmpCert::choose(QWidget *parent, Database &db, Messenger &messenger,
                                                 const SelectedCertificate &certificate)
{
    TFrmSelEmpCert dlg(db, messenger, certificate, parent);
    return chosenBy(dlg);
}
