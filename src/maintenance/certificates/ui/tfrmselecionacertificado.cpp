#include "maintenance/certificates/ui/tfrmselecionacertificado.h"

#include "maintenance/companies/ui/frmdetalhesempresa.h"
#include "maintenance/companies/ui/tfrmselecionaempresa.h"
#include "maintenance/products/ui/tfrmselecionaproduto.h"
#include "maintenance/ui/selectionparts.h"
#include "reports/certificateselection.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace CertificateChoice;

using SelectionParts::button;
using SelectionParts::labelFor;

namespace {

QComboBox *classList(QWidget *parent, const QString &name, const QString &accessible)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setAccessibleName(accessible);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(24);
    return c;
}

SelectionDialog::Layout certificateChoiceLayout()
{
    using Format = SelectionListModel::Format;
    SelectionDialog::Layout l(QStringLiteral("FrmSelecionaCertificado"), QStringLiteral("Seleciona Certificado"),
                              QSize(940, 620));
    l.filterText = QStringLiteral("Filtra Certificado");
    l.clearFilter = SelectionDialog::Button{QStringLiteral("BtLimpaFiltro"), QStringLiteral("&Limpa Filtro")};
    l.grid = {QStringLiteral("GrdCertificados"),
              {{QStringLiteral("Número"), QStringLiteral("NumCertif")},
               {QStringLiteral("Classe do Certificado"), QStringLiteral("NomClasseCertif")},
               {QStringLiteral("Classe de Produtos"), QStringLiteral("NomClasseProd")},
               {QStringLiteral("Emissão"), QStringLiteral("DataEmissao"), Format::Date},
               {QStringLiteral("Validade"), QStringLiteral("DataValid"), Format::Date}},
              QStringLiteral("Certificados"),
              QStringLiteral("certificados"),
              260,
              {170, 190, 320, 90}};
    l.countCaption = QStringLiteral("Certificados encontrados:");
    return l;
}

}

TFrmSelecionaCertificado::TFrmSelecionaCertificado(Database &db, Messenger &messenger, QWidget *parent)
    : SelectionDialog(db, messenger, certificateChoiceLayout(), parent)
{
    QGroupBox *box = filterBox();
    m_numberField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdNumero"), 30);
    m_certificateClassList = classList(box, QStringLiteral("CbClasseCertif"), QStringLiteral("Classe de Certificado"));
    m_productClassList = classList(box, QStringLiteral("CbClasseProd"), QStringLiteral("Classe de Produtos"));
    m_serviceClassList = classList(box, QStringLiteral("CbClasseServ"), QStringLiteral("Classe de Serviço"));
    m_originList = new QComboBox(box);
    m_originList->setObjectName(QStringLiteral("CbImportado"));
    m_originList->addItems({QStringLiteral("(Todos)"), QStringLiteral("Sim"), QStringLiteral("Não")});

    m_companyField = new QLineEdit(box);
    m_companyField->setObjectName(QStringLiteral("EdEmpresa"));
    m_companyField->setReadOnly(true);
    m_productField = new QLineEdit(box);
    m_productField->setObjectName(QStringLiteral("EdProduto"));
    m_productField->setReadOnly(true);
    auto *companyButton = button(box, QStringLiteral("BtSelEmpresa"), QStringLiteral("Seleciona Empresa..."));
    m_companyDetailsButton = button(box, QStringLiteral("BtDetalheEmpresa"), QStringLiteral("Detalhe da Empresa"));
    auto *productButton = button(box, QStringLiteral("BtSelProduto"), QStringLiteral("Seleciona Produto..."));

    auto *fields = new QGridLayout;
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    fields->addWidget(labelFor(box, QStringLiteral("&Número:"), m_numberField), 0, 0);
    fields->addWidget(m_numberField, 0, 1);
    fields->addWidget(labelFor(box, QStringLiteral("Classe de Certificado:"), m_certificateClassList), 0, 2);
    fields->addWidget(m_certificateClassList, 0, 3);
    fields->addWidget(labelFor(box, QStringLiteral("Classe de Produtos:"), m_productClassList), 1, 0);
    fields->addWidget(m_productClassList, 1, 1);
    fields->addWidget(labelFor(box, QStringLiteral("Classe de Serviço:"), m_serviceClassList), 1, 2);
    fields->addWidget(m_serviceClassList, 1, 3);
    fields->addWidget(labelFor(box, QStringLiteral("Empresa:"), m_companyField), 2, 0);
    fields->addWidget(m_companyField, 2, 1, 1, 3);
    fields->addWidget(labelFor(box, QStringLiteral("Produto:"), m_productField), 3, 0);
    fields->addWidget(m_productField, 3, 1, 1, 3);
    fields->addWidget(labelFor(box, QStringLiteral("Importado (Sim/Não):"), m_originList), 4, 0);
    fields->addWidget(m_originList, 4, 1);
    finish(fields, {companyButton, m_companyDetailsButton, productButton}, {m_numberField});

    connect(companyButton, &QPushButton::clicked, this, guarded(m_msg, [this] { pickCompany(); }));
    connect(m_companyDetailsButton, &QPushButton::clicked, this, guarded(m_msg, [this] { showCompanyDetails(); }));
    connect(productButton, &QPushButton::clicked, this, guarded(m_msg, [this] { pickProduct(); }));

    guard(m_msg, [this] { fillClasses(); });
    clearFilter();
}

