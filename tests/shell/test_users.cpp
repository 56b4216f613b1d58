// The user registry: its rules and its page.
#include "db/database.h"
#include "shell/loginservice.h"
#include "shell/loginstate.h"
#include "shell/passwordrules.h"
#include "shell/programdatabase.h"
#include "shell/ui/cadastrousuariospage.h"
#include "shell/userregistry.h"
#include "support/controls.h"
#include "support/recordingopener.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

class TestUsers : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        TestHome home;
        ProgramDatabase dm;
        ScriptedMessenger msg;
        LoginState login;
        RecordingOpener opener;
        CadastroUsuariosPage page{dm, msg, opener, login};
        Fixture()
        {
            dm.setCertifierCode("OCX");
            login.userCode = "admin";
            page.enter();
        }
        template <typename T> T *w(const char *name) { return child<T>(page, name); }
        void click(const char *name) { w<QPushButton>(name)->click(); }
        UserStore store() { return UserStore(dm.database()); }
    };

    void addUser(Fixture &f, const QString &sigla, const QString &nome, const QString &pw, const QString &conf)
    {
        f.click("bbtIncluir");
        f.w<QLineEdit>("dbeSigla")->setText(sigla);
        f.w<QLineEdit>("dbeNome")->setText(nome);
        f.w<QLineEdit>("edtSenha")->setText(pw);
        f.w<QLineEdit>("edtConfirma")->setText(conf);
        f.click("bbtOK");
    }

