#include "maintenance/companies/ui/empresasenvolvidastab.h"

#include "base/messenger.h"
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/ui/statusgroup.h"
#include "maintenance/companies/ui/frmdetalhesempresa.h"
#include "maintenance/companies/ui/tfrmalterastatusempresa.h"
#include "maintenance/companies/ui/tfrmselecionaempresa.h"
#include "maintenance/maintenancedates.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/maskeddateedit.h"
#include "widgets/selectiongrid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Unapplied = QStringLiteral("Existem inclusões ou alterações não Aplicadas no painel de Empresas "
                                         "Envolvidas. Pressione o botão Aplicar ou Cancelar antes de mudar de painel.");

QLineEdit *readOnlyBox(QWidget *parent, const QString &name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::ClickFocus);
    return e;
}

bool sameCompany(const CompanyKey &a, const CompanyKey &b)
{
    return a.codigoPais.compare(b.codigoPais, Qt::CaseInsensitive) == 0 &&
        a.idEmpresa.compare(b.idEmpresa, Qt::CaseInsensitive) == 0;
}

}

EmpresasEnvolvidasTab::EmpresasEnvolvidasTab(MaintenanceContext &context, QWidget *parent)
    : CertificateTab(parent),
      m_ctx(context)
{
    setObjectName(QStringLiteral("TabEmpresasEnvolvidas"));
    buildUi();
    m_chooser = [this] { return TFrmSelecionaEmpresa::choose(this, m_ctx.db, m_ctx.messenger, m_ctx.userCode, true); };
    m_cascade = [this](const CascadeRequest &request) {
        TFrmAlteraStatusEmpresa::run(this, m_ctx.db, m_ctx.messenger, request, m_ctx.askJustification);
    };
    closeCertificate();
}

