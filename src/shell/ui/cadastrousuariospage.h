#pragma once
#include "shell/userstore.h"

#include <QList>
#include <QWidget>
#include <functional>

class Messenger;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class WindowOpener;
class ProgramDatabase;
struct LoginState;

// Page "CadastroUsuarios" of the shell: the user registry.
class CadastroUsuariosPage : public QWidget
{
    Q_OBJECT
public:
    enum class Mode { Browsing, Adding, Changing };

    CadastroUsuariosPage(ProgramDatabase &dm, Messenger &messenger, WindowOpener &reports, const LoginState &login,
                         QWidget *parent = nullptr);

    // Called when the page is shown: reads USU_LOCAL, browsing.
    void enter();
    Mode mode() const { return m_mode; }
    // Shows the user list report; by default through the report opener.
    void setListing(std::function<void()> listing) { m_listing = std::move(listing); }
    // Moves the grid to the user with this code (case-insensitive).
    bool selectUser(const QString &sigla);
    QString currentSigla() const;

signals:
    // "&Saída" and "&Listagem" return to the start page.
    void leave();

private:
    void build();
    QWidget *buildDataGroup();
    void reload(const QString &keepSigla = QString());
    void showRecord(const UserRecord &user);
    UserRecord readRecord() const;
    const UserRecord *current() const;
    void setEditing(bool editing);
    void browse(const QString &keepSigla = QString());
    QList<QCheckBox *> checks() const;

    void addUser();
    void editUser();
    void deleteUser();
    void saveUser();
    void cancelEditing();
    void leavePage();
    void printUserList();
    void defaultListing();

    ProgramDatabase &m_database;
    Messenger &m_messenger;
    WindowOpener &m_reports;
    const LoginState &m_login;
    std::function<void()> m_listing;
    Mode m_mode = Mode::Browsing;
    QString m_original;
    QList<UserRecord> m_users;

    QStandardItemModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_editButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_exitButton = nullptr;
    QPushButton *m_listButton = nullptr;
    QGroupBox *m_detailsBox = nullptr;
    QLineEdit *m_codeEdit = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    QLineEdit *m_passwordEdit = nullptr;
    QLineEdit *m_confirmationEdit = nullptr;
    QLabel *m_rightsLabel = nullptr;
    QCheckBox *m_certifierRight = nullptr;
    QCheckBox *m_foldersRight = nullptr;
    QCheckBox *m_usersRight = nullptr;
    QCheckBox *m_maintenanceRight = nullptr;
    QCheckBox *m_referenceTablesRight = nullptr;
    QCheckBox *m_remittancesRight = nullptr;
    QCheckBox *m_approvalRight = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
