// The shell window: start-up, rights, page mode, login again, failures.
#include "app/tfrmcapasistema.h"
#include "base/apppaths.h"
#include "base/errorlog.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/registerlocation.h"
#include "shell/appversion.h"
#include "shell/programdatabase.h"
#include "support/scriptedmessenger.h"
#include "support/testdb.h"
#include "support/testhome.h"
#include "support/whenmodal.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QQueue>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

LoginState user(const QString &code, Rights rights = Rights())
{
    LoginState s;
    s.userCode = code;
    s.userName = code;
    s.certifier = "OCX";
    s.rights = rights;
    return s;
}

Rights allRights()
{
    return Rights{true, true, true, true, true, true, true};
}

// One shell over a fresh program folder; logins answered from a queue.
struct Shell
{
    TestHome home;
    ScriptedMessenger msg;
    TFrmCapaSistema *frm = nullptr;
    ProgramDatabase capa;
    QQueue<std::optional<LoginState>> logins;
    int prompts = 0;
    int terminated = 0;

    explicit Shell(bool removeDatabase = false)
    {
        if (removeDatabase) {
            QFile::remove(home.dbPath());
            QFile::remove(RegisterLocation::configFile());
        }
        frm = new TFrmCapaSistema(msg);
        frm->attachDatabase(capa);
        frm->setLoginPrompt([this]() -> std::optional<LoginState> {
            ++prompts;
            return logins.isEmpty() ? std::nullopt : logins.dequeue();
        });
        frm->setTerminate([this] { ++terminated; });
    }
    ~Shell() { delete frm; }

    bool start()
    {
        return QTest::qWaitFor([this] { return !frm->findChild<QTimer *>("Timer1")->isActive(); }, 3000);
    }
    // Logged in with every right, the start's messages dropped.
    bool startAsAdmin()
    {
        logins.enqueue(user("admin", allRights()));
        const bool started = start();
        msg.clear();
        return started;
    }
    QToolButton *button(const char *name) { return frm->findChild<QToolButton *>(QLatin1String(name)); }
    QAction *action(const char *name) { return frm->findChild<QAction *>(QLatin1String(name)); }
    QMenu *menu(const char *name) { return frm->findChild<QMenu *>(QLatin1String(name)); }

    // Every function the user can reach, by control name.
    QStringList reachable()
    {
        QStringList out;
        for (QAction *a : frm->findChildren<QAction *>()) {
            if (a->objectName().isEmpty() || a->menu() || a->isSeparator() || !a->isEnabled())
                continue;
            // A grid's context-menu item is reached only through its page.
            if (auto *grid = qobject_cast<QAbstractItemView *>(a->parent()); grid && !grid->isVisible())
                continue;
            bool reach = true;
            for (QObject *p = a->parent(); p; p = p->parent())
                if (auto *m = qobject_cast<QMenu *>(p))
                    reach = reach && m->menuAction()->isEnabled();
            if (reach)
                out << a->objectName();
        }
        for (QToolButton *b : frm->findChildren<QToolButton *>())
            if (!b->objectName().isEmpty() && b->isEnabled() && !b->isHidden())
                out << b->objectName();
        out.sort();
        return out;
    }
};

