// The companies tab of the modify panel: its browse and edit states, adding,
// editing and removing companies, their status buttons and details.
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/companies/ui/empresasenvolvidastab.h"
#include "maintenance/ui/tformprincipal.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/selectionfixture.h"
#include "support/whenmodal.h"
#include "widgets/maskeddateedit.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Num = QStringLiteral("OCT-10");

// Another tab of the panel, counting how often the certificate reaches it.
class CountingTab : public CertificateTab
{
public:
    using CertificateTab::CertificateTab;
    QString title() const override { return QStringLiteral("Produtos por Lote"); }
    void openCertificate(const OpenCertificate &) override { ++opened; }
    void closeCertificate() override { }
    bool hasCurrentRow() const override { return false; }
    int opened = 0;
};

struct Window : SelectionFixture
{
    ProgramDatabase capa{nullptr, QStringLiteral("EmpTabTest")};
    LoginState login;
    TFormPrincipal *frm = nullptr;
    EmpresasEnvolvidasTab *tab = nullptr;
    QList<std::optional<Justification>> justifications;
    int asked = 0;
    QList<std::optional<SelectedCompany>> companies;
    int chooserCalls = 0;
    QList<CascadeRequest> cascades;

    Window(bool approved = false)
    {
        certificate(Num, "COMP", 101, QDate(2024, 1, 10));
        run("insert into PAPEL_EMP (IdPapelEmp, PapelEmp, DthUltAtualiz, UsuResp) values (1, 'Fabricante', ?, 'q')",
            {QDateTime::currentDateTime()});
        run("insert into PAPEL_EMP (IdPapelEmp, PapelEmp, DthUltAtualiz, UsuResp) values (2, 'Importador', ?, 'q')",
            {QDateTime::currentDateTime()});
        legalEntity("BR", "12345678000190", "12345678000190", "Fábrica Alfa Ltda", "Alfa");
        legalEntity("CN", "shenzhen-ab", QString(), "Shenzhen AB Co", "AB");
        if (approved) {
            run("insert into STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento, HistoricoSis, "
                "StatusCertificado, DthUltAtualiz) values (?, ?, 1, 'APR', '2', 'A', ?)",
                {Sigla, Num, QDateTime::currentDateTime().addSecs(-3600)});
            run("update CERTIFIC set Aprovado = 1");
        }
        login.userCode = QStringLiteral("joana");
        frm = new TFormPrincipal(capa, msg, login, {"USUÁRIO: joana", "Módulo"});
        frm->setJustificationPrompt([this](bool, const QDateTime &) -> std::optional<Justification> {
            ++asked;
            return justifications.isEmpty() ? std::nullopt : justifications.takeFirst();
        });
        frm->modificaCertificado()->setCertificateChooser([] { return CertificateKey{Sigla, Num}; });
        tab = frm->findChild<EmpresasEnvolvidasTab *>("TabEmpresasEnvolvidas");
        tab->setCompanyChooser([this] {
            ++chooserCalls;
            return companies.isEmpty() ? std::nullopt : companies.takeFirst();
        });
        tab->setCascadeAction([this](const CascadeRequest &r) { cascades << r; });
    }
    ~Window() { delete frm; }

    void open()
    {
        frm->modifyCertificate();
        frm->modificaCertificado()->chooseCertificate();
        tabs()->setCurrentWidget(tab);
    }
    QTabWidget *tabs() { return frm->findChild<QTabWidget *>("PControlModificaCertif"); }
    template <typename T = QWidget> T *w(const char *name) { return child<T>(frm, name); }
    bool enabled(const char *name) { return w(name)->isEnabled() && w(name)->isVisibleTo(frm); }
    void click(const char *name) { w<QAbstractButton>(name)->click(); }
    SelectedCompany company(const QString &country, const QString &id)
    {
        SelectedCompany c;
        c.codigoPais = country;
        c.idEmpresa = id;
        c.tipoPessoa = "1";
        c.razSocialEmp = id == "12345678000190" ? "Fábrica Alfa Ltda" : "Shenzhen AB Co";
        c.cgc = id == "12345678000190" ? id : QString();
        return c;
    }
    // "&Incluir" with the company chosen and the role picked.
    void include(const QString &country, const QString &id, const QString &role = "Fabricante")
    {
        companies << company(country, id);
        click("btnInEmpCertEd");
        auto *roles = w<QComboBox>("DBLookupComboBox8");
        roles->setCurrentIndex(roles->findText(role));
        click("btnAplEdEmpCert");
    }
    int rows() { return w<QTableView>("DBGrid13")->model()->rowCount(); }
};

}

