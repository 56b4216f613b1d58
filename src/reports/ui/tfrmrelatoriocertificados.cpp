#include "reports/ui/tfrmrelatoriocertificados.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "reports/certificatelists.h"
#include "reports/certificatemirror.h"
#include "reports/certificateselectionmodel.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/pagedpreview.h"
#include "widgets/reportpreview.h"
#include "widgets/spreadsheetexport.h"
#include "widgets/waitcursor.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

enum Report { Espelho, EspelhoLog, Lista };

const QString Todos = QStringLiteral("(Todos)");

QComboBox *makeCombo(QWidget *parent, const char *name, const QStringList &items = {})
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->addItems(items);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(40);
    return c;
}

}

TFrmRelatorioCertificados::TFrmRelatorioCertificados(Database &db, const LoginState &login, Messenger &messenger,
                                                     const ReportChoosers &choosers, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_login(login),
      m_messenger(messenger),
      m_choosers(choosers)
{
    setObjectName(QStringLiteral("FrmRelatorioCertificados"));
    setWindowTitle(QStringLiteral("Relatórios de Certificados"));
    setModal(true);

    auto *filterBox = new QGroupBox(QStringLiteral("Filtro"), this);
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    auto addRow = [&](const QString &label, QWidget *field, QWidget *buddy) {
        auto *l = new QLabel(label, filterBox);
        l->setBuddy(buddy);
        DialogParts::nameAfterLabel(buddy, label);
        form->addRow(l, field);
    };

    m_numberEdit = new QLineEdit(filterBox);
    m_numberEdit->setObjectName(QStringLiteral("EdNumero"));
    m_numberEdit->setMaxLength(30);
    addRow(QStringLiteral("Número"), m_numberEdit, m_numberEdit);
    m_certificateClassBox = makeCombo(filterBox, "CbClasseCertif");
    addRow(QStringLiteral("Classe de Certificado"), m_certificateClassBox, m_certificateClassBox);
    m_productClassBox = makeCombo(filterBox, "CbClasseProd");
    addRow(QStringLiteral("Classe de Produtos"), m_productClassBox, m_productClassBox);

    auto *companyRow = new QHBoxLayout;
    companyRow->setSpacing(6);
    m_companyEdit = new QLineEdit(filterBox);
    m_companyEdit->setObjectName(QStringLiteral("EdEmpresa"));
    m_companyEdit->setReadOnly(true);
    m_chooseCompanyButton = DialogParts::namedButton(QStringLiteral("BtSelecionaEmpresa"),
                                                     QStringLiteral("Seleciona Empresa..."), filterBox);
    m_companyDetailsButton = DialogParts::namedButton(QStringLiteral("BtDetalheEmpresa"),
                                                      QStringLiteral("Detalhe da Empresa"), filterBox);
    companyRow->addWidget(m_companyEdit, 1);
    companyRow->addWidget(m_chooseCompanyButton);
    companyRow->addWidget(m_companyDetailsButton);
    auto *companyField = new QWidget(filterBox);
    companyRow->setContentsMargins(0, 0, 0, 0);
    companyField->setLayout(companyRow);
    addRow(QStringLiteral("Empresa"), companyField, m_companyEdit);

    auto *productRow = new QHBoxLayout;
    productRow->setSpacing(6);
    m_productEdit = new QLineEdit(filterBox);
    m_productEdit->setObjectName(QStringLiteral("EdProduto"));
    m_productEdit->setReadOnly(true);
    m_chooseProductButton = DialogParts::namedButton(QStringLiteral("BtSelecionaProduto"),
                                                     QStringLiteral("Seleciona Produto..."), filterBox);
    productRow->addWidget(m_productEdit, 1);
    productRow->addWidget(m_chooseProductButton);
    // The two choosers line up under each other.
    const int chooserWidth = qMax(m_chooseCompanyButton->sizeHint().width(), m_chooseProductButton->sizeHint().width());
    m_chooseCompanyButton->setMinimumWidth(chooserWidth);
    m_chooseProductButton->setMinimumWidth(chooserWidth);
    productRow->addSpacing(m_companyDetailsButton->sizeHint().width() + 6);
    auto *productField = new QWidget(filterBox);
    productRow->setContentsMargins(0, 0, 0, 0);
    productField->setLayout(productRow);
    addRow(QStringLiteral("Produto"), productField, m_productEdit);

    m_serviceClassBox = makeCombo(filterBox, "CbClasseServ");
    addRow(QStringLiteral("Classe de Serviço"), m_serviceClassBox, m_serviceClassBox);
    m_statusBox = makeCombo(
        filterBox, "CbStatus",
        {QStringLiteral("Todos"), QStringLiteral("Ativos"), QStringLiteral("Cancelados"), QStringLiteral("Suspensos")});
    addRow(QStringLiteral("Status do Certificado:"), m_statusBox, m_statusBox);
    m_approvedBox = makeCombo(filterBox, "CbAprovados",
                              {QStringLiteral("Todos"), QStringLiteral("Aprovados"), QStringLiteral("Não Aprovados")});
    addRow(QStringLiteral("Aprovados / Não Aprovados:"), m_approvedBox, m_approvedBox);
    m_importedBox = makeCombo(filterBox, "CbImportado", {Todos, QStringLiteral("Sim"), QStringLiteral("Não")});
    addRow(QStringLiteral("Importado (Sim/Não):"), m_importedBox, m_importedBox);

    m_filterButton = DialogParts::namedButton(QStringLiteral("BtFiltra"), QStringLiteral("Filtra Certificado"),
                                              filterBox);
    m_filterButton->setDefault(true);
    m_clearButton = DialogParts::namedButton(QStringLiteral("BtLimpaFiltro"), QStringLiteral("&Limpa Filtro"),
                                             filterBox);
    auto *filterButtons = new QVBoxLayout;
    filterButtons->addWidget(m_filterButton);
    filterButtons->addWidget(m_clearButton);
    filterButtons->addStretch();
    auto *filterLayout = new QHBoxLayout(filterBox);
    filterLayout->addLayout(form, 1);
    filterLayout->addLayout(filterButtons);

    m_model = new CertificateSelectionModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("GridCertificados"));
    m_grid->setAccessibleName(QStringLiteral("Certificados selecionados"));
    SpreadsheetExport::attach(m_grid, m_messenger, QStringLiteral("lista-de-certificados"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    const int columnWidths[] = {220, 260, 300, 100, 100};
    for (int i = 0; i < 5; ++i)
        m_grid->setColumnWidth(i, columnWidths[i]);

    auto *countLabel = new QLabel(QStringLiteral("Certificados encontrados:"), this);
    m_countLabel = new QLabel(QStringLiteral("0"), this);
    m_countLabel->setObjectName(QStringLiteral("LbQuantidade"));
    countLabel->setBuddy(m_grid);
    QFont bold = m_countLabel->font();
    bold.setBold(true);
    m_countLabel->setFont(bold);

    m_mirrorButton = DialogParts::namedButton(QStringLiteral("BtEspelho"), QStringLiteral("Espelho do Certificado"),
                                              this);
    m_mirrorLogButton = DialogParts::namedButton(QStringLiteral("BtEspelhoLog"), QStringLiteral("Espelho com Log"),
                                                 this);
    m_listButton = DialogParts::namedButton(QStringLiteral("BtLista"), QStringLiteral("Lista dos Certificados"), this);
    m_closeButton = DialogParts::namedButton(QStringLiteral("BtFecha"), QStringLiteral("Fechar"), this);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(countLabel);
    bottom->addWidget(m_countLabel);
    bottom->addStretch();
    bottom->addWidget(m_mirrorButton);
    bottom->addWidget(m_mirrorLogButton);
    bottom->addWidget(m_listButton);
    bottom->addSpacing(16);
    bottom->addWidget(m_closeButton);

    auto *main = new QVBoxLayout(this);
    main->addWidget(filterBox);
    main->addWidget(m_grid, 1);
    main->addLayout(bottom);
    resize(1080, 760);

    connect(m_filterButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { applyFilter(); }));
    connect(m_clearButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { clearFilter(); }));
    connect(m_chooseCompanyButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { chooseCompany(); }));
    connect(m_companyDetailsButton, &QPushButton::clicked, this,
            guarded(m_messenger, [this] { showCompanyDetails(); }));
    connect(m_chooseProductButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { chooseProduct(); }));
    connect(m_mirrorButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { preview(Espelho); }));
    connect(m_mirrorLogButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { preview(EspelhoLog); }));
    connect(m_listButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { preview(Lista); }));
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);

    guard(m_messenger, [this] { build(); });
}