QString errorLog()
{
    QFile f(ErrorLog::fileName());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void startsDisabledAndShowsTheVersion()
    {
        Shell s;
        QCOMPARE(s.frm->windowTitle(), QString("Corvane - Módulo do Certificador - Versão ") + AppVersion::number());
        QVERIFY(s.frm->statusPanelText(1).startsWith(
            QString("Módulo do Certificador - Versão %1 | BD: ").arg(AppVersion::number())));
        QVERIFY(s.frm->statusPanelText(1).endsWith(" KB"));
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::Starting);
        QCOMPARE(s.reachable(), QStringList({"sbSair"}));
        QCOMPARE(s.frm->currentPage(), QString("Principal"));
    }

    void userWithoutRightsSeesOnlyTheCommonFunctions()
    {
        Shell s;
        s.logins.enqueue(user("semdireitos"));
        QVERIFY(s.start());
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::Ready);
        // No certifier in a fresh database: told, and the start goes on.
        QCOMPARE(s.msg.texts(), QStringList{"Dados da Configuração de diretórios incompleta. Verifique"});
        QCOMPARE(s.msg.lastKind(), ScriptedMessenger::Information);
        QVERIFY(QFileInfo(AppPaths::workDir()).isDir());
        QCOMPARE(s.reachable(),
                 QStringList({"mniAjuda", "mniAlteraSenha", "mniReparar", "mniSair", "sbReentrar", "sbSair",
                              "spbAlteraSenha"}));
        QCOMPARE(s.frm->statusPanelText(0), QString("USUÁRIO: semdireitos  |  ORGANISMO: OCX"));
        QVERIFY(s.menu("mniFuncoes")->menuAction()->isEnabled());
        QVERIFY(s.menu("mniConfiguracoes")->menuAction()->isEnabled());
    }

    void loggingInAgainReplacesRightsAndCancelEnds()
    {
        Shell s;
        s.logins.enqueue(user("admin", allRights()));
        QVERIFY(s.start());
        QVERIFY(s.button("spbCadUsuarios")->isEnabled());
        QVERIFY(s.button("spbAprovaCertificados")->isEnabled());

        Rights onlyMaintenance;
        onlyMaintenance.manBase = true;
        s.logins.enqueue(user("tecnico", onlyMaintenance));
        s.button("sbReentrar")->click();
        QCOMPARE(s.frm->loginState().userCode, QString("tecnico"));
        QCOMPARE(s.frm->statusPanelText(0), QString("USUÁRIO: tecnico  |  ORGANISMO: OCX"));
        QVERIFY(s.button("spbManBaseDados")->isEnabled());
        QVERIFY(!s.button("spbCadUsuarios")->isEnabled());
        QVERIFY(!s.action("mniCadUsuarios")->isEnabled());
        QVERIFY(!s.button("spbAprovaCertificados")->isEnabled());
        QCOMPARE(s.terminated, 0);

        s.button("sbReentrar")->click(); // the queue is empty: the dialog is cancelled
        QCOMPARE(s.terminated, 1);
        QCOMPARE(s.prompts, 3);
    }

    void leavingAPageRestoresOnlyWhatTheRightsAllow()
    {
        Shell s;
        Rights r;
        r.cadastraUsu = true;
        r.configDir = true;
        s.logins.enqueue(user("admin", r));
        QVERIFY(s.start());
        QVERIFY(!s.button("spbManBaseDados")->isEnabled());

        s.button("spbCadUsuarios")->click();
        QCOMPARE(s.frm->currentPage(), QString("CadastroUsuarios"));
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::PageMode);
        QCOMPARE(s.reachable(), QStringList({"mniAjuda", "mniSair", "sbReentrar", "sbSair"}));
        s.frm->findChild<QPushButton *>("btnExit")->click();
        QCOMPARE(s.frm->currentPage(), QString("Principal"));
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::Ready);
        QVERIFY(!s.button("spbManBaseDados")->isEnabled());
        QVERIFY(!s.action("mniManBaseDados")->isEnabled());
        QVERIFY(s.button("spbCadUsuarios")->isEnabled());
        QVERIFY(s.button("spbAlteraSenha")->isEnabled());
        QVERIFY(s.action("mniReparar")->isEnabled());

        // The directory page, from the configuration subsystem, follows the same rules.
        s.msg.clear();
        s.action("mniDiretorios")->trigger();
        QCOMPARE(s.frm->currentPage(), QString("ConfiguraDiretorios"));
        QVERIFY(!s.button("spbDiretorios")->isEnabled());
        s.frm->findChild<QPushButton *>("BitBtn11")->click();
        QCOMPARE(s.frm->currentPage(), QString("Principal"));
        QVERIFY(!s.button("spbManBaseDados")->isEnabled());
        QVERIFY(s.button("spbDiretorios")->isEnabled());
        QVERIFY(!s.button("spbCertificador")->isEnabled());
    }

    // The second panel says which register is open: the file's size (the
    // file itself in its tip), or the server's address; and the start opens it.
    void statusBarNamesTheRegister()
    {
        Shell s;
        const QString prefix = QString("Módulo do Certificador - Versão %1 | BD: ").arg(AppVersion::number());
        if (TestDb::onServer()) {
            // The size is the one the server gives its database.
            const ServerAddress server = *RegisterLocation::server();
            const QString text = s.frm->statusPanelText(1);
            const QString lead = prefix + "servidor " + server.shortText() + " - ";
            QVERIFY2(text.startsWith(lead) && text.endsWith(" KB"), qPrintable(text));
            const qint64 shown = text.mid(lead.size()).chopped(3).toLongLong();
            Database probe(QStringLiteral("statusbar-size"));
            probe.openServer(server);
            const qint64 kb = probe.scalar("SELECT pg_database_size(current_database())").toLongLong() / 1024;
            QVERIFY2(shown > 0 && qAbs(shown - kb) <= kb / 10, qPrintable(QString("%1 %2").arg(shown).arg(kb)));
        } else {
            QVERIFY(s.frm->statusPanelText(1).startsWith(prefix));
            QVERIFY(s.frm->statusPanelText(1).endsWith(" KB"));
            QVERIFY(s.frm->statusPanelText(1) != prefix + "0 KB");
        }
        QVERIFY(s.startAsAdmin());
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::Ready);
        QCOMPARE(s.capa.database().engine(), TestDb::engine());
    }

    void missingDatabaseStopsTheStart()
    {
        Shell s(true);
        QCOMPARE(s.frm->statusPanelText(1),
                 QString("Módulo do Certificador - Versão %1 | BD: 0 KB").arg(AppVersion::number()));
        s.logins.enqueue(user("admin", allRights()));
        QVERIFY(s.start());
        QCOMPARE(s.prompts, 0);
        QCOMPARE(s.msg.messages.size(), 1);
        QCOMPARE(s.msg.lastKind(), ScriptedMessenger::Warning);
        QVERIFY(s.msg.lastText().contains("bdocc.mdb"));
        QVERIFY(errorLog().contains("Mensagem......: " + s.msg.lastText()));
        QVERIFY(errorLog().contains("Tipo Erro.....: EDatabaseError"));
        QCOMPARE(s.reachable(), QStringList({"sbSair"}));
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::Starting);
    }

    // Each menu item and toolbar button opens its function through the one
    // table: openers put in its place record which function a control reached.
    void everyControlOpensItsFunction()
    {
        using F = TFrmCapaSistema::Function;
        Shell s;
        QVERIFY(s.startAsAdmin());
        const QList<QPair<const char *, F>> controls = {
            {"mniManBaseDados", F::Maintenance},
            {"spbManBaseDados", F::Maintenance},
            {"RemessageradanoSistema1", F::Remittances},
            {"spbContRemessas", F::Remittances},
            {"ArquivoTXT1", F::TxtFile},
            {"mniAtualizTabQuelora", F::ReferenceTables},
            {"spbAtualizTabQuelora", F::ReferenceTables},
            {"mniReparar", F::Repair},
            {"mniAprovaCertificados", F::ApproveCertificates},
            {"spbAprovaCertificados", F::ApproveCertificates},
            {"mniCertificadosVencer", F::ExpiringCertificates},
            {"mniCertificador", F::CertifierSettings},
            {"spbCertificador", F::CertifierSettings},
            {"mniDiretorios", F::FolderSettings},
            {"spbDiretorios", F::FolderSettings},
            {"mniCadUsuarios", F::Users},
            {"spbCadUsuarios", F::Users},
            {"mniAlteraSenha", F::ChangePassword},
            {"spbAlteraSenha", F::ChangePassword},
            {"sbReentrar", F::SwitchUser},
            {"mniCopiaBase", F::CopyDatabase},
            {"mniRestauraBase", F::RestoreDatabase},
            {"mniAjuda", F::About},
            {"SbAjuda", F::About},
            {"mniSair", F::Exit},
            {"sbSair", F::Exit},
        };
        QList<F> opened;
        for (const auto &control : controls)
            s.frm->setFunction(control.second, [&opened, f = control.second] { opened << f; });
        for (const auto &[name, function] : controls) {
            opened.clear();
            if (QAction *a = s.action(name))
                a->trigger();
            else if (QToolButton *b = s.button(name))
                b->click();
            else
                QFAIL(name);
            QVERIFY2(opened == QList<F>{function}, name);
        }
        QVERIFY(s.msg.messages.isEmpty());
    }

    void uncaughtErrorIsLoggedAndShownAndTheWindowStays()
    {
        Shell s;
        s.logins.enqueue(user("admin", allRights()));
        QVERIFY(s.start());
        s.frm->show();
        s.msg.clear();
        s.frm->setFunction(TFrmCapaSistema::Function::Maintenance,
                           [] { throw AppError("Falha inesperada ao abrir a manutenção."); });
        s.button("spbManBaseDados")->click();
        QCOMPARE(s.msg.messages.size(), 1);
        QCOMPARE(s.msg.lastKind(), ScriptedMessenger::Warning);
        QCOMPARE(s.msg.lastText(), QString("Falha inesperada ao abrir a manutenção."));
        const QString log = errorLog();
        QVERIFY(log.contains("Mensagem......: Falha inesperada ao abrir a manutenção.\nTipo Erro.....: Exception\n" +
                             QString(70, '-')));
        QVERIFY(s.frm->isVisible());
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::Ready);
    }

    void remittanceControlOpensItsWindow()
    {
        Shell s;
        QVERIFY(s.startAsAdmin());
        // The remittance control window is built: it opens, modal.
        QString opened;
        whenModal<QWidget>([&](QWidget *w) {
            opened = w->windowTitle();
            w->close();
        });
        s.button("spbContRemessas")->click();
        QCOMPARE(opened, QStringLiteral("Controle de Remessas"));
        QVERIFY(s.msg.texts().isEmpty());
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::Ready);
    }

    // The TXT window opens after the notice, once: asking again brings the
    // same window forward.
    void txtSendingOpensOneWindowAfterItsNotice()
    {
        Shell s;
        QVERIFY(s.startAsAdmin());
        s.action("ArquivoTXT1")->trigger();
        QCOMPARE(s.msg.messages.size(), 1);
        QVERIFY(s.msg.messages.first().text.startsWith("Esta opção só deve ser utilizada para os certificadores"));
        auto windows = s.frm->findChildren<QDialog *>("FrmEnviaTXT_FTP");
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows.first()->isVisible());
        s.action("ArquivoTXT1")->trigger();
        QCOMPARE(s.msg.messages.size(), 2);
        QCOMPARE(s.frm->findChildren<QDialog *>("FrmEnviaTXT_FTP"), windows);
        windows.first()->close();
        QTRY_VERIFY(s.frm->findChildren<QDialog *>("FrmEnviaTXT_FTP").isEmpty());
    }
    // The reference-table item opens the version history as a modal window.
    void referenceTablesItemOpensTheHistory()
    {
        Shell s;
        QVERIFY(s.startAsAdmin());
        bool seen = false;
        QTimer::singleShot(0, s.frm, [&] {
            const auto windows = s.frm->findChildren<QDialog *>("FrmPrincipalVersoes");
            seen = windows.size() == 1 && windows.first()->isVisible() &&
                windows.first()->windowTitle() == "Controle de Versões de Tabelas Auxiliares";
            for (QDialog *d : windows)
                d->reject();
        });
        s.button("spbAtualizTabQuelora")->click();
        QVERIFY(seen);
        QVERIFY(s.msg.messages.isEmpty());
        QVERIFY(s.frm->findChildren<QDialog *>("FrmPrincipalVersoes").isEmpty());
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
