#include "shell/ui/tfrmalterasenha.h"

#include "shell/loginservice.h"
#include "shell/passwordrules.h"
#include "shell/programdatabase.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>


TFrmAlteraSenha::TFrmAlteraSenha(ProgramDatabase &dm, Messenger &messenger, const QString &userCode, QWidget *parent)
    : QDialog(parent),
      m_database(dm),
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
    m_userEdit = new QLineEdit(this);
    m_userEdit->setObjectName(QStringLiteral("edtUsuario"));
    m_userEdit->setReadOnly(true);
    m_currentPasswordEdit = DialogParts::passwordEdit(this, QStringLiteral("edtSenhaAtual"));
    m_newPasswordEdit = DialogParts::passwordEdit(this, QStringLiteral("edtNovaSenha"));
    m_confirmationEdit = DialogParts::passwordEdit(this, QStringLiteral("edtConfSenha"));
    form->addRow(DialogParts::label(this, QStringLiteral("Label1"), QStringLiteral("Usuário"), m_userEdit), m_userEdit);
    form->addRow(
        DialogParts::label(this, QStringLiteral("Label2"), QStringLiteral("Senha Atual"), m_currentPasswordEdit),
        m_currentPasswordEdit);
    form->addRow(DialogParts::label(this, QStringLiteral("Label3"), QStringLiteral("Nova Senha"), m_newPasswordEdit),
                 m_newPasswordEdit);
    form->addRow(
        DialogParts::label(this, QStringLiteral("Label4"), QStringLiteral("Confirma Senha"), m_confirmationEdit),
        m_confirmationEdit);
    layout->addLayout(form);

    const DialogParts::OkCancel buttons = DialogParts::addOkCancel(this, layout, QStringLiteral("BitBtn6"),
                                                                   QStringLiteral("BitBtn7"));
    m_okButton = buttons.ok;
    connect(m_okButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { changePassword(); }));
    DialogParts::fixDialogFrame(this, 360);

    m_userEdit->setText(m_userCode);
    m_currentPasswordEdit->setFocus();
}

void TFrmAlteraSenha::changePassword()
{
    if (LoginService::changePassword(m_database.database(), m_userCode, m_currentPasswordEdit->text(),
                                     m_newPasswordEdit->text(), m_confirmationEdit->text(), m_messenger))
        accept();
}
