#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/certificates/certificateapproval.h"
#include "register/statusevents.h"
#include "support/testdb.h"
#include "support/testhome.h"
#include "support/writefailure.h"

#include <QSqlQuery>
#include <QThread>
#include <QtTest>
#include <atomic>

using namespace CertificateApproval;

class TestCertificateApproval : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;

    void certificate(const QString &num, bool completo, bool aprovado, const QString &status = QStringLiteral("A"))
    {
        m_db->execute("insert into CERTIFIC (SiglaCertificador, NumCertif, StatusCertificado, DthStatusCertificado, "
                      "Completo, Aprovado) values ('OCT', ?, ?, ?, ?, ?)",
                      {num, status, QDateTime(QDate(2025, 1, 2), QTime(0, 0)), completo ? 1 : 0, aprovado ? 1 : 0});
    }
    int count(const QString &table, const QString &where)
    {
        return m_db->scalar("select count(*) from " + table + " where " + where).toInt();
    }
    static QList<CertificateKey> keys(const QStringList &numbers)
    {
        QList<CertificateKey> out;
        for (const QString &n : numbers)
            out.append({QStringLiteral("OCT"), n});
        return out;
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        m_db = std::make_unique<Database>();
        m_home->open(*m_db);
        certificate("C-1", true, false);
        certificate("C-2", true, false, "S");
        certificate("O'Neil", true, false);
        certificate("INCOMPLETO", false, false);
        certificate("INCOMPLETO-APROVADO", false, true);
        certificate("JA-APROVADO", true, true);
        // Approved and accepted by the regulator since.
        m_db->execute("insert into REP_CERTIFIC (SiglaCertificador, NumCertif) values ('OCT', 'JA-APROVADO')");
    }
    void cleanup()
    {
        m_db.reset();
        m_home.reset();
    }

    void listsCompleteCertificatesNotApproved()
    {
        QStringList listed;
        for (const Candidate &c : candidates(*m_db))
            listed << c.numCertif;
        QCOMPARE(listed, QStringList({"C-1", "C-2", "O'Neil"}));
        QStringList missing;
        const QList<CertificateKey> found = candidatesByNumber(
            *m_db, {"c-1", "INCOMPLETO", "JA-APROVADO", "O'Neil", "NAO-EXISTE"}, &missing);
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(0).numero, QString("C-1"));
        QCOMPARE(missing, QStringList({"INCOMPLETO", "JA-APROVADO", "NAO-EXISTE"}));
    }

    void approvingThreeWritesThreeConsecutiveEvents()
    {
        StatusEvents::Event inc;
        inc.key = StatusEvents::certificateKey("OCT", "C-1");
        inc.evento = "INC";
        inc.status = "A";
        inc.user = "admin";
        StatusEvents::insert(*m_db, StatusEvents::Table::Status_C, inc); // SeqEvento 1

        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const QList<Approval> done = approve(*m_db, keys({"C-1", "C-2", "O'Neil", "c-1"}), "admin");
        QCOMPARE(done.size(), 3);
        QCOMPARE(done.at(0).seqEvento, 2);
        QCOMPARE(done.at(1).seqEvento, 3);
        QCOMPARE(done.at(2).seqEvento, 4);
        QCOMPARE(done.at(2).numCertif, QString("O'Neil"));
        QVERIFY(candidates(*m_db).isEmpty());
        QCOMPARE(count("CERTIFIC", "Aprovado = 1"), 5);
        QCOMPARE(count("STATUS_C", "Evento = 'APR'"), 3);

        QSqlQuery q = m_db->exec("select NumCertif, Justificativa, HistoricoSis, StatusCertificado, "
                                 "DthStatusCertificado, DthUltAtualiz, UsuResp from STATUS_C where Evento = 'APR' "
                                 "order by SeqEvento");
        QStringList statuses;
        while (q.next()) {
            QCOMPARE(q.value(1).toString(), QString("Historico gerado pelo sistema"));
            QCOMPARE(q.value(2).toString(), QString("2"));
            QVERIFY(q.value(4).toDateTime() >= before);
            QCOMPARE(q.value(5).toDateTime(), q.value(4).toDateTime());
            QCOMPARE(q.value(6).toString(), QString("admin"));
            statuses << q.value(3).toString();
        }
        QCOMPARE(statuses, QStringList({"A", "S", "A"})); // the status is recorded, not changed
        QCOMPARE(count("CERTIFIC", "NumCertif = 'C-2' and StatusCertificado = 'S'"), 1);
        QCOMPARE(StatusEvents::lastApprovalTime(*m_db, "OCT", "C-2"),
                 m_db->scalar("select DthUltAtualiz from STATUS_C where SeqEvento = 3").toDateTime());
    }

    void nothingGivenChangesNothing()
    {
        QVERIFY(approve(*m_db, {}, "admin").isEmpty());
        QCOMPARE(count("STATUS_C", "1 = 1"), 0);
        QCOMPARE(count("CERTIFIC", "Aprovado = 1"), 2);
    }

    // Every failure leaves every certificate of the selection unapproved.
    void aFailureApprovesNothing()
    {
        try {
            approve(*m_db, keys({"C-1", "INCOMPLETO", "JA-APROVADO", "NAO-EXISTE", "C-2"}), "admin");
            QFAIL("non-candidates were approved");
        } catch (const NotCandidates &e) {
            QCOMPARE(e.keys().size(), 3);
            QCOMPARE(e.keys().at(2).numero, QString("NAO-EXISTE"));
        }
        QCOMPARE(count("CERTIFIC", "Aprovado = 1"), 2);
        QCOMPARE(count("STATUS_C", "1 = 1"), 0);

        // The event of the third certificate cannot be written.
        WriteFailure::arm(*m_db, "STATUS_C", WriteFailure::On::Insert, "new.NumCertif = 'O''Neil'",
                          "falha de gravação");
        QVERIFY_THROWS_EXCEPTION(DbError, approve(*m_db, keys({"C-1", "C-2", "O'Neil"}), "admin"));
        QCOMPARE(count("CERTIFIC", "Aprovado = 1"), 2);
        QCOMPARE(count("STATUS_C", "1 = 1"), 0);
        QVERIFY(!m_db->inTransaction());
        WriteFailure::disarm(*m_db, "STATUS_C", WriteFailure::On::Insert);

        // A full event table.
        m_db->execute(
            "insert into STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento) values ('OCT', 'X', 32766, 'INC')");
        QVERIFY_THROWS_EXCEPTION(StatusEvents::SeqEventoEsgotado, approve(*m_db, keys({"C-1", "C-2"}), "admin"));
        QCOMPARE(count("CERTIFIC", "Aprovado = 1"), 2);
        QCOMPARE(count("STATUS_C", "1 = 1"), 1);
        QCOMPARE(approve(*m_db, keys({"C-2"}), "admin").first().seqEvento, 32767);
    }

    // Another workstation edits the same two certificates in the opposite
    // order: the server ends the approval in a deadlock (40P01), and the
    // approval runs again whole, each certificate approved with one event.
    void aDeadlockedApprovalRunsAgain()
    {
        if (!TestDb::onServer())
            QSKIP("a file has one writer at a time: its writers wait for each other and never collide");
        const ServerAddress server = m_db->server();
        std::atomic<int> stage{0};
        QString otherFailure;
        QThread *other = QThread::create([&] {
            try {
                Database c(QStringLiteral("outro-posto"));
                c.connectServer(server);
                // The approval is the one that finds the deadlock and is undone.
                c.execute(QStringLiteral("SET deadlock_timeout = '10s'"));
                Transaction tx(c);
                c.execute(QStringLiteral("UPDATE CERTIFIC SET Observacoes = 'outro posto' WHERE NumCertif = 'C-2'"));
                stage = 1;
                QThread::msleep(400); // the approval holds C-1 and waits for C-2 by now
                c.execute(QStringLiteral("UPDATE CERTIFIC SET Observacoes = 'outro posto' WHERE NumCertif = 'C-1'"));
                tx.commit();
            } catch (const DbError &e) {
                otherFailure = e.message();
            }
        });
        other->start();
        QTRY_COMPARE(stage.load(), 1);
        const QList<Approval> done = approve(*m_db, keys({"C-1", "C-2"}), "admin");
        QVERIFY(other->wait(20000));
        delete other;
        QCOMPARE(otherFailure, QString());
        QCOMPARE(done.size(), 2);
        QCOMPARE(done.at(0).seqEvento, 1);
        QCOMPARE(done.at(1).seqEvento, 2);
        QCOMPARE(count("STATUS_C", "Evento = 'APR'"), 2);
        QCOMPARE(count("CERTIFIC", "NumCertif in ('C-1', 'C-2') and Aprovado = 1 and Observacoes = 'outro posto'"), 2);
        QVERIFY(!m_db->inTransaction());
    }

    // Marked approved while the regulator cannot hold it (no "APR" event, no
    // replica row, not imported): still to be approved, on the page's list
    // and the batch tool's alike. Held any of those ways, it is not.
    void approvedWithoutBeingHeldIsStillToApprove()
    {
        auto numbers = [this] {
            QStringList out;
            for (const Candidate &c : candidates(*m_db))
                out << c.numCertif;
            return out;
        };
        for (const char *num : {"SEM-EVENTO", "COM-EVENTO", "IMPORTADO"})
            certificate(QLatin1String(num), true, true);
        StatusEvents::Event apr;
        apr.key = StatusEvents::certificateKey("OCT", "COM-EVENTO");
        apr.evento = "APR";
        apr.status = "A";
        apr.user = "admin";
        StatusEvents::insert(*m_db, StatusEvents::Table::Status_C, apr);
        m_db->execute("insert into ITEM_IMPORTADO (NomeTabela, SiglaCertificador, NumCertif, CodigoPais, IdEmpresa, "
                      "MarcaProd, ModeloProd, Importado, NumLote, NumSerieProd, IdClasseServ) "
                      "values ('LOTE', 'OCT', 'importado', '', '', 'M', 'X', 0, 'L1', '', 0)");
        // Another event of the certificate, or an APR of another one, does not count.
        apr.evento = "ALT";
        apr.key = StatusEvents::certificateKey("OCT", "SEM-EVENTO");
        StatusEvents::insert(*m_db, StatusEvents::Table::Status_C, apr);

        QCOMPARE(numbers(), QStringList({"C-1", "C-2", "O'Neil", "SEM-EVENTO"}));
        QSqlQuery page = m_db->exec(candidatesSql());
        QStringList listed;
        while (page.next())
            listed << page.value(1).toString();
        QCOMPARE(listed, numbers());
        QStringList missing;
        QCOMPARE(candidatesByNumber(*m_db, {"sem-evento", "COM-EVENTO", "IMPORTADO", "JA-APROVADO"}, &missing).size(),
                 1);
        QCOMPARE(missing, QStringList({"COM-EVENTO", "IMPORTADO", "JA-APROVADO"}));

        QVERIFY_THROWS_EXCEPTION(NotCandidates, approve(*m_db, keys({"SEM-EVENTO", "IMPORTADO"}), "admin"));
        QCOMPARE(count("STATUS_C", "NumCertif = 'SEM-EVENTO' and Evento = 'APR'"), 0);
        const QList<Approval> done = approve(*m_db, keys({"SEM-EVENTO"}), "admin");
        QCOMPARE(done.size(), 1);
        QCOMPARE(count("STATUS_C", "NumCertif = 'SEM-EVENTO' and Evento = 'APR'"), 1);
        QCOMPARE(count("CERTIFIC", "NumCertif = 'SEM-EVENTO' and Aprovado = 1"), 1);
        // Once it has its event, it is approved like any other.
        QVERIFY(!numbers().contains("SEM-EVENTO"));
        QVERIFY_THROWS_EXCEPTION(NotCandidates, approve(*m_db, keys({"SEM-EVENTO"}), "admin"));
        QVERIFY_THROWS_EXCEPTION(NotCandidates, approve(*m_db, keys({"INCOMPLETO-APROVADO"}), "admin"));
        QCOMPARE(count("STATUS_C", "Evento = 'APR'"), 2);
    }
};

QTEST_GUILESS_MAIN(TestCertificateApproval)
#include "test_certificateapproval.moc"
