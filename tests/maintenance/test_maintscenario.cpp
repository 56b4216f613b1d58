// A user's way through the maintenance window: log in, open it from the
// shell, register a certificate, suspend it with a justification, reactivate
// it, open it again through the selection dialog, save it once its company,
// product and document are there, approve it on the shell's page; then the
// rows written.
// With CORVANE_SHOTS set to a folder, the panels are saved there as PNG.
#include "app/tfrmcapasistema.h"
#include "maintenance/certificates/ui/novocertificadopanel.h"
#include "maintenance/certificates/ui/tfrmjustificativa.h"
#include "maintenance/certificates/ui/tfrmselecionacertificado.h"
#include "maintenance/ui/tformprincipal.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"
#include "support/whenmodal.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

namespace {

void shot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("CORVANE_SHOTS");
    if (dir.isEmpty())
        return;
    QTest::qWait(50); // pending layouts settle as they would on screen
    w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void typeInto(QWidget *w, const char *name, const QString &text)
{
    auto *e = child<QLineEdit>(w, name);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
}

void pick(QWidget *w, const char *name, int index)
{
    auto *c = child<QComboBox>(w, name);
    c->setCurrentIndex(index);
    emit c->activated(index);
}

// The justification dialog answered as a user would.
void justify(const QString &reason, const QString &shotName = QString())
{
    whenModal<TFrmJustificativa>([reason, shotName](TFrmJustificativa *d) {
        typeInto(d, "Edit1", reason);
        if (!shotName.isEmpty())
            shot(d, shotName);
        child<QPushButton>(d, "BtOK")->click();
    });
}

// What the company, product and document windows would have attached to
// the certificate: one company, one product type of it, one normative
// document of the certificate's classes on that type.
void attachItems(Database &db, const QString &numero, const QDate &entry)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime at(entry, QTime(0, 0));
    QSqlQuery c = db.exec("SELECT SiglaCertificador, IdClasseCertif, IdClasseProd FROM CERTIFIC WHERE NumCertif = ?",
                          {numero});
    if (!c.next())
        qFatal("certificate not saved");
    const QString sigla = c.value(0).toString();
    const QVariant certClass = c.value(1), prodClass = c.value(2);
    c.finish();
    const QVariant doc = db.scalar("SELECT min(IdDocNorm) FROM DOC_NORMATIVOS WHERE IdClasseCertif = ? AND "
                                   "IdClasseProd = ?",
                                   {certClass, prodClass});
    if (doc.isNull())
        qFatal("no normative document of the chosen classes");
    db.execute("INSERT INTO EMPRESA (CodigoPais, IdEmpresa, CGC, RazSocialEmp, TipoPessoa, DthUltAtualiz, UsuResp) "
               "VALUES ('AR', 'Fabrica Cenario SA', NULL, 'Fabrica Cenario SA', '1', ?, 'admin')",
               {now});
    db.execute("INSERT INTO EMP_CERT (SiglaCertificador, NumCertif, CodigoPais, IdEmpresa, IdPapelEmp, StatusEmpresa, "
               "DthEntEmpresa, DthStatusEmpresa, DthUltAtualiz, UsuResp) "
               "VALUES (?, ?, 'AR', 'Fabrica Cenario SA', 1, 'A', ?, ?, ?, 'admin')",
               {sigla, numero, at, at, now});
    db.execute("INSERT INTO PRODUTO (MarcaProd, ModeloProd, Importado, DescrProd, DthUltAtualiz, UsuResp) "
               "VALUES ('Cenario', 'TC-20A', 0, 'Tomada 20 A', ?, 'admin')",
               {now});
    db.execute("INSERT INTO TIPO (SiglaCertificador, NumCertif, MarcaProd, ModeloProd, Importado, StatusProduto, "
               "DthStatusProduto, DthEntCertif, CodigoPais, IdEmpresa, DthUltAtualiz, UsuResp) "
               "VALUES (?, ?, 'Cenario', 'TC-20A', 0, 'A', ?, ?, 'AR', 'Fabrica Cenario SA', ?, 'admin')",
               {sigla, numero, at, at, now});
    db.execute("INSERT INTO DOC_NORM_TIPO (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseProd, IdDocNorm, "
               "MarcaProd, ModeloProd, Importado, DthEntDNT, Status_DNT, DthStatusDNT, DthUltAtualiz, UsuResp) "
               "VALUES (?, ?, ?, ?, ?, 'Cenario', 'TC-20A', 0, ?, 'A', ?, ?, 'admin')",
               {sigla, numero, certClass, prodClass, doc, at, at, now});
}

