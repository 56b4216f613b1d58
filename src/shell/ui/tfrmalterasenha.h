#pragma once
#include <QDialog>

class Messenger;
class QLineEdit;
class QPushButton;
class ProgramDatabase;

// "Altera Senha": the logged-in user changes his own password.
class TFrmAlteraSenha : public QDialog
{
    Q_OBJECT
public:
    TFrmAlteraSenha(ProgramDatabase &dm, Messenger &messenger, const QString &userCode, QWidget *parent = nullptr);

private:
    void changePassword();

    ProgramDatabase &m_database;
    Messenger &m_messenger;
    QString m_userCode;
    QLineEdit *m_userEdit = nullptr;
    QLineEdit *m_currentPasswordEdit = nullptr;
    QLineEdit *m_newPasswordEdit = nullptr;
    QLineEdit *m_confirmationEdit = nullptr;
    QPushButton *m_okButton = nullptr;
};
