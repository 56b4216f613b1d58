// The main window's state: start-up check, login, rights, page mode and the
// table of the functions its menus and toolbar offer.
#include "app/tfrmcapasistema.h"
#include "refupdate/ui/tfrmprincipalversoes.h"
#include "remessa/ui/tfrmprincipalremessas.h"

#include "base/apppaths.h"
#include "base/messenger.h"
#include "shell/compaction.h"
#include "shell/programdatabase.h"
#include "shell/startupcheck.h"
#include "shell/ui/tfrmajuda.h"
#include "shell/ui/tfrmalterasenha.h"
#include "shell/ui/tfrmloginusuario.h"
#include "widgets/jobrunner.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {
const QString TxtNotice = QStringLiteral(
    "Esta opção só deve ser utilizada para os certificadores, que optaram por migração de dados utilizando "
    "arquivo TXT e  não vão utilizar o Kestravo para inserir os dados. O arquivo TXT será enviado e processado "
    "no QUELORA.");
}

void TFrmCapaSistema::disableAtStart()
{
    for (QMenu *m : {m_functionsMenu, m_settingsMenu, m_usersMenu})
        m->menuAction()->setEnabled(false);
    m_aboutItem->setEnabled(false);
    m_repairItem->setEnabled(false);
    for (QAction *a : {m_certifierItem, m_foldersItem, m_usersItem, m_maintenanceItem, m_referenceTablesItem,
                       m_approvalItem, m_changePasswordItem, m_expiringItem})
        a->setEnabled(false);
    m_databaseMenu->menuAction()->setEnabled(false);
    m_remittancesMenu->menuAction()->setEnabled(false);
    for (QToolButton *b : {m_certifierButton, m_foldersButton, m_usersButton, m_maintenanceButton, m_remittancesButton,
                           m_referenceTablesButton, m_approvalButton, m_changePasswordButton})
        b->setEnabled(false);
    // Logging in again needs a working database: not before the check passed.
    m_switchUserButton->setEnabled(false);
}

void TFrmCapaSistema::applyRights()
{
    const Rights &r = m_login.rights;
    for (QMenu *m : {m_functionsMenu, m_settingsMenu, m_usersMenu})
        m->menuAction()->setEnabled(true);
    for (QAction *a : {m_repairItem, m_aboutItem, m_changePasswordItem, m_exitItem})
        a->setEnabled(true);
    for (QToolButton *b : {m_changePasswordButton, m_switchUserButton, m_exitButton, m_helpButton})
        b->setEnabled(true);

    m_certifierItem->setEnabled(r.configOCC);
    m_certifierButton->setEnabled(r.configOCC);
    m_foldersItem->setEnabled(r.configDir);
    m_foldersButton->setEnabled(r.configDir);
    m_usersItem->setEnabled(r.cadastraUsu);
    m_usersButton->setEnabled(r.cadastraUsu);
    m_maintenanceItem->setEnabled(r.manBase);
    m_maintenanceButton->setEnabled(r.manBase);
    m_expiringItem->setEnabled(r.manBase);
    m_databaseMenu->menuAction()->setEnabled(r.manBase);
    m_remittancesMenu->menuAction()->setEnabled(r.contRemessas);
    m_remittancesButton->setEnabled(r.contRemessas);
    m_referenceTablesItem->setEnabled(r.atualTabAux);
    m_referenceTablesButton->setEnabled(r.atualTabAux);
    m_approvalItem->setEnabled(r.aprovCertific);
    m_approvalButton->setEnabled(r.aprovCertific);
}

// While a working page is shown nothing else may be opened. On leaving, the
// controls tied to a right follow the logged-in user's right again.
void TFrmCapaSistema::setPageModeControls(bool enabled)
{
    const Rights &r = m_login.rights;
    auto set = [enabled](auto *control, bool right) { control->setEnabled(enabled && right); };
    set(m_maintenanceButton, r.manBase);
    set(m_maintenanceItem, r.manBase);
    set(m_expiringItem, r.manBase);
    set(m_databaseMenu->menuAction(), r.manBase);
    set(m_approvalButton, r.aprovCertific);
    // Not in the original list, but it opens a page just the same.
    set(m_approvalItem, r.aprovCertific);
    set(m_remittancesButton, r.contRemessas);
    set(m_remittancesMenu->menuAction(), r.contRemessas);
    set(m_referenceTablesButton, r.atualTabAux);
    set(m_referenceTablesItem, r.atualTabAux);
    set(m_certifierButton, r.configOCC);
    set(m_foldersButton, r.configDir);
    set(m_usersButton, r.cadastraUsu);
    set(m_changePasswordButton, true);
    set(m_settingsMenu->menuAction(), true);
    set(m_usersMenu->menuAction(), true);
    set(m_repairItem, true);
}

