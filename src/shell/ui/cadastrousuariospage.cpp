#include "shell/ui/cadastrousuariospage.h"

#include "shell/loginstate.h"
#include "shell/tdmcapasistema.h"
#include "shell/userregistry.h"
#include "widgets/columnfit.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/reportopener.h"

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
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    b->setAutoDefault(false);
    b->setMinimumWidth(92);
    return b;
}

QCheckBox *makeCheck(QWidget *parent, const char *name, const QString &text)
{
    auto *c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

QLineEdit *makeEdit(QWidget *parent, const char *name, int maxLength, bool password = false)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLength);
    if (password)
        DialogParts::maskPassword(e);
    return e;
}

QLineEdit *columnEdit(QWidget *parent, const char *name, const char *column)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    ColumnFit::fit(e, QStringLiteral("USU_LOCAL"), QLatin1String(column));
    return e;
}

}

CadastroUsuariosPage::CadastroUsuariosPage(TDMCapaSistema &dm, Messenger &messenger, ReportOpener &reports,
                                           const LoginState &login, QWidget *parent)
    : QWidget(parent),
      m_dm(dm),
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
    dbgUsuario = new QTableView(group);
    dbgUsuario->setObjectName(QStringLiteral("dbgUsuario"));
    dbgUsuario->setModel(m_model);
    dbgUsuario->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgUsuario->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgUsuario->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgUsuario->setAlternatingRowColors(true);
    dbgUsuario->verticalHeader()->hide();
    dbgUsuario->verticalHeader()->setDefaultSectionSize(22);
    dbgUsuario->horizontalHeader()->setHighlightSections(false);
    dbgUsuario->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {64, 150, 82, 76, 66, 98, 62, 74};
    for (int i = 0; i < 8; ++i)
        dbgUsuario->setColumnWidth(i, widths[i]);
    layout->addWidget(dbgUsuario, 1);

    bbtIncluir = makeButton(group, "bbtIncluir", QStringLiteral("&Incluir"), QStringLiteral("Incluir novo registro"));
    bbtEditar = makeButton(group, "bbtEditar", QStringLiteral("&Editar"), QStringLiteral("Editar registro corrente"));
    bbtExcluir = makeButton(group, "bbtExcluir", QStringLiteral("E&xcluir "),
                            QStringLiteral("Excluir registro corrente"));
    btnListagem = makeButton(group, "btnListagem", QStringLiteral("&Listagem"),
                             QStringLiteral("Listar todos os registros "));
    btnExit = makeButton(group, "btnExit", QStringLiteral("&Saída"), QStringLiteral("Encerrar edição"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(bbtIncluir);
    buttons->addWidget(bbtEditar);
    buttons->addWidget(bbtExcluir);
    buttons->addStretch();
    buttons->addWidget(btnListagem);
    buttons->addWidget(btnExit);
    layout->addLayout(buttons);
    layout->addWidget(buildDataGroup());

    connect(dbgUsuario->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_mode == Mode::Browsing)
            if (const UserRecord *u = current())
                showRecord(*u);
    });
    connect(bbtIncluir, &QPushButton::clicked, this, guarded(m_messenger, [this] { bbtIncluirClick(); }));
    connect(bbtEditar, &QPushButton::clicked, this, guarded(m_messenger, [this] { bbtEditarClick(); }));
    connect(bbtExcluir, &QPushButton::clicked, this, guarded(m_messenger, [this] { bbtExcluirClick(); }));
    connect(bbtOK, &QPushButton::clicked, this, guarded(m_messenger, [this] { bbtOKClick(); }));
    connect(bbtCancela, &QPushButton::clicked, this, guarded(m_messenger, [this] { bbtCancelaClick(); }));
    connect(btnExit, &QPushButton::clicked, this, guarded(m_messenger, [this] { btnExitClick(); }));
    connect(btnListagem, &QPushButton::clicked, this, guarded(m_messenger, [this] { btnListagemClick(); }));

    // "Ok" is the default button and "Cancela" answers the cancel key while
    // a row is being edited.
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *sc = new QShortcut(QKeySequence(key), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(sc, &QShortcut::activated, this, [this] {
            if (bbtOK->isEnabled())
                bbtOK->click();
        });
    }
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, this, [this] {
        if (bbtCancela->isEnabled())
            bbtCancela->click();
    });
}

