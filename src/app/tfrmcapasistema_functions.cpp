// The shell's state: start-up check, login, rights, page mode and the
// functions offered by its menus and toolbar.
#include "app/tfrmcapasistema.h"
#include "refupdate/ui/tfrmprincipalversoes.h"
#include "remessa/ui/tfrmprincipalremessas.h"

#include "base/apppaths.h"
#include "base/messenger.h"
#include "shell/compaction.h"
#include "shell/startupcheck.h"
#include "shell/tdmcapasistema.h"
#include "shell/ui/tfrmajuda.h"
#include "shell/ui/tfrmalterasenha.h"
#include "shell/ui/tfrmloginusuario.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

namespace {
const QString FutureFunction = QStringLiteral("Função disponível em versão futura.");
const QString TxtNotice = QStringLiteral(
    "Esta opção só deve ser utilizada para os certificadores, que optaram por migração de dados utilizando "
    "arquivo TXT e  não vão utilizar o Kestravo para inserir os dados. O arquivo TXT será enviado e processado "
    "no QUELORA.");
}

void TFrmCapaSistema::disableAtStart()
{
    for (QMenu *m : {mniFuncoes, mniConfiguracoes, mniUsuarios})
        m->menuAction()->setEnabled(false);
    mniAjuda->setEnabled(false);
    mniReparar->setEnabled(false);
    for (QAction *a : {mniCertificador, mniDiretorios, mniCadUsuarios, mniManBaseDados, mniAtualizTabQuelora,
                       mniAprovaCertificados, mniAlteraSenha, mniCertificadosVencer})
        a->setEnabled(false);
    mniBaseDados->menuAction()->setEnabled(false);
    mniContRemessas->menuAction()->setEnabled(false);
    for (QToolButton *b : {spbCertificador, spbDiretorios, spbCadUsuarios, spbManBaseDados, spbContRemessas,
                           spbAtualizTabQuelora, spbAprovaCertificados, spbAlteraSenha})
        b->setEnabled(false);
    // Logging in again needs a working database: not before the check passed.
    sbReentrar->setEnabled(false);
}

void TFrmCapaSistema::applyRights()
{
    const Rights &r = m_login.rights;
    for (QMenu *m : {mniFuncoes, mniConfiguracoes, mniUsuarios})
        m->menuAction()->setEnabled(true);
    for (QAction *a : {mniReparar, mniAjuda, mniAlteraSenha, mniSair})
        a->setEnabled(true);
    for (QToolButton *b : {spbAlteraSenha, sbReentrar, sbSair, SbAjuda})
        b->setEnabled(true);

    mniCertificador->setEnabled(r.configOCC);
    spbCertificador->setEnabled(r.configOCC);
    mniDiretorios->setEnabled(r.configDir);
    spbDiretorios->setEnabled(r.configDir);
    mniCadUsuarios->setEnabled(r.cadastraUsu);
    spbCadUsuarios->setEnabled(r.cadastraUsu);
    mniManBaseDados->setEnabled(r.manBase);
    spbManBaseDados->setEnabled(r.manBase);
    mniCertificadosVencer->setEnabled(r.manBase);
    mniBaseDados->menuAction()->setEnabled(r.manBase);
    mniContRemessas->menuAction()->setEnabled(r.contRemessas);
    spbContRemessas->setEnabled(r.contRemessas);
    mniAtualizTabQuelora->setEnabled(r.atualTabAux);
    spbAtualizTabQuelora->setEnabled(r.atualTabAux);
    mniAprovaCertificados->setEnabled(r.aprovCertific);
    spbAprovaCertificados->setEnabled(r.aprovCertific);
}

// While a working page is shown nothing else may be opened. On leaving, the
// controls tied to a right follow the logged-in user's right again.
void TFrmCapaSistema::setPageModeControls(bool enabled)
{
    const Rights &r = m_login.rights;
    auto set = [enabled](auto *control, bool right) { control->setEnabled(enabled && right); };
    set(spbManBaseDados, r.manBase);
    set(mniManBaseDados, r.manBase);
    set(mniCertificadosVencer, r.manBase);
    set(mniBaseDados->menuAction(), r.manBase);
    set(spbAprovaCertificados, r.aprovCertific);
    // Not in the original list, but it opens a page just the same.
    set(mniAprovaCertificados, r.aprovCertific);
    set(spbContRemessas, r.contRemessas);
    set(mniContRemessas->menuAction(), r.contRemessas);
    set(spbAtualizTabQuelora, r.atualTabAux);
    set(mniAtualizTabQuelora, r.atualTabAux);
    set(spbCertificador, r.configOCC);
    set(spbDiretorios, r.configDir);
    set(spbCadUsuarios, r.cadastraUsu);
    set(spbAlteraSenha, true);
    set(mniConfiguracoes->menuAction(), true);
    set(mniUsuarios->menuAction(), true);
    set(mniReparar, true);
}

void TFrmCapaSistema::Timer1Timer()
{
    Timer1->stop();
    if (!m_dm.capa)
        return;
    PbAguarde->setValue(0);
    PbAguarde->show();
    bool ok = false;
    try {
        StartupCheck::run(*m_dm.capa, m_messenger);
        PbAguarde->setValue(PbAguarde->maximum());
        ok = true;
    } catch (...) {
        LbAguarde->hide();
        PbAguarde->hide();
        // The start-up stops here: no login, every function stays disabled.
        throw;
    }
    LbAguarde->hide();
    PbAguarde->hide();
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
        TFrmLoginUsuario dialog(*m_dm.capa, m_messenger, this);
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

void TFrmCapaSistema::sbReentrarClick()
{
    // A page left open would keep the other functions disabled under rights
    // that no longer apply.
    if (m_state == State::PageMode)
        leavePage();
    askLogin();
}

void TFrmCapaSistema::openPage(const QString &name)
{
    if (!m_pageEnter.contains(name)) {
        m_messenger.information(FutureFunction);
        return;
    }
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

void TFrmCapaSistema::setFunction(Function function, std::function<void()> handler)
{
    m_functions.insert(int(function), std::move(handler));
}

void TFrmCapaSistema::runFunction(Function function)
{
    if (function == Function::ArquivoTXT)
        m_messenger.information(TxtNotice);
    if (const auto handler = m_functions.value(int(function)))
        handler();
    else if (function == Function::Reparar)
        runRepair();
    else if (function == Function::ContRemessas)
        runRemessas();
    else if (function == Function::AtualizTabQuelora) {
        TFrmPrincipalVersoes window(m_dm.capa->database(), m_messenger, this);
        window.exec();
    } else
        m_messenger.information(FutureFunction);
}

void TFrmCapaSistema::runRemessas()
{
    TFrmPrincipalRemessas window(m_dm.capa->database(), m_messenger, m_login, this);
    window.exec();
}

void TFrmCapaSistema::runRepair()
{
    Compactor compactor(m_dm.capa->database(), m_messenger, AppPaths::dbDir());
    compactor.setPanel([this](const QString &text, bool visible) {
        Panel1->setText(text);
        Panel1->setVisible(visible);
        Panel1->repaint();
    });
    compactor.run();
}

void TFrmCapaSistema::mniAlteraSenhaClick()
{
    TFrmAlteraSenha dialog(*m_dm.capa, m_messenger, m_login.userCode, this);
    dialog.exec();
}

void TFrmCapaSistema::mniAjudaClick()
{
    TFrmAjuda about(this);
    about.exec();
}

void TFrmCapaSistema::mniSairClick()
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
