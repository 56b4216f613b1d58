#include "maintenance/companies/ui/empresasenvolvidastab.h"

#include "base/messenger.h"
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/ui/statusgroup.h"
#include "maintenance/companies/ui/frmdetalhesempresa.h"
#include "maintenance/companies/ui/tfrmalterastatusempresa.h"
#include "maintenance/companies/ui/tfrmselecionaempresa.h"
#include "maintenance/maintenancedates.h"
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
    DBGrid13 = new SelectionGrid(QStringLiteral("DBGrid13"),
                                 {{QStringLiteral("País"), QStringLiteral("CodigoPais")},
                                  {QStringLiteral("CNPJ/CPF"), QStringLiteral("CGC"), SLM::Format::TaxId,
                                   QStringLiteral("TipoPessoa"), QStringLiteral("CPF")},
                                  {QStringLiteral("Razão Social/Nome Pessoa Física"), QStringLiteral("RazSocialEmp"),
                                   SLM::Format::Name, QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")},
                                  {QStringLiteral("Nome Fantasia"), QStringLiteral("NomFantasia")},
                                  {QStringLiteral("Papel na Certificação"), QStringLiteral("PapelEmp")}},
                                 this);
    DBGrid13->horizontalHeader()->setSectionsClickable(false);
    // No group around it: named after the tab that holds it.
    DBGrid13->setAccessibleName(QStringLiteral("Empresas Envolvidas"));
    DBGrid13->setColumnWidth(0, 50);
    DBGrid13->setColumnWidth(1, 150);
    DBGrid13->setColumnWidth(2, 260);
    DBGrid13->setColumnWidth(3, 160);
    layout->addWidget(DBGrid13, 1);

    btnInEmpCertEd = DialogParts::button(this, QStringLiteral("btnInEmpCertEd"), QStringLiteral("&Incluir"));
    btnEdEmpCertEd = DialogParts::button(this, QStringLiteral("btnEdEmpCertEd"), QStringLiteral("&Editar"));
    btnExEmpCertEd = DialogParts::button(this, QStringLiteral("btnExEmpCertEd"), QStringLiteral("E&xcluir "));
    auto *actions = new QHBoxLayout;
    actions->addWidget(btnInEmpCertEd);
    actions->addWidget(btnEdEmpCertEd);
    actions->addWidget(btnExEmpCertEd);
    actions->addStretch();
    layout->addLayout(actions);

    GroupEmpresaCertificada = new QGroupBox(QStringLiteral("Empresa Certificada"), this);
    GroupEmpresaCertificada->setObjectName(QStringLiteral("GroupEmpresaCertificada"));
    DBEdtPaisEmpCert = readOnlyBox(GroupEmpresaCertificada, QStringLiteral("DBEdtPaisEmpCert"));
    DBEdtPaisEmpCert->setMaximumWidth(70);
    DBEdtCnpjEmpCert = readOnlyBox(GroupEmpresaCertificada, QStringLiteral("DBEdtCnpjEmpCert"));
    DBEdtNomeEmpCert = readOnlyBox(GroupEmpresaCertificada, QStringLiteral("DBEdtNomeEmpCert"));
    DBLookupComboBox8 = new QComboBox(GroupEmpresaCertificada);
    DBLookupComboBox8->setObjectName(QStringLiteral("DBLookupComboBox8"));
    DBLookupComboBox8->setMinimumWidth(220);
    EdtDtEntradaEmpCert = new MaskedDateEdit(GroupEmpresaCertificada);
    EdtDtEntradaEmpCert->setObjectName(QStringLiteral("EdtDtEntradaEmpCert"));
    EdtDtEntradaEmpCert->setMaximumWidth(110);
    DBEdtDthEntEmpresa = readOnlyBox(GroupEmpresaCertificada, QStringLiteral("DBEdtDthEntEmpresa"));
    DBEdtDthEntEmpresa->setMaximumWidth(110);
    // Shares the label of the entry-date box it stands in for while browsing.
    DBEdtDthEntEmpresa->setAccessibleName(QStringLiteral("Data de Entrada"));
    btnSelEdEmCert = DialogParts::button(GroupEmpresaCertificada, QStringLiteral("btnSelEdEmCert"),
                                         QStringLiteral("Seleciona Empresa"));
    btnAplEdEmpCert = DialogParts::button(GroupEmpresaCertificada, QStringLiteral("btnAplEdEmpCert"),
                                          QStringLiteral("Aplicar"));
    btnCanEdEmpCert = DialogParts::button(GroupEmpresaCertificada, QStringLiteral("btnCanEdEmpCert"),
                                          QStringLiteral("Cancelar"));
    btnDetalhe = DialogParts::button(GroupEmpresaCertificada, QStringLiteral("btnDetalhe"),
                                     QStringLiteral("Detalhes da Empresa"));
    btnCanEdEmpCert->setProperty(MaskedDateEdit::SkipsDateCheck, true);

    auto *grid = new QGridLayout(GroupEmpresaCertificada);
    auto label = [this](const char *name, const QString &text, QWidget *buddy) {
        return DialogParts::label(GroupEmpresaCertificada, QLatin1String(name), text, buddy);
    };
    auto *first = new QHBoxLayout;
    first->addWidget(DBEdtPaisEmpCert);
    first->addSpacing(12);
    first->addWidget(label("LbCnpjEmpCert", QStringLiteral("CNPJ/CPF"), DBEdtCnpjEmpCert));
    first->addWidget(DBEdtCnpjEmpCert, 1);
    grid->addWidget(label("LbPaisEmpCert", QStringLiteral("País"), DBEdtPaisEmpCert), 0, 0);
    grid->addLayout(first, 0, 1);
    grid->addWidget(btnSelEdEmCert, 0, 2);
    grid->addWidget(label("LbNomeEmpCert", QStringLiteral("Razão Social/Nome Pessoa Física"), DBEdtNomeEmpCert), 1, 0);
    grid->addWidget(DBEdtNomeEmpCert, 1, 1);
    grid->addWidget(btnDetalhe, 1, 2);
    grid->addWidget(label("LbPapelEmp", QStringLiteral("Papel na Certificação"), DBLookupComboBox8), 2, 0);
    grid->addWidget(DBLookupComboBox8, 2, 1);
    auto *entry = new QHBoxLayout;
    entry->addWidget(EdtDtEntradaEmpCert);
    entry->addWidget(DBEdtDthEntEmpresa);
    entry->addStretch();
    grid->addWidget(label("LbDtEntradaEmpCert", QStringLiteral("Data de Entrada"), EdtDtEntradaEmpCert), 3, 0);
    grid->addLayout(entry, 3, 1);
    auto *apply = new QHBoxLayout;
    apply->addStretch();
    apply->addWidget(btnAplEdEmpCert);
    apply->addWidget(btnCanEdEmpCert);
    grid->addLayout(apply, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    layout->addWidget(GroupEmpresaCertificada);

    m_status = new StatusGroup(QStringLiteral("Status da Empresa Certificada"),
                               {QStringLiteral("DBTextStatusEmp"), QStringLiteral("sbAtivEmp"),
                                QStringLiteral("sbSuspEmp"), QStringLiteral("sbCanEmp")},
                               this);
    m_status->setObjectName(QStringLiteral("GroupStatusEmpresa"));
    layout->addWidget(m_status);

    Messenger &msg = m_ctx.messenger;
    connect(btnInEmpCertEd, &QPushButton::clicked, this, guarded(msg, [this] { btnInEmpCertEdClick(); }));
    connect(btnEdEmpCertEd, &QPushButton::clicked, this, guarded(msg, [this] { btnEdEmpCertEdClick(); }));
    connect(btnExEmpCertEd, &QPushButton::clicked, this, guarded(msg, [this] { btnExEmpCertEdClick(); }));
    connect(btnSelEdEmCert, &QPushButton::clicked, this, guarded(msg, [this] { btnSelEdEmCertClick(); }));
    connect(btnAplEdEmpCert, &QPushButton::clicked, this, guarded(msg, [this] { btnAplEdEmpCertClick(); }));
    connect(btnCanEdEmpCert, &QPushButton::clicked, this, guarded(msg, [this] { btnCanEdEmpCertClick(); }));
    connect(btnDetalhe, &QPushButton::clicked, this, guarded(msg, [this] { btnDetalheClick(); }));
    connect(m_status, &StatusGroup::changeRequested, this,
            [this, &msg](const QString &letter) { guard(msg, [&] { sbSuspEmpClick(letter); }); });
    connect(DBGrid13->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
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
    DBLookupComboBox8->clear();
    DBLookupComboBox8->addItem(QString());
    for (const CompanyRole &r : CompanyLinks::roles(m_ctx.db))
        DBLookupComboBox8->addItem(r.name, r.id);
    setEnabled(true);
    m_mode = Mode::Browse;
    reload();
}

void EmpresasEnvolvidasTab::closeCertificate()
{
    m_open = false;
    m_cert = OpenCertificate();
    m_detailKey.reset();
    DBGrid13->close();
    clearBoxes();
    m_status->setStatus(false, QString());
    setMode(Mode::Browse);
    setEnabled(false);
    emit stateChanged();
}

void EmpresasEnvolvidasTab::reload(const std::optional<CompanyKey> &locate)
{
    DBGrid13->open(m_ctx.db, CompanyLinks::listStatement(m_cert.key));
    if (locate) {
        SelectionListModel *list = DBGrid13->list();
        for (int row = 0; row < list->found(); ++row) {
            const CompanyKey k{list->value(row, QStringLiteral("CodigoPais")).toString(),
                               list->value(row, QStringLiteral("IdEmpresa")).toString()};
            if (sameCompany(k, *locate)) {
                DBGrid13->setCurrentIndex(list->index(row, 0));
                break;
            }
        }
    }
    setMode(Mode::Browse);
}

std::optional<CompanyKey> EmpresasEnvolvidasTab::currentKey() const
{
    const int row = m_open ? DBGrid13->currentRow() : -1;
    if (row < 0)
        return std::nullopt;
    const SelectionListModel *list = DBGrid13->list();
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
    const int row = DBGrid13->currentRow();
    TabItem item{StatusEvents::Table::Evento_Emp, {}};
    item.row.insert(QStringLiteral("SiglaCertificador"), m_cert.key.sigla);
    item.row.insert(QStringLiteral("NumCertif"), m_cert.key.numero);
    item.row.insert(QStringLiteral("CodigoPais"), key->codigoPais);
    item.row.insert(QStringLiteral("IdEmpresa"), key->idEmpresa);
    item.row.insert(QStringLiteral("StatusEmpresa"), DBGrid13->list()->value(row, QStringLiteral("StatusEmpresa")));
    return item;
}

QString EmpresasEnvolvidasTab::leaveRefusal() const
{
    return m_open && isEditing() ? Unapplied : QString();
}

void EmpresasEnvolvidasTab::clearBoxes()
{
    for (QLineEdit *e : {DBEdtPaisEmpCert, DBEdtCnpjEmpCert, DBEdtNomeEmpCert, DBEdtDthEntEmpresa})
        e->clear();
    EdtDtEntradaEmpCert->clearDate();
    DBLookupComboBox8->setCurrentIndex(DBLookupComboBox8->count() > 0 ? 0 : -1);
}

void EmpresasEnvolvidasTab::showLink(const CompanyLink &link)
{
    DBEdtPaisEmpCert->setText(link.codigoPais);
    DBEdtCnpjEmpCert->setText(link.idEmpresa.isEmpty() ? QString() : link.displayId());
    DBEdtNomeEmpCert->setText(link.displayName());
    DBEdtNomeEmpCert->setCursorPosition(0);
    const int role = link.idPapelEmp.isNull() ? 0 : DBLookupComboBox8->findData(link.idPapelEmp.toInt());
    DBLookupComboBox8->setCurrentIndex(role < 0 ? 0 : role);
    DBEdtDthEntEmpresa->setText(link.dthEntEmpresa.isValid() ? MaintenanceDates::boxText(link.dthEntEmpresa)
                                                             : QString());
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
    const bool any = m_open && DBGrid13->list()->found() > 0;
    btnInEmpCertEd->setEnabled(browse && m_open);
    btnEdEmpCertEd->setEnabled(browse && any);
    btnExEmpCertEd->setEnabled(browse && any);
    DBGrid13->setEnabled(browse);
    m_status->setEnabled(browse);
    GroupEmpresaCertificada->setEnabled(!browse);
    // The company of a link cannot be exchanged, only its role and entry date.
    btnSelEdEmCert->setEnabled(mode == Mode::Insert);
    btnDetalhe->setEnabled(!browse && m_detailKey.has_value());
    EdtDtEntradaEmpCert->setVisible(!browse);
    DBEdtDthEntEmpresa->setVisible(browse);
    if (browse)
        showCurrent();
    else
        emit stateChanged();
}

void EmpresasEnvolvidasTab::btnInEmpCertEdClick()
{
    if (!m_open || isEditing())
        return;
    m_draft = CompanyLink();
    m_draft.statusEmpresa = QStringLiteral("A");
    m_detailKey.reset();
    showLink(m_draft);
    EdtDtEntradaEmpCert->setMoment(m_cert.issueDate);
    setMode(Mode::Insert);
    btnSelEdEmCertClick();
}

void EmpresasEnvolvidasTab::btnSelEdEmCertClick()
{
    if (m_mode != Mode::Insert)
        return;
    const auto chosen = m_chooser ? m_chooser() : std::nullopt;
    if (!chosen)
        return;
    m_draft.takeCompany(*chosen);
    // The role already picked stays.
    const int role = DBLookupComboBox8->currentIndex();
    showLink(m_draft);
    DBLookupComboBox8->setCurrentIndex(role);
    m_detailKey = m_draft.key();
    btnDetalhe->setEnabled(true);
}

void EmpresasEnvolvidasTab::btnEdEmpCertEdClick()
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
    EdtDtEntradaEmpCert->setMoment(m_draft.dthEntEmpresa);
    setMode(Mode::Edit);
}

void EmpresasEnvolvidasTab::btnAplEdEmpCertClick()
{
    if (!isEditing())
        return;
    btnDetalhe->setEnabled(false);
    const bool inclusion = m_mode == Mode::Insert;
    m_draft.idPapelEmp = DBLookupComboBox8->currentIndex() > 0 ? DBLookupComboBox8->currentData() : QVariant();
    CompanyLinks service = links();
    const QString entryBox = EdtDtEntradaEmpCert->boxText();
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

void EmpresasEnvolvidasTab::btnCanEdEmpCertClick()
{
    if (!isEditing())
        return;
    btnDetalhe->setEnabled(false);
    setMode(Mode::Browse);
}

void EmpresasEnvolvidasTab::btnExEmpCertEdClick()
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

void EmpresasEnvolvidasTab::btnDetalheClick()
{
    if (!m_detailKey)
        return;
    TFrmDetalhesEmpresa::showCompany(m_ctx.db, m_detailKey->codigoPais, m_detailKey->idEmpresa, this);
}

void EmpresasEnvolvidasTab::sbSuspEmpClick(const QString &letter)
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
