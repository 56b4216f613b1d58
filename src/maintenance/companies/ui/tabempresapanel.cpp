#include "maintenance/companies/ui/tabempresapanel.h"

#include "base/messenger.h"
#include "base/taxid.h"
#include "maintenance/companies/companytable.h"
#include "maintenance/companies/ui/tfrmselecionaempresa.h"
#include "maintenance/selectionsql.h"
#include "maintenance/tables/ui/tablepanelparts.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/columnfit.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"
#include "widgets/spreadsheetexport.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using SelectionParts::button;
using SelectionParts::labelFor;

namespace {


QLineEdit *box(QWidget *parent, const char *name, const char *column)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    ColumnFit::fit(e, QStringLiteral("EMPRESA"), QLatin1String(column));
    return e;
}

}

TabEmpresaPanel::TabEmpresaPanel(MaintenanceContext &context, QWidget *parent)
    : QWidget(parent),
      m_ctx(context)
{
    buildUi();
    m_chooser = [this]() -> std::optional<CompanyKey> {
        const auto c = TFrmSelecionaEmpresa::choose(this, m_ctx.db, m_ctx.messenger, m_ctx.userCode, false);
        if (!c)
            return std::nullopt;
        return CompanyKey{c->codigoPais, c->idEmpresa};
    };
    setBrowsing();
}

