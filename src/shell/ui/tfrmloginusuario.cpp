#include "shell/ui/tfrmloginusuario.h"

#include "shell/loginservice.h"
#include "shell/programdatabase.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFrmLoginUsuario::TFrmLoginUsuario(ProgramDatabase &dm, Messenger &messenger, QWidget *parent)
    : QDialog(parent),
      m_database(dm),
      m_messenger(messenger)
{
    setObjectName(QStringLiteral("FrmLoginUsuario"));
    setWindowTitle(QStringLiteral("Login de Usuário"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        DialogParts::banner(this, QStringLiteral("Corvane"), QStringLiteral("Entre com o seu login e a sua senha")));

    auto *form = new QFormLayout;
    form->setContentsMargins(16, 8, 16, 4);
    form->setHorizontalSpacing(12);
    m_userEdit = new QLineEdit(this);
    m_userEdit->setObjectName(QStringLiteral("edtLogin"));
    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setObjectName(QStringLiteral("edtSenha"));
    DialogParts::maskPassword(m_passwordEdit);
    form->addRow(DialogParts::label(this, QStringLiteral("Label1"), QStringLiteral("Login"), m_userEdit), m_userEdit);
    form->addRow(DialogParts::label(this, QStringLiteral("Label2"), QStringLiteral("Senha"), m_passwordEdit),
                 m_passwordEdit);
    layout->addLayout(form);

    m_okButton = DialogParts::button(this, QStringLiteral("bbtOk"), QStringLiteral("Ok"));
    m_cancelButton = DialogParts::button(this, QStringLiteral("bbtCancela"), QStringLiteral("Cancela"));
    layout->addLayout(DialogParts::buttonRow(m_okButton, m_cancelButton));
    m_okButton->setDefault(true);

    connect(m_okButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { signIn(); }));
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    DialogParts::fixDialogFrame(this, 340);
    m_userEdit->setFocus();
}

void TFrmLoginUsuario::signIn()
{
    m_login = LoginService::login(m_database.database(), m_userEdit->text(), m_passwordEdit->text(), m_messenger);
    if (m_login)
        accept();
}