TFrmRelatorioCertificados::~TFrmRelatorioCertificados() = default;

void TFrmRelatorioCertificados::open(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger,
                                     const ReportChoosers &choosers)
{
    TFrmRelatorioCertificados window(db, login, messenger, choosers, parent);
    window.exec();
}

void TFrmRelatorioCertificados::build()
{
    const QString unavailable = QStringLiteral("Seleção indisponível nesta instalação");
    m_chooseCompanyButton->setEnabled(bool(m_choosers.company));
    if (!m_choosers.company)
        m_chooseCompanyButton->setToolTip(unavailable);
    m_chooseProductButton->setEnabled(bool(m_choosers.product));
    if (!m_choosers.product)
        m_chooseProductButton->setToolTip(unavailable);
    m_companyDetailsButton->setEnabled(false);
    setReportButtons(false);
    fillClasses(m_certificateClassBox, CertificateSelection::certificateClasses(m_db));
    fillClasses(m_productClassBox, CertificateSelection::productClasses(m_db));
    fillClasses(m_serviceClassBox, CertificateSelection::serviceClasses(m_db));
}

void TFrmRelatorioCertificados::fillClasses(QComboBox *box, const QList<ClassEntry> &classes)
{
    box->clear();
    box->addItem(Todos);
    for (const ClassEntry &c : classes)
        box->addItem(c.name, c.id);
}