void TabEmpresaPanel::buildUi()
{
    using Col = SelectionListModel::Column;
    using Fmt = SelectionListModel::Format;
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Tabela de Empresas"), this);
    group->setObjectName(QStringLiteral("GroupTabEmpresa"));
    outer->addWidget(group);
    auto *layout = new QVBoxLayout(group);

    DBGridEmpresa = new SelectionGrid(
        QStringLiteral("DBGridEmpresa"),
        {Col{QStringLiteral("País"), QStringLiteral("NomePais")},
         Col{QStringLiteral("CNPJ/CPF"), QStringLiteral("CGC"), Fmt::TaxId, QStringLiteral("TipoPessoa"),
             QStringLiteral("CPF")},
         Col{QStringLiteral("Razão Social/Nome Pessoa Física"), QStringLiteral("RazSocialEmp"), Fmt::Name,
             QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")},
         Col{QStringLiteral("Nome Fantasia"), QStringLiteral("NomFantasia")}},
        group);
    DBGridEmpresa->setAccessibleName(group->title());
    SpreadsheetExport::attach(DBGridEmpresa, m_ctx.messenger, QStringLiteral("empresas"));
    DBGridEmpresa->setColumnWidth(0, 120);
    DBGridEmpresa->setColumnWidth(1, 150);
    DBGridEmpresa->setColumnWidth(2, 340);
    layout->addWidget(DBGridEmpresa, 1);

    btnIncluir = button(group, QStringLiteral("btnIncluirEmpresa"), QStringLiteral("&Incluir"));
    btnEditar = button(group, QStringLiteral("btnEditarEmpresa"), QStringLiteral("&Editar"));
    btnExcluir = button(group, QStringLiteral("btnExcluirEmpresa"), QStringLiteral("E&xcluir "));
    btnPesquisar = button(group, QStringLiteral("btnPesquisarEmpresa"), QStringLiteral("&Pesquisar"));
    btnSaida = button(group, QStringLiteral("btnSaidaEmpresa"), QStringLiteral("&Saída"));
    auto *browseRow = new QHBoxLayout;
    for (QPushButton *b : {btnIncluir, btnEditar, btnExcluir, btnPesquisar})
        browseRow->addWidget(b);
    browseRow->addStretch();
    browseRow->addWidget(btnSaida);
    layout->addLayout(browseRow);

    GroupDetalheEmpresa = new QGroupBox(QStringLiteral("Dados da Empresa"), group);
    GroupDetalheEmpresa->setObjectName(QStringLiteral("GroupDetalheEmpresa"));
    layout->addWidget(GroupDetalheEmpresa);
    QWidget *d = GroupDetalheEmpresa;

    CbPais = new QComboBox(d);
    CbPais->setObjectName(QStringLiteral("CbPais"));
    RgTipoPessoa = new QWidget(d);
    RgTipoPessoa->setObjectName(QStringLiteral("RgTipoPessoa"));
    RgTipoPessoa->setAccessibleName(QStringLiteral("Tipo Pessoa"));
    RbFisica = new QRadioButton(QStringLiteral("Física"), RgTipoPessoa);
    RbFisica->setObjectName(QStringLiteral("RbFisica"));
    RbJuridica = new QRadioButton(QStringLiteral("Jurídica"), RgTipoPessoa);
    RbJuridica->setObjectName(QStringLiteral("RbJuridica"));
    RbJuridica->setChecked(true);
    auto *kinds = new QButtonGroup(this);
    kinds->addButton(RbFisica);
    kinds->addButton(RbJuridica);
    auto *kindRow = new QHBoxLayout(RgTipoPessoa);
    kindRow->setContentsMargins(0, 0, 0, 0);
    kindRow->addWidget(RbFisica);
    kindRow->addWidget(RbJuridica);
    kindRow->addStretch();

    EdCNPJ = box(d, "EdCNPJ", "CGC");
    // "-" to "9" (digits, "-", ".", "/") and "\": what a typed CNPJ holds.
    EdCNPJ->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-./0-9\\\\]*")), EdCNPJ));
    EdCPF = box(d, "EdCPF", "CPF");
    EdCPF->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), EdCPF));
    EdRazaoSocial = box(d, "EdRazaoSocial", "RazSocialEmp");
    EdNomePessoaFisica = box(d, "EdNomePessoaFisica", "NomPessoaFisica");
    EdNomeFantasia = box(d, "EdNomeFantasia", "NomFantasia");
    EdEndereco = box(d, "EdEndereco", "EndLogr");
    EdNumero = box(d, "EdNumero", "EndNum");
    EdComplemento = box(d, "EdComplemento", "EndCompl");
    EdCEP = box(d, "EdCEP", "EndCEP");
    EdBairro = box(d, "EdBairro", "EndBairro");
    EdCidade = box(d, "EdCidade", "EndCidade");
    CbUF = new QComboBox(d);
    CbUF->setObjectName(QStringLiteral("CbUF"));
    EdTelefone = box(d, "EdTelefone", "Telefone");
    EdFax = box(d, "EdFax", "Fax");
    EdEmail = box(d, "EdEmail", "Email");

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
    LbPais = put(0, 0, CbPais, QStringLiteral("País:"));
    put(0, 2, RgTipoPessoa, QStringLiteral("Tipo Pessoa:"));
    LbCNPJ = put(1, 0, EdCNPJ, QStringLiteral("CNPJ:"));
    LbCPF = put(1, 0, EdCPF, QStringLiteral("CPF:"));
    LbNomeFantasia = put(1, 2, EdNomeFantasia, QStringLiteral("Nome Fantasia:"));
    LbRazaoSocial = put(2, 0, EdRazaoSocial, QStringLiteral("Razão Social:"));
    LbNomePessoaFisica = put(2, 2, EdNomePessoaFisica, QStringLiteral("Nome Pessoa Física:"));
    put(3, 0, EdEndereco, QStringLiteral("Endereço:"));
    put(3, 2, EdNumero, QStringLiteral("Número:"));
    put(4, 0, EdComplemento, QStringLiteral("Complemento:"));
    LbCEP = put(4, 2, EdCEP, QStringLiteral("CEP:"));
    put(5, 0, EdBairro, QStringLiteral("Bairro:"));
    put(5, 2, EdCidade, QStringLiteral("Cidade:"));
    put(6, 0, CbUF, QStringLiteral("UF:"));
    put(6, 2, EdTelefone, QStringLiteral("Telefone:"));
    put(7, 0, EdFax, QStringLiteral("Fax:"));
    put(7, 2, EdEmail, QStringLiteral("Email:"));
    auto *detail = new QVBoxLayout(d);
    detail->addLayout(grid);
    btnOk = button(d, QStringLiteral("btnOkEmpresa"), QStringLiteral("Ok"));
    btnCancela = button(d, QStringLiteral("btnCancelaEmpresa"), QStringLiteral("Cancela"));
    auto *editRow = new QHBoxLayout;
    editRow->addStretch();
    editRow->addWidget(btnOk);
    editRow->addWidget(btnCancela);
    detail->addLayout(editRow);

    Messenger &msg = m_ctx.messenger;
    connect(btnIncluir, &QPushButton::clicked, this, guarded(msg, [this] { btnIncluirClick(); }));
    connect(btnEditar, &QPushButton::clicked, this, guarded(msg, [this] { btnEditarClick(); }));
    connect(btnExcluir, &QPushButton::clicked, this, guarded(msg, [this] { btnExcluirClick(); }));
    connect(btnOk, &QPushButton::clicked, this, guarded(msg, [this] { btnOkClick(); }));
    connect(btnCancela, &QPushButton::clicked, this, guarded(msg, [this] { btnCancelaClick(); }));
    connect(btnPesquisar, &QPushButton::clicked, this, guarded(msg, [this] { btnPesquisarClick(); }));
    connect(btnSaida, &QPushButton::clicked, this, guarded(msg, [this] { btnSaidaClick(); }));
    connect(CbPais, &QComboBox::activated, this, [this] { CbPaisChange(); });
    connect(RbFisica, &QRadioButton::clicked, this, [this] { RgTipoPessoaClick(); });
    connect(RbJuridica, &QRadioButton::clicked, this, [this] { RgTipoPessoaClick(); });
    connect(DBGridEmpresa->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &msg] { guard(msg, [this] { showCurrent(); }); });
}

