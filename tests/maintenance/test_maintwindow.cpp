// The maintenance window: modes and their enabling, the new-certificate
// panel, the modify panel's general data, status buttons, locks and guards.
#include "app/appwindowopener.h"
#include "import/ui/tfrmimporta.h"
#include "maintenance/certificates/certificateapproval.h"
#include "maintenance/certificates/certificatestore.h"
#include "maintenance/certificates/ui/certificateform.h"
#include "maintenance/certificates/ui/certificatetab.h"
#include "maintenance/certificates/ui/dadosgeraistab.h"
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/certificates/ui/novocertificadopanel.h"
#include "maintenance/certificates/ui/tfrmjustificativa.h"
#include "maintenance/maintenancedates.h"
#include "maintenance/ui/tformprincipal.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/recordingopener.h"
#include "support/selectionfixture.h"
#include "support/whenmodal.h"
#include "widgets/maskeddateedit.h"
#include "widgets/windowopener.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QString today()
{
    return QDate::currentDate().toString("dd/MM/yyyy");
}

// A tab of a later function, as it would plug into the modify panel.
class FakeTab : public CertificateTab
{
public:
    using CertificateTab::CertificateTab;
    QString title() const override { return QStringLiteral("Empresas Envolvidas"); }
    void openCertificate(const OpenCertificate &c) override { opened = c; }
    void closeCertificate() override { opened = OpenCertificate(); }
    QString leaveRefusal() const override { return refusal; }
    bool hasCurrentRow() const override { return !opened.key.isEmpty(); }
    bool offersDocuments() const override { return false; }
    OpenCertificate opened;
    QString refusal;
};

struct Window : SelectionFixture
{
    ProgramDatabase capa{nullptr, QStringLiteral("MaintTest")};
    LoginState login;
    TFormPrincipal *frm = nullptr;
    QList<std::optional<Justification>> justifications;
    int asked = 0;
    std::optional<CertificateKey> chosen;

    Window()
    {
        login.userCode = QStringLiteral("joana");
        frm = new TFormPrincipal(capa, msg, login, {"USUÁRIO: joana", "Módulo"});
        frm->setJustificationPrompt([this](bool, const QDateTime &) -> std::optional<Justification> {
            ++asked;
            return justifications.isEmpty() ? std::nullopt : justifications.takeFirst();
        });
        frm->modificaCertificado()->setCertificateChooser([this] { return chosen; });
    }
    ~Window() { delete frm; }

    template <typename T = QWidget> T *w(const char *name) { return child<T>(frm, name); }
    QToolButton *button(const char *name) { return w<QToolButton>(name); }
    QAction *action(const char *name) { return w<QAction>(name); }
    void click(const char *name) { w<QAbstractButton>(name)->click(); }
    void type(const char *name, const QString &text)
    {
        auto *e = w<QLineEdit>(name);
        e->setFocus();
        e->selectAll();
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() < 128;
        // QTest types ASCII only.
        if (ascii)
            QTest::keyClicks(e, text);
        else
            e->insert(text);
    }
    void pick(const char *name, const QString &text)
    {
        auto *c = w<QComboBox>(name);
        c->setCurrentIndex(c->findText(text));
        emit c->activated(c->currentIndex());
    }
    QStringList enabledEntries()
    {
        QStringList out;
        for (QToolButton *b : frm->findChildren<QToolButton *>())
            if (b->objectName().startsWith("spb") && b->isEnabled())
                out << b->objectName();
        for (QMenu *m : frm->findChildren<QMenu *>())
            if (m->menuAction()->isEnabled() && m->menuAction()->isVisible())
                out << m->objectName();
        out.sort();
        return out;
    }
    // A certificate registered through the new-certificate panel.
    void registerCertificate(const QString &numero)
    {
        frm->newCertificate();
        type("DBEdit10", numero);
        pick("DBLookupComboBox15", QString::fromUtf8("Certificação Compulsória"));
        pick("DBLookupComboBox3", "Plugues e Tomadas");
        type("MaskEdit3", today());
        frm->novoCertificado()->checkIssueDate();
        type("MaskEdit4", QDate::currentDate().addYears(2).toString("dd/MM/yyyy"));
        click("btnSalvaInclusao");
    }
    QVariant value(const char *column, const QString &numero)
    {
        return db->scalar(QStringLiteral("SELECT %1 FROM CERTIFIC WHERE NumCertif = ?").arg(QLatin1String(column)),
                          {numero});
    }
    DadosGeraisTab *dados() { return frm->modificaCertificado()->dadosGerais(); }
};

}