// The filter starts clear each time the window opens; coming back from a
// preview keeps the selection, so the other reports can follow.
void TFrmRelatorioCertificados::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        guard(m_messenger, [this] { clearFilter(); });
        m_numberEdit->setFocus();
    }
}

void TFrmRelatorioCertificados::setReportButtons(bool enabled)
{
    for (QPushButton *b : {m_mirrorButton, m_mirrorLogButton, m_listButton})
        b->setEnabled(enabled);
}

CertificateFilter TFrmRelatorioCertificados::currentFilter() const
{
    CertificateFilter f;
    f.numero = m_numberEdit->text().trimmed();
    if (m_certificateClassBox->currentIndex() > 0) {
        f.idClasseCertif = m_certificateClassBox->currentData().toString();
        f.nomClasseCertif = m_certificateClassBox->currentText();
    }
    if (m_productClassBox->currentIndex() > 0) {
        f.idClasseProd = m_productClassBox->currentData().toInt();
        f.nomClasseProd = m_productClassBox->currentText();
    }
    if (m_company) {
        f.codigoPais = m_company->codigoPais;
        f.idEmpresa = m_company->idEmpresa;
        f.nomeEmpresa = m_company->nome;
    }
    if (m_product) {
        f.marcaProd = m_product->marcaProd;
        f.modeloProd = m_product->modeloProd;
        f.importadoProd = m_product->importado;
    }
    if (m_serviceClassBox->currentIndex() > 0) {
        f.idClasseServ = m_serviceClassBox->currentData().toInt();
        f.nomClasseServ = m_serviceClassBox->currentText();
    }
    f.status = CertificateFilter::Status(qMax(0, m_statusBox->currentIndex()));
    f.aprovados = CertificateFilter::Approval(qMax(0, m_approvedBox->currentIndex()));
    f.importado = CertificateFilter::Origin(qMax(0, m_importedBox->currentIndex()));
    return f;
}

void TFrmRelatorioCertificados::setCompany(const CompanyChoice &company)
{
    m_company = company;
    m_companyEdit->setText(company.nome);
    m_companyDetailsButton->setEnabled(true);
}

void TFrmRelatorioCertificados::setProduct(const ProductChoice &product)
{
    m_product = product;
    m_productEdit->setText(product.marcaProd + QStringLiteral(" / ") + product.modeloProd +
                           (product.importado ? QStringLiteral(" (importado)") : QString()));
}

void TFrmRelatorioCertificados::applyFilter()
{
    const CertificateFilter filter = currentFilter();
    setReportButtons(false);
    int found = 0;
    {
        WaitCursor wait;
        try {
            m_model->select(m_db, filter);
            found = CertificateSelection::count(m_db, filter);
        } catch (const DbError &) {
            // A selection that cannot run leaves the grid empty, silently.
            m_model->reset();
            found = 0;
        }
    }
    m_applied = filter;
    m_countLabel->setText(CertificateSelection::countText(found));
    setReportButtons(found > 0);
}

void TFrmRelatorioCertificados::clearFilter()
{
    m_numberEdit->clear();
    for (QComboBox *c :
         {m_certificateClassBox, m_productClassBox, m_serviceClassBox, m_statusBox, m_approvedBox, m_importedBox})
        c->setCurrentIndex(0);
    m_company.reset();
    m_product.reset();
    m_companyEdit->clear();
    m_productEdit->clear();
    m_companyDetailsButton->setEnabled(false);
    m_model->reset();
    m_applied = CertificateFilter();
    m_countLabel->setText(QStringLiteral("0"));
    setReportButtons(false);
}

void TFrmRelatorioCertificados::chooseCompany()
{
    if (!m_choosers.company)
        return;
    if (const std::optional<CompanyChoice> chosen = m_choosers.company(this))
        setCompany(*chosen);
}

void TFrmRelatorioCertificados::showCompanyDetails()
{
    if (m_company && m_choosers.companyDetails)
        m_choosers.companyDetails(this, m_company->codigoPais, m_company->idEmpresa);
}

void TFrmRelatorioCertificados::chooseProduct()
{
    if (!m_choosers.product)
        return;
    if (const std::optional<ProductChoice> chosen = m_choosers.product(this))
        setProduct(*chosen);
}

void TFrmRelatorioCertificados::preview(int report)
{
    if (report != Lista) {
        // A mirror runs to two pages a certificate: shown a block at a time.
        CertificateMirrorPages pages(m_db, m_applied, report == EspelhoLog, m_login.userName);
        PagedPreview::run(pages, this, m_messenger);
        return;
    }
    std::optional<BandedReport> built;
    {
        WaitCursor wait;
        built = CertificateListReport::build(m_db, m_applied, m_login.userName);
    }
    ReportPreview::exec(*built, this, m_messenger);
}
