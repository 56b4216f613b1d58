#include "shell/ui/cadastrousuariospage.h"

#include "shell/loginstate.h"
#include "shell/programdatabase.h"
#include "shell/userregistry.h"
#include "widgets/columnfit.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/windowopener.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    QPushButton *b = DialogParts::button(parent, QLatin1String(name), text);
    b->setToolTip(hint);
    b->setMinimumWidth(92);
    return b;
}

}

CadastroUsuariosPage::CadastroUsuariosPage(ProgramDatabase &dm, Messenger &messenger, WindowOpener &reports,
                                           const LoginState &login, QWidget *parent)
    : QWidget(parent),
      m_database(dm),
      m_messenger(messenger),
      m_reports(reports),
      m_login(login)
{
    setObjectName(QStringLiteral("CadastroUsuarios"));
    build();
    m_listing = [this] { defaultListing(); };
    browse();
}

void CadastroUsuariosPage::build()
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 8, 10, 8);
    auto *group = new QGroupBox(QStringLiteral("Cadastro de Usuários"), this);
    group->setObjectName(QStringLiteral("grbCadastro"));
    outer->addWidget(group);
    auto *layout = new QVBoxLayout(group);
    layout->setSpacing(8);

    m_model = new QStandardItemModel(this);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("Sigla"), QStringLiteral("Nome do Usuário"), QStringLiteral("Certificador"),
         QStringLiteral("Diretórios"), QStringLiteral("Usuários"), QStringLiteral("Base de Dados"),
         QStringLiteral("Tabelas"), QStringLiteral("Remessas"), QStringLiteral("Aprovação de Certificados")});
    m_grid = new QTableView(group);
    m_grid->setObjectName(QStringLiteral("dbgUsuario"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {64, 150, 82, 76, 66, 98, 62, 74};
    for (int i = 0; i < 8; ++i)
        m_grid->setColumnWidth(i, widths[i]);
    layout->addWidget(m_grid, 1);

    m_addButton = makeButton(group, "bbtIncluir", QStringLiteral("&Incluir"), QStringLiteral("Incluir novo registro"));
    m_editButton = makeButton(group, "bbtEditar", QStringLiteral("&Editar"),
                              QStringLiteral("Editar registro corrente"));
    m_deleteButton = makeButton(group, "bbtExcluir", QStringLiteral("E&xcluir "),
                                QStringLiteral("Excluir registro corrente"));
    m_listButton = makeButton(group, "btnListagem", QStringLiteral("&Listagem"),
                              QStringLiteral("Listar todos os registros "));
    m_exitButton = makeButton(group, "btnExit", QStringLiteral("&Saída"), QStringLiteral("Encerrar edição"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_editButton);
    buttons->addWidget(m_deleteButton);
    buttons->addStretch();
    buttons->addWidget(m_listButton);
    buttons->addWidget(m_exitButton);
    layout->addLayout(buttons);
    layout->addWidget(buildDataGroup());

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_mode == Mode::Browsing)
            if (const UserRecord *u = current())
                showRecord(*u);
    });
    connect(m_addButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { addUser(); }));
    connect(m_editButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { editUser(); }));
    connect(m_deleteButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { deleteUser(); }));
    connect(m_okButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { saveUser(); }));
    connect(m_cancelButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { cancelEditing(); }));
    connect(m_exitButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { leavePage(); }));
    connect(m_listButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { printUserList(); }));

    // "Ok" is the default button and "Cancela" answers the cancel key while
    // a row is being edited.
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *sc = new QShortcut(QKeySequence(key), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(sc, &QShortcut::activated, this, [this] {
            if (m_okButton->isEnabled())
                m_okButton->click();
        });
    }
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, this, [this] {
        if (m_cancelButton->isEnabled())
            m_cancelButton->click();
    });
}