void TFrmSelecionaCertificado::fillClasses()
{
    const std::pair<QComboBox *, QList<ClassEntry>> lists[] = {
        {m_certificateClassList, CertificateSelection::certificateClasses(m_db)},
        {m_productClassList, CertificateSelection::productClasses(m_db)},
        {m_serviceClassList, CertificateSelection::serviceClasses(m_db)}};
    for (const auto &[box, entries] : lists) {
        box->clear();
        box->addItem(QString());
        for (const ClassEntry &e : entries)
            box->addItem(e.name, e.id);
    }
}

CertificateFilter TFrmSelecionaCertificado::filterFromFields() const
{
    using Origin = CertificateFilter::Origin;
    CertificateFilter f;
    f.numero = m_numberField->text().trimmed();
    f.nomClasseCertif = m_certificateClassList->currentText();
    f.nomClasseProd = m_productClassList->currentText();
    f.nomClasseServ = m_serviceClassList->currentText();
    if (m_company) {
        f.codigoPais = m_company->codigoPais;
        f.idEmpresa = m_company->idEmpresa;
    }
    if (m_product) {
        f.marcaProd = m_product->marcaProd;
        f.modeloProd = m_product->modeloProd;
        f.importadoProd = m_product->importado;
    }
    const int origin = m_originList->currentIndex();
    f.importado = origin == 1 ? Origin::Sim : origin == 2 ? Origin::Nao : Origin::Todos;
    return f;
}

void TFrmSelecionaCertificado::run(Order order)
{
    SelectionDialog::run(statement(*m_filter, order));
}

void TFrmSelecionaCertificado::applyFilter()
{
    m_filter = filterFromFields();
    run(Order::Default);
}

void TFrmSelecionaCertificado::orderBy(int column)
{
    static const Order orders[] = {Order::Number, Order::CertificateClass, Order::ProductClass, Order::Issue,
                                   Order::Validity};
    if (!m_filter || column < 0 || column >= int(std::size(orders)))
        return;
    run(orders[column]);
}

void TFrmSelecionaCertificado::clearFilter()
{
    SelectionParts::clearFields(
        {m_numberField, m_certificateClassList, m_productClassList, m_serviceClassList, m_originList});
    m_company.reset();
    m_product.reset();
    m_companyField->clear();
    m_productField->clear();
    m_companyDetailsButton->setEnabled(false);
    m_originList->setEnabled(true);
    m_filter.reset();
    grid()->close();
    showCount();
}

void TFrmSelecionaCertificado::setCompany(const SelectedCompany &company)
{
    m_company = company;
    m_companyField->setText(company.displayId() + QStringLiteral(" - ") + company.displayName());
    m_companyField->setCursorPosition(0);
    m_companyDetailsButton->setEnabled(true);
}

void TFrmSelecionaCertificado::setProduct(const SelectedProduct &product)
{
    m_product = product;
    m_productField->setText(
        product.marcaProd + QStringLiteral(" / ") + product.modeloProd + QStringLiteral(" (Importado: ") +
        (product.importado == 1 ? QStringLiteral("Sim") : QStringLiteral("Não")) + QLatin1Char(')'));
    m_productField->setCursorPosition(0);
    // The product carries its own origin.
    m_originList->setCurrentIndex(0);
    m_originList->setEnabled(false);
}

void TFrmSelecionaCertificado::pickCompany()
{
    if (const auto company = TFrmSelecionaEmpresa::choose(this, m_db, m_msg, QString(), false))
        setCompany(*company);
}

void TFrmSelecionaCertificado::pickProduct()
{
    if (const auto product = TFrmSelecionaProduto::choose(this, m_db, m_msg, QString(), false))
        setProduct(*product);
}

void TFrmSelecionaCertificado::showCompanyDetails()
{
    if (m_company)
        TFrmDetalhesEmpresa::showCompany(m_db, m_company->codigoPais, m_company->idEmpresa, this);
}

void TFrmSelecionaCertificado::chooseCurrent()
{
    const int row = grid()->currentRow();
    if (row >= 0) {
        const SelectionListModel *list = grid()->list();
        m_chosen = SelectedCertificate{list->value(row, QStringLiteral("SiglaCertificador")).toString(),
                                       list->value(row, QStringLiteral("NumCertif")).toString()};
    } else {
        m_chosen.reset();
    }
    accept();
}

std::optional<SelectedCertificate> TFrmSelecionaCertificado::choose(QWidget *parent, Database &db, Messenger &messenger)
{
    TFrmSelecionaCertificado dlg(db, messenger, parent);
    return chosenBy(dlg);
}
