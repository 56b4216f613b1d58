// The control window and the preparation window driven as a user would.
#include "base/apperror.h"
#include "base/fileutil.h"
#include "db/database.h"
#include "remessa/remessacontrol.h"
#include "remessa/ui/backgroundwork.h"
#include "remessa/ui/tfrmnovaremessa.h"
#include "remessa/ui/tfrmprincipalremessas.h"
#include "reports/bandedreport.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

class TestRemessaWindows : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;
    ScriptedMessenger m_msg;
    LoginState m_login;

    void event(const QString &number, const QString &type, const QString &ev, int minutesAgo, const QString &obs = {})
    {
        m_db->execute(
            QStringLiteral("INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento, Usuario, Obs) "
                           "VALUES (?, ?, ?, ?, 'Administrador', ?)"),
            {QDateTime::currentDateTime().addSecs(-60 * minutesAgo), number, type, ev,
             obs.isEmpty() ? QVariant() : QVariant(obs)});
    }
    static bool enabled(QWidget &w, const char *name)
    {
        return w.findChild<QPushButton *>(QLatin1String(name))->isEnabled();
    }
    static void shot(QWidget &w, const char *name)
    {
        const QString dir = qEnvironmentVariable("CORVANE_SHOTS");
        if (!dir.isEmpty())
            w.grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    }