void EmpresasEnvolvidasTab::buildUi()
{
    using SLM = SelectionListModel;
    auto *layout = new QVBoxLayout(this);
    companyGrid = new SelectionGrid(
        QStringLiteral("DBGrid13"),
        {{QStringLiteral("País"), QStringLiteral("CodigoPais")},
         {QStringLiteral("CNPJ/CPF"), QStringLiteral("CGC"), SLM::Format::TaxId, QStringLiteral("TipoPessoa"),
          QStringLiteral("CPF")},
         {QStringLiteral("Razão Social/Nome Pessoa Física"), QStringLiteral("RazSocialEmp"), SLM::Format::Name,
          QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")},
         {QStringLiteral("Nome Fantasia"), QStringLiteral("NomFantasia")},
         {QStringLiteral("Papel na Certificação"), QStringLiteral("PapelEmp")}},
        this);
    companyGrid->horizontalHeader()->setSectionsClickable(false);
    // No group around it: named after the tab that holds it.
    companyGrid->setAccessibleName(QStringLiteral("Empresas Envolvidas"));
    companyGrid->setColumnWidth(0, 50);
    companyGrid->setColumnWidth(1, 150);
    companyGrid->setColumnWidth(2, 260);
    companyGrid->setColumnWidth(3, 160);
    layout->addWidget(companyGrid, 1);

    includeButton = DialogParts::button(this, QStringLiteral("btnInEmpCertEd"), QStringLiteral("&Incluir"));
    editButton = DialogParts::button(this, QStringLiteral("btnEdEmpCertEd"), QStringLiteral("&Editar"));
    deleteButton = DialogParts::button(this, QStringLiteral("btnExEmpCertEd"), QStringLiteral("E&xcluir "));
    layout->addLayout(SelectionParts::spreadRow({includeButton, editButton, deleteButton}));

    companyBox = new QGroupBox(QStringLiteral("Empresa Certificada"), this);
    companyBox->setObjectName(QStringLiteral("GroupEmpresaCertificada"));
    countryField = readOnlyBox(companyBox, QStringLiteral("DBEdtPaisEmpCert"));
    countryField->setMaximumWidth(70);
    cnpjField = readOnlyBox(companyBox, QStringLiteral("DBEdtCnpjEmpCert"));
    nameField = readOnlyBox(companyBox, QStringLiteral("DBEdtNomeEmpCert"));
    roleList = new QComboBox(companyBox);
    roleList->setObjectName(QStringLiteral("DBLookupComboBox8"));
    roleList->setMinimumWidth(220);
    entryDateField = new MaskedDateEdit(companyBox);
    entryDateField->setObjectName(QStringLiteral("EdtDtEntradaEmpCert"));
    entryDateField->setMaximumWidth(110);
    entryDateShown = readOnlyBox(companyBox, QStringLiteral("DBEdtDthEntEmpresa"));
    entryDateShown->setMaximumWidth(110);
    // Shares the label of the entry-date box it stands in for while browsing.
    entryDateShown->setAccessibleName(QStringLiteral("Data de Entrada"));
    chooseButton = DialogParts::button(companyBox, QStringLiteral("btnSelEdEmCert"),
                                       QStringLiteral("Seleciona Empresa"));
    applyButton = DialogParts::button(companyBox, QStringLiteral("btnAplEdEmpCert"), QStringLiteral("Aplicar"));
    cancelButton = DialogParts::button(companyBox, QStringLiteral("btnCanEdEmpCert"), QStringLiteral("Cancelar"));
    detailsButton = DialogParts::button(companyBox, QStringLiteral("btnDetalhe"),
                                        QStringLiteral("Detalhes da Empresa"));
    cancelButton->setProperty(MaskedDateEdit::SkipsDateCheck, true);

    auto *grid = new QGridLayout(companyBox);
    auto label = [this](const char *name, const QString &text, QWidget *buddy) {
        return DialogParts::label(companyBox, QLatin1String(name), text, buddy);
    };
    auto *first = new QHBoxLayout;
    first->addWidget(countryField);
    first->addSpacing(12);
    first->addWidget(label("LbCnpjEmpCert", QStringLiteral("CNPJ/CPF"), cnpjField));
    first->addWidget(cnpjField, 1);
    grid->addWidget(label("LbPaisEmpCert", QStringLiteral("País"), countryField), 0, 0);
    grid->addLayout(first, 0, 1);
    grid->addWidget(chooseButton, 0, 2);
    grid->addWidget(label("LbNomeEmpCert", QStringLiteral("Razão Social/Nome Pessoa Física"), nameField), 1, 0);
    grid->addWidget(nameField, 1, 1);
    grid->addWidget(detailsButton, 1, 2);
    grid->addWidget(label("LbPapelEmp", QStringLiteral("Papel na Certificação"), roleList), 2, 0);
    grid->addWidget(roleList, 2, 1);
    auto *entry = new QHBoxLayout;
    entry->addWidget(entryDateField);
    entry->addWidget(entryDateShown);
    entry->addStretch();
    grid->addWidget(label("LbDtEntradaEmpCert", QStringLiteral("Data de Entrada"), entryDateField), 3, 0);
    grid->addLayout(entry, 3, 1);
    grid->addLayout(SelectionParts::spreadRow({}, {applyButton, cancelButton}), 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    layout->addWidget(companyBox);

    m_status = new StatusGroup(QStringLiteral("Status da Empresa Certificada"),
                               {QStringLiteral("DBTextStatusEmp"), QStringLiteral("sbAtivEmp"),
                                QStringLiteral("sbSuspEmp"), QStringLiteral("sbCanEmp")},
                               this);
    m_status->setObjectName(QStringLiteral("GroupStatusEmpresa"));
    layout->addWidget(m_status);

    Messenger &msg = m_ctx.messenger;
    connect(includeButton, &QPushButton::clicked, this, guarded(msg, [this] { includeNew(); }));
    connect(editButton, &QPushButton::clicked, this, guarded(msg, [this] { editCurrent(); }));
    connect(deleteButton, &QPushButton::clicked, this, guarded(msg, [this] { deleteCurrent(); }));
    connect(chooseButton, &QPushButton::clicked, this, guarded(msg, [this] { chooseCompany(); }));
    connect(applyButton, &QPushButton::clicked, this, guarded(msg, [this] { applyEdit(); }));
    connect(cancelButton, &QPushButton::clicked, this, guarded(msg, [this] { cancelEdit(); }));
    connect(detailsButton, &QPushButton::clicked, this, guarded(msg, [this] { showCompanyDetails(); }));
    connect(m_status, &StatusGroup::changeRequested, this,
            [this, &msg](const QString &letter) { guard(msg, [&] { changeCompanyStatus(letter); }); });
    connect(companyGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &msg] { guard(msg, [this] { showCurrent(); }); });
}

CompanyLinks EmpresasEnvolvidasTab::links() const
{
    return CompanyLinks(m_ctx.db, m_ctx.messenger, m_ctx.userCode);
}

void EmpresasEnvolvidasTab::openCertificate(const OpenCertificate &certificate)
{
    m_cert = certificate;
    m_open = true;
    m_detailKey.reset();
    roleList->clear();
    roleList->addItem(QString());
    for (const CompanyRole &r : CompanyLinks::roles(m_ctx.db))
        roleList->addItem(r.name, r.id);
    setEnabled(true);
    m_mode = Mode::Browse;
    reload();
}

void EmpresasEnvolvidasTab::closeCertificate()
{
    m_open = false;
    m_cert = OpenCertificate();
    m_detailKey.reset();
    companyGrid->close();
    clearBoxes();
    m_status->setStatus(false, QString());
    setMode(Mode::Browse);
    setEnabled(false);
    emit stateChanged();
}

void EmpresasEnvolvidasTab::reload(const std::optional<CompanyKey> &locate)
{
    companyGrid->open(m_ctx.db, CompanyLinks::listStatement(m_cert.key));
    if (locate) {
        SelectionListModel *list = companyGrid->list();
        for (int row = 0; row < list->found(); ++row) {
            const CompanyKey k{list->value(row, QStringLiteral("CodigoPais")).toString(),
                               list->value(row, QStringLiteral("IdEmpresa")).toString()};
            if (sameCompany(k, *locate)) {
                companyGrid->setCurrentIndex(list->index(row, 0));
                break;
            }
        }
    }
    setMode(Mode::Browse);
}

std::optional<CompanyKey> EmpresasEnvolvidasTab::currentKey() const
{
    const int row = m_open ? companyGrid->currentRow() : -1;
    if (row < 0)
        return std::nullopt;
    const SelectionListModel *list = companyGrid->list();
    return CompanyKey{list->value(row, QStringLiteral("CodigoPais")).toString(),
                      list->value(row, QStringLiteral("IdEmpresa")).toString()};
}

bool EmpresasEnvolvidasTab::hasCurrentRow() const
{
    return m_mode != Mode::Insert && currentKey().has_value();
}

std::optional<TabItem> EmpresasEnvolvidasTab::currentItem() const
{
    const auto key = hasCurrentRow() ? currentKey() : std::nullopt;
    if (!key)
        return std::nullopt;
    const int row = companyGrid->currentRow();
    TabItem item{StatusEvents::Table::Evento_Emp, {}};
    item.row.insert(QStringLiteral("SiglaCertificador"), m_cert.key.sigla);
    item.row.insert(QStringLiteral("NumCertif"), m_cert.key.numero);
    item.row.insert(QStringLiteral("CodigoPais"), key->codigoPais);
    item.row.insert(QStringLiteral("IdEmpresa"), key->idEmpresa);
    item.row.insert(QStringLiteral("StatusEmpresa"), companyGrid->list()->value(row, QStringLiteral("StatusEmpresa")));
    return item;
}

QString EmpresasEnvolvidasTab::leaveRefusal() const
{
    return m_open && isEditing() ? Unapplied : QString();
}

void EmpresasEnvolvidasTab::clearBoxes()
{
    for (QLineEdit *e : {countryField, cnpjField, nameField, entryDateShown})
        e->clear();
    entryDateField->clearDate();
    roleList->setCurrentIndex(roleList->count() > 0 ? 0 : -1);
}

void EmpresasEnvolvidasTab::showLink(const CompanyLink &link)
{
    countryField->setText(link.codigoPais);
    cnpjField->setText(link.idEmpresa.isEmpty() ? QString() : link.displayId());
    nameField->setText(link.displayName());
    nameField->setCursorPosition(0);
    const int role = link.idPapelEmp.isNull() ? 0 : roleList->findData(link.idPapelEmp.toInt());
    roleList->setCurrentIndex(role < 0 ? 0 : role);
    entryDateShown->setText(link.dthEntEmpresa.isValid() ? MaintenanceDates::boxText(link.dthEntEmpresa) : QString());
}

// The current row of the list in the company's group and status buttons.
void EmpresasEnvolvidasTab::showCurrent()
{
    if (m_mode != Mode::Browse)
        return;
    const auto key = currentKey();
    const auto link = key ? CompanyLinks::load(m_ctx.db, m_cert.key, *key) : std::nullopt;
    if (link) {
        showLink(*link);
        m_status->setStatus(true, link->statusEmpresa);
    } else {
        clearBoxes();
        m_status->setStatus(false, QString());
    }
    emit stateChanged();
}

void EmpresasEnvolvidasTab::setMode(Mode mode)
{
    m_mode = mode;
    const bool browse = mode == Mode::Browse;
    const bool any = m_open && companyGrid->list()->found() > 0;
    includeButton->setEnabled(browse && m_open);
    editButton->setEnabled(browse && any);
    deleteButton->setEnabled(browse && any);
    companyGrid->setEnabled(browse);
    m_status->setEnabled(browse);
    companyBox->setEnabled(!browse);
    // The company of a link cannot be exchanged, only its role and entry date.
    chooseButton->setEnabled(mode == Mode::Insert);
    detailsButton->setEnabled(!browse && m_detailKey.has_value());
    entryDateField->setVisible(!browse);
    entryDateShown->setVisible(browse);
    if (browse)
        showCurrent();
    else
        emit stateChanged();
}

void EmpresasEnvolvidasTab::includeNew()
{
    if (!m_open || isEditing())
        return;
    m_draft = CompanyLink();
    m_draft.statusEmpresa = QStringLiteral("A");
    m_detailKey.reset();
    showLink(m_draft);
    entryDateField->setMoment(m_cert.issueDate);
    setMode(Mode::Insert);
    chooseCompany();
}

void EmpresasEnvolvidasTab::chooseCompany()
{
    if (m_mode != Mode::Insert)
        return;
    const auto chosen = m_chooser ? m_chooser() : std::nullopt;
    if (!chosen)
        return;
    m_draft.takeCompany(*chosen);
    // The role already picked stays.
    const int role = roleList->currentIndex();
    showLink(m_draft);
    roleList->setCurrentIndex(role);
    m_detailKey = m_draft.key();
    detailsButton->setEnabled(true);
}

void EmpresasEnvolvidasTab::editCurrent()
{
    const auto key = currentKey();
    if (!key || isEditing())
        return;
    const auto link = CompanyLinks::load(m_ctx.db, m_cert.key, *key);
    if (!link)
        return;
    m_draft = *link;
    m_detailKey = *key;
    showLink(m_draft);
    entryDateField->setMoment(m_draft.dthEntEmpresa);
    setMode(Mode::Edit);
}

void EmpresasEnvolvidasTab::applyEdit()
{
    if (!isEditing())
        return;
    detailsButton->setEnabled(false);
    const bool inclusion = m_mode == Mode::Insert;
    m_draft.idPapelEmp = roleList->currentIndex() > 0 ? roleList->currentData() : QVariant();
    CompanyLinks service = links();
    const QString entryBox = entryDateField->boxText();
    if (!service.check(m_cert.key, m_cert.issueDate, m_draft, entryBox, inclusion))
        return;
    const bool approvedBefore = m_cert.held;
    std::optional<QString> justification;
    if (approvedBefore) {
        // An approved certificate tells the regulator why; without a reason
        // nothing is written.
        const auto answer = m_ctx.askJustification(false, m_cert.issueDate);
        if (!answer) {
            reload(currentKey());
            return;
        }
        justification = answer->text;
    }
    const CompanyKey key = m_draft.key();
    if (!service.apply(m_cert.key, approvedBefore, inclusion, m_draft, MaintenanceDates::parse(entryBox.trimmed()),
                       justification)) {
        reload(currentKey());
        return;
    }
    reload(key);
    emit certificateChanged();
}

void EmpresasEnvolvidasTab::cancelEdit()
{
    if (!isEditing())
        return;
    detailsButton->setEnabled(false);
    setMode(Mode::Browse);
}

void EmpresasEnvolvidasTab::deleteCurrent()
{
    const auto key = currentKey();
    if (!key || isEditing())
        return;
    CompanyLinks service = links();
    if (!service.removalAllowed(m_cert.key, *key))
        return;
    if (!m_ctx.messenger.confirm(CompanyLinkTexts::ConfirmDelete))
        return;
    const bool removed = service.remove(m_cert.key, *key);
    reload();
    if (removed)
        emit certificateChanged();
}

void EmpresasEnvolvidasTab::showCompanyDetails()
{
    if (!m_detailKey)
        return;
    TFrmDetalhesEmpresa::showCompany(m_ctx.db, m_detailKey->codigoPais, m_detailKey->idEmpresa, this);
}

void EmpresasEnvolvidasTab::changeCompanyStatus(const QString &letter)
{
    const auto key = currentKey();
    if (!key || isEditing())
        return;
    const bool awayFromActive = letter == QLatin1String("S") || letter == QLatin1String("C");
    if (awayFromActive && CompanyLinks::hasActiveItems(m_ctx.db, m_cert.key, *key)) {
        if (m_cascade)
            m_cascade({m_cert.key, *key, m_ctx.userCode, letter, CertificateService::statusEvent(letter)});
        reload(key);
        emit itemsChanged();
        return;
    }
    const auto answer = m_ctx.askJustification(true, m_cert.issueDate);
    if (answer)
        links().changeStatus(m_cert.key, *key, letter, answer->text, MaintenanceDates::parse(answer->date));
    reload(key);
    if (answer)
        emit certificateChanged();
}