class TestEmpresasEnvolvidasTab : public QObject
{
    Q_OBJECT

private slots:
    void browseAndEditStatesAndTheLeaveGuard()
    {
        Window f;
        f.link(Num, "BR", "12345678000190");
        f.open();
        QCOMPARE(f.tabs()->currentWidget(), f.tab);
        QCOMPARE(f.rows(), 1);
        QCOMPARE(f.w<QTableView>("DBGrid13")->model()->index(0, 1).data().toString(), QString("12.345.678/0001-90"));
        QCOMPARE(f.w<QLineEdit>("DBEdtNomeEmpCert")->text(), QString("Fábrica Alfa Ltda"));
        QCOMPARE(f.w<QComboBox>("DBLookupComboBox8")->currentText(), QString("Fabricante"));
        QVERIFY(f.enabled("btnInEmpCertEd") && f.enabled("btnEdEmpCertEd") && f.enabled("btnExEmpCertEd"));
        QVERIFY(!f.w("GroupEmpresaCertificada")->isEnabled());
        QVERIFY(f.w("DBGrid13")->isEnabled());
        QVERIFY(f.w<QGroupBox>("GroupStatusEmpresa")->isVisibleTo(f.frm));
        QVERIFY(!f.w("btbDocNorm")->isVisibleTo(f.frm));
        QVERIFY(f.tab->hasCurrentRow());
        const auto item = f.tab->currentItem();
        QVERIFY(item.has_value());
        QCOMPARE(item->table, StatusEvents::Table::Evento_Emp);
        QCOMPARE(item->row.value("IdEmpresa").toString(), QString("12345678000190"));
        QCOMPARE(item->row.value("NumCertif").toString(), Num);
        QCOMPARE(item->row.value("StatusEmpresa").toString(), QString("A"));

        // "&Incluir" opens the company selection at once; cancelling it keeps the edit state.
        f.click("btnInEmpCertEd");
        QCOMPARE(f.chooserCalls, 1);
        QVERIFY(f.w("GroupEmpresaCertificada")->isEnabled());
        QVERIFY(f.enabled("btnAplEdEmpCert") && f.enabled("btnSelEdEmCert"));
        QVERIFY(!f.enabled("btnInEmpCertEd") && !f.enabled("btnEdEmpCertEd") && !f.w("DBGrid13")->isEnabled());
        QVERIFY(!f.enabled("btnDetalhe"));
        QCOMPARE(f.w<MaskedDateEdit>("EdtDtEntradaEmpCert")->boxText(), QString("10/01/2024"));
        QVERIFY(!f.tab->hasCurrentRow());

        f.tabs()->setCurrentIndex(0);
        QCOMPARE(f.tabs()->currentWidget(), f.tab);
        QCOMPARE(f.msg.lastText(),
                 QString("Existem inclusões ou alterações não Aplicadas no painel de Empresas "
                         "Envolvidas. Pressione o botão Aplicar ou Cancelar antes de mudar de painel."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de Edição"));

        f.click("btnCanEdEmpCert");
        QVERIFY(!f.w("GroupEmpresaCertificada")->isEnabled());
        QCOMPARE(f.count("select count(*) from EMP_CERT"), 1);
        f.tabs()->setCurrentIndex(0);
        QCOMPARE(f.tabs()->currentIndex(), 0);
        f.tabs()->setCurrentWidget(f.tab);

        // "&Editar": role and entry date only, the company stays.
        f.click("btnEdEmpCertEd");
        QVERIFY(!f.enabled("btnSelEdEmCert"));
        QVERIFY(f.enabled("btnDetalhe"));
        QVERIFY(!f.tab->leaveRefusal().isEmpty());
        f.click("btnCanEdEmpCert");
        QVERIFY(f.tab->leaveRefusal().isEmpty());
    }

    void addingOnANeverApprovedCertificateAsksNothing()
    {
        Window f;
        f.open();
        QVERIFY(!f.enabled("btnEdEmpCertEd") && !f.enabled("btnExEmpCertEd"));
        f.include("BR", "12345678000190");
        QCOMPARE(f.asked, 0);
        QCOMPARE(f.rows(), 1);
        QVERIFY(!f.tab->isEditing());
        QCOMPARE(f.count("select count(*) from EVENTO_EMP where Evento = 'INC' and Justificativa = "
                         "'Historico gerado pelo sistema' and DthStatusEmpresa = ?",
                         {QDate(2024, 1, 10).startOfDay()}),
                 1);
        QCOMPARE(f.w<QLineEdit>("DBEdtDthEntEmpresa")->text(), QString("10/01/2024"));
        // A company now locks the number and the issue date.
        f.tabs()->setCurrentIndex(0);
        QVERIFY(!f.w("DBEdit17")->isEnabled());
        f.tabs()->setCurrentWidget(f.tab);

        // The same company in other letter cases is refused before anything is written.
        f.include("br", "12345678000190");
        QCOMPARE(f.msg.lastText(), QString("Esta empresa já existe !!!. Cancele a Operação."));
        QVERIFY(f.tab->isEditing());
        f.click("btnCanEdEmpCert");
        QCOMPARE(f.count("select count(*) from EMP_CERT"), 1);

        // Without a role.
        f.include("CN", "shenzhen-ab", QString());
        QCOMPARE(f.msg.lastText(), QString("Existem campos obrigatórios em branco !!! Reveja a inclusão ou edição..."));
        QCOMPARE(f.msg.lastCaption(), QString("Campos em branco"));
        QVERIFY(f.tab->isEditing());
        f.click("btnCanEdEmpCert");

        // An edit moves the role and the entry date; the status date follows.
        f.click("btnEdEmpCertEd");
        auto *roles = f.w<QComboBox>("DBLookupComboBox8");
        roles->setCurrentIndex(roles->findText("Importador"));
        auto *entry = f.w<MaskedDateEdit>("EdtDtEntradaEmpCert");
        entry->setText("02/03/2024");
        f.click("btnAplEdEmpCert");
        QVERIFY(!f.tab->isEditing());
        QCOMPARE(f.count("select IdPapelEmp from EMP_CERT"), 2);
        QCOMPARE(f.db->scalar("select DthStatusEmpresa from EMP_CERT").toDateTime(), QDate(2024, 3, 2).startOfDay());
        QCOMPARE(f.count("select count(*) from EVENTO_EMP"), 1);
        QCOMPARE(f.asked, 0);
        QCOMPARE(f.w<QComboBox>("DBLookupComboBox8")->currentText(), QString("Importador"));
    }

    void addingOnAnApprovedCertificateNeedsAJustification()
    {
        Window f(true);
        f.open();
        f.include("CN", "shenzhen-ab");
        QCOMPARE(f.asked, 1);
        QCOMPARE(f.count("select count(*) from EMP_CERT"), 0);
        QCOMPARE(f.count("select count(*) from EVENTO_EMP"), 0);
        QVERIFY(!f.tab->isEditing());
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 1);

        f.justifications << Justification{"nova fábrica", {}};
        f.include("CN", "shenzhen-ab");
        QCOMPARE(f.count("select count(*) from EMP_CERT"), 1);
        QCOMPARE(f.count("select count(*) from EVENTO_EMP where Evento = 'INC' and Justificativa = 'nova fábrica'"), 1);
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 0);

        // Added after the last approval: it may still leave, with its events.
        f.msg.answers << true;
        f.click("btnExEmpCertEd");
        QCOMPARE(f.msg.lastText(), QString("Confirma a exclusão da empresa ?"));
        QCOMPARE(f.count("select count(*) from EMP_CERT"), 0);
        QCOMPARE(f.count("select count(*) from EVENTO_EMP"), 0);
        QCOMPARE(f.rows(), 0);
    }