QWidget *CadastroUsuariosPage::buildDataGroup()
{
    m_detailsBox = new QGroupBox(QStringLiteral("Dados do Usuário"), this);
    m_detailsBox->setObjectName(QStringLiteral("grbDados"));
    auto *grid = new QGridLayout(m_detailsBox);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    m_codeEdit = DialogParts::columnEdit(m_detailsBox, QStringLiteral("dbeSigla"), QStringLiteral("USU_LOCAL"),
                                         QStringLiteral("SiglaUsu"));
    m_nameEdit = DialogParts::columnEdit(m_detailsBox, QStringLiteral("dbeNome"), QStringLiteral("USU_LOCAL"),
                                         QStringLiteral("NomeUsu"));
    m_passwordEdit = DialogParts::passwordEdit(m_detailsBox, QStringLiteral("edtSenha"), 10);
    m_confirmationEdit = DialogParts::passwordEdit(m_detailsBox, QStringLiteral("edtConfirma"), 10);
    const QList<QPair<QString, QLineEdit *>> edits = {{QStringLiteral("Sigla do Usuário"), m_codeEdit},
                                                      {QStringLiteral("Nome do Usuário"), m_nameEdit},
                                                      {QStringLiteral("Senha do Usuário"), m_passwordEdit},
                                                      {QStringLiteral("Confirma Senha"), m_confirmationEdit}};
    for (int i = 0; i < edits.size(); ++i) {
        auto *l = new QLabel(edits.at(i).first, m_detailsBox);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->setBuddy(edits.at(i).second);
        grid->addWidget(l, i, 0);
        grid->addWidget(edits.at(i).second, i, 1);
    }
    m_codeEdit->setMaximumWidth(120);
    m_passwordEdit->setMaximumWidth(160);
    m_confirmationEdit->setMaximumWidth(160);
    m_nameEdit->setMinimumWidth(220);

    m_rightsLabel = new QLabel(QStringLiteral("Controle de Acessos:"), m_detailsBox);
    m_rightsLabel->setObjectName(QStringLiteral("lblAcessos"));
    QFont bold = m_rightsLabel->font();
    bold.setBold(true);
    m_rightsLabel->setFont(bold);
    const struct
    {
        QCheckBox **box;
        const char *name;
        const char *text;
    } rights[] = {{&m_certifierRight, "dbcOCC", "Configuração do Certificador?"},
                  {&m_foldersRight, "dbcDir", "Configuração de Diretórios?"},
                  {&m_usersRight, "dbcUsuarios", "Cadastro de Usuários?"},
                  {&m_maintenanceRight, "dbcManBaseDados", "Manutenção da Base de Dados?"},
                  {&m_referenceTablesRight, "dbcAtualizTabQuelora", "Atualização de Tabelas Quelora?"},
                  {&m_remittancesRight, "dbcContRemessas", "Controle de Remessas?"},
                  {&m_approvalRight, "dbcAprovaCert", "Aprova Certificados?"}};
    for (const auto &right : rights)
        *right.box = DialogParts::checkBox(m_detailsBox, QLatin1String(right.name), QString::fromUtf8(right.text));
    grid->setColumnMinimumWidth(2, 16);
    grid->addWidget(m_rightsLabel, 0, 3, 1, 2);
    const QList<QCheckBox *> boxes = checks();
    for (int i = 0; i < boxes.size(); ++i)
        grid->addWidget(boxes.at(i), 1 + i % 4, 3 + i / 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);

    m_okButton = makeButton(m_detailsBox, "bbtOK", QStringLiteral("Ok"), QString());
    m_cancelButton = makeButton(m_detailsBox, "bbtCancela", QStringLiteral("Cancela"), QString());
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_okButton);
    row->addWidget(m_cancelButton);
    grid->addLayout(row, 5, 0, 1, 5);
    return m_detailsBox;
}

QList<QCheckBox *> CadastroUsuariosPage::checks() const
{
    return {m_certifierRight,       m_foldersRight,     m_usersRight,   m_maintenanceRight,
            m_referenceTablesRight, m_remittancesRight, m_approvalRight};
}

