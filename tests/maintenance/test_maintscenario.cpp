// A user's way through the maintenance window: log in, open it from the
// shell, register a certificate, suspend it with a justification, reactivate
// it, open it again through the selection dialog; then the rows written.
// With CORVANE_SHOTS set to a folder, the panels are saved there as PNG.
#include "maintenance/ui/novocertificadopanel.h"
#include "maintenance/ui/tformprincipal.h"
#include "maintenance/ui/tfrmjustificativa.h"
#include "maintenance/ui/tfrmselecionacertificado.h"
#include "shell/datamodules.h"
#include "shell/tdmcapasistema.h"
#include "shell/ui/tfrmcapasistema.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

namespace {

// Runs the step once a modal window of the type is up (polling, since the
// step is armed before the call that opens it).
template <typename T>
void whenModal(std::function<void(T *)> step, int triesLeft = 200)
{
    QTimer::singleShot(10, [step, triesLeft] {
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            step(w);
            return;
        }
        if (triesLeft > 0)
            whenModal<T>(step, triesLeft - 1);
    });
}

void shot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("CORVANE_SHOTS");
    if (dir.isEmpty())
        return;
    QTest::qWait(50); // pending layouts settle as they would on screen
    w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

template <typename T = QWidget>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
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

}

class TestMaintScenario : public QObject
{
    Q_OBJECT

private slots:
    void registerSuspendReactivateAndReopen()
    {
        TestHome home(true);
        ScriptedMessenger msg;
        TDMCapaSistema capa;
        TDMTabelasData tabelas(capa);
        TDMCertif certif(capa);
        TDMRelats2 relats(capa);
        TDMDocNorm docNorm(capa);
        TFrmCapaSistema shell(msg);
        shell.attachDataModules({&capa, &tabelas, &certif, &relats, &docNorm});
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
        whenModal<TFormPrincipal>([&](TFormPrincipal *w) {
            shot(w, "principal");
            child<QToolButton>(w, "spbNovoCertificado")->click();
            typeInto(w, "DBEdit10", numero.toLower());
            pick(w, "DBLookupComboBox15", 0);
            pick(w, "DBLookupComboBox3", 0);
            typeInto(w, "MaskEdit3", issue);
            w->novoCertificado()->MaskEdit3Exit();
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
                d->BtFiltraClick();
                shot(d, "seleciona-certificado");
                d->BtOkClick();
            });
            child<QPushButton>(w, "btnSelCertModificacao")->click();
            QCOMPARE(child<QLineEdit>(w, "DBEdit17")->text(), numero);
            child<QPushButton>(w, "BitBtn35")->click();
            child<QToolButton>(w, "spbSaida")->click();
            driven = true;
        });
        child<QToolButton>(&shell, "spbManBaseDados")->click();
        QVERIFY(driven);
        QVERIFY2(msg.messages.isEmpty(), qPrintable(msg.texts().join(" | ")));
        QVERIFY(!shell.findChild<TFormPrincipal *>());

        Database &db = capa.database();
        QSqlQuery c = db.exec("SELECT StatusCertificado, Aprovado, Completo, LabEnsaio, UsuResp, DataEmissao, "
                              "Signatarios FROM CERTIFIC WHERE NumCertif = ?", {numero});
        QVERIFY(c.next());
        QCOMPARE(c.value(0).toString(), QString("A"));
        QCOMPARE(c.value(1).toInt(), 0);
        QCOMPARE(c.value(2).toInt(), 0);
        QCOMPARE(c.value(3).toString(), QString("Laboratorio de Ensaios Eletricos"));
        QCOMPARE(c.value(4).toString(), QString("admin"));
        QCOMPARE(c.value(5).toDateTime().date().toString("dd/MM/yyyy"), issue);
        // The default signatory was proposed and kept.
        QCOMPARE(c.value(6).toString(), QString("Eng. Maria Aparecida dos Santos"));

        QStringList events;
        QSqlQuery e = db.exec("SELECT Evento, StatusCertificado, Justificativa, HistoricoSis, UsuResp, SeqEvento "
                              "FROM STATUS_C WHERE NumCertif = ? ORDER BY SeqEvento", {numero});
        int previous = 0;
        while (e.next()) {
            events << QStringList{e.value(0).toString(), e.value(1).toString(), e.value(2).toString(),
                                  e.value(3).toString(), e.value(4).toString()}.join('|');
            QVERIFY(e.value(5).toInt() > previous);
            previous = e.value(5).toInt();
        }
        QCOMPARE(events, QStringList({"INC|A|Historico gerado pelo sistema|2|admin",
                                      "SUS|S|Falta de auditoria de manutencao|2|admin",
                                      "REA|A|Auditoria realizada|2|admin"}));
    }
};

QTEST_MAIN(TestMaintScenario)
#include "test_maintscenario.moc"