std::optional<CompanyKey> TabEmpresaPanel::currentKey() const
{
    const int row = DBGridEmpresa->currentRow();
    if (row < 0)
        return std::nullopt;
    return CompanyKey{DBGridEmpresa->list()->value(row, QStringLiteral("CodigoPais")).toString(),
                      DBGridEmpresa->list()->value(row, QStringLiteral("IdEmpresa")).toString()};
}

void TabEmpresaPanel::entered()
{
    CbPais->clear();
    CbPais->addItem(QString());
    for (const SelectionSql::Entry &e : SelectionSql::countries(m_ctx.db))
        CbPais->addItem(e.name, e.code);
    CbUF->clear();
    CbUF->addItem(QString());
    for (const SelectionSql::Entry &e :
         SelectionSql::entries(m_ctx.db, QStringLiteral("SELECT SiglaUF, NomeUF FROM UF ORDER BY NomeUF")))
        CbUF->addItem(e.name, e.code);
    reopen(std::nullopt);
    setBrowsing();
}

void TabEmpresaPanel::reopen(const std::optional<CompanyKey> &at)
{
    DBGridEmpresa->open(m_ctx.db, CompanyTable::listStatement());
    TablePanelParts::showRow(DBGridEmpresa, at ? CompanyTable::rowOf(m_ctx.db, *at) : -1);
    showCurrent();
}

void TabEmpresaPanel::showCurrent()
{
    if (m_editing)
        return;
    const auto key = currentKey();
    const auto company = key ? CompanyTable::load(m_ctx.db, *key) : std::nullopt;
    if (company)
        fill(*company);
    else
        clearFields();
    setBrowsing();
}

bool TabEmpresaPanel::brazilChosen() const
{
    return CbPais->currentIndex() > 0 && CompanyInclusion::isBrazil(CbPais->currentText());
}

void TabEmpresaPanel::fill(const NewCompany &c)
{
    CbPais->setCurrentIndex(qMax(0, CbPais->findData(c.codigoPais, Qt::UserRole, Qt::MatchFixedString)));
    RbFisica->setChecked(c.naturalPerson);
    RbJuridica->setChecked(!c.naturalPerson);
    // A Brazilian CNPJ is shown under its mask; the digits are what is stored.
    const bool cnpj = !c.naturalPerson && CompanyInclusion::digitsOf(c.taxId).size() == 14;
    EdCNPJ->setText(c.naturalPerson ? QString() : cnpj ? TaxId::cnpjMask(c.taxId, true) : c.taxId);
    EdCPF->setText(c.naturalPerson ? c.taxId : QString());
    EdRazaoSocial->setText(c.naturalPerson ? QString() : c.name);
    EdNomePessoaFisica->setText(c.naturalPerson ? c.name : QString());
    EdNomeFantasia->setText(c.nomFantasia);
    EdEndereco->setText(c.endLogr);
    EdNumero->setText(c.endNum);
    EdComplemento->setText(c.endCompl);
    EdCEP->setText(c.endCep);
    EdBairro->setText(c.endBairro);
    EdCidade->setText(c.endCidade);
    CbUF->setCurrentIndex(qMax(0, CbUF->findData(c.siglaUf, Qt::UserRole, Qt::MatchFixedString)));
    EdTelefone->setText(c.telefone);
    EdFax->setText(c.fax);
    EdEmail->setText(c.email);
}

