// The shell's approval page, driven as a user would.
#include "app/tfrmcapasistema.h"
#include "base/errorlog.h"
#include "db/database.h"
#include "maintenance/certificates/certificateapproval.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"
#include "support/writefailure.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

struct Shell
{
    TestHome home;
    ScriptedMessenger msg;
    ProgramDatabase capa;
    std::unique_ptr<TFrmCapaSistema> frm;

    explicit Shell(bool approvalRight = true)
    {
        frm = std::make_unique<TFrmCapaSistema>(msg);
        frm->attachDatabase(capa);
        frm->setLoginPrompt([approvalRight]() -> std::optional<LoginState> {
            LoginState s;
            s.userCode = "maria";
            s.certifier = "OCT";
            s.rights = Rights{true, true, true, true, true, true, approvalRight};
            return s;
        });
        frm->setTerminate([] {});
        if (!QTest::qWaitFor([this] { return !frm->findChild<QTimer *>("Timer1")->isActive(); }, 3000))
            qFatal("the shell did not finish starting");
        for (const char *num : {"C-1", "C-2", "C'3"})
            certificate(num, true, false);
        certificate("INCOMPLETO", false, false);
        certificate("APROVADO", true, true);
        // Approved and accepted by the regulator since.
        db().execute("insert into REP_CERTIFIC (SiglaCertificador, NumCertif) values ('OCT', 'APROVADO')");
        msg.clear();
    }
    Database &db() { return capa.database(); }
    void certificate(const QString &num, bool completo, bool aprovado)
    {
        db().execute("insert into CERTIFIC (SiglaCertificador, NumCertif, StatusCertificado, Completo, Aprovado) "
                     "values ('OCT', ?, 'A', ?, ?)",
                     {num, completo ? 1 : 0, aprovado ? 1 : 0});
    }
    int count(const QString &table, const QString &where)
    {
        return db().scalar("select count(*) from " + table + " where " + where).toInt();
    }
    template <typename T> T *child(const char *name) { return ::child<T>(frm.get(), name); }
    QTableView *grid() { return child<QTableView>("DBGrid24"); }
    QStringList listed()
    {
        QStringList out;
        for (int r = 0; r < grid()->model()->rowCount(); ++r)
            out << grid()->model()->index(r, 1).data().toString();
        return out;
    }
    void select(const QList<int> &rows)
    {
        grid()->clearSelection();
        for (int r : rows)
            grid()->selectionModel()->select(grid()->model()->index(r, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

}

class TestAprovaCertificadosPage : public QObject
{
    Q_OBJECT

private slots:
    void opensOnTheCandidates()
    {
        Shell s;
        s.child<QAction>("mniAprovaCertificados")->trigger();
        QCOMPARE(s.frm->currentPage(), QString("AprovaCertificados"));
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::PageMode);
        QVERIFY(s.msg.messages.isEmpty());
        QCOMPARE(s.listed(), QStringList({"C'3", "C-1", "C-2"}));
        QCOMPARE(s.grid()->model()->headerData(0, Qt::Horizontal).toString(), QString("Sigla do Certificador"));
        QCOMPARE(s.grid()->model()->headerData(1, Qt::Horizontal).toString(), QString("Número do Certificado"));
        QVERIFY(s.grid()->isColumnHidden(2) && s.grid()->isColumnHidden(3));
        QCOMPARE(s.grid()->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(s.child<QPushButton>("BitBtn9")->isDefault());
        QVERIFY(!s.child<QToolButton>("spbManBaseDados")->isEnabled()); // page mode

        s.child<QPushButton>("BitBtn17")->click();
        QCOMPARE(s.frm->currentPage(), QString("Principal"));
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::Ready);
    }

    // Marked approved while the regulator cannot hold it (as an import of
    // another file leaves it): listed, as by the batch tool, and approving
    // it writes its event.
    void approvedWithoutEventIsListed()
    {
        Shell s;
        s.certificate("SEM-EVENTO", true, true);
        s.child<QAction>("mniAprovaCertificados")->trigger();
        QCOMPARE(s.listed(), QStringList({"C'3", "C-1", "C-2", "SEM-EVENTO"}));
        s.select({3});
        s.child<QPushButton>("BitBtn9")->click();
        QCOMPARE(s.count("STATUS_C", "NumCertif = 'SEM-EVENTO' and Evento = 'APR'"), 1);
        QCOMPARE(s.listed(), QStringList({"C'3", "C-1", "C-2"}));
    }

    void approvesTheSelectedRows()
    {
        Shell s;
        s.child<QToolButton>("spbAprovaCertificados")->click();
        // Nothing selected: nothing happens.
        s.select({});
        s.child<QPushButton>("BitBtn9")->click();
        QCOMPARE(s.count("STATUS_C", "1 = 1"), 0);
        QCOMPARE(s.listed().size(), 3);

        s.select({2, 0});
        s.child<QPushButton>("BitBtn9")->click();
        QVERIFY(s.msg.messages.isEmpty());
        QCOMPARE(s.listed(), QStringList({"C-1"}));
        QCOMPARE(s.count("CERTIFIC", "Aprovado = 1 and NumCertif in ('C''3', 'C-2')"), 2);
        QCOMPARE(s.count("STATUS_C", "Evento = 'APR' and UsuResp = 'maria'"), 2);
        QCOMPARE(s.db().scalar("select NumCertif from STATUS_C where SeqEvento = 1").toString(), QString("C'3"));

        s.select({0});
        s.child<QPushButton>("BitBtn9")->click();
        QVERIFY(s.listed().isEmpty());
        QCOMPARE(s.db().scalar("select max(SeqEvento) from STATUS_C").toInt(), 3);
        QCOMPARE(s.count("CERTIFIC", "NumCertif = 'INCOMPLETO' and Aprovado = 0"), 1);
    }

    // A failed event write fails the whole approval.
    void aFailedEventWriteApprovesNothing()
    {
        Shell s;
        WriteFailure::arm(s.db(), "STATUS_C", WriteFailure::On::Insert, "new.NumCertif = 'C-2'", "disco cheio");
        s.child<QToolButton>("spbAprovaCertificados")->click();
        s.select({0, 1, 2});
        s.child<QPushButton>("BitBtn9")->click();
        QCOMPARE(s.msg.messages.size(), 1);
        QCOMPARE(s.msg.lastKind(), ScriptedMessenger::Error);
        QCOMPARE(s.msg.lastText(), CertificateApproval::ErrorText);
        QCOMPARE(s.msg.lastText(), QString("Erro na aprovação de certificados !!! As alterações não foram efetuadas."));
        QCOMPARE(s.msg.lastCaption(), QString("Erro"));
        QCOMPARE(s.count("CERTIFIC", "Aprovado = 1"), 1);
        QCOMPARE(s.count("STATUS_C", "1 = 1"), 0);
        QCOMPARE(s.listed().size(), 3);
        QFile log(ErrorLog::fileName());
        QVERIFY(log.open(QIODevice::ReadOnly) && QString::fromUtf8(log.readAll()).contains("disco cheio"));
        QCOMPARE(s.frm->state(), TFrmCapaSistema::State::PageMode);

        // A full event table is named, with its limit.
        WriteFailure::disarm(s.db(), "STATUS_C", WriteFailure::On::Insert);
        s.db().execute(
            "insert into STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento) values ('OCT', 'X', 32767, 'INC')");
        s.msg.clear();
        s.select({0});
        s.child<QPushButton>("BitBtn9")->click();
        QCOMPARE(
            s.msg.texts(),
            QStringList{"A tabela STATUS_C atingiu o número máximo de eventos (32767). O evento não foi gravado."});
        QCOMPARE(s.msg.lastCaption(), QString("Erro"));
        QCOMPARE(s.count("CERTIFIC", "Aprovado = 1"), 1);
        QCOMPARE(s.count("STATUS_C", "1 = 1"), 1);
        QCOMPARE(s.listed().size(), 3);
    }

    void unreachableWithoutTheRight()
    {
        Shell s(false);
        QVERIFY(!s.child<QToolButton>("spbAprovaCertificados")->isEnabled());
        QVERIFY(!s.child<QAction>("mniAprovaCertificados")->isEnabled());
        QVERIFY(s.child<QToolButton>("spbManBaseDados")->isEnabled());
    }
};

QTEST_MAIN(TestAprovaCertificadosPage)
#include "test_aprovacertificadospage.moc"
