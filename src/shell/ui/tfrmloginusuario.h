#pragma once
#include "shell/loginstate.h"

#include <QDialog>
#include <optional>

class Messenger;
class QLineEdit;
class QPushButton;
class ProgramDatabase;

// "Login de Usuário": user code and password, checked against USU_LOCAL.
class TFrmLoginUsuario : public QDialog
{
    Q_OBJECT
public:
    TFrmLoginUsuario(ProgramDatabase &dm, Messenger &messenger, QWidget *parent = nullptr);

    // Filled when "Ok" accepted the login.
    std::optional<LoginState> login() const { return m_login; }

private:
    void signIn();

    ProgramDatabase &m_database;
    Messenger &m_messenger;
    std::optional<LoginState> m_login;
    QLineEdit *m_userEdit = nullptr;
    QLineEdit *m_passwordEdit = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