void TabEmpresaPanel::clearFields()
{
    CbPais->setCurrentIndex(0);
    RbJuridica->setChecked(true);
    for (QLineEdit *e : {EdCNPJ, EdCPF, EdRazaoSocial, EdNomePessoaFisica, EdNomeFantasia, EdEndereco, EdNumero,
                         EdComplemento, EdCEP, EdBairro, EdCidade, EdTelefone, EdFax, EdEmail})
        e->clear();
    CbUF->setCurrentIndex(0);
}

NewCompany TabEmpresaPanel::typed() const
{
    NewCompany c;
    if (CbPais->currentIndex() > 0) {
        c.codigoPais = CbPais->currentData().toString();
        c.nomePais = CbPais->currentText();
    }
    c.naturalPerson = RbFisica->isChecked();
    c.taxId = c.naturalPerson ? EdCPF->text() : EdCNPJ->text();
    c.name = c.naturalPerson ? EdNomePessoaFisica->text() : EdRazaoSocial->text();
    c.nomFantasia = c.naturalPerson ? QString() : EdNomeFantasia->text();
    c.endLogr = EdEndereco->text();
    c.endNum = EdNumero->text();
    c.endCompl = EdComplemento->text();
    c.endCep = EdCEP->text();
    c.endBairro = EdBairro->text();
    c.endCidade = EdCidade->text();
    c.siglaUf = CbUF->currentIndex() > 0 ? CbUF->currentData().toString() : QString();
    c.telefone = EdTelefone->text();
    c.fax = EdFax->text();
    c.email = EdEmail->text();
    return c;
}

void TabEmpresaPanel::setBrowsing()
{
    m_editing = false;
    m_edited.reset();
    m_lockCountry = m_lockTaxId = m_lockName = false;
    const bool rows = DBGridEmpresa->currentRow() >= 0;
    DBGridEmpresa->setEnabled(true);
    btnIncluir->setEnabled(true);
    btnSaida->setEnabled(true);
    btnEditar->setEnabled(rows);
    btnExcluir->setEnabled(rows);
    btnPesquisar->setEnabled(rows);
    GroupDetalheEmpresa->setEnabled(false);
    for (QLabel *l : {LbPais, LbCNPJ, LbCPF, LbRazaoSocial})
        TablePanelParts::markLocked(l, false);
    RgTipoPessoaClick();
}

void TabEmpresaPanel::setEditState()
{
    m_editing = true;
    DBGridEmpresa->setEnabled(false);
    for (QPushButton *b : {btnIncluir, btnEditar, btnExcluir, btnPesquisar, btnSaida})
        b->setEnabled(false);
    GroupDetalheEmpresa->setEnabled(true);
    CbPais->setEnabled(!m_lockCountry);
    EdCNPJ->setEnabled(!m_lockTaxId);
    EdCPF->setEnabled(!m_lockTaxId);
    TablePanelParts::markLocked(LbPais, m_lockCountry);
    TablePanelParts::markLocked(LbCNPJ, m_lockTaxId);
    TablePanelParts::markLocked(LbCPF, m_lockTaxId);
    TablePanelParts::markLocked(LbRazaoSocial, m_lockName);
    CbPaisChange();
    RgTipoPessoaClick();
}

void TabEmpresaPanel::btnIncluirClick()
{
    clearFields();
    m_edited.reset();
    m_lockCountry = m_lockTaxId = m_lockName = false;
    setEditState();
    CbPais->setFocus();
}