private slots:
    void init()
    {
        m_db.reset();
        m_home = std::make_unique<TestHome>(true);
        m_db = std::make_unique<Database>(QStringLiteral("windows-test"));
        m_home->open(*m_db);
        m_msg.messages.clear();
        m_login.userCode = QStringLiteral("admin");
        m_login.userName = QStringLiteral("Administrador");
    }
    void cleanup()
    {
        m_db.reset();
        m_home.reset();
    }

    void controlWindowOffersTheNextStepOfTheNewest()
    {
        event("2026110301", "T", "PR", 500);
        event("2026110301", "T", "TR", 490);
        event("2026110301", "T", "OK", 400);
        event("2026120101", "C", "PR", 300);
        event("2026120101", "C", "NO", 200, QStringLiteral("Remessa Cancelada pelo Usuário"));
        event("2026120102", "C", "PR", 100);
        TFrmPrincipalRemessas w(*m_db, m_msg, m_login);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *grid = w.findChild<QTableView *>(QStringLiteral("GrRemessa"));
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("Aguardando Transferência"));
        QCOMPARE(grid->model()->index(2, 1).data().toString(), QStringLiteral("Finalizada"));
        QVERIFY(enabled(w, "BtTransfere") && enabled(w, "BtCancela"));
        QVERIFY(!enabled(w, "BtPrepara") && !enabled(w, "BtRecebe"));
        shot(w, "controle");
        // An older row: no step at all; its events shown.
        grid->setCurrentIndex(grid->model()->index(2, 0));
        QVERIFY(!enabled(w, "BtTransfere") && !enabled(w, "BtCancela") && !enabled(w, "BtPrepara"));
        QCOMPARE(w.findChild<QTableView *>(QStringLiteral("GrEventos"))->model()->rowCount(), 3);
        QCOMPARE(w.findChild<QTableView *>(QStringLiteral("GrEventos"))->model()->index(0, 1).data().toString(),
                 QStringLiteral("Finalizada - OK"));
        const BandedReport report = w.listing();
        QCOMPARE(report.title(), QStringLiteral("Controle de Remessas - Listagem de Histórico"));
        QCOMPARE(report.rowCount(), 3);
        const QString pdf = m_home->dir() + QStringLiteral("/listagem.pdf");
        QVERIFY(report.exportPdf(pdf));
        QProcess t;
        t.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        t.waitForFinished();
        const QString text = QString::fromUtf8(t.readAllStandardOutput());
        QVERIFY(text.contains(QStringLiteral("Número da Remessa: 2026110301")));
        QVERIFY(text.contains(QStringLiteral("Enviada para o Quelora")));

        // Clearing with the older row selected keeps it and the waiting newest.
        m_msg.answers.enqueue(true);
        w.clearEventHistory();
        QCOMPARE(grid->model()->rowCount(), 2);

        // Cancel the newest: asked first, then "NO" and a new preparation offered.
        grid->setCurrentIndex(grid->model()->index(0, 0));
        m_msg.answers.enqueue(false);
        w.cancelRemittance();
        QCOMPARE(m_msg.messages.last().text, QStringLiteral("Tem certeza que deseja cancelar a remessa?"));
        QVERIFY(enabled(w, "BtCancela"));
        m_msg.answers.enqueue(true);
        w.cancelRemittance();
        QCOMPARE(RemessaControl::newest(*m_db)->event, QStringLiteral("NO"));
        QVERIFY(enabled(w, "BtPrepara") && !enabled(w, "BtCancela"));
    }

    void preparationWindowRunsAndTheListShowsTheNewRemittance()
    {
        TFrmPrincipalRemessas w(*m_db, m_msg, m_login);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(enabled(w, "BtPrepara") && !enabled(w, "BtCancela"));
        QString result, number;
        w.execPreparation = [&](TFrmNovaRemessa &prep) {
            prep.show();
            QVERIFY(QTest::qWaitForWindowExposed(&prep));
            shot(prep, "prepara-antes");
            prep.startPreparation();
            QTRY_VERIFY_WITH_TIMEOUT(!prep.running(), 30000);
            result = prep.findChild<QLineEdit *>(QStringLiteral("EdResultado"))->text();
            number = prep.findChild<QLineEdit *>(QStringLiteral("EdNumeroRemessa"))->text();
            QVERIFY(prep.findChild<QLineEdit *>(QStringLiteral("EdArquivoRemessa"))->text().startsWith("OC-"));
            QVERIFY(prep.findChild<QPushButton *>(QStringLiteral("BtSaida"))->isEnabled());
            QVERIFY(!prep.findChild<QPushButton *>(QStringLiteral("BtInicio"))->isVisible());
            shot(prep, "prepara-depois");
        };
        w.prepareRemittance();
        QCOMPARE(result, QStringLiteral("Preparação Ocorrida com Sucesso."));
        QCOMPARE(number, FileUtil::dateStamp() + QStringLiteral("01"));
        QCOMPARE(w.selectedNumber(), number);
        QVERIFY(enabled(w, "BtTransfere") && enabled(w, "BtCancela") && !enabled(w, "BtPrepara"));
    }

    void theWindowActsOnTheRegisterNotOnTheListItLoaded()
    {
        event("2026120101", "C", "PR", 100);
        TFrmPrincipalRemessas w(*m_db, m_msg, m_login);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(enabled(w, "BtCancela"));
        // Meanwhile another program cancels it and prepares the next one.
        event("2026120101", "C", "NO", 50, QStringLiteral("Remessa Cancelada pelo Usuário"));
        event("2026120102", "C", "PR", 10);
        m_msg.answers.enqueue(true);
        w.cancelRemittance();
        QVERIFY2(m_msg.texts().last().contains(QStringLiteral("A remessa 2026120101 não é mais a última")),
                 qPrintable(m_msg.texts().join('|')));
        QCOMPARE(m_db->scalar("SELECT count(*) FROM CONTROLE WHERE Evento = 'NO'").toInt(), 1);
        QCOMPARE(RemessaControl::newest(*m_db)->event, QStringLiteral("PR"));
        // The list is read again: the new remittance is the one offered.
        QCOMPARE(w.selectedNumber(), QStringLiteral("2026120102"));

        // Preparing from the stale list: refused inside the preparation.
        TFrmPrincipalRemessas stale(*m_db, m_msg, m_login);
        event("2026120102", "C", "NO", 5);
        stale.refresh();
        QVERIFY(enabled(stale, "BtPrepara"));
        event("2026120103", "C", "PR", 1); // another program prepared
        QString result;
        stale.execPreparation = [&](TFrmNovaRemessa &prep) {
            prep.startPreparation();
            QTRY_VERIFY_WITH_TIMEOUT(!prep.running(), 30000);
            result = prep.findChild<QLineEdit *>(QStringLiteral("EdResultado"))->text();
        };
        stale.prepareRemittance();
        QVERIFY(result != QStringLiteral("Preparação Ocorrida com Sucesso."));
        QVERIFY2(m_msg.texts().join('|').contains(QStringLiteral("A remessa 2026120103 aguarda transferência")),
                 qPrintable(m_msg.texts().join('|')));
        QCOMPARE(m_db->scalar("SELECT count(*) FROM CONTROLE WHERE Evento = 'PR'").toInt(), 3);
    }

    void aCompleteRemittanceAsksFirst()
    {
        RemessaPreparation::Settings s;
        s.transferDir = RemessaControl::workingValues(*m_db).transferDir;
        s.acronym = QStringLiteral("OC");
        s.currentNumber = QStringLiteral("0000000000");
        TFrmNovaRemessa prep(*m_db, m_msg, s);
        prep.show();
        prep.findChild<QRadioButton *>(QStringLiteral("RGTipoRemessaCompleta"))->setChecked(true);
        m_msg.answers.enqueue(false);
        prep.startPreparation();
        QTRY_VERIFY_WITH_TIMEOUT(!prep.running(), 30000);
        QCOMPARE(m_msg.messages.last().caption, QStringLiteral("Preparação de uma Remessa Completa"));
        QVERIFY(prep.findChild<QPushButton *>(QStringLiteral("BtInicio"))->isVisibleTo(&prep));
        QVERIFY(prep.findChild<QLineEdit *>(QStringLiteral("EdResultado"))->text().isEmpty());
        m_msg.answers.enqueue(true);
        prep.startPreparation();
        QTRY_VERIFY_WITH_TIMEOUT(!prep.running(), 30000);
        QVERIFY(prep.findChild<QLineEdit *>(QStringLiteral("EdArquivoRemessa"))
                    ->text()
                    .startsWith(QStringLiteral("OT-OC")));
        QCOMPARE(RemessaControl::newest(*m_db)->type, QStringLiteral("T"));
    }

    // Long work runs off the window's thread on a connection of its own; its
    // boxes are asked on the window's thread, in order, with their answers;
    // what it raises comes back to the window.
    void backgroundWorkAsksOnTheWindowThreadAndHandsBackItsFailure()
    {
        QWidget window;
        BackgroundWork work(*m_db, m_msg, &window);
        QSignalSpy finished(&work, &BackgroundWork::finished);
        QThread *worker = nullptr;
        QString connection;
        bool answer = false;
        QList<bool> onWindowThread;
        m_msg.answers.enqueue(true);
        work.start([&](Database &db, Messenger &messenger) {
            worker = QThread::currentThread();
            connection = db.connectionName();
            db.execute(QStringLiteral("INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento) "
                                      "VALUES (?, '2026120199', 'C', 'PR')"),
                       {QDateTime::currentDateTime()});
            work.post([&] { onWindowThread << (QThread::currentThread() == window.thread()); });
            messenger.warning(QStringLiteral("primeiro"));
            answer = messenger.confirm(QStringLiteral("segundo"));
        });
        QVERIFY(work.isRunning());
        QVERIFY(finished.wait(15000));
        QVERIFY(!work.isRunning());
        QVERIFY(worker && worker != window.thread());
        QVERIFY(connection != m_db->connectionName());
        QCOMPARE(m_db->scalar("SELECT count(*) FROM CONTROLE WHERE NumeroRemessa = '2026120199'").toInt(), 1);
        QCOMPARE(onWindowThread, QList<bool>{true});
        QCOMPARE(m_msg.texts(), (QStringList{"primeiro", "segundo"}));
        QVERIFY(answer);
        work.rethrow(); // nothing raised

        work.start([](Database &, Messenger &) { throw AppError(QStringLiteral("falhou no trabalho")); });
        QVERIFY(finished.wait(15000));
        try {
            work.rethrow();
            QFAIL("the failure was lost");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("falhou no trabalho"));
        }
        work.rethrow(); // handed back once
    }

    void interruptingThePreparationWindow()
    {
        RemessaPreparation::Settings s;
        s.transferDir = RemessaControl::workingValues(*m_db).transferDir;
        s.acronym = QStringLiteral("OC");
        s.currentNumber = QStringLiteral("0000000000");
        TFrmNovaRemessa prep(*m_db, m_msg, s);
        prep.show();
        // Pressed while the worker runs: it stops before the next table.
        prep.startPreparation();
        QVERIFY(prep.running());
        prep.findChild<QPushButton *>(QStringLiteral("BtInterrompe"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!prep.running(), 30000);
        QCOMPARE(prep.findChild<QLineEdit *>(QStringLiteral("EdResultado"))->text(),
                 QStringLiteral("Preparação Interrompida pelo Usuário."));
        QVERIFY(prep.findChild<QPushButton *>(QStringLiteral("BtInicio"))->isVisibleTo(&prep));
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM CONTROLE")).toInt(), 0);
    }
};

QTEST_MAIN(TestRemessaWindows)
#include "test_remessawindows.moc"