QWidget *CadastroUsuariosPage::buildDataGroup()
{
    grbDados = new QGroupBox(QStringLiteral("Dados do Usuário"), this);
    grbDados->setObjectName(QStringLiteral("grbDados"));
    auto *grid = new QGridLayout(grbDados);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    dbeSigla = columnEdit(grbDados, "dbeSigla", "SiglaUsu");
    dbeNome = columnEdit(grbDados, "dbeNome", "NomeUsu");
    edtSenha = makeEdit(grbDados, "edtSenha", 10, true);
    edtConfirma = makeEdit(grbDados, "edtConfirma", 10, true);
    const QList<QPair<QString, QLineEdit *>> edits = {{QStringLiteral("Sigla do Usuário"), dbeSigla},
                                                      {QStringLiteral("Nome do Usuário"), dbeNome},
                                                      {QStringLiteral("Senha do Usuário"), edtSenha},
                                                      {QStringLiteral("Confirma Senha"), edtConfirma}};
    for (int i = 0; i < edits.size(); ++i) {
        auto *l = new QLabel(edits.at(i).first, grbDados);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->setBuddy(edits.at(i).second);
        grid->addWidget(l, i, 0);
        grid->addWidget(edits.at(i).second, i, 1);
    }
    dbeSigla->setMaximumWidth(120);
    edtSenha->setMaximumWidth(160);
    edtConfirma->setMaximumWidth(160);
    dbeNome->setMinimumWidth(220);

    lblAcessos = new QLabel(QStringLiteral("Controle de Acessos:"), grbDados);
    lblAcessos->setObjectName(QStringLiteral("lblAcessos"));
    QFont bold = lblAcessos->font();
    bold.setBold(true);
    lblAcessos->setFont(bold);
    dbcOCC = makeCheck(grbDados, "dbcOCC", QStringLiteral("Configuração do Certificador?"));
    dbcDir = makeCheck(grbDados, "dbcDir", QStringLiteral("Configuração de Diretórios?"));
    dbcUsuarios = makeCheck(grbDados, "dbcUsuarios", QStringLiteral("Cadastro de Usuários?"));
    dbcManBaseDados = makeCheck(grbDados, "dbcManBaseDados", QStringLiteral("Manutenção da Base de Dados?"));
    dbcAtualizTabQuelora = makeCheck(grbDados, "dbcAtualizTabQuelora",
                                     QStringLiteral("Atualização de Tabelas Quelora?"));
    dbcContRemessas = makeCheck(grbDados, "dbcContRemessas", QStringLiteral("Controle de Remessas?"));
    dbcAprovaCert = makeCheck(grbDados, "dbcAprovaCert", QStringLiteral("Aprova Certificados?"));
    grid->setColumnMinimumWidth(2, 16);
    grid->addWidget(lblAcessos, 0, 3, 1, 2);
    const QList<QCheckBox *> boxes = checks();
    for (int i = 0; i < boxes.size(); ++i)
        grid->addWidget(boxes.at(i), 1 + i % 4, 3 + i / 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);

    bbtOK = makeButton(grbDados, "bbtOK", QStringLiteral("Ok"), QString());
    bbtCancela = makeButton(grbDados, "bbtCancela", QStringLiteral("Cancela"), QString());
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(bbtOK);
    row->addWidget(bbtCancela);
    grid->addLayout(row, 5, 0, 1, 5);
    return grbDados;
}

QList<QCheckBox *> CadastroUsuariosPage::checks() const
{
    return {dbcOCC, dbcDir, dbcUsuarios, dbcManBaseDados, dbcAtualizTabQuelora, dbcContRemessas, dbcAprovaCert};
}

void CadastroUsuariosPage::enter()
{
    m_mode = Mode::Browsing;
    browse();
    reload();
    dbgUsuario->setFocus();
}

void CadastroUsuariosPage::reload(const QString &keepSigla)
{
    const QString keep = keepSigla.isEmpty() ? currentSigla() : keepSigla;
    m_users = UserStore(m_dm.database()).all();
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
        dbgUsuario->setCurrentIndex(m_model->index(0, 0));
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
            dbgUsuario->setCurrentIndex(m_model->index(i, 0));
            return true;
        }
    }
    return false;
}

const UserRecord *CadastroUsuariosPage::current() const
{
    const int row = dbgUsuario->currentIndex().row();
    return row >= 0 && row < m_users.size() ? &m_users.at(row) : nullptr;
}

QString CadastroUsuariosPage::currentSigla() const
{
    const UserRecord *u = current();
    return u ? u->sigla : QString();
}

