// The shell's care of the register: the daily copy at start, the database
// menu, and the certificates about to expire (page and status-bar notice).
#include "app/tfrmcapasistema.h"
#include "base/clock.h"
#include "db/database.h"
#include "maintenance/demodata.h"
#include "shell/databasecopies.h"
#include "shell/programdatabase.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QQueue>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

const QDate Today(2040, 3, 10);

LoginState user(bool manBase)
{
    LoginState s;
    s.userCode = "admin";
    s.userName = "Administrador";
    s.certifier = "OCDEMO";
    s.rights.manBase = manBase;
    return s;
}

// Active certificates valid until today + each of the given days.
void expiring(const TestHome &home, const QList<int> &days)
{
    Database db(QStringLiteral("carga"));
    home.open(db);
    DemoData::Writer w(db, QStringLiteral("ana"));
    w.setCertifier(QStringLiteral("OCDEMO"));
    for (int d : days) {
        const QDateTime issue(Today.addYears(-2), QTime(9, 0));
        w.addItem(QStringLiteral("CERTIFIC"),
                  {{"SiglaCertificador", "OCDEMO"},
                   {"NumCertif", QStringLiteral("VENC-%1").arg(d)},
                   {"IdClasseCertif", "COMP"},
                   {"IdClasseProd", 101},
                   {"DataEmissao", issue},
                   {"DataValid", QDateTime(Today.addDays(d), QTime(12, 0))},
                   {"Completo", true}},
                  issue);
    }
}

struct Shell
{
    TestHome home{true};
    ScriptedMessenger msg;
    ProgramDatabase capa;
    TFrmCapaSistema *frm = nullptr;
    QQueue<std::optional<LoginState>> logins;

    explicit Shell(const QList<int> &days = {})
    {
        Clock::setToday(Today);
        expiring(home, days);
    }
    void create()
    {
        frm = new TFrmCapaSistema(msg);
        frm->attachDatabase(capa);
        frm->setLoginPrompt(
            [this]() -> std::optional<LoginState> { return logins.isEmpty() ? std::nullopt : logins.dequeue(); });
        frm->setTerminate([] {});
    }
    bool start()
    {
        create();
        return QTest::qWaitFor([this] { return !frm->findChild<QTimer *>("Timer1")->isActive(); }, 5000);
    }
    ~Shell()
    {
        delete frm;
        Clock::setToday({});
    }
    QAction *action(const char *name) { return frm->findChild<QAction *>(QLatin1String(name)); }
    QLabel *notice() { return frm->findChild<QLabel *>("LbCertificadosVencer"); }
};

}

class TestShellRegister : public QObject
{
    Q_OBJECT

private slots:
    void firstStartOfTheDayCopiesTheDatabase()
    {
        Shell s;
        s.logins.enqueue(user(true));
        QVERIFY(s.start());
        const QString folder = DatabaseCopies::defaultFolder();
        const QStringList copies = DatabaseCopies::list(folder);
        QCOMPARE(copies.size(), 1);
        QVERIFY(copies.first().contains("bdocc-2040-03-10-"));
        QVERIFY(s.msg.messages.isEmpty());

        // A second start the same day copies nothing more.
        delete s.frm;
        s.logins.enqueue(user(true));
        QVERIFY(s.start());
        QCOMPARE(DatabaseCopies::list(folder), copies);
    }

    void expiringNoticeAndPageFollowTheRight()
    {
        Shell s({0, 1, 45, 61});
        s.logins.enqueue(user(false));
        QVERIFY(s.start());
        QVERIFY(!s.action("mniCertificadosVencer")->isEnabled());
        QVERIFY(!s.action("mniBaseDadosAction")->isEnabled());
        QVERIFY(s.notice()->isHidden());

        s.logins.enqueue(user(true));
        s.frm->switchUser();
        QVERIFY(s.action("mniCertificadosVencer")->isEnabled());
        QCOMPARE(s.notice()->text(), QStringLiteral("Certificados a vencer em 60 dias: 3"));
        QVERIFY(!s.notice()->isHidden());

        s.action("mniCertificadosVencer")->trigger();
        QCOMPARE(s.frm->currentPage(), QStringLiteral("CertificadosVencer"));
        QVERIFY(!s.action("mniCertificadosVencer")->isEnabled()); // page mode
        auto *grid = s.frm->findChild<QTableView *>("grdVencer");
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("VENC-0"));
        QCOMPARE(grid->model()->index(0, 4).data().toString(), QStringLiteral("0"));
        s.frm->findChild<QComboBox *>("cbDias")->setCurrentText("90");
        QCOMPARE(grid->model()->rowCount(), 4);
        s.frm->findChild<QComboBox *>("cbDias")->setCurrentText("30");
        QCOMPARE(grid->model()->rowCount(), 2);
        QVERIFY(grid->actions().size() == 1);
    }

    void noNoticeWhenNothingExpires()
    {
        Shell s({61});
        s.logins.enqueue(user(true));
        QVERIFY(s.start());
        QVERIFY(s.notice()->isHidden());
        QVERIFY(s.notice()->text().isEmpty());
    }

    void databaseMenuCopiesAndRestores()
    {
        Shell s;
        s.logins.enqueue(user(true));
        QVERIFY(s.start());
        const QString folder = DatabaseCopies::defaultFolder();
        QVERIFY(s.action("mniBaseDadosAction")->isEnabled());

        s.action("mniCopiaBase")->trigger();
        QCOMPARE(s.msg.lastKind(), ScriptedMessenger::Information);
        QVERIFY(s.msg.lastText().startsWith("Cópia da base de dados gravada em "));
        const QString copy = DatabaseCopies::list(folder).last();

        Database &db = s.capa.database();
        const int count = db.scalar("select count(*) from CERTIFIC").toInt();
        db.execute("delete from CERTIFIC");

        // Answering No changes nothing.
        s.frm->setCopyChooser([&](QWidget *) { return copy; });
        s.msg.clear();
        s.action("mniRestauraBase")->trigger();
        QCOMPARE(s.msg.lastKind(), ScriptedMessenger::Confirm);
        QCOMPARE(db.scalar("select count(*) from CERTIFIC").toInt(), 0);

        // Yes: restored, the previous database kept, and a new login asked.
        s.msg.answers.enqueue(true);
        s.logins.enqueue(user(true));
        s.action("mniRestauraBase")->trigger();
        QVERIFY2(s.msg.lastText().startsWith("Base de dados restaurada de "), qPrintable(s.msg.lastText()));
        QCOMPARE(db.scalar("select count(*) from CERTIFIC").toInt(), count);
        QVERIFY(DatabaseCopies::list(folder).last().endsWith("-antes-restauracao.mdb"));
        QVERIFY(s.logins.isEmpty());
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::Ready);

        // A file that is no copy of the register is refused with nothing changed.
        const QString bogus = s.home.dir() + "/nao-e-copia.mdb";
        QFile f(bogus);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'z'));
        f.close();
        s.frm->setCopyChooser([&](QWidget *) { return bogus; });
        const QStringList before = DatabaseCopies::list(folder);
        s.msg.answers.enqueue(true);
        s.action("mniRestauraBase")->trigger();
        QCOMPARE(s.msg.lastKind(), ScriptedMessenger::Warning);
        QVERIFY(s.msg.lastText().startsWith("A cópia não foi restaurada; a base de dados não foi alterada."));
        QCOMPARE(DatabaseCopies::list(folder), before);
        QCOMPARE(db.scalar("select count(*) from CERTIFIC").toInt(), count);
    }
};

QTEST_MAIN(TestShellRegister)
#include "test_shell_register.moc"
