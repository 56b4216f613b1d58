#include "maintenance/certificates/ui/tfrmselecionacertificado.h"

#include "maintenance/companies/ui/frmdetalhesempresa.h"
#include "maintenance/companies/ui/tfrmselecionaempresa.h"
#include "maintenance/products/ui/tfrmselecionaproduto.h"
#include "maintenance/ui/selectionparts.h"
#include "reports/certificateselection.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"
#include "widgets/spreadsheetexport.h"
#include "widgets/waitcursor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

}

TFrmSelecionaCertificado::TFrmSelecionaCertificado(Database &db, Messenger &messenger, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger)
{
    setObjectName(QStringLiteral("FrmSelecionaCertificado"));
    setWindowTitle(QStringLiteral("Seleciona Certificado"));
    setModal(true);
    buildUi();
    guard(m_msg, [this] { fillClasses(); });
    BtLimpaFiltroClick();
}

void TFrmSelecionaCertificado::buildUi()
{
    auto *filterBox = new QGroupBox(QStringLiteral("Filtro"), this);
    filterBox->setObjectName(QStringLiteral("GbFiltro"));

    EdNumero = new QLineEdit(filterBox);
    EdNumero->setObjectName(QStringLiteral("EdNumero"));
    EdNumero->setMaxLength(30);
    CbClasseCertif = classList(filterBox, QStringLiteral("CbClasseCertif"), QStringLiteral("Classe de Certificado"));
    CbClasseProd = classList(filterBox, QStringLiteral("CbClasseProd"), QStringLiteral("Classe de Produtos"));
    CbClasseServ = classList(filterBox, QStringLiteral("CbClasseServ"), QStringLiteral("Classe de Serviço"));
    CbImportado = new QComboBox(filterBox);
    CbImportado->setObjectName(QStringLiteral("CbImportado"));
    CbImportado->addItems({QStringLiteral("(Todos)"), QStringLiteral("Sim"), QStringLiteral("Não")});

    EdEmpresa = new QLineEdit(filterBox);
    EdEmpresa->setObjectName(QStringLiteral("EdEmpresa"));
    EdEmpresa->setReadOnly(true);
    EdProduto = new QLineEdit(filterBox);
    EdProduto->setObjectName(QStringLiteral("EdProduto"));
    EdProduto->setReadOnly(true);
    BtSelEmpresa = button(filterBox, QStringLiteral("BtSelEmpresa"), QStringLiteral("Seleciona Empresa..."));
    BtDetalheEmpresa = button(filterBox, QStringLiteral("BtDetalheEmpresa"), QStringLiteral("Detalhe da Empresa"));
    BtSelProduto = button(filterBox, QStringLiteral("BtSelProduto"), QStringLiteral("Seleciona Produto..."));

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->addWidget(labelFor(filterBox, QStringLiteral("&Número:"), EdNumero), 0, 0);
    grid->addWidget(EdNumero, 0, 1);
    grid->addWidget(labelFor(filterBox, QStringLiteral("Classe de Certificado:"), CbClasseCertif), 0, 2);
    grid->addWidget(CbClasseCertif, 0, 3);
    grid->addWidget(labelFor(filterBox, QStringLiteral("Classe de Produtos:"), CbClasseProd), 1, 0);
    grid->addWidget(CbClasseProd, 1, 1);
    grid->addWidget(labelFor(filterBox, QStringLiteral("Classe de Serviço:"), CbClasseServ), 1, 2);
    grid->addWidget(CbClasseServ, 1, 3);
    grid->addWidget(labelFor(filterBox, QStringLiteral("Empresa:"), EdEmpresa), 2, 0);
    grid->addWidget(EdEmpresa, 2, 1, 1, 3);
    grid->addWidget(labelFor(filterBox, QStringLiteral("Produto:"), EdProduto), 3, 0);
    grid->addWidget(EdProduto, 3, 1, 1, 3);
    grid->addWidget(labelFor(filterBox, QStringLiteral("Importado (Sim/Não):"), CbImportado), 4, 0);
    grid->addWidget(CbImportado, 4, 1);

    auto *choosers = new QHBoxLayout;
    choosers->addWidget(BtSelEmpresa);
    choosers->addWidget(BtDetalheEmpresa);
    choosers->addWidget(BtSelProduto);
    choosers->addStretch();
    auto *filtra = button(filterBox, QStringLiteral("BtFiltra"), QStringLiteral("Filtra Certificado"));
    auto *limpa = button(filterBox, QStringLiteral("BtLimpaFiltro"), QStringLiteral("&Limpa Filtro"));
    choosers->addWidget(filtra);
    choosers->addWidget(limpa);

    auto *filterLayout = new QVBoxLayout(filterBox);
    filterLayout->addLayout(grid);
    filterLayout->addLayout(choosers);

    using Format = SelectionListModel::Format;
    GrdCertificados = new SelectionGrid(QStringLiteral("GrdCertificados"),
                                        {{QStringLiteral("Número"), QStringLiteral("NumCertif")},
                                         {QStringLiteral("Classe do Certificado"), QStringLiteral("NomClasseCertif")},
                                         {QStringLiteral("Classe de Produtos"), QStringLiteral("NomClasseProd")},
                                         {QStringLiteral("Emissão"), QStringLiteral("DataEmissao"), Format::Date},
                                         {QStringLiteral("Validade"), QStringLiteral("DataValid"), Format::Date}},
                                        this);
    GrdCertificados->setAccessibleName(QStringLiteral("Certificados"));
    SpreadsheetExport::attach(GrdCertificados, m_msg, QStringLiteral("certificados"));
    GrdCertificados->setMinimumHeight(260);
    GrdCertificados->horizontalHeader()->resizeSection(0, 170);
    GrdCertificados->horizontalHeader()->resizeSection(1, 190);
    GrdCertificados->horizontalHeader()->resizeSection(2, 320);
    GrdCertificados->horizontalHeader()->resizeSection(3, 90);

    LbQuantidade = new QLabel(this);
    LbQuantidade->setObjectName(QStringLiteral("LbQuantidade"));
    auto *countCaption = new QLabel(QStringLiteral("Certificados encontrados:"), this);
    countCaption->setObjectName(QStringLiteral("LbQuantidadeTitulo"));
    auto *ok = button(this, QStringLiteral("BtOk"), QStringLiteral("Ok"));
    ok->setDefault(true);
    auto *cancel = button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(countCaption);
    bottom->addWidget(LbQuantidade);
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filterBox);
    layout->addWidget(GrdCertificados, 1);
    layout->addLayout(bottom);
    resize(940, 620);

    connect(filtra, &QPushButton::clicked, this, guarded(m_msg, [this] { BtFiltraClick(); }));
    connect(limpa, &QPushButton::clicked, this, guarded(m_msg, [this] { BtLimpaFiltroClick(); }));
    connect(BtSelEmpresa, &QPushButton::clicked, this, guarded(m_msg, [this] { BtSelEmpresaClick(); }));
    connect(BtDetalheEmpresa, &QPushButton::clicked, this, guarded(m_msg, [this] { BtDetalheEmpresaClick(); }));
    connect(BtSelProduto, &QPushButton::clicked, this, guarded(m_msg, [this] { BtSelProdutoClick(); }));
    connect(ok, &QPushButton::clicked, this, guarded(m_msg, [this] { BtOkClick(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(GrdCertificados, &SelectionGrid::rowChosen, this, guarded(m_msg, [this] { BtOkClick(); }));
    connect(GrdCertificados, &SelectionGrid::titleClicked, this,
            [this](int column) { guard(m_msg, [&] { GridTitleClick(column); }); });
    SelectionParts::filterOnEnter(EdNumero, guarded(m_msg, [this] { BtFiltraClick(); }));
}

void TFrmSelecionaCertificado::fillClasses()
{
    const std::pair<QComboBox *, QList<ClassEntry>> lists[] = {
        {CbClasseCertif, CertificateSelection::certificateClasses(m_db)},
        {CbClasseProd, CertificateSelection::productClasses(m_db)},
        {CbClasseServ, CertificateSelection::serviceClasses(m_db)}};
    for (const auto &[box, entries] : lists) {
        box->clear();
        box->addItem(QString());
        for (const ClassEntry &e : entries)
            box->addItem(e.name, e.id);
    }
}

Filter TFrmSelecionaCertificado::filterFromFields() const
{
    Filter f;
    f.number = EdNumero->text().trimmed();
    f.certificateClass = CbClasseCertif->currentText();
    f.productClass = CbClasseProd->currentText();
    f.serviceClass = CbClasseServ->currentText();
    if (m_company) {
        f.companyCountry = m_company->codigoPais;
        f.companyId = m_company->idEmpresa;
    }
    if (m_product) {
        f.brand = m_product->marcaProd;
        f.model = m_product->modeloProd;
        f.imported = m_product->importado;
    }
    const int origin = CbImportado->currentIndex();
    f.origin = origin == 1 ? Origin::Imported : origin == 2 ? Origin::National : Origin::Any;
    return f;
}

void TFrmSelecionaCertificado::run(Order order)
{
    WaitCursor wait;
    try {
        GrdCertificados->open(m_db, statement(*m_filter, order));
    } catch (...) {
        GrdCertificados->close();
        showCount();
        throw;
    }
    showCount();
}

void TFrmSelecionaCertificado::showCount()
{
    LbQuantidade->setText(QString::number(GrdCertificados->list()->found()));
}

void TFrmSelecionaCertificado::BtFiltraClick()
{
    m_filter = filterFromFields();
    run(Order::Default);
}

void TFrmSelecionaCertificado::GridTitleClick(int column)
{
    static const Order orders[] = {Order::Number, Order::CertificateClass, Order::ProductClass, Order::Issue,
                                   Order::Validity};
    if (!m_filter || column < 0 || column >= int(std::size(orders)))
        return;
    run(orders[column]);
}

void TFrmSelecionaCertificado::BtLimpaFiltroClick()
{
    EdNumero->clear();
    for (QComboBox *box : {CbClasseCertif, CbClasseProd, CbClasseServ, CbImportado})
        box->setCurrentIndex(0);
    m_company.reset();
    m_product.reset();
    EdEmpresa->clear();
    EdProduto->clear();
    BtDetalheEmpresa->setEnabled(false);
    CbImportado->setEnabled(true);
    m_filter.reset();
    GrdCertificados->close();
    showCount();
}

void TFrmSelecionaCertificado::setCompany(const SelectedCompany &company)
{
    m_company = company;
    EdEmpresa->setText(company.displayId() + QStringLiteral(" - ") + company.displayName());
    EdEmpresa->setCursorPosition(0);
    BtDetalheEmpresa->setEnabled(true);
}

void TFrmSelecionaCertificado::setProduct(const SelectedProduct &product)
{
    m_product = product;
    EdProduto->setText(product.marcaProd + QStringLiteral(" / ") + product.modeloProd +
                       QStringLiteral(" (Importado: ") +
                       (product.importado == 1 ? QStringLiteral("Sim") : QStringLiteral("Não")) + QLatin1Char(')'));
    EdProduto->setCursorPosition(0);
    // The product carries its own origin.
    CbImportado->setCurrentIndex(0);
    CbImportado->setEnabled(false);
}

void TFrmSelecionaCertificado::BtSelEmpresaClick()
{
    if (const auto company = TFrmSelecionaEmpresa::choose(this, m_db, m_msg, QString(), false))
        setCompany(*company);
}

void TFrmSelecionaCertificado::BtSelProdutoClick()
{
    if (const auto product = TFrmSelecionaProduto::choose(this, m_db, m_msg, QString(), false))
        setProduct(*product);
}

void TFrmSelecionaCertificado::BtDetalheEmpresaClick()
{
    if (m_company)
        TFrmDetalhesEmpresa::showCompany(m_db, m_company->codigoPais, m_company->idEmpresa, this);
}

void TFrmSelecionaCertificado::BtOkClick()
{
    const int row = GrdCertificados->currentRow();
    if (row >= 0) {
        const SelectionListModel *list = GrdCertificados->list();
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
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.chosen();
}