void CadastroUsuariosPage::showRecord(const UserRecord &user)
{
    dbeSigla->setText(user.sigla);
    dbeNome->setText(user.nome);
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
        u = UserRegistry::newRecord(m_dm.certifierCode());
    }
    u.sigla = dbeSigla->text();
    u.nome = dbeNome->text();
    u.rights.configOCC = dbcOCC->isChecked();
    u.rights.configDir = dbcDir->isChecked();
    u.rights.cadastraUsu = dbcUsuarios->isChecked();
    u.rights.manBase = dbcManBaseDados->isChecked();
    u.rights.atualTabAux = dbcAtualizTabQuelora->isChecked();
    u.rights.contRemessas = dbcContRemessas->isChecked();
    u.rights.aprovCertific = dbcAprovaCert->isChecked();
    return u;
}

void CadastroUsuariosPage::setEditing(bool editing)
{
    dbgUsuario->setEnabled(!editing);
    bbtIncluir->setEnabled(!editing);
    bbtEditar->setEnabled(!editing);
    bbtExcluir->setEnabled(!editing);
    grbDados->setEnabled(editing);
    bbtOK->setEnabled(editing);
    bbtCancela->setEnabled(editing);
}

// Back to browsing: the data group and everything in it disabled, the
// password edits cleared.
void CadastroUsuariosPage::browse(const QString &keepSigla)
{
    m_mode = Mode::Browsing;
    m_original.clear();
    setEditing(false);
    for (QWidget *w : grbDados->findChildren<QWidget *>())
        w->setEnabled(false);
    edtSenha->clear();
    edtConfirma->clear();
    if (!keepSigla.isEmpty())
        selectUser(keepSigla);
    if (const UserRecord *u = current())
        showRecord(*u);
}

void CadastroUsuariosPage::bbtIncluirClick()
{
    UserRegistry registry(m_dm.database(), m_messenger);
    if (!registry.mayInclude(m_dm.certifierCode()))
        return;
    m_mode = Mode::Adding;
    setEditing(true);
    for (QWidget *w : grbDados->findChildren<QWidget *>())
        w->setEnabled(true);
    showRecord(UserRegistry::newRecord(m_dm.certifierCode()));
    edtSenha->clear();
    edtConfirma->clear();
    dbeSigla->setFocus();
}

void CadastroUsuariosPage::bbtEditarClick()
{
    const UserRecord *u = current();
    if (!u)
        return;
    m_mode = Mode::Changing;
    m_original = u->sigla;
    setEditing(true);
    for (QWidget *w : grbDados->findChildren<QWidget *>())
        w->setEnabled(false);
    bbtOK->setEnabled(true);
    bbtCancela->setEnabled(true);
    dbeNome->setEnabled(true);
    for (QLabel *l : grbDados->findChildren<QLabel *>())
        l->setEnabled(l != lblAcessos);
    // The administrator keeps its code and rights: only the name changes.
    if (UserRegistry::isAdministrator(u->sigla)) {
        dbeNome->setFocus();
        return;
    }
    dbeSigla->setEnabled(true);
    lblAcessos->setEnabled(true);
    for (QCheckBox *c : checks())
        c->setEnabled(true);
    dbeSigla->setFocus();
}

void CadastroUsuariosPage::bbtExcluirClick()
{
    const UserRecord *u = current();
    if (!u)
        return;
    const int row = dbgUsuario->currentIndex().row();
    if (!UserRegistry(m_dm.database(), m_messenger).remove(u->sigla))
        return;
    const QString next = row + 1 < m_users.size() ? m_users.at(row + 1).sigla
        : row > 0                                 ? m_users.at(row - 1).sigla
                                                  : QString();
    reload(next);
}

void CadastroUsuariosPage::bbtOKClick()
{
    UserRegistry registry(m_dm.database(), m_messenger);
    const UserRecord user = readRecord();
    using Outcome = UserRegistry::Outcome;
    const Outcome outcome = m_mode == Mode::Adding ? registry.saveNew(user, edtSenha->text(), edtConfirma->text())
                                                   : registry.saveChanged(m_original, user);
    switch (outcome) {
    case Outcome::SiglaEmpty: dbeSigla->setFocus(); return;
    case Outcome::PasswordsRefused:
        edtSenha->clear();
        edtConfirma->clear();
        edtSenha->setFocus();
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

void CadastroUsuariosPage::bbtCancelaClick()
{
    browse();
    if (const UserRecord *u = current())
        showRecord(*u);
}

void CadastroUsuariosPage::btnExitClick()
{
    bbtCancelaClick();
    emit leave();
}

void CadastroUsuariosPage::btnListagemClick()
{
    if (m_listing)
        m_listing();
    btnExitClick();
}

void CadastroUsuariosPage::defaultListing()
{
    m_reports.previewUserList(m_dm.database(), m_login.userName, window(), m_messenger);
}