void TabEmpresaPanel::btnEditarClick()
{
    const auto key = currentKey();
    if (!key)
        return;
    const auto company = CompanyTable::load(m_ctx.db, *key);
    if (!company)
        return;
    fill(*company);
    const CompanyTable::Locks locks = CompanyTable::editLocks(m_ctx.db, *key);
    m_lockCountry = locks.country;
    m_lockTaxId = locks.taxId;
    m_lockName = locks.legalName;
    m_edited = key;
    setEditState();
    EdEndereco->setFocus();
}

void TabEmpresaPanel::CbPaisChange()
{
    const bool chosen = CbPais->currentIndex() > 0;
    const bool brazil = brazilChosen();
    // A foreign company is always a legal entity; the person type of a
    // stored company never changes.
    if (m_editing && chosen && !brazil && !m_edited)
        RbJuridica->setChecked(true);
    const bool kindFree = m_editing && !m_edited && (!chosen || brazil);
    RbFisica->setEnabled(kindFree);
    RbJuridica->setEnabled(kindFree);
    SelectionParts::setBold(LbCNPJ, brazil);
    SelectionParts::setBold(LbCEP, brazil);
    RgTipoPessoaClick();
}

void TabEmpresaPanel::RgTipoPessoaClick()
{
    const bool person = RbFisica->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(LbCPF), static_cast<QWidget *>(EdCPF),
                       static_cast<QWidget *>(LbNomePessoaFisica), static_cast<QWidget *>(EdNomePessoaFisica)})
        w->setVisible(person);
    for (QWidget *w : {static_cast<QWidget *>(LbCNPJ), static_cast<QWidget *>(EdCNPJ),
                       static_cast<QWidget *>(LbNomeFantasia), static_cast<QWidget *>(EdNomeFantasia)})
        w->setVisible(!person);
    if (!m_editing)
        return;
    if (person) {
        EdCNPJ->clear();
        EdRazaoSocial->clear();
        EdNomeFantasia->clear();
    } else {
        EdCPF->clear();
        EdNomePessoaFisica->clear();
    }
    EdRazaoSocial->setEnabled(!person && !m_lockName);
}

void TabEmpresaPanel::btnOkClick()
{
    using CompanyInclusion::Field;
    Field refused = Field::None;
    const auto saved = CompanyTable::save(m_ctx.db, m_ctx.messenger, typed(), m_edited, m_ctx.userCode, &refused);
    if (!saved) {
        const bool person = RbFisica->isChecked();
        QWidget *focus = refused == Field::Country ? static_cast<QWidget *>(CbPais)
            : refused == Field::TaxId              ? (person ? static_cast<QWidget *>(EdCPF) : EdCNPJ)
            : refused == Field::Name ? (person ? static_cast<QWidget *>(EdNomePessoaFisica) : EdRazaoSocial)
            : refused == Field::Cep  ? static_cast<QWidget *>(EdCEP)
                                     : nullptr;
        if (focus && focus->isEnabled())
            focus->setFocus();
        return;
    }
    m_editing = false;
    reopen(saved);
}

void TabEmpresaPanel::btnCancelaClick()
{
    m_editing = false;
    showCurrent();
}

void TabEmpresaPanel::btnExcluirClick()
{
    const auto key = currentKey();
    if (!key)
        return;
    const int row = DBGridEmpresa->currentRow();
    if (!CompanyTable::remove(m_ctx.db, m_ctx.messenger, *key))
        return;
    DBGridEmpresa->open(m_ctx.db, CompanyTable::listStatement());
    TablePanelParts::showRow(DBGridEmpresa, qMin(row, DBGridEmpresa->list()->found() - 1));
    showCurrent();
}

void TabEmpresaPanel::btnPesquisarClick()
{
    const std::optional<CompanyKey> chosen = m_chooser ? m_chooser() : std::nullopt;
    if (!chosen)
        return;
    TablePanelParts::showRow(DBGridEmpresa, CompanyTable::rowOf(m_ctx.db, *chosen));
    showCurrent();
}

void TabEmpresaPanel::btnSaidaClick()
{
    DBGridEmpresa->close();
    clearFields();
    setBrowsing();
    emit leave();
}