private slots:
    void newUserWithEmptyNameGetsItsCode()
    {
        Fixture f;
        addUser(f, "  bia ", "", "segredo", "segredo");
        QVERIFY(f.msg.messages.isEmpty());
        QCOMPARE(f.page.mode(), CadastroUsuariosPage::Mode::Browsing);
        const auto bia = f.store().find("bia");
        QVERIFY(bia.has_value());
        QCOMPARE(bia->sigla, QString("bia"));
        QCOMPARE(bia->nome, QString("bia"));
        QCOMPARE(bia->certificador, QString("OCX"));
        QCOMPARE(bia->rights, Rights());
        QCOMPARE(f.page.currentSigla(), QString("bia"));
        QVERIFY(!f.w<QGroupBox>("grbDados")->isEnabled());
        QVERIFY(f.w<QLineEdit>("edtSenha")->text().isEmpty());
        QVERIFY(LoginService::login(f.dm.database(), "bia", "segredo", f.msg));
    }

    void apostropheInNameIsStoredVerbatim()
    {
        Fixture f;
        addUser(f, "dalva", "Joana D'Arc", "x1", "x1");
        QCOMPARE(f.store().find("dalva")->nome, QString("Joana D'Arc"));
        auto *grid = f.w<QTableView>("dbgUsuario");
        QCOMPARE(grid->model()->data(grid->model()->index(grid->currentIndex().row(), 1)).toString(),
                 QString("Joana D'Arc"));
    }

    void newUserRefusals()
    {
        Fixture f;
        // Empty code: stays in adding.
        addUser(f, "  ", "Sem sigla", "a", "a");
        QCOMPARE(f.msg.lastText(), UserRegistryTexts::SiglaEmpty);
        QCOMPARE(f.msg.lastCaption(), QString("Erro de Edição"));
        QCOMPARE(f.page.mode(), CadastroUsuariosPage::Mode::Adding);
        f.click("bbtCancela");

        // Passwords compared exactly; both edits cleared, still adding.
        addUser(f, "caio", "", "abc", "abc ");
        QCOMPARE(f.msg.lastText(), QString("As senhas fornecidas não conferem."));
        QCOMPARE(f.page.mode(), CadastroUsuariosPage::Mode::Adding);
        QVERIFY(f.w<QLineEdit>("edtSenha")->text().isEmpty() && f.w<QLineEdit>("edtConfirma")->text().isEmpty());
        f.w<QLineEdit>("edtSenha")->setText("   ");
        f.w<QLineEdit>("edtConfirma")->setText("   ");
        f.click("bbtOK");
        QCOMPARE(f.msg.lastText(), QString("As senhas fornecidas não conferem."));
        f.click("bbtCancela");
        QVERIFY(!f.store().find("caio"));

        // Duplicate code (any case): message, row discarded, browsing.
        f.msg.clear();
        addUser(f, "ADMIN", "Outro", "abc", "abc");
        QCOMPARE(f.msg.texts(), QStringList{"Esse usuário já está cadastrado."});
        QCOMPARE(f.page.mode(), CadastroUsuariosPage::Mode::Browsing);
        QCOMPARE(f.store().all().size(), 1);
        QCOMPARE(f.store().find("admin")->nome, QString("Administrador"));

        // No certifier configured: nothing starts.
        f.dm.setCertifierCode(QString());
        f.msg.clear();
        f.click("bbtIncluir");
        QCOMPARE(f.msg.lastText(), QString("As configuraçãoes do Certificador não foram cadastradas."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de Edição"));
        QCOMPARE(f.page.mode(), CadastroUsuariosPage::Mode::Browsing);
    }

    void administratorCanNeitherBeDeletedNorRenamed()
    {
        Fixture f;
        QVERIFY(f.page.selectUser("admin"));
        f.click("bbtExcluir");
        QCOMPARE(f.msg.lastText(), QString("O Administrador não pode ser excluído."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de Exclusão"));
        QVERIFY(f.store().find("admin"));

        f.click("bbtEditar");
        QVERIFY(f.w<QLineEdit>("dbeNome")->isEnabled());
        QVERIFY(!f.w<QLineEdit>("dbeSigla")->isEnabled());
        QVERIFY(!f.w<QLineEdit>("edtSenha")->isEnabled());
        QVERIFY(!f.w<QCheckBox>("dbcOCC")->isEnabled());
        QVERIFY(!f.w<QCheckBox>("dbcAprovaCert")->isEnabled());
        f.w<QLineEdit>("dbeNome")->setText("Chefe");
        f.click("bbtOK");
        QCOMPARE(f.store().find("admin")->nome, QString("Chefe"));

        // Even past the page, the rules keep the administrator's code and rights.
        UserRegistry registry(f.dm.database(), f.msg);
        UserRecord admin = *f.store().find("admin");
        admin.sigla = "root";
        admin.rights = Rights();
        QCOMPARE(registry.saveChanged("admin", admin), UserRegistry::Outcome::Saved);
        QVERIFY(!f.store().find("root"));
        QVERIFY(f.store().find("admin")->rights.cadastraUsu);
        QVERIFY(!registry.remove("ADMIN"));
        QVERIFY(f.store().find("admin"));
    }

    void editAndDeleteAnotherUser()
    {
        Fixture f;
        addUser(f, "davi", "Davi", "pw", "pw");
        f.click("bbtEditar");
        QVERIFY(f.w<QLineEdit>("dbeSigla")->isEnabled());
        QVERIFY(!f.w<QLineEdit>("edtSenha")->isEnabled());
        f.w<QLineEdit>("dbeSigla")->setText("davi2");
        f.w<QCheckBox>("dbcManBaseDados")->setChecked(true);
        f.click("bbtOK");
        QVERIFY(!f.store().find("davi"));
        const auto davi = f.store().find("davi2");
        QVERIFY(davi && davi->rights.manBase && !davi->rights.configOCC);
        // The password stays as it was.
        QVERIFY(LoginService::login(f.dm.database(), "davi2", "pw", f.msg));

        // Renaming onto an existing code fails in the database: the row stays in editing.
        f.click("bbtEditar");
        f.w<QLineEdit>("dbeSigla")->setText("admin");
        f.msg.clear();
        f.click("bbtOK");
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Warning);
        QCOMPARE(f.page.mode(), CadastroUsuariosPage::Mode::Changing);
        f.click("bbtCancela");
        QCOMPARE(f.page.mode(), CadastroUsuariosPage::Mode::Browsing);

        // Deleting asks first; No keeps the user.
        QVERIFY(f.page.selectUser("davi2"));
        f.msg.answers.enqueue(false);
        f.click("bbtExcluir");
        QCOMPARE(f.msg.lastText(), QString("Deseja excluir o usuário?"));
        QCOMPARE(f.msg.lastCaption(), QString("Exclusão de Usuários"));
        QVERIFY(f.store().find("davi2"));
        f.msg.answers.enqueue(true);
        f.click("bbtExcluir");
        QVERIFY(!f.store().find("davi2"));
    }

    void exitAndListingLeaveThePage()
    {
        Fixture f;
        QSignalSpy leave(&f.page, &CadastroUsuariosPage::leave);
        int listed = 0;
        f.page.setListing([&] { ++listed; });
        f.click("bbtIncluir");
        f.w<QLineEdit>("dbeSigla")->setText("pendente");
        f.click("btnExit");
        QCOMPARE(leave.count(), 1);
        QCOMPARE(f.page.mode(), CadastroUsuariosPage::Mode::Browsing);
        QVERIFY(!f.store().find("pendente"));
        f.click("btnListagem");
        QCOMPARE(listed, 1);
        QCOMPARE(leave.count(), 2);
        QVERIFY(f.opener.calls.isEmpty());
    }

    void listingShowsTheUserListThroughTheWindowOpener()
    {
        Fixture f;
        f.login.userName = "Administrador do sistema";
        QSignalSpy leave(&f.page, &CadastroUsuariosPage::leave);
        f.click("btnListagem");
        QCOMPARE(f.opener.calls, QStringList{"usuarios Administrador do sistema"});
        QCOMPARE(f.opener.databases, QList<Database *>{&f.dm.database()});
        QCOMPARE(f.opener.parent, f.page.window());
        QCOMPARE(f.opener.messenger, static_cast<Messenger *>(&f.msg));
        QCOMPARE(leave.count(), 1);
    }
};

QTEST_MAIN(TestUsers)
#include "test_users.moc"