QStringList listedNumbers(QTableView *grid)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->index(r, 1).data().toString();
    return out;
}

}

class TestMaintScenario : public QObject
{
    Q_OBJECT

private slots:
    void registerSuspendReactivateReopenAndApprove()
    {
        TestHome home(true);
        ScriptedMessenger msg;
        ProgramDatabase capa;
        TFrmCapaSistema shell(msg);
        shell.attachDatabase(capa);
        LoginState admin;
        admin.userCode = "admin";
        admin.userName = "Administrador";
        admin.certifier = "OCDEMO";
        admin.rights = Rights{true, true, true, true, true, true, true};
        shell.setLoginPrompt([&] { return std::optional<LoginState>(admin); });
        shell.show();
        QVERIFY(QTest::qWaitFor([&] { return shell.state() == TFrmCapaSistema::State::Ready; }, 5000));

        const QString numero = "OCDEMO-0100/2026";
        const QString issue = QDate::currentDate().addDays(-3).toString("dd/MM/yyyy");
        bool driven = false;
        QString fixtureError;
        whenModal<TFormPrincipal>([&](TFormPrincipal *w) {
            shot(w, "principal");
            child<QToolButton>(w, "spbNovoCertificado")->click();
            typeInto(w, "DBEdit10", numero.toLower());
            pick(w, "DBLookupComboBox15", 0);
            pick(w, "DBLookupComboBox3", 0);
            typeInto(w, "MaskEdit3", issue);
            w->novoCertificado()->checkIssueDate();
            typeInto(w, "MaskEdit4", QDate::currentDate().addYears(3).toString("dd/MM/yyyy"));
            typeInto(w, "DBEdit14", "Laboratorio de Ensaios Eletricos");
            typeInto(w, "DBEdit15", "RE-2026/0100");
            shot(w, "novo-certificado");
            child<QPushButton>(w, "btnSalvaInclusao")->click();
            QCOMPARE(w->mode(), QString("ModificaCertificado"));

            justify("Falta de auditoria de manutencao", "justificativa");
            child<QToolButton>(w, "sbSuspCertif")->click();
            shot(w, "modifica-certificado");
            justify("Auditoria realizada");
            child<QToolButton>(w, "sbAtivCertif")->click();
            child<QPushButton>(w, "BitBtn35")->click();

            // Opened again through the selection dialog.
            child<QToolButton>(w, "spbEditaCertificado")->click();
            whenModal<TFrmSelecionaCertificado>([&](TFrmSelecionaCertificado *d) {
                typeInto(d, "EdNumero", "0100/2026");
                d->applyFilter();
                shot(d, "seleciona-certificado");
                d->chooseCurrent();
            });
            try {
                attachItems(capa.database(), numero, QDate::currentDate().addDays(-2));
            } catch (const std::exception &ex) {
                fixtureError = QString::fromUtf8(ex.what());
                child<QPushButton>(w, "BitBtn35")->click();
                child<QToolButton>(w, "spbSaida")->click();
                return;
            }
            child<QPushButton>(w, "btnSelCertModificacao")->click();
            QCOMPARE(child<QLineEdit>(w, "DBEdit17")->text(), numero);
            // Its items lock the number and issue date now.
            QVERIFY(!child<QLineEdit>(w, "DBEdit17")->isEnabled());
            typeInto(w, "DBEdit74", "Ensaios de tipo concluidos");
            child<QPushButton>(w, "btnSalvaGeral")->click();
            child<QPushButton>(w, "BitBtn35")->click();
            child<QToolButton>(w, "spbSaida")->click();
            driven = true;
        });
        child<QToolButton>(&shell, "spbManBaseDados")->click();
        QVERIFY2(fixtureError.isEmpty(), qPrintable(fixtureError));
        QVERIFY(driven);
        QVERIFY2(msg.messages.isEmpty(), qPrintable(msg.texts().join(" | ")));
        QVERIFY(!shell.findChild<TFormPrincipal *>());

        // Approved on the shell's page, among the demo's other candidates.
        child<QToolButton>(&shell, "spbAprovaCertificados")->click();
        QCOMPARE(shell.currentPage(), QString("AprovaCertificados"));
        auto *grid = child<QTableView>(&shell, "DBGrid24");
        const QStringList listed = listedNumbers(grid);
        const int row = int(listed.indexOf(numero));
        QVERIFY2(row >= 0, qPrintable(listed.join(", ")));
        grid->selectionModel()->select(grid->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        shot(&shell, "aprova-certificados");
        child<QPushButton>(&shell, "BitBtn9")->click();
        QStringList left = listed;
        left.removeAt(row);
        QCOMPARE(listedNumbers(grid), left);
        child<QPushButton>(&shell, "BitBtn17")->click();
        QVERIFY(shell.currentPage() != QString("AprovaCertificados"));
        QVERIFY2(msg.messages.isEmpty(), qPrintable(msg.texts().join(" | ")));

        Database &db = capa.database();
        QCOMPARE(db.scalar("SELECT count(*) FROM CERTIFIC WHERE NumCertif = ?", {numero}).toInt(), 1);
        QSqlQuery c = db.exec("SELECT StatusCertificado, Aprovado, Completo, LabEnsaio, UsuResp, DataEmissao, "
                              "Signatarios, Observacoes, NumRelEnsaio, DataValid, SiglaCertificador "
                              "FROM CERTIFIC WHERE NumCertif = ?",
                              {numero});
        QVERIFY(c.next());
        QCOMPARE(c.value(0).toString(), QString("A"));
        QCOMPARE(c.value(1).toInt(), 1);
        QCOMPARE(c.value(2).toInt(), 1);
        QCOMPARE(c.value(7).toString(), QString("Ensaios de tipo concluidos"));
        QCOMPARE(c.value(8).toString(), QString("RE-2026/0100"));
        QCOMPARE(c.value(9).toDate(), QDate::currentDate().addYears(3));
        QCOMPARE(c.value(10).toString(), QString("OCDEMO"));
        QCOMPARE(c.value(3).toString(), QString("Laboratorio de Ensaios Eletricos"));
        QCOMPARE(c.value(4).toString(), QString("admin"));
        QCOMPARE(c.value(5).toDateTime().date().toString("dd/MM/yyyy"), issue);
        // The default signatory was proposed and kept.
        QCOMPARE(c.value(6).toString(), QString("Eng. Maria Aparecida dos Santos"));

        QStringList events;
        QList<QDate> statusDates;
        QSqlQuery e = db.exec("SELECT Evento, StatusCertificado, Justificativa, HistoricoSis, UsuResp, SeqEvento, "
                              "DthStatusCertificado, DthUltAtualiz FROM STATUS_C WHERE NumCertif = ? "
                              "ORDER BY SeqEvento",
                              {numero});
        int previous = 0;
        while (e.next()) {
            events << QStringList{e.value(0).toString(), e.value(1).toString(), e.value(2).toString(),
                                  e.value(3).toString(), e.value(4).toString()}
                          .join('|');
            QVERIFY(e.value(5).toInt() > previous);
            previous = e.value(5).toInt();
            statusDates << e.value(6).toDateTime().date();
            QCOMPARE(e.value(7).toDateTime().date(), QDate::currentDate());
        }
        QCOMPARE(events,
                 QStringList({"INC|A|Historico gerado pelo sistema|2|admin",
                              "SUS|S|Falta de auditoria de manutencao|2|admin", "REA|A|Auditoria realizada|2|admin",
                              "APR|A|Historico gerado pelo sistema|2|admin"}));
        // Registered on its issue date; the status changes and the approval today.
        QCOMPARE(statusDates,
                 QList<QDate>({QDate::currentDate().addDays(-3), QDate::currentDate(), QDate::currentDate(),
                               QDate::currentDate()}));
        // The general-data save before any approval writes no "ALT".
        QCOMPARE(db.scalar("SELECT max(SeqEvento) FROM STATUS_C").toInt(), previous);
    }
};

QTEST_MAIN(TestMaintScenario)
#include "test_maintscenario.moc"
