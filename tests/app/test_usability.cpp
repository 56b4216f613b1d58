// What a new user meets first: masked passwords, named icon buttons, the
// organism shown once the certifier is configured.
#include "app/appwindowopener.h"
#include "app/tfrmcapasistema.h"
#include "db/database.h"
#include "shell/loginstate.h"
#include "shell/programdatabase.h"
#include "shell/ui/cadastrousuariospage.h"
#include "shell/ui/configcertificadorpage.h"
#include "shell/ui/configuradiretoriospage.h"
#include "shell/ui/tfrmalterasenha.h"
#include "shell/ui/tfrmloginusuario.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// Names every button that shows no text and is not named for assistive
// technology, or whose name differs from its hint.
QStringList unnamedIconButtons(QWidget *window)
{
    QStringList out;
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
        if (!b->text().trimmed().isEmpty())
            continue;
        // Qt's own parts (menu bar overflow, table corner) are outside the
        // accessibility tree Qt gives their owners.
        if (b->objectName().startsWith(QLatin1String("qt_")) ||
            qstrcmp(b->metaObject()->className(), "QTableCornerButton") == 0)
            continue;
        if (b->accessibleName().isEmpty() || (!b->toolTip().isEmpty() && b->accessibleName() != b->toolTip()))
            out << window->objectName() + QLatin1Char('/') + b->objectName();
    }
    return out;
}

QString typedAbc(QWidget *window, const char *name)
{
    auto *e = window->findChild<QLineEdit *>(QLatin1String(name));
    if (!e)
        return QStringLiteral("<no %1>").arg(QLatin1String(name));
    e->setText(QStringLiteral("abc"));
    return e->displayText();
}

struct Shell
{
    TestHome home;
    ScriptedMessenger msg;
    ProgramDatabase capa;
    TFrmCapaSistema frm{msg};

    explicit Shell(const QString &certifier)
    {
        frm.attachDatabase(capa);
        frm.setLoginPrompt([certifier]() -> std::optional<LoginState> {
            LoginState s;
            s.userCode = s.userName = QStringLiteral("admin");
            s.certifier = certifier;
            s.rights = Rights{true, true, true, true, true, true, true};
            return s;
        });
        frm.setTerminate([] {});
    }
    bool start()
    {
        return QTest::qWaitFor([this] { return !frm.findChild<QTimer *>("Timer1")->isActive(); }, 3000);
    }
};

}

class TestUsability : public QObject
{
    Q_OBJECT

private slots:
    void passwordFieldsShowStars()
    {
        TestHome home;
        ProgramDatabase dm;
        dm.setCertifierCode(QStringLiteral("OCX"));
        ScriptedMessenger msg;

        TFrmLoginUsuario login(dm, msg);
        login.show();
        QCOMPARE(typedAbc(&login, "edtSenha"), QString("***"));
        QCOMPARE(typedAbc(&login, "edtLogin"), QString("abc"));

        TFrmAlteraSenha change(dm, msg, QStringLiteral("admin"));
        change.show();
        for (const char *name : {"edtSenhaAtual", "edtNovaSenha", "edtConfSenha"})
            QCOMPARE(typedAbc(&change, name), QString("***"));

        LoginState state;
        state.userCode = QStringLiteral("admin");
        AppWindowOpener opener;
        CadastroUsuariosPage users(dm, msg, opener, state);
        users.show();
        users.enter();
        for (const char *name : {"edtSenha", "edtConfirma"})
            QCOMPARE(typedAbc(&users, name), QString("***"));

        ConfiguraDiretoriosPage dirs(dm.database(), msg, {});
        dirs.show();
        QCOMPARE(typedAbc(&dirs, "dbeSenhaFTP"), QString("***"));
    }

    void iconOnlyButtonsAreNamedByTheirHint()
    {
        Shell s(QStringLiteral("OCX"));
        s.frm.show();
        QVERIFY(s.start());
        QVERIFY2(unnamedIconButtons(&s.frm).isEmpty(), qPrintable(unnamedIconButtons(&s.frm).join(' ')));
        auto *exitButton = s.frm.findChild<QAbstractButton *>("sbSair");
        QVERIFY(exitButton && exitButton->text().isEmpty() && !exitButton->accessibleName().isEmpty());

        TFrmLoginUsuario login(s.capa, s.msg);
        TFrmAlteraSenha change(s.capa, s.msg, QStringLiteral("admin"));
        ConfigCertificadorPage certifier(s.capa.database(), s.msg, {});
        ConfiguraDiretoriosPage dirs(s.capa.database(), s.msg, {});
        for (QWidget *w : std::initializer_list<QWidget *>{&login, &change, &certifier, &dirs})
            QCOMPARE(unnamedIconButtons(w), QStringList());
    }

    void statusPanelShowsTheCertifierOnceConfigured()
    {
        Shell s{QString()}; // admin of a database made without demo data
        QVERIFY(s.start());
        QCOMPARE(s.frm.statusPanelText(0), QString("USUÁRIO: admin  |  ORGANISMO: "));

        s.frm.openPage(QStringLiteral("ConfigCertificador"));
        auto *page = s.frm.findChild<QWidget *>("ConfigCertificador");
        page->findChild<QLineEdit *>("DbeSiglaCert")->setText(QStringLiteral("ocx"));
        page->findChild<QLineEdit *>("DBEdit2")->setText(QStringLiteral("Organismo X"));
        s.msg.answers.enqueue(true);
        page->findChild<QPushButton *>("btnOK")->click();
        QCOMPARE(s.frm.statusPanelText(0), QString("USUÁRIO: admin  |  ORGANISMO: OCX"));
    }
};

QTEST_MAIN(TestUsability)
#include "test_usability.moc"
