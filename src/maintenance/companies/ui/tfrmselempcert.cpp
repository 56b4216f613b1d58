#include "maintenance/companies/ui/tfrmselempcert.h"

#include "base/messenger.h"
#include "maintenance/companies/companyinclusion.h"
#include "maintenance/selectionlistmodel.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using SelectionParts::labelFor;

namespace {

SelectionDialog::Layout certifiedCompanyChoiceLayout()
{
    using Format = SelectionListModel::Format;
    SelectionDialog::Layout l;
    l.objectName = QStringLiteral("FrmSelEmpCert");
    l.title = QStringLiteral("Seleciona Empresa Certificada");
    l.size = QSize(720, 480);
    l.filterText = QStringLiteral("Filtra");
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
    QGroupBox *box = filterBox();
    m_countryList = new QComboBox(box);
    m_countryList->setObjectName(QStringLiteral("CbPais"));
    m_countryList->setMinimumContentsLength(20);
    m_cnpjField = new QLineEdit(box);
    m_cnpjField->setObjectName(QStringLiteral("EdCNPJ"));
    m_cnpjField->setInputMask(QStringLiteral("99.999.999/9999-99;_"));
    m_tradeNameField = new QLineEdit(box);
    m_tradeNameField->setObjectName(QStringLiteral("EdNomeFantasia"));
    m_legalNameField = new QLineEdit(box);
    m_legalNameField->setObjectName(QStringLiteral("EdRazaoSocial"));

    auto *form = new QFormLayout;
    form->addRow(labelFor(box, QStringLiteral("País:"), m_countryList), m_countryList);
    form->addRow(labelFor(box, QStringLiteral("CNPJ:"), m_cnpjField), m_cnpjField);
    form->addRow(labelFor(box, QStringLiteral("Nome Fantasia:"), m_tradeNameField), m_tradeNameField);
    form->addRow(labelFor(box, QStringLiteral("Razão Social:"), m_legalNameField), m_legalNameField);
    finish(form, {}, {m_cnpjField, m_tradeNameField, m_legalNameField});

    guard(m_msg, [this] {
        m_countryList->addItem(QString());
        for (const SelectionSql::Entry &e : SelectionSql::countries(m_db))
            m_countryList->addItem(e.name, e.code);
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
    m_countryList->setCurrentIndex(0);
    m_cnpjField->clear();
    m_tradeNameField->clear();
    m_legalNameField->clear();
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
