#include "reports/ui/tfrmrelatoriocertificados.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/companies/ui/frmdetalhesempresa.h"
#include "reports/certificatelists.h"
#include "reports/certificateselectionmodel.h"
#include "reports/trelespelhocertiflog.h"
#include "reports/ui/reportpreview.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
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

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

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

    EdNumero = new QLineEdit(filterBox);
    EdNumero->setObjectName(QStringLiteral("EdNumero"));
    EdNumero->setMaxLength(30);
    addRow(QStringLiteral("Número"), EdNumero, EdNumero);
    CbClasseCertif = makeCombo(filterBox, "CbClasseCertif");
    addRow(QStringLiteral("Classe de Certificado"), CbClasseCertif, CbClasseCertif);
    CbClasseProd = makeCombo(filterBox, "CbClasseProd");
    addRow(QStringLiteral("Classe de Produtos"), CbClasseProd, CbClasseProd);

    auto *companyRow = new QHBoxLayout;
    companyRow->setSpacing(6);
    EdEmpresa = new QLineEdit(filterBox);
    EdEmpresa->setObjectName(QStringLiteral("EdEmpresa"));
    EdEmpresa->setReadOnly(true);
    BtSelecionaEmpresa = makeButton(filterBox, "BtSelecionaEmpresa", QStringLiteral("Seleciona Empresa..."));
    BtDetalheEmpresa = makeButton(filterBox, "BtDetalheEmpresa", QStringLiteral("Detalhe da Empresa"));
    companyRow->addWidget(EdEmpresa, 1);
    companyRow->addWidget(BtSelecionaEmpresa);
    companyRow->addWidget(BtDetalheEmpresa);
    auto *companyField = new QWidget(filterBox);
    companyRow->setContentsMargins(0, 0, 0, 0);
    companyField->setLayout(companyRow);
    addRow(QStringLiteral("Empresa"), companyField, EdEmpresa);

    auto *productRow = new QHBoxLayout;
    productRow->setSpacing(6);
    EdProduto = new QLineEdit(filterBox);
    EdProduto->setObjectName(QStringLiteral("EdProduto"));
    EdProduto->setReadOnly(true);
    BtSelecionaProduto = makeButton(filterBox, "BtSelecionaProduto", QStringLiteral("Seleciona Produto..."));
    productRow->addWidget(EdProduto, 1);
    productRow->addWidget(BtSelecionaProduto);
    // The two choosers line up under each other.
    const int chooserWidth = qMax(BtSelecionaEmpresa->sizeHint().width(), BtSelecionaProduto->sizeHint().width());
    BtSelecionaEmpresa->setMinimumWidth(chooserWidth);
    BtSelecionaProduto->setMinimumWidth(chooserWidth);
    productRow->addSpacing(BtDetalheEmpresa->sizeHint().width() + 6);
    auto *productField = new QWidget(filterBox);
    productRow->setContentsMargins(0, 0, 0, 0);
    productField->setLayout(productRow);
    addRow(QStringLiteral("Produto"), productField, EdProduto);

    CbClasseServ = makeCombo(filterBox, "CbClasseServ");
    addRow(QStringLiteral("Classe de Serviço"), CbClasseServ, CbClasseServ);
    CbStatus = makeCombo(
        filterBox, "CbStatus",
        {QStringLiteral("Todos"), QStringLiteral("Ativos"), QStringLiteral("Cancelados"), QStringLiteral("Suspensos")});
    addRow(QStringLiteral("Status do Certificado:"), CbStatus, CbStatus);
    CbAprovados = makeCombo(filterBox, "CbAprovados",
                            {QStringLiteral("Todos"), QStringLiteral("Aprovados"), QStringLiteral("Não Aprovados")});
    addRow(QStringLiteral("Aprovados / Não Aprovados:"), CbAprovados, CbAprovados);
    CbImportado = makeCombo(filterBox, "CbImportado", {Todos, QStringLiteral("Sim"), QStringLiteral("Não")});
    addRow(QStringLiteral("Importado (Sim/Não):"), CbImportado, CbImportado);

    BtFiltra = makeButton(filterBox, "BtFiltra", QStringLiteral("Filtra Certificado"));
    BtFiltra->setDefault(true);
    BtLimpaFiltro = makeButton(filterBox, "BtLimpaFiltro", QStringLiteral("&Limpa Filtro"));
    auto *filterButtons = new QVBoxLayout;
    filterButtons->addWidget(BtFiltra);
    filterButtons->addWidget(BtLimpaFiltro);
    filterButtons->addStretch();
    auto *filterLayout = new QHBoxLayout(filterBox);
    filterLayout->addLayout(form, 1);
    filterLayout->addLayout(filterButtons);

    m_model = new CertificateSelectionModel(this);
    GridCertificados = new QTableView(this);
    GridCertificados->setObjectName(QStringLiteral("GridCertificados"));
    GridCertificados->setAccessibleName(QStringLiteral("Certificados selecionados"));
    SpreadsheetExport::attach(GridCertificados, m_messenger, QStringLiteral("lista-de-certificados"));
    GridCertificados->setModel(m_model);
    GridCertificados->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridCertificados->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridCertificados->setAlternatingRowColors(true);
    GridCertificados->verticalHeader()->setVisible(false);
    GridCertificados->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    GridCertificados->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    GridCertificados->horizontalHeader()->setStretchLastSection(true);
    const int columnWidths[] = {220, 260, 300, 100, 100};
    for (int i = 0; i < 5; ++i)
        GridCertificados->setColumnWidth(i, columnWidths[i]);

    auto *countLabel = new QLabel(QStringLiteral("Certificados encontrados:"), this);
    LbQuantidade = new QLabel(QStringLiteral("0"), this);
    LbQuantidade->setObjectName(QStringLiteral("LbQuantidade"));
    countLabel->setBuddy(GridCertificados);
    QFont bold = LbQuantidade->font();
    bold.setBold(true);
    LbQuantidade->setFont(bold);

    BtEspelho = makeButton(this, "BtEspelho", QStringLiteral("Espelho do Certificado"));
    BtEspelhoLog = makeButton(this, "BtEspelhoLog", QStringLiteral("Espelho com Log"));
    BtLista = makeButton(this, "BtLista", QStringLiteral("Lista dos Certificados"));
    BtFecha = makeButton(this, "BtFecha", QStringLiteral("Fechar"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(countLabel);
    bottom->addWidget(LbQuantidade);
    bottom->addStretch();
    bottom->addWidget(BtEspelho);
    bottom->addWidget(BtEspelhoLog);
    bottom->addWidget(BtLista);
    bottom->addSpacing(16);
    bottom->addWidget(BtFecha);

    auto *main = new QVBoxLayout(this);
    main->addWidget(filterBox);
    main->addWidget(GridCertificados, 1);
    main->addLayout(bottom);
    resize(1080, 760);

    connect(BtFiltra, &QPushButton::clicked, this, guarded(m_messenger, [this] { BtFiltraClick(); }));
    connect(BtLimpaFiltro, &QPushButton::clicked, this, guarded(m_messenger, [this] { BtLimpaFiltroClick(); }));
    connect(BtSelecionaEmpresa, &QPushButton::clicked, this,
            guarded(m_messenger, [this] { BtSelecionaEmpresaClick(); }));
    connect(BtDetalheEmpresa, &QPushButton::clicked, this, guarded(m_messenger, [this] { BtDetalheEmpresaClick(); }));
    connect(BtSelecionaProduto, &QPushButton::clicked, this,
            guarded(m_messenger, [this] { BtSelecionaProdutoClick(); }));
    connect(BtEspelho, &QPushButton::clicked, this, guarded(m_messenger, [this] { preview(Espelho); }));
    connect(BtEspelhoLog, &QPushButton::clicked, this, guarded(m_messenger, [this] { preview(EspelhoLog); }));
    connect(BtLista, &QPushButton::clicked, this, guarded(m_messenger, [this] { preview(Lista); }));
    connect(BtFecha, &QPushButton::clicked, this, &QDialog::reject);

    guard(m_messenger, [this] { FormCreate(); });
}

TFrmRelatorioCertificados::~TFrmRelatorioCertificados() = default;

void TFrmRelatorioCertificados::open(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger,
                                     const ReportChoosers &choosers)
{
    TFrmRelatorioCertificados window(db, login, messenger, choosers, parent);
    window.exec();
}

void TFrmRelatorioCertificados::FormCreate()
{
    const QString unavailable = QStringLiteral("Seleção indisponível nesta instalação");
    BtSelecionaEmpresa->setEnabled(bool(m_choosers.company));
    if (!m_choosers.company)
        BtSelecionaEmpresa->setToolTip(unavailable);
    BtSelecionaProduto->setEnabled(bool(m_choosers.product));
    if (!m_choosers.product)
        BtSelecionaProduto->setToolTip(unavailable);
    BtDetalheEmpresa->setEnabled(false);
    setReportButtons(false);
    fillClasses(CbClasseCertif, CertificateSelection::certificateClasses(m_db));
    fillClasses(CbClasseProd, CertificateSelection::productClasses(m_db));
    fillClasses(CbClasseServ, CertificateSelection::serviceClasses(m_db));
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
        guard(m_messenger, [this] { BtLimpaFiltroClick(); });
        EdNumero->setFocus();
    }
}

