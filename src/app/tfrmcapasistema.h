#pragma once
#include "app/appwindowopener.h"
#include "shell/loginstate.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <optional>

class Messenger;
class ProgramDatabase;
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
    // Every function the menus and the toolbar offer. Each control opens its
    // function through one table of openers.
    enum class Function {
        Maintenance,
        Remittances,
        TxtFile,
        ReferenceTables,
        Repair,
        ApproveCertificates,
        ExpiringCertificates,
        CertifierSettings,
        FolderSettings,
        Users,
        ChangePassword,
        SwitchUser,
        CopyDatabase,
        RestoreDatabase,
        About,
        Exit
    };

    using LoginPrompt = std::function<std::optional<LoginState>()>;

    // reports shows the reports the shell offers (the user list).
    TFrmCapaSistema(Messenger &messenger, QWidget *parent = nullptr);
    ~TFrmCapaSistema() override;

    // The program's database, made after the window; builds the pages on it.
    void attachDatabase(ProgramDatabase &database);
    Messenger &messenger() { return m_messenger; }

    const LoginState &loginState() const { return m_login; }
    State state() const { return m_state; }
    QString currentPage() const;
    QString statusPanelText(int panel) const;

    // Hooks: how the login is asked for (the login dialog by default) and how
    // the program ends (closing the window and leaving the event loop).
    void setLoginPrompt(LoginPrompt prompt) { m_loginPrompt = std::move(prompt); }
    void setTerminate(std::function<void()> terminate) { m_terminate = std::move(terminate); }
    // Replaces the opener of a function (tests put their own).
    void setFunction(Function function, std::function<void()> opener);
    void runFunction(Function function);

    // Installs a working page: a widget with enter() called when it is shown
    // and a leave() signal emitted by its closing buttons.
    template <typename Page> void installPage(const QString &name, Page *page)
    {
        addPage(name, page, [page] { page->enter(); });
        connect(page, &Page::leave, this, &TFrmCapaSistema::leavePage);
    }

    // Checks the database, makes the daily copy and asks for the login.
    void startUp();
    void switchUser();
    void openPage(const QString &name);
    void leavePage();
    void changePassword();
    void showAbout();
    void exitProgram();
    // Database menu: a copy now, a copy put back.
    void copyDatabase();
    void restoreDatabase();
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
    void registerFunctions();
    void offer(QAction *action, Function function);
    void offer(QToolButton *button, Function function);
    void repairDatabase();
    void openTxtFile();
    void openRemittances();
    void runDailyCopy();
    void showExpiringNotice();
    void openInMaintenance(const QString &sigla, const QString &numero);

    Messenger &m_messenger;
    AppWindowOpener m_opener;
    ProgramDatabase *m_database = nullptr;
    LoginState m_login;
    State m_state = State::Starting;
    LoginPrompt m_loginPrompt;
    std::function<void()> m_terminate;
    std::map<Function, std::function<void()>> m_functions;
    QHash<QString, std::function<void()>> m_pageEnter;
    bool m_centred = false;

    QTimer *m_startTimer = nullptr;
    QStackedWidget *m_pages = nullptr;
    QLabel *m_waitLabel = nullptr;
    QProgressBar *m_waitProgress = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_panels[2] = {nullptr, nullptr};
    QLabel *m_repairPanel = nullptr;
    CadastroUsuariosPage *m_users = nullptr;
    QPointer<QWidget> m_txtWindow;
    QLabel *m_expiringNotice = nullptr;
    std::function<QString(QWidget *)> m_copyChooser;

    QMenu *m_functionsMenu = nullptr;
    QAction *m_maintenanceItem = nullptr;
    QAction *m_approvalItem = nullptr;
    QAction *m_expiringItem = nullptr;
    QMenu *m_remittancesMenu = nullptr;
    QAction *m_remittanceControlItem = nullptr;
    QAction *m_txtFileItem = nullptr;
    QAction *m_referenceTablesItem = nullptr;
    QAction *m_exitItem = nullptr;
    QMenu *m_settingsMenu = nullptr;
    QAction *m_certifierItem = nullptr;
    QAction *m_foldersItem = nullptr;
    QMenu *m_usersMenu = nullptr;
    QAction *m_usersItem = nullptr;
    QAction *m_changePasswordItem = nullptr;
    QMenu *m_databaseMenu = nullptr;
    QAction *m_copyItem = nullptr;
    QAction *m_restoreItem = nullptr;
    QAction *m_repairItem = nullptr;
    QAction *m_aboutItem = nullptr;

    QToolButton *m_maintenanceButton = nullptr;
    QToolButton *m_remittancesButton = nullptr;
    QToolButton *m_referenceTablesButton = nullptr;
    QToolButton *m_certifierButton = nullptr;
    QToolButton *m_foldersButton = nullptr;
    QToolButton *m_usersButton = nullptr;
    QToolButton *m_changePasswordButton = nullptr;
    QToolButton *m_switchUserButton = nullptr;
    QToolButton *m_exitButton = nullptr;
    QToolButton *m_approvalButton = nullptr;
    QToolButton *m_helpButton = nullptr;
};
