// Login, password change and the login dialog.
#include "db/database.h"
#include "shell/loginservice.h"
#include "shell/passwordrules.h"
#include "shell/programdatabase.h"
#include "shell/ui/tfrmalterasenha.h"
#include "shell/ui/tfrmloginusuario.h"
#include "shell/userstore.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestLogin : public QObject
{
    Q_OBJECT

private:
    void addUser(Database &db, const QString &sigla, const QString &password, const QString &certifier = "OCX")
    {
        UserRecord u;
        u.sigla = sigla;
        u.nome = sigla + " nome";
        u.certificador = certifier;
        u.senha = PasswordRules::encode(password);
        u.rights.manBase = true;
        UserStore(db).insert(u);
    }

private slots:
    void loginEdgeCases()
    {
        TestHome home;
        ProgramDatabase dm;
        ScriptedMessenger msg;
        Database &db = dm.database();

        // Unknown user and wrong administrator password: one and the same answer.
        QVERIFY(!LoginService::login(db, "ninguem", "admin", msg));
        const ScriptedMessenger::Message unknown = msg.messages.last();
        QVERIFY(!LoginService::login(db, "admin", "errada", msg));
        QCOMPARE(msg.messages.last().text, unknown.text);
        QCOMPARE(msg.messages.last().kind, unknown.kind);
        QCOMPARE(unknown.text, QString("Login e/ou senha inválidos.  Acesso negado ao sistema."));
        QCOMPARE(unknown.kind, ScriptedMessenger::Error);

        // Case matters for the password.
        QVERIFY(!LoginService::login(db, "admin", "ADMIN", msg));

        // Empty login or password.
        msg.clear();
        QVERIFY(!LoginService::login(db, "   ", "admin", msg));
        QVERIFY(!LoginService::login(db, "admin", "  ", msg));
        QCOMPARE(msg.texts(), QStringList(2, "Entre com login e senha para acessar o sistema."));

        // Blanks around both are ignored.
        msg.clear();
        const auto state = LoginService::login(db, "  admin ", " admin  ", msg);
        QVERIFY(state.has_value());
        QVERIFY(msg.messages.isEmpty());
        QCOMPARE(state->userCode, QString("admin"));
        QVERIFY(state->rights.cadastraUsu && state->rights.aprovCertific);
    }

    void statusPanelShowsTheUsersOwnCertifier()
    {
        TestHome home;
        ProgramDatabase dm;
        ScriptedMessenger msg;
        addUser(dm.database(), "maria", "s3nha", "OLDCERT");
        dm.setCertifierCode("NEWCERT");
        const auto state = LoginService::login(dm.database(), "maria", "s3nha", msg);
        QVERIFY(state.has_value());
        QCOMPARE(state->statusText(), QString("USUÁRIO: maria  |  ORGANISMO: OLDCERT"));
        QVERIFY(state->rights.manBase);
        QVERIFY(!state->rights.cadastraUsu);
    }

    void passwordChangeRules()
    {
        TestHome home;
        ProgramDatabase dm;
        ScriptedMessenger msg;
        Database &db = dm.database();
        addUser(db, "joao", "velha");

        QVERIFY(!LoginService::changePassword(db, "joao", "", "nova", "nova", msg));
        QCOMPARE(msg.lastText(), QString("A Senha atual não confere."));
        QVERIFY(!LoginService::changePassword(db, "joao", "outra", "nova", "nova", msg));
        QCOMPARE(msg.lastText(), QString("A Senha atual não confere."));
        QVERIFY(!LoginService::changePassword(db, "joao", "velha", "nova", "nvoa", msg));
        QCOMPARE(msg.lastText(), QString("Senhas não conferem.  A alteração não foi feita."));
        QVERIFY(!LoginService::changePassword(db, "joao", "velha", "  ", "  ", msg));
        QCOMPARE(msg.lastText(), QString("Senhas não conferem.  A alteração não foi feita."));
        QVERIFY(!LoginService::changePassword(db, "joao", "velha", "12345678901", "12345678901", msg));
        QCOMPARE(msg.lastText(), PasswordRules::TooLong);
        // 'ö' in first place encodes to a zero byte and would be lost.
        QVERIFY(!LoginService::changePassword(db, "joao", "velha", "öabc", "öabc", msg));
        QCOMPARE(msg.lastText(), PasswordRules::BadCharacters);
        QVERIFY(LoginService::login(db, "joao", "velha", msg));

        // Blanks around the new password are not kept: it works at login.
        msg.clear();
        QVERIFY(LoginService::changePassword(db, "joao", " velha ", " nova10 ", "nova10", msg));
        QVERIFY(msg.messages.isEmpty());
        QVERIFY(!LoginService::login(db, "joao", "velha", msg));
        QVERIFY(LoginService::login(db, "joao", "nova10", msg));
        QCOMPARE(UserStore(db).find("joao")->senha, PasswordRules::encode("nova10"));
    }

    void loginDialogAcceptsOnlyAValidLogin()
    {
        TestHome home;
        ProgramDatabase dm;
        ScriptedMessenger msg;
        TFrmLoginUsuario dlg(dm, msg);
        QCOMPARE(dlg.windowTitle(), QString("Login de Usuário"));
        auto *login = dlg.findChild<QLineEdit *>("edtLogin");
        auto *senha = dlg.findChild<QLineEdit *>("edtSenha");
        auto *ok = dlg.findChild<QPushButton *>("bbtOk");
        QVERIFY(login && senha && ok && dlg.findChild<QPushButton *>("bbtCancela"));
        QCOMPARE(senha->echoMode(), QLineEdit::Password);
        QVERIFY(ok->isDefault());

        login->setText("admin");
        senha->setText("x");
        ok->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.login().has_value());
        QCOMPARE(msg.lastText(), QString("Login e/ou senha inválidos.  Acesso negado ao sistema."));

        senha->setText("admin");
        ok->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.login()->userCode, QString("admin"));
    }

    void passwordDialogStoresTheNewPassword()
    {
        TestHome home;
        ProgramDatabase dm;
        ScriptedMessenger msg;
        TFrmAlteraSenha dlg(dm, msg, "admin");
        QCOMPARE(dlg.findChild<QLineEdit *>("edtUsuario")->text(), QString("admin"));
        QVERIFY(dlg.findChild<QLineEdit *>("edtUsuario")->isReadOnly());
        dlg.findChild<QLineEdit *>("edtSenhaAtual")->setText("admin");
        dlg.findChild<QLineEdit *>("edtNovaSenha")->setText("trocada");
        dlg.findChild<QLineEdit *>("edtConfSenha")->setText("trocada");
        dlg.findChild<QPushButton *>("BitBtn6")->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(LoginService::login(dm.database(), "admin", "trocada", msg));
    }
};

QTEST_MAIN(TestLogin)
#include "test_login.moc"
