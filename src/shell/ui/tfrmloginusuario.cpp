#include "shell/ui/tfrmloginusuario.h"

#include "shell/loginservice.h"
#include "shell/tdmcapasistema.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFrmLoginUsuario::TFrmLoginUsuario(TDMCapaSistema &dm, Messenger &messenger, QWidget *parent)
    : QDialog(parent),
      m_dm(dm),
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
    edtLogin = new QLineEdit(this);
    edtLogin->setObjectName(QStringLiteral("edtLogin"));
    edtSenha = new QLineEdit(this);
    edtSenha->setObjectName(QStringLiteral("edtSenha"));
    DialogParts::maskPassword(edtSenha);
    form->addRow(DialogParts::label(this, QStringLiteral("Label1"), QStringLiteral("Login"), edtLogin), edtLogin);
    form->addRow(DialogParts::label(this, QStringLiteral("Label2"), QStringLiteral("Senha"), edtSenha), edtSenha);
    layout->addLayout(form);

    bbtOk = DialogParts::button(this, QStringLiteral("bbtOk"), QStringLiteral("Ok"));
    bbtCancela = DialogParts::button(this, QStringLiteral("bbtCancela"), QStringLiteral("Cancela"));
    layout->addLayout(DialogParts::buttonRow(bbtOk, bbtCancela));
    bbtOk->setDefault(true);

    connect(bbtOk, &QPushButton::clicked, this, guarded(m_messenger, [this] { bbtOkClick(); }));
    connect(bbtCancela, &QPushButton::clicked, this, &QDialog::reject);
    DialogParts::fixDialogFrame(this, 340);
    edtLogin->setFocus();
}

void TFrmLoginUsuario::bbtOkClick()
{
    m_login = LoginService::login(m_dm.database(), edtLogin->text(), edtSenha->text(), m_messenger);
    if (m_login)
        accept();
}