void TFrmCapaSistema::startUp()
{
    m_startTimer->stop();
    if (!m_database)
        return;
    m_waitProgress->setValue(0);
    m_waitProgress->show();
    bool ok = false;
    try {
        StartupCheck::run(*m_database, m_messenger);
        m_waitProgress->setValue(m_waitProgress->maximum());
        ok = true;
    } catch (...) {
        m_waitLabel->hide();
        m_waitProgress->hide();
        // The start-up stops here: no login, every function stays disabled.
        throw;
    }
    m_waitLabel->hide();
    m_waitProgress->hide();
    if (ok) {
        runDailyCopy();
        askLogin();
    }
}

void TFrmCapaSistema::askLogin()
{
    m_state = State::AwaitingLogin;
    std::optional<LoginState> result;
    if (m_loginPrompt) {
        result = m_loginPrompt();
    } else {
        TFrmLoginUsuario dialog(*m_database, m_messenger, this);
        if (dialog.exec() == QDialog::Accepted)
            result = dialog.login();
    }
    if (!result) {
        m_state = State::Closed;
        if (m_terminate)
            m_terminate();
        return;
    }
    m_login = *result;
    m_panels[0]->setText(m_login.statusText());
    applyRights();
    m_state = State::Ready;
    showExpiringNotice();
}

void TFrmCapaSistema::switchUser()
{
    // A page left open would keep the other functions disabled under rights
    // that no longer apply.
    if (m_state == State::PageMode)
        leavePage();
    askLogin();
}

void TFrmCapaSistema::openPage(const QString &name)
{
    // The pages come with the database; before it nothing is enabled.
    if (!m_pageEnter.contains(name))
        return;
    showPage(name);
    m_state = State::PageMode;
    setPageModeControls(false);
    m_pageEnter.value(name)();
}

void TFrmCapaSistema::leavePage()
{
    showPage(QStringLiteral("Principal"));
    setPageModeControls(true);
    if (m_state == State::PageMode)
        m_state = State::Ready;
}

void TFrmCapaSistema::registerFunctions()
{
    const auto page = [this](const char *name) { return [this, name] { openPage(QLatin1String(name)); }; };
    m_functions = {
        {Function::Maintenance, [this] { openInMaintenance(QString(), QString()); }},
        {Function::Remittances, [this] { openRemittances(); }},
        {Function::TxtFile,
         [this] {
             m_messenger.information(TxtNotice);
             openTxtFile();
         }},
        {Function::ReferenceTables,
         [this] {
             TFrmPrincipalVersoes window(m_database->database(), m_messenger, this);
             window.exec();
         }},
        {Function::Repair, [this] { repairDatabase(); }},
        {Function::ApproveCertificates, page("AprovaCertificados")},
        {Function::ExpiringCertificates, page("CertificadosVencer")},
        {Function::CertifierSettings, page("ConfigCertificador")},
        {Function::FolderSettings, page("ConfiguraDiretorios")},
        {Function::Users, page("CadastroUsuarios")},
        {Function::ChangePassword, [this] { changePassword(); }},
        {Function::SwitchUser, [this] { switchUser(); }},
        {Function::CopyDatabase, [this] { copyDatabase(); }},
        {Function::RestoreDatabase, [this] { restoreDatabase(); }},
        {Function::About, [this] { showAbout(); }},
        {Function::Exit, [this] { exitProgram(); }},
    };
}

void TFrmCapaSistema::setFunction(Function function, std::function<void()> opener)
{
    m_functions[function] = std::move(opener);
}

void TFrmCapaSistema::runFunction(Function function)
{
    m_functions.at(function)();
}

void TFrmCapaSistema::openRemittances()
{
    TFrmPrincipalRemessas window(m_database->database(), m_messenger, m_login, this);
    window.exec();
}

void TFrmCapaSistema::repairDatabase()
{
    if (!m_messenger.confirm(CompactionTexts::Question))
        return;
    // The compaction runs off the window thread; the window only shows its
    // steps and cannot be used until it ends.
    auto *runner = new JobRunner(this);
    auto messenger = std::make_shared<RelayedMessenger>(*runner, m_messenger);
    auto compactor = std::make_shared<Compactor>(m_database->database(), *messenger, AppPaths::dbDir());
    compactor->setPanel([this, runner](const QString &text, bool visible) {
        runner->call([this, text, visible] {
            m_repairPanel->setText(text);
            m_repairPanel->setVisible(visible);
        });
    });
    setEnabled(false);
    compactor->closeDatabase();
    auto compacted = std::make_shared<bool>(false);
    connect(runner, &JobRunner::finished, this, [this, runner, messenger, compactor, compacted] {
        compactor->reopenDatabase(*compacted);
        setEnabled(true);
        runner->deleteLater();
    });
    runner->start([compactor, compacted](JobProgress &) { *compacted = compactor->compactClosed(); });
}

void TFrmCapaSistema::changePassword()
{
    TFrmAlteraSenha dialog(*m_database, m_messenger, m_login.userCode, this);
    dialog.exec();
}

void TFrmCapaSistema::showAbout()
{
    TFrmAjuda about(this);
    about.exec();
}

void TFrmCapaSistema::exitProgram()
{
    close();
}

void TFrmCapaSistema::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Back from a modal window: the start page, unless a working page is
    // being edited (it would be left with every other function disabled).
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_state != State::PageMode)
        showPage(QStringLiteral("Principal"));
}
