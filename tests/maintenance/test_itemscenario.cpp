// A certificate built through the maintenance window with the real
// selection and justification dialogs: registered, two companies, one type,
// one lot, one unit and one service; complete with a normative document,
// approved; then changed again after the approval, and one company
// cancelled with its status passed on to its products. Every row and event
// written is read back.
#include "maintenance/certificates/certificateapproval.h"
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/certificates/ui/novocertificadopanel.h"
#include "maintenance/certificates/ui/tfrmjustificativa.h"
#include "maintenance/companies/ui/tfrmalterastatusempresa.h"
#include "maintenance/companies/ui/tfrmselecionaempresa.h"
#include "maintenance/companies/ui/tfrmselempcert.h"
#include "maintenance/products/ui/tfrmselecionaproduto.h"
#include "maintenance/ui/tformprincipal.h"
#include "register/statusevents.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/selectionfixture.h"
#include "support/whenmodal.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

namespace {

void typeInto(QWidget *w, const QString &name, const QString &text)
{
    auto *e = child<QLineEdit>(w, name);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
}

// "Seleciona Produto" answered by filtering on the model and choosing.
void chooseProduct(const QString &model)
{
    whenModal<TFrmSelecionaProduto>([model](TFrmSelecionaProduto *d) {
        typeInto(d, "EdModelo", model);
        child<QPushButton>(d, "BtFiltra")->click();
        child<QPushButton>(d, "BtOk")->click();
    });
}

// "Seleciona Empresa" of the companies tab: any registered company.
void chooseRegisteredCompany(const QString &name)
{
    whenModal<TFrmSelecionaEmpresa>([name](TFrmSelecionaEmpresa *d) {
        typeInto(d, "EdRazaoSocial", name);
        child<QPushButton>(d, "BtFiltra")->click();
        child<QPushButton>(d, "BtOk")->click();
    });
}

void chooseCompany(const QString &name)
{
    whenModal<TFrmSelEmpCert>([name](TFrmSelEmpCert *d) {
        typeInto(d, "EdRazaoSocial", name);
        child<QPushButton>(d, "BtFiltra")->click();
        child<QPushButton>(d, "BtOk")->click();
    });
}

void justify(const QString &reason, const QString &date = QString())
{
    whenModal<TFrmJustificativa>([reason, date](TFrmJustificativa *d) {
        typeInto(d, "Edit1", reason);
        if (!date.isEmpty())
            typeInto(d, "EdtDataStatus", date);
        child<QPushButton>(d, "BtOK")->click();
    });
}

struct Scenario : SelectionFixture
{
    ProgramDatabase capa{nullptr, QStringLiteral("ItemScenario")};
    LoginState login;
    TFormPrincipal *frm = nullptr;

    Scenario()
    {
        legalEntity("BR", "11222333000181", "11222333000181", "Fabrica Alfa", "Alfa");
        legalEntity("BR", "44555666000172", "44555666000172", "Montadora Beta", "Beta");
        product("ACME", "X1", 0, "789");
        product("ZETA", "Z9", 1);
        product("ORION", "O7", 0);
        run("insert into PAPEL_EMP (IdPapelEmp, PapelEmp, DthUltAtualiz, UsuResp) values (1, 'Fabricante', ?, 'q')",
            {QDateTime::currentDateTime()});
        login.userCode = QStringLiteral("joana");
        frm = new TFormPrincipal(capa, msg, login, {"USUÁRIO: joana"});
        frm->show();
    }
    ~Scenario() { delete frm; }

    void click(const QString &name) { child<QAbstractButton>(frm, name)->click(); }
    void goTo(const QString &title)
    {
        auto *tabs = child<QTabWidget>(frm, "PControlModificaCertif");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == title)
                tabs->setCurrentIndex(i);
        QCOMPARE(tabs->tabText(tabs->currentIndex()), title);
    }
    void pickCompany(const QString &list, const QString &name)
    {
        auto *c = child<QComboBox>(frm, list);
        c->setCurrentIndex(c->findText(name));
    }
    QStringList rows(const QString &sql)
    {
        QStringList out;
        QSqlQuery q = db->exec(sql);
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < q.record().count(); ++i)
                fields << q.value(i).toString();
            out << fields.join(QLatin1Char('|'));
        }
        return out;
    }
    // Event rows of a table: item, event, justification, origin, status.
    QStringList events(const QString &table, const QString &item)
    {
        return rows(QStringLiteral("select %1, Evento, coalesce(Justificativa, '-'), HistoricoSis, %2, UsuResp "
                                   "from %3 order by SeqEvento")
                        .arg(item, StatusEvents::statusColumn(*StatusEvents::tableByName(table)), table));
    }
};

}