void TFrmRelatorioCertificados::setReportButtons(bool enabled)
{
    for (QPushButton *b : {BtEspelho, BtEspelhoLog, BtLista})
        b->setEnabled(enabled);
}

CertificateFilter TFrmRelatorioCertificados::currentFilter() const
{
    CertificateFilter f;
    f.numero = EdNumero->text().trimmed();
    if (CbClasseCertif->currentIndex() > 0) {
        f.idClasseCertif = CbClasseCertif->currentData().toString();
        f.nomClasseCertif = CbClasseCertif->currentText();
    }
    if (CbClasseProd->currentIndex() > 0) {
        f.idClasseProd = CbClasseProd->currentData().toInt();
        f.nomClasseProd = CbClasseProd->currentText();
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
    if (CbClasseServ->currentIndex() > 0) {
        f.idClasseServ = CbClasseServ->currentData().toInt();
        f.nomClasseServ = CbClasseServ->currentText();
    }
    f.status = CertificateFilter::Status(qMax(0, CbStatus->currentIndex()));
    f.aprovados = CertificateFilter::Approval(qMax(0, CbAprovados->currentIndex()));
    f.importado = CertificateFilter::Origin(qMax(0, CbImportado->currentIndex()));
    return f;
}

void TFrmRelatorioCertificados::setCompany(const CompanyChoice &company)
{
    m_company = company;
    EdEmpresa->setText(company.nome);
    BtDetalheEmpresa->setEnabled(true);
}

void TFrmRelatorioCertificados::setProduct(const ProductChoice &product)
{
    m_product = product;
    EdProduto->setText(product.marcaProd + QStringLiteral(" / ") + product.modeloProd +
                       (product.importado ? QStringLiteral(" (importado)") : QString()));
}

void TFrmRelatorioCertificados::BtFiltraClick()
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
    LbQuantidade->setText(CertificateSelection::countText(found));
    setReportButtons(found > 0);
}