    void removalIsRefusedForCompaniesInUse()
    {
        Window f;
        f.link(Num, "BR", "12345678000190");
        f.item("TIPO", Num, "Marca", "M1", 0);
        f.run("update TIPO set CodigoPais = 'BR', IdEmpresa = '12345678000190', StatusProduto = 'C'");
        f.open();
        f.click("btnExEmpCertEd");
        QCOMPARE(
            f.msg.lastText(),
            QString(
                "Este registro não pode ser excluido do certificado, pois já foi referenciado a produto ou serviço."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de deleção"));
        QCOMPARE(f.count("select count(*) from EMP_CERT"), 1);
        // Answering No keeps a free company.
        f.run("delete from TIPO");
        f.msg.answers << false;
        f.click("btnExEmpCertEd");
        QCOMPARE(f.msg.lastText(), QString("Confirma a exclusão da empresa ?"));
        QCOMPARE(f.count("select count(*) from EMP_CERT"), 1);
    }

    void statusButtonsGoThroughTheCascadeOnlyWithActiveItems()
    {
        Window f;
        f.link(Num, "BR", "12345678000190");
        f.item("LOTE", Num, "Marca", "M1", 0);
        f.run("update LOTE set CodigoPais = 'BR', IdEmpresa = '12345678000190'");
        auto *lots = new CountingTab;
        f.frm->modificaCertificado()->addTab(lots);
        f.open();
        QCOMPARE(lots->opened, 1);
        QVERIFY(!f.w<QToolButton>("sbAtivEmp")->isVisibleTo(f.frm));
        f.click("sbSuspEmp");
        QCOMPARE(f.cascades.size(), 1);
        // The products the cascade may have changed are read again.
        QCOMPARE(lots->opened, 2);
        QCOMPARE(f.cascades.first().letter, QString("S"));
        QCOMPARE(f.cascades.first().evento, QString("SUS"));
        QCOMPARE(f.cascades.first().company.idEmpresa, QString("12345678000190"));
        QCOMPARE(f.cascades.first().userCode, QString("joana"));
        QCOMPARE(f.asked, 0);

        // Products all cancelled: the company alone, with its justification.
        f.run("update LOTE set StatusLote = 'C'");
        f.justifications << Justification{"auditoria", "01/02/2024"};
        f.click("sbCanEmp");
        QCOMPARE(f.cascades.size(), 1);
        QCOMPARE(f.asked, 1);
        QCOMPARE(f.db->scalar("select StatusEmpresa from EMP_CERT").toString(), QString("C"));
        QCOMPARE(f.count("select count(*) from EVENTO_EMP where Evento = 'CAN' and DthStatusEmpresa = ?",
                         {QDate(2024, 2, 1).startOfDay()}),
                 1);
        QVERIFY(f.w<QToolButton>("sbAtivEmp")->isVisibleTo(f.frm));
        QVERIFY(!f.w<QToolButton>("sbCanEmp")->isVisibleTo(f.frm));

        // Reactivating never asks the cascade, whatever the products; cancelled: nothing changes.
        f.run("update LOTE set StatusLote = 'A'");
        f.click("sbAtivEmp");
        QCOMPARE(f.cascades.size(), 1);
        QCOMPARE(f.asked, 2);
        QCOMPARE(f.db->scalar("select StatusEmpresa from EMP_CERT").toString(), QString("C"));
    }

    void detailsShowTheCompanyBeingEdited()
    {
        Window f;
        f.link(Num, "BR", "12345678000190");
        f.open();
        f.click("btnEdEmpCertEd");
        QString shown;
        whenModal<QDialog>([&](QDialog *d) {
            shown = d->windowTitle() + "|" + d->findChild<QLineEdit *>("EdRazaoSocial")->text();
            d->accept();
        });
        f.click("btnDetalhe");
        QCOMPARE(shown, QString("Detalhes da Empresa|Fábrica Alfa Ltda"));
    }
};

QTEST_MAIN(TestEmpresasEnvolvidasTab)
#include "test_empresasenvolvidastab.moc"