class TestItemScenario : public QObject
{
    Q_OBJECT

private slots:
    void certificateBuiltApprovedAndChanged()
    {
        Scenario s;
        const QString issue = QDate::currentDate().addDays(-10).toString("dd/MM/yyyy");
        const QString entry = QDate::currentDate().addDays(-5).toString("dd/MM/yyyy");

        // Registered through the new-certificate panel.
        s.frm->newCertificate();
        typeInto(s.frm, "DBEdit10", "OCT-7/2026");
        auto *cls = child<QComboBox>(s.frm, "DBLookupComboBox15");
        cls->setCurrentIndex(cls->findText(QString::fromUtf8("Certificação Compulsória")));
        emit cls->activated(cls->currentIndex());
        auto *prod = child<QComboBox>(s.frm, "DBLookupComboBox3");
        prod->setCurrentIndex(prod->findText("Plugues e Tomadas"));
        emit prod->activated(prod->currentIndex());
        typeInto(s.frm, "MaskEdit3", issue);
        s.frm->novoCertificado()->checkIssueDate();
        typeInto(s.frm, "MaskEdit4", QDate::currentDate().addYears(2).toString("dd/MM/yyyy"));
        s.click("btnSalvaInclusao");
        QCOMPARE(s.frm->mode(), QString("ModificaCertificado"));
        const QString num = "OCT-7/2026";

        // Two companies, through the companies tab.
        s.goTo("Empresas Envolvidas");
        for (const char *name : {"Fabrica Alfa", "Montadora Beta"}) {
            chooseRegisteredCompany(QString::fromLatin1(name));
            s.click("btnInEmpCertEd");
            auto *role = child<QComboBox>(s.frm, "DBLookupComboBox8");
            role->setCurrentIndex(role->findText("Fabricante"));
            typeInto(s.frm, "EdtDtEntradaEmpCert", QDate::currentDate().addDays(-9).toString("dd/MM/yyyy"));
            s.click("btnAplEdEmpCert");
        }
        QCOMPARE(s.count("select count(*) from EMP_CERT"), 2);

        // One type, one lot, one unit, one service, each with its dialog.
        s.goTo("Produtos por Tipo");
        chooseProduct("X1");
        s.click("btnInTipoEd");
        s.pickCompany("EdEmpresaTipoLista", "Fabrica Alfa");
        typeInto(s.frm, "EdtDtEntradaTipo", entry);
        s.click("btnAplTipo");

        s.goTo("Produtos por Lote");
        chooseProduct("Z9");
        s.click("btnInLoteEd");
        QVERIFY(child<QLineEdit>(s.frm, "EdNumProfInvoice")->isEnabled()); // imported
        typeInto(s.frm, "EdNumLote", "lt 01");
        typeInto(s.frm, "EdQuantLote", "500");
        typeInto(s.frm, "EdNumProfInvoice", "PI-9");
        typeInto(s.frm, "EdDataFabrLote", QDate::currentDate().addDays(-30).toString("dd/MM/yyyy"));
        s.pickCompany("EdEmpresaLoteLista", "Montadora Beta");
        typeInto(s.frm, "EdtDtEntradaLote", entry);
        s.click("btnAplLote");

        s.goTo("Produtos por Unidade");
        chooseProduct("O7");
        s.click("btnInUnidEd");
        typeInto(s.frm, "EdNumSerieProd", "sn-1");
        s.pickCompany("EdEmpresaUnidLista", "Fabrica Alfa");
        typeInto(s.frm, "EdtDtEntradaUnid", entry);
        s.click("btnAplUnid");
        QCOMPARE(s.count("select Completo from CERTIFIC"), 0); // no normative document yet

        s.run("insert into DOC_NORM_CERT_PRODUTO (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseProd, "
              "IdDocNorm, Status_DNCP) values ('OCT', ?, 'COMP', 101, 1, 'A')",
              {num});
        s.goTo("Serviços");
        chooseCompany("Montadora");
        s.click("btnInServEd");
        auto *classe = child<QComboBox>(s.frm, "CbClasseServ");
        classe->setCurrentIndex(classe->findText("Recarga de Extintores"));
        typeInto(s.frm, "EdtDtEntradaServ", entry);
        s.click("btnAplServ");
        QCOMPARE(s.msg.texts(), QStringList());
        QCOMPARE(s.count("select Completo from CERTIFIC"), 1);

        // Approved through the approval service.
        const auto approved = CertificateApproval::approve(*s.db, {{"OCT", num}}, "gestor");
        QCOMPARE(approved.size(), 1);
        QCOMPARE(s.count("select Aprovado from CERTIFIC"), 1);

        // Opened again: a change now needs a reason and clears the approval.
        QTest::qWait(20); // the lot's change comes after the approval
        s.frm->modificaCertificado()->load({"OCT", num});
        s.goTo("Produtos por Lote");
        s.click("btnEdLoteEd");
        typeInto(s.frm, "EdQuantLote", "450");
        justify("Quantidade recontada");
        s.click("btnAplLote");
        QCOMPARE(s.count("select Aprovado from CERTIFIC"), 0);
        s.goTo("Serviços");
        justify("Servico interrompido", QDate::currentDate().toString("dd/MM/yyyy"));
        s.click("sbSuspServ");
        QCOMPARE(child<QLabel>(s.frm, "DBTextStatusServ")->text(), QString("Suspenso"));
        // In the certificate since before the approval: it stays.
        s.click("btnExServEd");
        QCOMPARE(s.msg.lastText(),
                 QString("Este registro não pode ser apagado do certificado, pois já foi aprovado "
                         "para emissão para o Quelora."));

        // The company of the lot and the service cancelled, its status
        // passed on to what it still has active.
        s.goTo("Empresas Envolvidas");
        auto *companies = child<QTableView>(s.frm, "DBGrid13");
        for (int row = 0; row < companies->model()->rowCount(); ++row)
            for (int col = 0; col < companies->model()->columnCount(); ++col)
                if (companies->model()->index(row, col).data().toString() == "Montadora Beta")
                    companies->setCurrentIndex(companies->model()->index(row, 0));
        const QString today = QDate::currentDate().toString("dd/MM/yyyy");
        s.msg.answers << true; // "Propagar" confirmed
        bool cascaded = false;
        whenModal<TFrmAlteraStatusEmpresa>([&](TFrmAlteraStatusEmpresa *d) {
            justify("Empresa descredenciada", today);
            child<QPushButton>(d, "BtPropaga")->click();
            cascaded = true;
            child<QPushButton>(d, "BtSaida")->click();
        });
        s.click("sbCanEmp");
        QVERIFY(cascaded);
        s.goTo("Produtos por Lote");
        QCOMPARE(child<QLabel>(s.frm, "DBTextStatusLote")->text(), QString("Cancelado"));

        // Everything written, read back.
        const QString e = entry.mid(6, 4) + "-" + entry.mid(3, 2) + "-" + entry.left(2);
        QCOMPARE(s.rows("select MarcaProd, ModeloProd, Importado, CodigoPais, IdEmpresa, StatusProduto, "
                        "substr(DthStatusProduto, 1, 10), substr(DthEntCertif, 1, 10), UsuResp from TIPO"),
                 QStringList{"ACME|X1|0|BR|11222333000181|A|" + e + "|" + e + "|joana"});
        QCOMPARE(s.rows("select NumLote, MarcaProd, ModeloProd, Importado, QuantLote, NumProfInvoice, IdEmpresa, "
                        "StatusLote, substr(DthEntCertif, 1, 10) from LOTE"),
                 QStringList{"LT01|ZETA|Z9|1|450|PI-9|44555666000172|C|" + e});
        QCOMPARE(s.rows("select NumSerieProd, MarcaProd, IdEmpresa, StatusUnidade from UNIDADE"),
                 QStringList{"SN-1|ORION|11222333000181|A"});
        QCOMPARE(s.rows("select IdClasseServ, IdEmpresa, StatusServico, substr(DthStatusServico, 1, 10) from SERVICO"),
                 QStringList{"10|44555666000172|S|" + QDate::currentDate().toString("yyyy-MM-dd")});
        QCOMPARE(s.events("STATUS_T", "MarcaProd"), QStringList{"ACME|INC|Historico gerado pelo sistema|2|A|joana"});
        QCOMPARE(s.events("STATUS_L", "NumLote"),
                 QStringList({"LT01|INC|Historico gerado pelo sistema|2|A|joana",
                              "LT01|ALT|Quantidade recontada|2|A|joana", "LT01|CAN|Empresa descredenciada|2|C|joana"}));
        QCOMPARE(s.events("STATUS_U", "NumSerieProd"), QStringList{"SN-1|INC|Historico gerado pelo sistema|2|A|joana"});
        QCOMPARE(
            s.events("STATUS_S", "IdClasseServ"),
            QStringList({"10|INC|Historico gerado pelo sistema|2|A|joana", "10|SUS|Servico interrompido|2|S|joana"}));
        QCOMPARE(s.events("STATUS_C", "NumCertif"),
                 QStringList({num + "|INC|Historico gerado pelo sistema|2|A|joana",
                              num + "|APR|Historico gerado pelo sistema|2|A|gestor"}));
        QCOMPARE(s.rows("select IdEmpresa, IdPapelEmp, StatusEmpresa, substr(DthStatusEmpresa, 1, 10) from EMP_CERT "
                        "order by IdEmpresa"),
                 QStringList({"11222333000181|1|A|" + QDate::currentDate().addDays(-9).toString("yyyy-MM-dd"),
                              "44555666000172|1|C|" + QDate::currentDate().toString("yyyy-MM-dd")}));
        QCOMPARE(s.events("EVENTO_EMP", "IdEmpresa"),
                 QStringList({"11222333000181|INC|Historico gerado pelo sistema|2|A|joana",
                              "44555666000172|INC|Historico gerado pelo sistema|2|A|joana",
                              "44555666000172|CAN|Empresa descredenciada|2|C|joana"}));
        // The other company's products and the suspended service kept theirs.
        QCOMPARE(s.rows("select StatusProduto from TIPO union all select StatusUnidade from UNIDADE"),
                 QStringList({"A", "A"}));
        QCOMPARE(s.count("select Aprovado from CERTIFIC"), 0);
    }
};

QTEST_MAIN(TestItemScenario)
#include "test_itemscenario.moc"