void TFrmRelatorioCertificados::BtLimpaFiltroClick()
{
    EdNumero->clear();
    for (QComboBox *c : {CbClasseCertif, CbClasseProd, CbClasseServ, CbStatus, CbAprovados, CbImportado})
        c->setCurrentIndex(0);
    m_company.reset();
    m_product.reset();
    EdEmpresa->clear();
    EdProduto->clear();
    BtDetalheEmpresa->setEnabled(false);
    m_model->reset();
    m_applied = CertificateFilter();
    LbQuantidade->setText(QStringLiteral("0"));
    setReportButtons(false);
}

void TFrmRelatorioCertificados::BtSelecionaEmpresaClick()
{
    if (!m_choosers.company)
        return;
    if (const std::optional<CompanyChoice> chosen = m_choosers.company(this))
        setCompany(*chosen);
}

void TFrmRelatorioCertificados::BtDetalheEmpresaClick()
{
    if (m_company)
        TFrmDetalhesEmpresa::showCompany(m_db, m_company->codigoPais, m_company->idEmpresa, this);
}

void TFrmRelatorioCertificados::BtSelecionaProdutoClick()
{
    if (!m_choosers.product)
        return;
    if (const std::optional<ProductChoice> chosen = m_choosers.product(this))
        setProduct(*chosen);
}

void TFrmRelatorioCertificados::preview(int report)
{
    std::optional<BandedReport> built;
    {
        WaitCursor wait;
        if (report == Lista)
            built = TRelLista::build(m_db, m_applied, m_login.userName);
        else
            built = TRelEspelhoCertifLog::build(m_db, m_applied, report == EspelhoLog, m_login.userName);
    }
    ReportPreview::exec(*built, this, m_messenger);
}