class TestMaintWindow : public QObject
{
    Q_OBJECT

private slots:
    // The report windows belong to another subsystem: the maintenance
    // window reaches them only through the opener it is handed.
    void reportEntriesOpenThroughTheOpenerHandedDown()
    {
        Window f;
        // Without an opener the entries stay quiet.
        f.action("CertificadosIncompletos1")->trigger();
        QVERIFY(f.msg.texts().isEmpty());
        RecordingOpener opener;
        f.frm->setWindowOpener(&opener);
        f.action("CertificadosIncompletos1")->trigger();
        f.action("CertificadosProntosparaAprovacao1")->trigger();
        f.action("EspelhodoCertificado1")->trigger();
        QCOMPARE(opener.calls, (QStringList{"incompletos joana", "prontos joana", "relatorios joana"}));
        for (Database *db : std::as_const(opener.databases))
            QCOMPARE(db, &f.frm->context().db);
    }

    void modesDisableTheToolbarAndMenusWhileEditing()
    {
        Window f;
        QCOMPARE(f.frm->windowTitle(), QString("Corvane - Manutenção da Base de Dados"));
        QCOMPARE(f.frm->mode(), QString("Principal"));
        QCOMPARE(f.w<QLabel>("StatusBar1Panel0")->text(), QString("USUÁRIO: joana"));
        // Only what this program offers so far is enabled; help stays hidden.
        const QStringList free = {
            "Certificado1",        "Importacao1",         "Quelora1",        "Relatorios1",        "Tabelas1",
            "spbApagaCertificado", "spbEditaCertificado", "spbImportaDados", "spbNovoCertificado", "spbSaida",
            "spbTabEmpresa",       "spbTabProduto",       "spbTabQuelora"};
        QCOMPARE(f.enabledEntries(), free);
        QVERIFY(f.action("Exclui1")->isEnabled());
        QVERIFY(f.action("Signatario1")->isEnabled());
        QVERIFY(f.action("EspelhodoCertificado1")->isEnabled());
        QVERIFY(f.action("CertificadosIncompletos1")->isEnabled());
        QVERIFY(f.action("Novo1")->isEnabled());
        QVERIFY(!f.w<QMenu>("Ajuda1")->menuAction()->isVisible());

        f.button("spbNovoCertificado")->click();
        QCOMPARE(f.frm->mode(), QString("NovoCertificado"));
        QCOMPARE(f.enabledEntries(), QStringList());
        f.type("DBEdit10", "RASCUNHO");
        f.click("BitBtn15");
        QCOMPARE(f.frm->mode(), QString("Principal"));
        QCOMPARE(f.enabledEntries(), free);
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC"), 0);

        f.action("Altera1")->trigger();
        QCOMPARE(f.frm->mode(), QString("ModificaCertificado"));
        QCOMPARE(f.enabledEntries(), QStringList());
        f.click("BitBtn35");
        QCOMPARE(f.frm->mode(), QString("Principal"));

        // A later panel plugs in: its entries start working; the reference
        // tables leave the toolbar enabled.
        auto *quelora = new QWidget;
        int entered = 0;
        f.frm->installPanel("TabQuelora", quelora, [&] { ++entered; });
        QVERIFY(f.button("spbTabQuelora")->isEnabled());
        f.action("TabelasQuelora1")->trigger();
        QCOMPARE(f.frm->mode(), QString("TabQuelora"));
        QCOMPARE(entered, 1);
        QVERIFY(f.button("spbNovoCertificado")->isEnabled());
        QVERIFY(f.enabledEntries().contains("spbTabQuelora"));
    }

