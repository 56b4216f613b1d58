#pragma once
#include "maintenance/ui/maintenancecontext.h"
#include "shell/loginstate.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <functional>

class ModificaCertificadoPanel;
class NovoCertificadoPanel;
class QAction;
class QMenu;
class QMenuBar;
class QStackedWidget;
class QToolButton;
class ProgramDatabase;
class WindowOpener;

// "Corvane - Manutenção da Base de Dados": one panel at a time (its mode).
// While a certificate is being entered, changed or deleted, or a company or
// product table is being edited, the toolbar and the menus are disabled:
// the panel is left only through its own exit button.
class TFormPrincipal : public QDialog
{
    Q_OBJECT
public:
    TFormPrincipal(ProgramDatabase &capa, Messenger &messenger, const LoginState &login, const QStringList &statusTexts,
                   QWidget *parent = nullptr);
    ~TFormPrincipal() override;

    static const QStringList &modes();
    QString mode() const { return m_mode; }
    // Shows the panel of the mode and sets the toolbar and menus for it.
    void setMode(const QString &mode);

    // A panel of a later function: from now on its toolbar button and menu
    // items show it (after calling enter, when given).
    void installPanel(const QString &mode, QWidget *panel, std::function<void()> enter = {});
    // An entry that runs something rather than showing a panel (a report).
    void setEntryAction(const QString &objectName, std::function<void()> action);

    NovoCertificadoPanel *novoCertificado() const { return m_novo; }
    ModificaCertificadoPanel *modificaCertificado() const { return m_modifica; }
    MaintenanceContext &context() { return m_ctx; }
    void setJustificationPrompt(JustificationPrompt prompt) { m_ctx.askJustification = std::move(prompt); }
    // Opens the import and report windows; without one their entries do nothing.
    void setWindowOpener(WindowOpener *opener) { m_opener = opener; }

    // What the controls do.
    void newCertificate();
    void modifyCertificate();
    void importFile();
    void quit();

protected:
    void reject() override;

private:
    struct Entry
    {
        QString mode; // the panel it shows; empty for an action
        std::function<void()> action;
        QList<QObject *> controls; // menu items and toolbar buttons
    };
    void buildMenus(QMenuBar *bar);
    // The delete panel and the panels of the reference tables.
    void installTablePanels();
    void buildToolbar(QWidget *panel);
    QWidget *buildPrincipal(const QStringList &statusTexts);
    void addEntry(const QString &key, const QString &mode, std::function<void()> action = {});
    void bind(const QString &key, QObject *control);
    void run(const QString &key);
    void applyEnabling();

    ProgramDatabase &m_capa;
    LoginState m_login;
    MaintenanceContext m_ctx;
    QStackedWidget *m_stack = nullptr;
    NovoCertificadoPanel *m_novo = nullptr;
    ModificaCertificadoPanel *m_modifica = nullptr;
    QString m_mode;
    WindowOpener *m_opener = nullptr;
    QHash<QString, Entry> m_entries;
    QList<QMenu *> m_menus;
    QList<QToolButton *> m_buttons;
    QMenu *helpMenu = nullptr;
};
