// The remittance event log: list rebuild, the steps each state offers,
// cancellation, clearing the history, and the batch subcommands.
#include "base/fileutil.h"
#include "db/database.h"
#include "remessa/registerstep.h"
#include "remessa/remessacontrol.h"
#include "remessa/transferdelivery.h"
#include "support/clirun.h"
#include "support/testhome.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QtTest>

using namespace RemessaControl;

class TestControl : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;

    void event(const QString &number, const QString &type, const QString &ev, const QString &at)
    {
        m_db->execute(
            QStringLiteral("INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento, Usuario) "
                           "VALUES (?, ?, ?, ?, 'Fulano')"),
            {QDateTime::fromString(at, Qt::ISODate), number, type, ev});
    }
    static Remittance waiting(const QString &number)
    {
        Remittance r;
        r.number = number;
        r.type = QStringLiteral("C");
        return r;
    }

    int rows(const QString &where = QStringLiteral("1 = 1"))
    {
        return m_db->scalar("SELECT count(*) FROM CONTROLE WHERE " + where).toInt();
    }

    CliRun::Result cli(const QStringList &args)
    {
        return CliRun::run(QStringList{"remessa"} + args + CliRun::signedIn(m_home->dir()));
    }

private slots:
    void init()
    {
        m_db.reset();
        m_home = std::make_unique<TestHome>(true);
        m_db = std::make_unique<Database>(QStringLiteral("control-test"));
        m_home->open(*m_db);
    }
    void cleanup()
    {
        m_db.reset();
        m_home.reset();
    }

    void listGroupsRunsOfTheTimeOrderedLog()
    {
        QVERIFY(remittances(*m_db).isEmpty());
        QVERIFY(allowedNow(std::nullopt).prepare);
        QVERIFY(!allowedNow(std::nullopt).cancel);
        event("2026010101", "C", "PR", "2026-01-01T10:00:00");
        event("2026010101", "C", "TR", "2026-01-01T11:00:00");
        event("2026010102", "T", "PR", "2026-01-01T12:00:00");
        event("2026010101", "C", "NO", "2026-01-01T13:00:00"); // interleaved
        const QList<Remittance> list = rebuild(*m_db);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(0).number, QStringLiteral("2026010101"));
        QCOMPARE(list.at(0).status, QStringLiteral("Finalizada"));
        QVERIFY(list.at(0).newest);
        QCOMPARE(list.at(1).number, QStringLiteral("2026010102"));
        QCOMPARE(list.at(1).status, QStringLiteral("Aguardando Transferência"));
        QCOMPARE(list.at(2).event, QStringLiteral("TR"));
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Controle_Temp WHERE Ultima = 'S'").toInt(), 1);
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Controle_Temp").toInt(), 3);
        QCOMPARE(eventDescription("XX"), QString());
        QCOMPARE(eventDescription("TR"), QStringLiteral("Enviada para o Quelora"));
        QCOMPARE(packageName("T", "OCX", "2026010102"), QStringLiteral("OT-OCX2026010102.zip"));
        QVERIFY(packageName("Z", "OCX", "1").isEmpty());
    }

    void stepsOfferedByTheNewestState()
    {
        Remittance r;
        r.newest = true;
        r.event = "PR";
        Offer o = offered(&r, false);
        QVERIFY(o.transfer && o.cancel && !o.prepare && !o.receive);
        r.event = "TR";
        o = offered(&r, false);
        QVERIFY(o.receive && !o.cancel && !o.transfer && !o.prepare);
        for (const char *done : {"OK", "NO"}) {
            r.event = QLatin1String(done);
            o = offered(&r, false);
            QVERIFY(o.prepare && !o.cancel && !o.transfer && !o.receive);
        }
        r.newest = false;
        r.event = "PR";
        o = offered(&r, false);
        QVERIFY(!o.prepare && !o.cancel && !o.transfer && !o.receive);
        r.newest = true;
        QVERIFY(refusal(Step::Prepare, r).contains(QStringLiteral("aguarda transferência")));
        QVERIFY(refusal(Step::Cancel, r).isEmpty());
        r.event = "TR";
        QVERIFY(refusal(Step::Cancel, r).contains(QStringLiteral("não pode ser cancelada")));
        QVERIFY(!refusal(Step::Cancel, std::nullopt).isEmpty());
    }

    void cancelWritesNoAndRemovesThePackages()
    {
        const WorkingValues w = workingValues(*m_db);
        event("2026010101", "C", "PR", "2026-01-01T10:00:00");
        const QString zip = QDir(w.transferDir).filePath(packageName("C", w.acronym, "2026010101"));
        QFile f(zip);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        cancel(*m_db, *newest(*m_db), QStringLiteral("Fulano"), w.transferDir, w.acronym);
        QVERIFY(!QFileInfo::exists(zip));
        const auto ev = events(*m_db, "2026010101");
        QCOMPARE(ev.at(0).event, QStringLiteral("NO"));
        QCOMPARE(ev.at(0).remark, QStringLiteral("Remessa Cancelada pelo Usuário"));
        QCOMPARE(ev.at(0).type, QStringLiteral("C"));
        // The file already gone: only the row.
        event("2026010102", "C", "PR", QDateTime::currentDateTime().addSecs(5).toString(Qt::ISODate));
        cancel(*m_db, *newest(*m_db), QStringLiteral("Fulano"), w.transferDir, w.acronym);
        QCOMPARE(rows("NumeroRemessa = '2026010102' AND Evento = 'NO'"), 1);
    }

    void clearingKeepsTheUnfinishedNewestWhateverIsSelected()
    {
        event("2026010101", "C", "PR", "2026-01-01T10:00:00");
        event("2026010101", "C", "OK", "2026-01-01T11:00:00");
        event("2026010102", "C", "PR", "2026-01-02T10:00:00");
        event("2026010102", "C", "TR", "2026-01-02T11:00:00");
        // The older remittance selected: its rows are kept, and the newest's too.
        clearHistory(*m_db, "2026010101");
        QCOMPARE(rows(), 4);
        // Nothing selected to keep: the unfinished newest still stays.
        clearHistory(*m_db, QString());
        QCOMPARE(rows(), 2);
        QCOMPARE(rows("NumeroRemessa = '2026010102'"), 2);
        // Finished: everything goes.
        event("2026010102", "C", "OK", "2026-01-02T12:00:00");
        clearHistory(*m_db, QString());
        QCOMPARE(rows(), 0);
    }

    void aNumberIsNeverGivenTwiceAfterClearing()
    {
        const QString today = FileUtil::dateStamp();
        // A register of an earlier version: no kept number, the log tells it.
        QVERIFY(!m_db->tableExists("CONTROLE_NUMERO"));
        event(today + "07", "C", "PR", QDateTime::currentDateTime().addSecs(-60).toString(Qt::ISODate));
        QCOMPARE(lastNumber(*m_db), today + "07");
        m_db->execute("DELETE FROM CONTROLE");

        CliRun::Result r = cli({"preparar"});
        QVERIFY2(r.code == 0 && r.out.contains(today + "01"), qPrintable(r.out + r.err));
        m_db->execute(
            "INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento) VALUES (?, ?, 'C', 'TR')",
            {QDateTime::currentDateTime().addSecs(1), today + "01"});
        m_db->execute(
            "INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento) VALUES (?, ?, 'C', 'OK')",
            {QDateTime::currentDateTime().addSecs(2), today + "01"});
        r = cli({"limpar-historico"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.contains(QStringLiteral("Histórico de remessas limpo.")));
        QCOMPARE(rows(), 0);
        QCOMPARE(lastNumber(*m_db), today + "01");

        // The accepted number is not reused, by the batch tool or the service.
        r = cli({"preparar"});
        QVERIFY2(r.code == 0 && r.out.contains(today + "02"), qPrintable(r.out + r.err));
        // Waiting for transfer: clearing keeps it, without a question.
        r = cli({"limpar-historico"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("Mantida a remessa " + today + "02"));
        QCOMPARE(rows(), 1);
        cancel(*m_db, *newest(*m_db), "Fulano", workingValues(*m_db).transferDir, workingValues(*m_db).acronym);
        clearHistory(*m_db, QString());
        QCOMPARE(rows(), 0);
        r = cli({"preparar"});
        QVERIFY2(r.code == 0 && r.out.contains(today + "03"), qPrintable(r.out + r.err));
    }

    void aTransferInProgressHoldsTheRegister()
    {
        const WorkingValues w = workingValues(*m_db);
        const QString number = FileUtil::dateStamp() + "01";
        event(number, "C", "PR", QDateTime::currentDateTime().addSecs(-10).toString(Qt::ISODate));
        const QString zip = QDir(w.transferDir).filePath(packageName("C", w.acronym, number));
        QFile f(zip);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();

        {
            // This process sends; another program tries to cancel.
            TransferDelivery::Delivery sending(*m_db, packageName("C", w.acronym, number), waiting(number));
            QCOMPARE(sending.begin(), QString());
            QElapsedTimer waited;
            waited.start();
            CliRun::Result r = cli({"cancelar"});
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(QStringLiteral("Outra operação (Transferência) está em andamento")),
                     qPrintable(r.err));
            QVERIFY(waited.elapsed() >= RegisterStep::WaitMs - 500);
            QVERIFY(QFileInfo::exists(zip));
            QCOMPARE(rows(), 1);
            QVERIFY(sending.delivered("admin", "Fulano", QString()));
        }
        QCOMPARE(newest(*m_db)->event, QStringLiteral("TR"));
        QVERIFY(!RegisterStep::holder(*m_db));
        // Recorded already: a late delivery of a stale list is refused.
        TransferDelivery::Delivery late(*m_db, packageName("C", w.acronym, number), waiting(number));
        QVERIFY(late.begin().contains(QStringLiteral("não há arquivo a transferir")));
        QCOMPARE(rows("Evento = 'TR'"), 1);
    }

    void abandonedMarkersAreTakenOver()
    {
        const WorkingValues w = workingValues(*m_db);
        const QString number = FileUtil::dateStamp() + "01";
        event(number, "C", "PR", QDateTime::currentDateTime().addSecs(-10).toString(Qt::ISODate));
        RegisterStep::Marker probe(*m_db, "x");
        probe.take(); // creates the table
        probe.release();
        auto mark = [&](const QString &host, qint64 pid, int secondsAgo) {
            m_db->execute(
                "INSERT INTO CONTROLE_ETAPA (Recurso, Etapa, Dono, Maquina, Processo, Inicio) "
                "VALUES ('REMESSA', 'Transferência', 'outro', ?, ?, ?) ON CONFLICT (Recurso) DO UPDATE SET "
                "Maquina = excluded.Maquina, Processo = excluded.Processo, Inicio = excluded.Inicio",
                {host, pid, QDateTime::currentDateTimeUtc().addSecs(-secondsAgo).toString(Qt::ISODateWithMs)});
        };
        auto refusedNow = [&]() -> QString {
            Transaction t(*m_db);
            try {
                RegisterStep::enter(*m_db);
            } catch (const RegisterStep::Refused &e) {
                return e.message();
            }
            t.commit();
            return QString();
        };
        // Another workstation, recently: alive as far as anyone can tell.
        mark("outra-estacao", 1, 60);
        QVERIFY(refusedNow().contains(QStringLiteral("outra-estacao, processo 1")));
        // The same one long ago: abandoned.
        mark("outra-estacao", 1, RegisterStep::AbandonedAfterSecs + 60);
        QVERIFY(refusedNow().isEmpty());
        QVERIFY(!RegisterStep::holder(*m_db));

        // A process of this machine that is gone: the batch tool takes over
        // and the error log says so.
        QProcess gone;
        gone.start(QStringLiteral(CORVANE_CLI_PATH), {"--version"});
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        gone.waitForFinished();
        mark(QSysInfo::machineHostName(), pid, 5);
        CliRun::Result r = cli({"cancelar"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(newest(*m_db)->event, QStringLiteral("NO"));
        QString logged;
        QDirIterator it(m_home->dir(), {"*LOGERROS*"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile log(it.next());
            QVERIFY(log.open(QIODevice::ReadOnly));
            logged += QString::fromUtf8(log.readAll());
        }
        QVERIFY2(logged.contains(QStringLiteral("retomada")) && logged.contains(QString::number(pid)),
                 qPrintable(logged));
    }

    void batchStepsFollowTheWindowsRule()
    {
        // Start from "everything accepted" except one approved certificate.
        CliRun::Result r = cli({"listar"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(QStringLiteral("Nenhuma remessa registrada.")));
        r = cli({"cancelar"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("Não há remessa")));

        r = cli({"preparar"});
        QCOMPARE(r.code, 0);
        const QString number = FileUtil::dateStamp() + QStringLiteral("01");
        QVERIFY2(r.out.contains(number), qPrintable(r.out + r.err));
        const QString zip = r.out.trimmed().split('\n').last();
        QVERIFY2(QFileInfo::exists(zip), qPrintable(zip));
        QVERIFY(QFileInfo(zip).fileName().startsWith(QStringLiteral("OC-")));

        // Prepared: no second preparation, nothing written.
        r = cli({"preparar", "--completa"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("aguarda transferência")));
        QCOMPARE(rows(), 1);

        r = cli({"listar"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(number));
        QVERIFY(r.out.contains(QStringLiteral("Aguardando Transferência")));
        QVERIFY(r.out.contains(QStringLiteral("Remessa Preparada")));

        r = cli({"cancelar"});
        QCOMPARE(r.code, 0);
        QVERIFY(!QFileInfo::exists(zip));
        QCOMPARE(rows("Evento = 'NO'"), 1);
        r = cli({"cancelar"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("já foi finalizada")));

        // Waiting for the result: cancel refused.
        m_db->execute(
            "INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento) VALUES (?, ?, 'C', 'PR')",
            {QDateTime::currentDateTime().addSecs(1), number.left(8) + "02"});
        m_db->execute(
            "INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento) VALUES (?, ?, 'C', 'TR')",
            {QDateTime::currentDateTime().addSecs(2), number.left(8) + "02"});
        const int before = rows();
        r = cli({"cancelar"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("aguarda o resultado")));
        QCOMPARE(rows(), before);

        // Finished and nothing to send.
        m_db->execute(
            "INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento) VALUES (?, ?, 'C', 'NO')",
            {QDateTime::currentDateTime().addSecs(3), number.left(8) + "02"});
        m_db->execute("UPDATE CERTIFIC SET Aprovado = 0");
        for (const char *t : {"CONFIG_LOCAL", "SIGNATARIOS", "USU_LOCAL"})
            m_db->execute(QStringLiteral("INSERT INTO REP_%1 SELECT * FROM %1").arg(QLatin1String(t)));
        r = cli({"preparar"});
        QCOMPARE(r.code, 3);
        QVERIFY(r.out.contains(QStringLiteral("Nenhuma tabela nova foi criada!")));
        QCOMPARE(rows(), before + 1);

        QCOMPARE(cli({"preparar", "demais"}).code, 2);
    }
};

QTEST_GUILESS_MAIN(TestControl)
#include "test_control.moc"