void CadastroUsuariosPage::enter()
{
    m_mode = Mode::Browsing;
    browse();
    reload();
    m_grid->setFocus();
}

void CadastroUsuariosPage::reload(const QString &keepSigla)
{
    const QString keep = keepSigla.isEmpty() ? currentSigla() : keepSigla;
    m_users = UserStore(m_database.database()).all();
    m_model->removeRows(0, m_model->rowCount());
    for (const UserRecord &u : m_users) {
        const Rights &r = u.rights;
        QList<QStandardItem *> items;
        for (const QString &text :
             {u.sigla, u.nome, yesNo(r.configOCC), yesNo(r.configDir), yesNo(r.cadastraUsu), yesNo(r.manBase),
              yesNo(r.atualTabAux), yesNo(r.contRemessas), yesNo(r.aprovCertific)}) {
            auto *item = new QStandardItem(text);
            if (items.size() >= 2)
                item->setTextAlignment(Qt::AlignCenter);
            items << item;
        }
        m_model->appendRow(items);
    }
    if (!selectUser(keep) && !m_users.isEmpty())
        m_grid->setCurrentIndex(m_model->index(0, 0));
    if (const UserRecord *u = current())
        showRecord(*u);
    else
        showRecord(UserRecord());
}

bool CadastroUsuariosPage::selectUser(const QString &sigla)
{
    if (sigla.isEmpty())
        return false;
    for (int i = 0; i < m_users.size(); ++i) {
        if (m_users.at(i).sigla.compare(sigla, Qt::CaseInsensitive) == 0) {
            m_grid->setCurrentIndex(m_model->index(i, 0));
            return true;
        }
    }
    return false;
}

const UserRecord *CadastroUsuariosPage::current() const
{
    const int row = m_grid->currentIndex().row();
    return row >= 0 && row < m_users.size() ? &m_users.at(row) : nullptr;
}

QString CadastroUsuariosPage::currentSigla() const
{
    const UserRecord *u = current();
    return u ? u->sigla : QString();
}

void CadastroUsuariosPage::showRecord(const UserRecord &user)
{
    m_codeEdit->setText(user.sigla);
    m_nameEdit->setText(user.nome);
    const Rights &r = user.rights;
    const bool values[] = {r.configOCC,   r.configDir,    r.cadastraUsu,  r.manBase,
                           r.atualTabAux, r.contRemessas, r.aprovCertific};
    const QList<QCheckBox *> boxes = checks();
    for (int i = 0; i < boxes.size(); ++i)
        boxes.at(i)->setChecked(values[i]);
}

UserRecord CadastroUsuariosPage::readRecord() const
{
    UserRecord u;
    if (m_mode == Mode::Changing) {
        if (const UserRecord *c = current())
            u = *c;
    } else {
        u = UserRegistry::newRecord(m_database.certifierCode());
    }
    u.sigla = m_codeEdit->text();
    u.nome = m_nameEdit->text();
    u.rights.configOCC = m_certifierRight->isChecked();
    u.rights.configDir = m_foldersRight->isChecked();
    u.rights.cadastraUsu = m_usersRight->isChecked();
    u.rights.manBase = m_maintenanceRight->isChecked();
    u.rights.atualTabAux = m_referenceTablesRight->isChecked();
    u.rights.contRemessas = m_remittancesRight->isChecked();
    u.rights.aprovCertific = m_approvalRight->isChecked();
    return u;
}

void CadastroUsuariosPage::setEditing(bool editing)
{
    m_grid->setEnabled(!editing);
    m_addButton->setEnabled(!editing);
    m_editButton->setEnabled(!editing);
    m_deleteButton->setEnabled(!editing);
    m_detailsBox->setEnabled(editing);
    m_okButton->setEnabled(editing);
    m_cancelButton->setEnabled(editing);
}