    void newCertificateRegisteredThroughThePanel()
    {
        Window f;
        f.frm->newCertificate();
        QCOMPARE(f.w<QLineEdit>("DBEdit9")->text(), QString("OCT"));
        QVERIFY(f.w<QLineEdit>("DBEdit9")->isReadOnly());
        QVERIFY(!f.w<QPushButton>("btnSalvaInclusao")->isEnabled());
        // Both accreditation tables feed the certificate classes.
        QCOMPARE(f.w<QComboBox>("DBLookupComboBox15")->count(), 3);
        f.type("DBEdit10", "oct-0001/2026");
        QCOMPARE(f.w<QLineEdit>("DBEdit10")->text(), QString("OCT-0001/2026"));
        f.pick("DBLookupComboBox15", QString::fromUtf8("Certificação Compulsória"));
        f.pick("DBLookupComboBox3", "Plugues e Tomadas");
        QVERIFY(!f.w<QPushButton>("btnSalvaInclusao")->isEnabled());

        f.type("MaskEdit3", QDate::currentDate().addDays(1).toString("dd/MM/yyyy"));
        f.frm->novoCertificado()->checkIssueDate();
        QCOMPARE(f.msg.lastText(), MaintenanceDates::IssueMessage);
        QCOMPARE(f.msg.lastCaption(), QString("Erro de entrada de dados"));
        f.type("MaskEdit3", "12/0");
        f.frm->novoCertificado()->checkIssueDate();
        QCOMPARE(f.msg.lastText(), MaintenanceDates::FormatMessage);
        f.msg.clear();
        f.type("MaskEdit3", today());
        f.frm->novoCertificado()->checkIssueDate();
        QCOMPARE(f.msg.messages.size(), 0);
        QVERIFY(f.w<QPushButton>("btnSalvaInclusao")->isEnabled());

        f.type("MaskEdit4", "01/01/2080");
        f.frm->novoCertificado()->checkValidityDate();
        QCOMPARE(f.msg.lastText(), MaintenanceDates::ValidityMessageNew);
        f.w<MaskedDateEdit>("MaskEdit4")->clearDate();
        f.click("btnSalvaInclusao");
        QCOMPARE(f.msg.lastText(), QString("Por favor informe a data de validade do certificado."));
        QCOMPARE(f.frm->mode(), QString("NovoCertificado"));
        f.type("MaskEdit4", today());
        f.click("btnSalvaInclusao");

        QCOMPARE(f.frm->mode(), QString("ModificaCertificado"));
        QCOMPARE(f.w<QLineEdit>("DBEdit17")->text(), QString("OCT-0001/2026"));
        QCOMPARE(f.w<QLineEdit>("MaskEdit1")->text(), today());
        QCOMPARE(f.w<QLabel>("DBText1")->text(), QString("Ativo"));
        QVERIFY(f.value("Signatarios", "OCT-0001/2026").isNull());
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C WHERE Evento = 'INC' AND UsuResp = 'joana'"), 1);
        // Nothing attached, never approved: number and issue date open.
        QVERIFY(f.w<QLineEdit>("DBEdit17")->isEnabled());
        QVERIFY(f.w<QLineEdit>("MaskEdit1")->isEnabled());
        QVERIFY(!f.dados()->isModified());
    }

