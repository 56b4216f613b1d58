#pragma once
#include "app/appwindowopener.h"
#include "shell/datamodules.h"
#include "shell/loginstate.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>

class Messenger;
class ReportOpener;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QStackedWidget;
class QStatusBar;
class QTimer;
class QToolButton;
class CadastroUsuariosPage;

// The shell: the main window. It keeps the login state, offers every function
// through its menus and toolbar (each enabled by the user's right), and hosts
// the working pages "CadastroUsuarios", "ConfiguraDiretorios",
// "ConfigCertificador" and "AprovaCertificados" beside the start page.
class TFrmCapaSistema : public QMainWindow
{
    Q_OBJECT
public:
    enum class State { Starting, AwaitingLogin, Ready, PageMode, Closed };
    // Functions whose windows belong to later subsystems; until one is
    // provided its menu item tells that it is not available yet.
    enum class Function { ManBaseDados, ContRemessas, ArquivoTXT, AtualizTabQuelora, Reparar };

    using LoginPrompt = std::function<std::optional<LoginState>()>;

    // reports shows the reports the shell offers (the user list).
    TFrmCapaSistema(Messenger &messenger, ReportOpener &reports, QWidget *parent = nullptr);
    ~TFrmCapaSistema() override;

    // The data modules, created after the window; builds the pages on them.
    void attachDataModules(const DataModules &modules);
    const DataModules &dataModules() const { return m_dm; }
    Messenger &messenger() { return m_messenger; }

    const LoginState &loginState() const { return m_login; }
    State state() const { return m_state; }
    QString currentPage() const;
    QString statusPanelText(int panel) const;

    // Hooks: how the login is asked for (the login dialog by default) and how
    // the program ends (closing the window and leaving the event loop).
    void setLoginPrompt(LoginPrompt prompt) { m_loginPrompt = std::move(prompt); }
    void setTerminate(std::function<void()> terminate) { m_terminate = std::move(terminate); }
    void setFunction(Function function, std::function<void()> handler);

    // Installs a working page: a widget with enter() called when it is shown
    // and a leave() signal emitted by its closing buttons.
    template <typename Page> void installPage(const QString &name, Page *page)
    {
        addPage(name, page, [page] { page->enter(); });
        connect(page, &Page::leave, this, &TFrmCapaSistema::leavePage);
    }

    // Handlers, named after their controls.
    void Timer1Timer();
    void sbReentrarClick();
    void openPage(const QString &name);
    void leavePage();
    void mniAlteraSenhaClick();
    void mniAjudaClick();
    void mniSairClick();
    // Database menu: a copy now, a copy put back.
    void mniCopiaBaseClick();
    void mniRestauraBaseClick();
    // Asks for the copy to restore (a file dialog by default); empty cancels.
    void setCopyChooser(std::function<QString(QWidget *)> chooser) { m_copyChooser = std::move(chooser); }

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    QWidget *buildStartPage();
    void addPage(const QString &name, QWidget *page, std::function<void()> enter);
    void showPage(const QString &name);
    void disableAtStart();
    void askLogin();
    void applyRights();
    void setPageModeControls(bool enabled);
    void runFunction(Function function);
    void runRepair();
    void runRemessas();
    void runDailyCopy();
    void showExpiringNotice();
    void openInMaintenance(const QString &sigla, const QString &numero);
    void connectAction(QAction *action, std::function<void()> handler);
    void connectButton(QToolButton *button, std::function<void()> handler);

    Messenger &m_messenger;
    ReportOpener &m_reports;
    AppWindowOpener m_opener;
    DataModules m_dm;
    LoginState m_login;
    State m_state = State::Starting;
    LoginPrompt m_loginPrompt;
    std::function<void()> m_terminate;
    QHash<int, std::function<void()>> m_functions;
    QHash<QString, std::function<void()>> m_pageEnter;
    bool m_centred = false;

    QTimer *Timer1 = nullptr;
    QStackedWidget *Notebook1 = nullptr;
    QLabel *LbAguarde = nullptr;
    QProgressBar *PbAguarde = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *m_panels[2] = {nullptr, nullptr};
    QLabel *Panel1 = nullptr;
    CadastroUsuariosPage *m_users = nullptr;
    QPointer<QWidget> m_txtWindow;
    QLabel *m_expiringNotice = nullptr;
    std::function<QString(QWidget *)> m_copyChooser;

    QMenu *mniFuncoes = nullptr;
    QAction *mniManBaseDados = nullptr;
    QAction *mniAprovaCertificados = nullptr;
    QAction *mniCertificadosVencer = nullptr;
    QMenu *mniContRemessas = nullptr;
    QAction *RemessageradanoSistema1 = nullptr;
    QAction *ArquivoTXT1 = nullptr;
    QAction *mniAtualizTabQuelora = nullptr;
    QAction *mniSair = nullptr;
    QMenu *mniConfiguracoes = nullptr;
    QAction *mniCertificador = nullptr;
    QAction *mniDiretorios = nullptr;
    QMenu *mniUsuarios = nullptr;
    QAction *mniCadUsuarios = nullptr;
    QAction *mniAlteraSenha = nullptr;
    QMenu *mniBaseDados = nullptr;
    QAction *mniCopiaBase = nullptr;
    QAction *mniRestauraBase = nullptr;
    QAction *mniReparar = nullptr;
    QAction *mniAjuda = nullptr;

    QToolButton *spbManBaseDados = nullptr;
    QToolButton *spbContRemessas = nullptr;
    QToolButton *spbAtualizTabQuelora = nullptr;
    QToolButton *spbCertificador = nullptr;
    QToolButton *spbDiretorios = nullptr;
    QToolButton *spbCadUsuarios = nullptr;
    QToolButton *spbAlteraSenha = nullptr;
    QToolButton *sbReentrar = nullptr;
    QToolButton *sbSair = nullptr;
    QToolButton *spbAprovaCertificados = nullptr;
    QToolButton *SbAjuda = nullptr;
};