// Back to browsing: the data group and everything in it disabled, the
// password edits cleared.
void CadastroUsuariosPage::browse(const QString &keepSigla)
{
    m_mode = Mode::Browsing;
    m_original.clear();
    setEditing(false);
    for (QWidget *w : m_detailsBox->findChildren<QWidget *>())
        w->setEnabled(false);
    m_passwordEdit->clear();
    m_confirmationEdit->clear();
    if (!keepSigla.isEmpty())
        selectUser(keepSigla);
    if (const UserRecord *u = current())
        showRecord(*u);
}

void CadastroUsuariosPage::addUser()
{
    UserRegistry registry(m_database.database(), m_messenger);
    if (!registry.mayInclude(m_database.certifierCode()))
        return;
    m_mode = Mode::Adding;
    setEditing(true);
    for (QWidget *w : m_detailsBox->findChildren<QWidget *>())
        w->setEnabled(true);
    showRecord(UserRegistry::newRecord(m_database.certifierCode()));
    m_passwordEdit->clear();
    m_confirmationEdit->clear();
    m_codeEdit->setFocus();
}

void CadastroUsuariosPage::editUser()
{
    const UserRecord *u = current();
    if (!u)
        return;
    m_mode = Mode::Changing;
    m_original = u->sigla;
    setEditing(true);
    for (QWidget *w : m_detailsBox->findChildren<QWidget *>())
        w->setEnabled(false);
    m_okButton->setEnabled(true);
    m_cancelButton->setEnabled(true);
    m_nameEdit->setEnabled(true);
    for (QLabel *l : m_detailsBox->findChildren<QLabel *>())
        l->setEnabled(l != m_rightsLabel);
    // The administrator keeps its code and rights: only the name changes.
    if (UserRegistry::isAdministrator(u->sigla)) {
        m_nameEdit->setFocus();
        return;
    }
    m_codeEdit->setEnabled(true);
    m_rightsLabel->setEnabled(true);
    for (QCheckBox *c : checks())
        c->setEnabled(true);
    m_codeEdit->setFocus();
}

void CadastroUsuariosPage::deleteUser()
{
    const UserRecord *u = current();
    if (!u)
        return;
    const int row = m_grid->currentIndex().row();
    if (!UserRegistry(m_database.database(), m_messenger).remove(u->sigla))
        return;
    const QString next = row + 1 < m_users.size() ? m_users.at(row + 1).sigla
        : row > 0                                 ? m_users.at(row - 1).sigla
                                                  : QString();
    reload(next);
}

void CadastroUsuariosPage::saveUser()
{
    UserRegistry registry(m_database.database(), m_messenger);
    const UserRecord user = readRecord();
    using Outcome = UserRegistry::Outcome;
    const Outcome outcome = m_mode == Mode::Adding
        ? registry.saveNew(user, m_passwordEdit->text(), m_confirmationEdit->text())
        : registry.saveChanged(m_original, user);
    switch (outcome) {
    case Outcome::SiglaEmpty: m_codeEdit->setFocus(); return;
    case Outcome::PasswordsRefused:
        m_passwordEdit->clear();
        m_confirmationEdit->clear();
        m_passwordEdit->setFocus();
        return;
    case Outcome::Saved: {
        const QString saved = user.sigla.trimmed();
        browse();
        reload(saved);
        return;
    }
    case Outcome::Discarded:
        browse();
        reload();
        return;
    }
}

void CadastroUsuariosPage::cancelEditing()
{
    browse();
    if (const UserRecord *u = current())
        showRecord(*u);
}

void CadastroUsuariosPage::leavePage()
{
    cancelEditing();
    emit leave();
}

void CadastroUsuariosPage::printUserList()
{
    if (m_listing)
        m_listing();
    leavePage();
}

void CadastroUsuariosPage::defaultListing()
{
    m_reports.previewUserList(m_database.database(), m_login.userName, window(), m_messenger);
}
