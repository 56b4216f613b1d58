#include "shell/ui/tfrmalterasenha.h"

#include "shell/loginservice.h"
#include "shell/passwordrules.h"
#include "shell/tdmcapasistema.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit *passwordEdit(QWidget *parent, const QString &name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    DialogParts::maskPassword(e);
    return e;
}
}

TFrmAlteraSenha::TFrmAlteraSenha(TDMCapaSistema &dm, Messenger &messenger, const QString &userCode, QWidget *parent)
    : QDialog(parent),
      m_dm(dm),
      m_messenger(messenger),
      m_userCode(userCode)
{
    setObjectName(QStringLiteral("FrmAlteraSenha"));
    setWindowTitle(QStringLiteral("Altera Senha"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DialogParts::banner(this, QStringLiteral("Altera Senha"),
                                          QStringLiteral("A nova senha deve ter de 1 a 10 caracteres")));
    auto *form = new QFormLayout;
    form->setContentsMargins(16, 8, 16, 4);
    form->setHorizontalSpacing(12);
    edtUsuario = new QLineEdit(this);
    edtUsuario->setObjectName(QStringLiteral("edtUsuario"));
    edtUsuario->setReadOnly(true);
    edtSenhaAtual = passwordEdit(this, QStringLiteral("edtSenhaAtual"));
    edtNovaSenha = passwordEdit(this, QStringLiteral("edtNovaSenha"));
    edtConfSenha = passwordEdit(this, QStringLiteral("edtConfSenha"));
    form->addRow(DialogParts::label(this, QStringLiteral("Label1"), QStringLiteral("Usuário"), edtUsuario), edtUsuario);
    form->addRow(DialogParts::label(this, QStringLiteral("Label2"), QStringLiteral("Senha Atual"), edtSenhaAtual),
                 edtSenhaAtual);
    form->addRow(DialogParts::label(this, QStringLiteral("Label3"), QStringLiteral("Nova Senha"), edtNovaSenha),
                 edtNovaSenha);
    form->addRow(DialogParts::label(this, QStringLiteral("Label4"), QStringLiteral("Confirma Senha"), edtConfSenha),
                 edtConfSenha);
    layout->addLayout(form);

    BitBtn6 = DialogParts::button(this, QStringLiteral("BitBtn6"), QStringLiteral("Ok"));
    BitBtn7 = DialogParts::button(this, QStringLiteral("BitBtn7"), QStringLiteral("Cancela"));
    BitBtn6->setDefault(true);
    layout->addLayout(DialogParts::buttonRow(BitBtn6, BitBtn7));
    connect(BitBtn6, &QPushButton::clicked, this, guarded(m_messenger, [this] { BitBtn6Click(); }));
    connect(BitBtn7, &QPushButton::clicked, this, &QDialog::reject);
    DialogParts::fixDialogFrame(this, 360);

    edtUsuario->setText(m_userCode);
    edtSenhaAtual->setFocus();
}

void TFrmAlteraSenha::BitBtn6Click()
{
    if (LoginService::changePassword(m_dm.database(), m_userCode, edtSenhaAtual->text(), edtNovaSenha->text(),
                                     edtConfSenha->text(), m_messenger))
        accept();
}
