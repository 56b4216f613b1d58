#pragma once
#include "shell/loginstate.h"

#include <QDialog>
#include <optional>

class Messenger;
class QLineEdit;
class QPushButton;
class TDMCapaSistema;

// "Login de Usuário": user code and password, checked against USU_LOCAL.
class TFrmLoginUsuario : public QDialog
{
    Q_OBJECT
public:
    TFrmLoginUsuario(TDMCapaSistema &dm, Messenger &messenger, QWidget *parent = nullptr);

    // Filled when "Ok" accepted the login.
    std::optional<LoginState> login() const { return m_login; }

private:
    void bbtOkClick();

    TDMCapaSistema &m_dm;
    Messenger &m_messenger;
    std::optional<LoginState> m_login;
    QLineEdit *edtLogin = nullptr;
    QLineEdit *edtSenha = nullptr;
    QPushButton *bbtOk = nullptr;
    QPushButton *bbtCancela = nullptr;
};
