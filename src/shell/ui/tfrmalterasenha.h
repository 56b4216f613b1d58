#pragma once
#include <QDialog>

class Messenger;
class QLineEdit;
class QPushButton;
class TDMCapaSistema;

// "Altera Senha": the logged-in user changes his own password.
class TFrmAlteraSenha : public QDialog
{
    Q_OBJECT
public:
    TFrmAlteraSenha(TDMCapaSistema &dm, Messenger &messenger, const QString &userCode, QWidget *parent = nullptr);

private:
    void BitBtn6Click();

    TDMCapaSistema &m_dm;
    Messenger &m_messenger;
    QString m_userCode;
    QLineEdit *edtUsuario = nullptr;
    QLineEdit *edtSenhaAtual = nullptr;
    QLineEdit *edtNovaSenha = nullptr;
    QLineEdit *edtConfSenha = nullptr;
    QPushButton *BitBtn6 = nullptr;
    QPushButton *BitBtn7 = nullptr;
};