    void leavingADateBoxChecksItUnlessTheUserCancels()
    {
        Window f;
        f.frm->show();
        QVERIFY(QTest::qWaitForWindowActive(f.frm));
        f.frm->newCertificate();
        auto *issue = f.w<MaskedDateEdit>("MaskEdit3");
        f.type("MaskEdit3", QDate::currentDate().addDays(1).toString("dd/MM/yyyy"));
        QVERIFY(issue->hasFocus());
        f.w<QLineEdit>("DBEdit14")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.msg.lastText(), MaintenanceDates::IssueMessage);
        QVERIFY(QTest::qWaitFor([&] { return issue->hasFocus(); }, 1000));
        f.msg.clear();
        f.w<QPushButton>("BitBtn15")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(f.msg.messages.size(), 0);
        f.click("BitBtn15");
        QCOMPARE(f.frm->mode(), QString("Principal"));
    }

    void refusedNewCertificates()
    {
        Window f;
        f.certificate("OCT-7", "COMP", 101);
        f.registerCertificate("oct-7");
        QCOMPARE(f.msg.lastText(), QString("Este certificado já existe !!!. Cancele a Operação."));
        QCOMPARE(f.frm->mode(), QString("NovoCertificado"));
        QCOMPARE(f.w<QLineEdit>("DBEdit10")->text(), QString("OCT-7"));
        f.click("BitBtn15");

        // A full event table: named with its limit, nothing saved.
        f.run(
            "INSERT INTO STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento) VALUES ('OCT', 'X', 32767, 'INC')");
        f.msg.clear();
        f.registerCertificate("OCT-8");
        QCOMPARE(
            f.msg.texts(),
            QStringList{"A tabela STATUS_C atingiu o número máximo de eventos (32767). O evento não foi gravado."});
        QCOMPARE(f.msg.lastCaption(), QString("Erro de gravação"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC WHERE NumCertif = 'OCT-8'"), 0);
        QCOMPARE(f.frm->mode(), QString("NovoCertificado"));
        f.click("BitBtn15");

        for (int rows : {2, 0}) {
            if (rows == 2)
                f.run("INSERT INTO CONFIG_LOCAL (SiglaCertificador) VALUES ('OCX')");
            else
                f.run("DELETE FROM CONFIG_LOCAL");
            f.msg.clear();
            f.button("spbNovoCertificado")->click();
            QCOMPARE(f.msg.lastText(),
                     QString("Tabela de Configurações Locais adulterada. O módulo de inclusão de "
                             "certificado não pode continuar."));
            QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Plain);
            QCOMPARE(f.frm->mode(), QString("Principal"));
        }
    }

    void statusButtonsAndTheirJustification()
    {
        Window f;
        f.registerCertificate("C-1");
        f.run("UPDATE CERTIFIC SET Aprovado = 1");
        const QVariant before = f.value("DthStatusCertificado", "C-1");
        QVERIFY(f.w<QToolButton>("sbAtivCertif")->isHidden());
        QVERIFY(!f.w<QToolButton>("sbSuspCertif")->isHidden());
        QVERIFY(!f.w<QToolButton>("sbCanCertif")->isHidden());

        f.click("sbSuspCertif"); // justification cancelled
        QCOMPARE(f.asked, 1);
        QCOMPARE(f.value("StatusCertificado", "C-1").toString(), QString("A"));
        QCOMPARE(f.value("DthStatusCertificado", "C-1"), before);
        QCOMPARE(f.value("Aprovado", "C-1").toInt(), 1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C"), 1);

        f.justifications << Justification{"  Auditoria vencida ", today()};
        f.click("sbSuspCertif");
        QCOMPARE(f.value("StatusCertificado", "C-1").toString(), QString("S"));
        QCOMPARE(f.value("Aprovado", "C-1").toInt(), 0);
        QCOMPARE(f.w<QLabel>("DBText1")->text(), QString("Suspenso"));
        QVERIFY(f.w<QToolButton>("sbSuspCertif")->isHidden());
        QVERIFY(!f.w<QToolButton>("sbAtivCertif")->isHidden());
        QVERIFY(!f.w<QToolButton>("sbCanCertif")->isHidden());
        QCOMPARE(f.db->scalar("SELECT Justificativa FROM STATUS_C WHERE Evento = 'SUS'").toString(),
                 QString("  Auditoria vencida "));
        f.justifications << Justification{"Pedido", today()};
        f.click("sbCanCertif");
        QCOMPARE(f.w<QLabel>("DBText1")->text(), QString("Cancelado"));
        QVERIFY(f.w<QToolButton>("sbCanCertif")->isHidden());
        QVERIFY(!f.w<QToolButton>("sbAtivCertif")->isHidden() && !f.w<QToolButton>("sbSuspCertif")->isHidden());
        // Values being typed survive a status change.
        f.type("DBEdit74", "observação pendente");
        f.justifications << Justification{"Reativação", today()};
        f.click("sbAtivCertif");
        QCOMPARE(f.value("StatusCertificado", "C-1").toString(), QString("A"));
        QCOMPARE(f.w<QLineEdit>("DBEdit74")->text(), QString("observação pendente"));
        QVERIFY(f.dados()->isModified());
    }

    void approvedCertificateAsksWhyItsDataChanged()
    {
        Window f;
        f.registerCertificate("C-1");
        // Approved as the shell's page approves.
        f.run("UPDATE CERTIFIC SET Completo = 1");
        CertificateApproval::approve(*f.db, {{"OCT", "C-1"}}, "chefe");
        QCOMPARE(f.value("Aprovado", "C-1").toInt(), 1);
        f.chosen = CertificateKey{"oct", "c-1"};
        f.click("btnSelCertModificacao");
        // Approved once: number and issue date locked, labels maroon.
        QVERIFY(!f.w<QLineEdit>("DBEdit17")->isEnabled());
        QVERIFY(!f.w<QLineEdit>("MaskEdit1")->isEnabled());
        QVERIFY(f.w<QLabel>("LbDBEdit17")->styleSheet().contains("maroon"));

        f.type("DBEdit74", "Alterado");
        auto *tabs = f.w<QTabWidget>("PControlModificaCertif");
        auto *other = new FakeTab;
        f.frm->modificaCertificado()->addTab(other);
        QCOMPARE(other->opened.key.numero, QString("C-1"));
        QVERIFY(other->opened.held);
        const int otherIndex = tabs->indexOf(other);
        tabs->setCurrentIndex(otherIndex);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(f.msg.lastText().startsWith("Existem inclusões ou alterações não Aplicadas no painel de DadosGerais."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de Edição"));

        f.click("btnSalvaGeral"); // justification cancelled: the changes go
        QCOMPARE(f.asked, 1);
        QCOMPARE(f.w<QLineEdit>("DBEdit74")->text(), QString());
        QCOMPARE(f.value("Aprovado", "C-1").toInt(), 1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C WHERE Evento = 'ALT'"), 0);

        f.type("DBEdit74", "Alterado");
        f.justifications << Justification{"Correção", QString()};
        f.click("btnSalvaGeral");
        QCOMPARE(f.value("Observacoes", "C-1").toString(), QString("Alterado"));
        QCOMPARE(f.value("Aprovado", "C-1").toInt(), 0);
        QCOMPARE(f.db->scalar("SELECT Justificativa FROM STATUS_C WHERE Evento = 'ALT'").toString(),
                 QString("Correção"));
        QVERIFY(!f.dados()->isModified());

        // Saved: the other tab may be shown; its own guard holds it.
        tabs->setCurrentIndex(otherIndex);
        QCOMPARE(tabs->currentIndex(), otherIndex);
        QVERIFY(f.w<QPushButton>("btbDocNorm")->isHidden());
        other->refusal = "Existem inclusões ou alterações não Aplicadas no painel de Empresas Envolvidas. Pressione o "
                         "botão Aplicar ou Cancelar antes de mudar de painel.";
        tabs->setCurrentIndex(0);
        QCOMPARE(tabs->currentIndex(), otherIndex);
        QCOMPARE(f.msg.lastText(), other->refusal);
        other->refusal.clear();
        tabs->setCurrentIndex(0);
        QCOMPARE(tabs->currentIndex(), 0);

        // "Cancela" drops what was typed; "Saída" closes everything.
        f.type("DBEdit21", "Lab X");
        f.click("BitBtn16");
        QCOMPARE(f.w<QLineEdit>("DBEdit21")->text(), f.value("LabEnsaio", "C-1").toString());
        f.click("BitBtn35");
        QCOMPARE(f.frm->mode(), QString("Principal"));
        QVERIFY(other->opened.key.isEmpty());
        QVERIFY(f.w<QLineEdit>("MaskEdit1")->text().remove('/').trimmed().isEmpty());
    }

    void numberLocksAndOpeningAnotherCertificate()
    {
        Window f;
        f.registerCertificate("C-1");
        f.certificate("C-2", "COMP", 101);
        f.legalEntity("BR", "11222333000181", "11222333000181", "Conexa", "Conexa");
        f.link("C-2", "BR", "11222333000181");

        // A changed number: the certificate is open under the new one.
        f.type("DBEdit17", "c-1x");
        f.msg.answers.enqueue(false);
        f.chosen = CertificateKey{"OCT", "C-2"};
        f.click("btnSelCertModificacao");
        QCOMPARE(f.msg.lastText(),
                 QString("Existe um certificado aberto em condições de ser salvo. Deseja salva-lo e "
                         "continuar a abrir um outro certificado ?"));
        QCOMPARE(f.frm->modificaCertificado()->openCertificate().key.numero, QString("C-1"));
        f.msg.answers.enqueue(true);
        f.click("btnSelCertModificacao");
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC WHERE NumCertif = 'C-1X'"), 1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C WHERE NumCertif = 'C-1X'"), 1);
        QCOMPARE(f.frm->modificaCertificado()->openCertificate().key.numero, QString("C-2"));
        // A company locks number and issue date, documents lock the classes.
        QVERIFY(!f.w<QLineEdit>("DBEdit17")->isEnabled());
        QVERIFY(f.w<QComboBox>("DBLookupComboBox5")->isEnabled());
        f.run(
            "INSERT INTO DOC_NORM_CERT_PRODUTO (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseProd, IdDocNorm) "
            "VALUES ('OCT', 'C-2', 'COMP', 101, 1001)");
        f.chosen.reset();
        f.click("btnSelCertModificacao");
        QCOMPARE(f.msg.lastText(), QString("Nenhum Certificado foi escolhido !!!"));
        // An issue date with a time of day (as imported) is no pending change.
        f.run("UPDATE CERTIFIC SET DataEmissao = ? WHERE NumCertif = 'C-2'",
              {QDateTime(QDate(2024, 1, 10), QTime(15, 30))});
        f.frm->modificaCertificado()->load({"OCT", "C-2"});
        QVERIFY(!f.dados()->isModified());
        QVERIFY(!f.w<QComboBox>("DBLookupComboBox5")->isEnabled());
        QVERIFY(!f.w<QComboBox>("DBLookupComboBox6")->isEnabled());
        QCOMPARE(f.w<QComboBox>("DBLookupComboBox6")->currentText(), QString("Plugues e Tomadas"));
    }

    void justificationDialogChecksDateThenText()
    {
        SelectionFixture fx;
        const QDateTime issue(QDate::currentDate().addDays(-10), QTime(14, 0));
        TFrmJustificativa d(fx.msg, true, issue);
        auto *date = d.findChild<MaskedDateEdit *>("EdtDataStatus");
        auto *text = d.findChild<QLineEdit *>("Edit1");
        QCOMPARE(date->text(), today());
        QCOMPARE(d.windowTitle(), QString("Justificativa"));
        date->clearDate();
        d.confirm();
        QCOMPARE(fx.msg.lastText(), QString("É necessário informar a  data do Status."));
        date->setDate(issue.date().addDays(-1));
        d.confirm();
        QCOMPARE(fx.msg.lastText(), QString("Data do Status menor do que a data de Emisão do Certificado."));
        date->setDate(QDate::currentDate().addDays(1));
        d.confirm();
        QCOMPARE(fx.msg.lastText(), QString("Data do Status maior que a data atual."));
        date->setDate(issue.date());
        text->setText("   ");
        d.confirm();
        QCOMPARE(fx.msg.lastText(), QString("O campo de justificativa não pode ser deixado em branco."));
        QCOMPARE(fx.msg.lastCaption(), QString("Erro de edição"));
        QCOMPARE(d.result(), int(QDialog::Rejected));
        text->setText(" motivo ");
        d.confirm();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.answer().text, QString(" motivo "));
        QCOMPARE(d.answer().date, issue.date().toString("dd/MM/yyyy"));

        TFrmJustificativa noDate(fx.msg, false, issue);
        QVERIFY(noDate.findChild<MaskedDateEdit *>("EdtDataStatus")->isHidden());
        QVERIFY(noDate.findChild<QLabel *>("LbDataStatus")->isHidden());
    }

    void importOpensOnlyWithACertifier()
    {
        Window f;
        // The import window is the program's to open.
        AppWindowOpener opener;
        f.frm->setWindowOpener(&opener);
        f.run("DELETE FROM CONFIG_LOCAL");
        f.button("spbImportaDados")->click();
        QCOMPARE(f.msg.lastText(), QString("Dados da Configuração de diretórios incompleta. Verifique"));
        QVERIFY(!f.frm->findChild<TfrmImporta *>());

        f.run("INSERT INTO CONFIG_LOCAL (SiglaCertificador) VALUES ('OCT')");
        QString seen;
        whenModal<QDialog>([&](QDialog *w) {
            seen = w->windowTitle();
            w->close();
        });
        f.action("ImportadadosArquivoTXT1")->trigger();
        QCOMPARE(seen, QString("Importador de arquivo txt"));
    }
};

QTEST_MAIN(TestMaintWindow)
#include "test_maintwindow.moc"
