// The products and services tabs of the modify panel, driven through the
// maintenance window: browse and edit states, the leave guard, the linked
// company list, typing rules, justification on an approved certificate,
// removal and status buttons.
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/documents/historyregistration.h"
#include "maintenance/products/itemservice.h"
#include "maintenance/products/ui/produtosporlotetab.h"
#include "maintenance/products/ui/produtosportipotab.h"
#include "maintenance/products/ui/produtosporunidadetab.h"
#include "maintenance/products/ui/servicostab.h"
#include "maintenance/ui/tformprincipal.h"
#include "register/statusevents.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/selectionfixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Num = QStringLiteral("C-1");

struct Window : SelectionFixture
{
    ProgramDatabase capa{nullptr, QStringLiteral("ItemTabsTest")};
    LoginState login;
    TFormPrincipal *frm = nullptr;
    QList<std::optional<Justification>> justifications;
    int asked = 0;
    std::optional<TabItem> historyItem;
    int chooserCalls = 0;

    Window()
    {
        certificate(Num, "COMP", 101);
        legalEntity("BR", "11222333000181", "11222333000181", "Fábrica Alfa", "Alfa");
        person("12345678909", "Maria Souza");
        link(Num, "BR", "11222333000181");
        link(Num, "BR", "12345678909");
        product("ACME", "X1", 0, "789");
        product("ZETA", "Z9", 1);
        login.userCode = QStringLiteral("joana");
        frm = new TFormPrincipal(capa, msg, login, {"USUÁRIO: joana", "Módulo"});
        frm->setJustificationPrompt([this](bool, const QDateTime &) -> std::optional<Justification> {
            ++asked;
            return justifications.isEmpty() ? std::nullopt : justifications.takeFirst();
        });
        panel()->setCertificateChooser([] { return CertificateKey{Sigla, Num}; });
        panel()->setHistoryAction(
            [this](const OpenCertificate &, CertificateTab *tab) { historyItem = tab->currentItem(); });
        for (auto *tab : frm->findChildren<ProductTab *>())
            tab->setProductChooser([this]() -> std::optional<SelectedProduct> {
                ++chooserCalls;
                return SelectedProduct{"ACME", "X1", 0, "789"};
            });
        frm->findChild<ServicosTab *>()->setCompanyChooser([]() -> std::optional<CompanyKey> {
            return CompanyKey{"BR", "11222333000181"};
        });
    }
    ~Window() { delete frm; }

    ModificaCertificadoPanel *panel() { return frm->modificaCertificado(); }
    template <typename T = QWidget> T *w(const QString &name) { return child<T>(frm, name); }
    void click(const QString &name) { w<QAbstractButton>(name)->click(); }
    void type(const QString &name, const QString &text)
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
    void pickCompany(const QString &list, const QString &name)
    {
        auto *c = w<QComboBox>(list);
        c->setCurrentIndex(c->findText(name));
    }
    void openOn(const QString &tabTitle)
    {
        frm->show();
        frm->modifyCertificate();
        click("btnSelCertModificacao");
        goTo(tabTitle);
        QCOMPARE(currentTab(), tabTitle);
    }
    // Asks the panel for the tab of the title (it may refuse).
    void goTo(const QString &tabTitle)
    {
        auto *tabs = w<QTabWidget>("PControlModificaCertif");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == tabTitle)
                tabs->setCurrentIndex(i);
    }
    QString currentTab()
    {
        auto *tabs = w<QTabWidget>("PControlModificaCertif");
        return tabs->tabText(tabs->currentIndex());
    }
    void approve(const QDateTime &at)
    {
        StatusEvents::Event e;
        e.key = StatusEvents::certificateKey(Sigla, Num);
        e.evento = "APR";
        e.status = "A";
        e.statusDate = at;
        e.writtenAt = at;
        e.user = "adm";
        StatusEvents::insert(*db, StatusEvents::Table::Status_C, e);
        run("update CERTIFIC set Aprovado = 1");
    }
    // An item as the tabs leave it, written with the service.
    void addItem(ItemKind kind, const QString &number)
    {
        CertificateItem i;
        i.marcaProd = "ACME";
        i.modeloProd = "X1";
        i.numLote = kind == ItemKind::Lote ? number : QString();
        i.numSerieProd = kind == ItemKind::Unidade ? number : QString();
        i.quantLote = "5";
        i.dataFabrLote = QDate(2024, 2, 1).startOfDay();
        i.codigoPais = "BR";
        i.idEmpresa = "11222333000181";
        ItemService s(*db, msg, "adm", kind);
        const ItemService::Certificate c{{Sigla, Num}, QDate(2024, 1, 10).startOfDay(), false};
        QVERIFY(s.check(c, std::nullopt, i, "12/01/2024"));
        QCOMPARE(s.apply(c, std::nullopt, i, std::nullopt), ItemService::Result::Saved);
    }
    void shot(const QString &name)
    {
        const QString dir = qEnvironmentVariable("CORVANE_SCREENSHOTS");
        if (!dir.isEmpty())
            frm->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
};

}

class TestItemTabs : public QObject
{
    Q_OBJECT

private slots:
    void lotInclusionThroughTheTab()
    {
        Window f;
        f.frm->show();
        f.openOn("Produtos por Lote");
        QVERIFY(f.w("btnInLoteEd")->isEnabled());
        QVERIFY(!f.w("btnEdLoteEd")->isEnabled());
        QVERIFY(!f.w("btnExLoteEd")->isEnabled());
        QVERIFY(!f.w("GroupTabLote")->isEnabled());
        QVERIFY(!f.w("GroupStatusTabLote")->isVisible());
        QVERIFY(!f.w("BtnCadHistorico")->isEnabled());

        f.click("btnInLoteEd");
        QCOMPARE(f.chooserCalls, 1); // the product is asked for at once
        QCOMPARE(f.w<QLineEdit>("EdMarcaModeloTabLote")->text(), QString("ACME / X1"));
        QCOMPARE(f.w<QLineEdit>("EdEANUPCTabLote")->text(), QString("789"));
        QCOMPARE(f.w<QLineEdit>("EdtDtEntradaLote")->text(), QString("10/01/2024"));
        QVERIFY(f.w("GroupTabLote")->isEnabled());
        QVERIFY(!f.w("DBGridLote")->isEnabled());
        QVERIFY(!f.w("EdNumProfInvoice")->isEnabled()); // a national product
        auto *companies = f.w<QComboBox>("EdEmpresaLoteLista");
        QVERIFY(companies->isVisible());
        QCOMPARE(companies->count(), 2);
        QCOMPARE(companies->currentIndex(), -1);

        // The keyboard walks the fields in reading order.
        QStringList order;
        for (QWidget *w = f.w("EdNumLote"); order.size() < 8; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus && w->isEnabled() && w->isVisible())
                order << w->objectName();
        QCOMPARE(order,
                 QStringList({"EdNumLote", "EdQuantLote", "EdDataFabrLote", "EdDataValLote", "EdEmpresaLoteLista",
                              "EdtDtEntradaLote", "btnSelProdLote", "btnAplLote"}));
        f.type("EdNumLote", "l 1a");
        QCOMPARE(f.w<QLineEdit>("EdNumLote")->text(), QString("L1A"));
        f.type("EdQuantLote", "100");
        f.type("EdDataFabrLote", "01022024");
        f.click("btnAplLote");
        QCOMPARE(f.msg.lastText(), QString("Favor selecionar a empresa vinculada."));
        QCOMPARE(f.count("select count(*) from LOTE"), 0);

        // Not applied: the tab keeps the user.
        f.goTo("Produtos por Tipo");
        QCOMPARE(f.currentTab(), QString("Produtos por Lote"));
        QCOMPARE(f.msg.lastText(),
                 QString("Existem inclusões ou alterações não Aplicadas no painel de Produtos por "
                         "Lote. Pressione o botão Aplicar ou Cancelar antes de mudar de painel."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de Edição"));
        f.shot("lote-edicao");

        f.pickCompany("EdEmpresaLoteLista", "Maria Souza");
        f.click("btnAplLote");
        QCOMPARE(f.asked, 0); // never approved: nothing to justify
        QCOMPARE(f.db->scalar("select NumLote || '|' || IdEmpresa || '|' || QuantLote from LOTE").toString(),
                 QString("L1A|12345678909|100"));
        QCOMPARE(f.db->scalar("select Evento from STATUS_L where NumLote = 'L1A'").toString(), QString("INC"));
        QVERIFY(!f.w("GroupTabLote")->isEnabled());
        QCOMPARE(f.w<QTableView>("DBGridLote")->model()->rowCount(), 1);
        QCOMPARE(f.w<QLineEdit>("EdEmpresaLoteNome")->text(), QString("Maria Souza"));
        QVERIFY(f.w("GroupStatusTabLote")->isVisible());
        QCOMPARE(f.w<QLabel>("DBTextStatusLote")->text(), QString("Ativo"));
        QVERIFY(f.w("btnEdLoteEd")->isEnabled());
        f.shot("lote-consulta");

        // The history window gets the lot as its item.
        f.click("BtnCadHistorico");
        QVERIFY(f.historyItem);
        QCOMPARE(f.historyItem->table, StatusEvents::Table::Status_L);
        QCOMPARE(f.historyItem->row.value("NumLote").toString(), QString("L1A"));
        QCOMPARE(f.historyItem->row.value("StatusLote").toString(), QString("A"));

        // Leaving is free again; the type tab never holds the user.
        f.goTo("Produtos por Tipo");
        QCOMPARE(f.currentTab(), QString("Produtos por Tipo"));
        f.click("btnInTipoEd");
        f.goTo("Produtos por Unidade");
        QCOMPARE(f.currentTab(), QString("Produtos por Unidade"));
    }

    void approvedCertificateAsksWhy()
    {
        Window f;
        f.addItem(ItemKind::Lote, "L1");
        f.run("update STATUS_L set DthUltAtualiz = ?", {QDateTime::currentDateTime().addSecs(-7200)});
        f.approve(QDateTime::currentDateTime().addSecs(-3600));
        f.openOn("Produtos por Lote");

        f.click("btnEdLoteEd");
        QCOMPARE(f.w<QComboBox>("EdEmpresaLoteLista")->currentText(), QString("Fábrica Alfa"));
        f.type("EdNumLote", "L2");
        f.click("btnAplLote"); // the justification is cancelled
        QCOMPARE(f.asked, 1);
        QCOMPARE(f.db->scalar("select NumLote from LOTE").toString(), QString("L1"));
        QCOMPARE(f.count("select count(*) from STATUS_L"), 1);
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 1);
        QVERIFY(!f.w("GroupTabLote")->isEnabled());
        QCOMPARE(f.w<QLineEdit>("EdNumLote")->text(), QString("L1"));

        f.click("btnEdLoteEd");
        f.type("EdNumLote", "L2");
        f.justifications << Justification{"Número corrigido", QString()};
        f.click("btnAplLote");
        QCOMPARE(f.db->scalar("select NumLote from LOTE").toString(), QString("L2"));
        QCOMPARE(f.count("select count(*) from STATUS_L where NumLote = 'L2'"), 2);
        QCOMPARE(f.db->scalar("select Justificativa from STATUS_L where Evento = 'ALT'").toString(),
                 QString("Número corrigido"));
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 0);

        // It was in the certificate when it was approved: it stays.
        f.click("btnExLoteEd");
        QCOMPARE(f.msg.lastText(), ItemTexts::Approved);
        QCOMPARE(f.count("select count(*) from LOTE"), 1);
    }

    void unitStatusAndRemoval()
    {
        Window f;
        f.addItem(ItemKind::Unidade, "S1");
        f.addItem(ItemKind::Unidade, "S2");
        f.openOn("Produtos por Unidade");
        QVERIFY(f.w("sbSuspUnid")->isVisible());
        QVERIFY(!f.w("sbAtivUnid")->isVisible());

        f.click("sbSuspUnid"); // cancelled: nothing changes
        QCOMPARE(f.db->scalar("select StatusUnidade from UNIDADE where NumSerieProd = 'S1'").toString(), QString("A"));
        f.justifications << Justification{"Recall", "01/03/2024"};
        f.click("sbSuspUnid");
        QCOMPARE(f.db->scalar("select StatusUnidade from UNIDADE where NumSerieProd = 'S1'").toString(), QString("S"));
        QCOMPARE(
            f.db->scalar("select Evento || ' ' || Justificativa from STATUS_U where StatusUnidade = 'S'").toString(),
            QString("SUS Recall"));
        QCOMPARE(f.db->scalar("select StatusUnidade from UNIDADE where NumSerieProd = 'S2'").toString(), QString("A"));
        QCOMPARE(f.w<QLabel>("DBTextStatusUnid")->text(), QString("Suspenso"));
        QVERIFY(f.w("sbAtivUnid")->isVisible());
        QVERIFY(!f.w("sbSuspUnid")->isVisible());

        f.click("btnExUnidEd"); // answered No
        QCOMPARE(f.msg.lastText(), QString("Confirma a exclusão do produto?"));
        QCOMPARE(f.count("select count(*) from UNIDADE"), 2);
        f.msg.answers << true;
        f.click("btnExUnidEd");
        QCOMPARE(f.count("select count(*) from UNIDADE"), 1);
        QCOMPARE(f.count("select count(*) from STATUS_U where NumSerieProd = 'S1'"), 0);
        QCOMPARE(f.count("select count(*) from STATUS_U where NumSerieProd = 'S2'"), 1);
        QCOMPARE(f.w<QTableView>("DBGridUnidade")->model()->rowCount(), 1);

        // A serial number that exists in another case is refused.
        f.click("btnInUnidEd");
        f.type("EdNumSerieProd", "s2");
        f.pickCompany("EdEmpresaUnidLista", "Fábrica Alfa");
        f.click("btnAplUnid");
        QCOMPARE(f.msg.lastText(), QString("Este produto já existe !!!. Cancele a Operação."));
        QVERIFY(f.w("GroupTabUnidade")->isEnabled());
        f.type("EdNumSerieProd", "s3");
        f.type("EdLocalInstalacao", "Galpão 2");
        f.w<QComboBox>("CbSiglaUFUnid")->setCurrentText("SP");
        f.click("btnAplUnid");
        QCOMPARE(
            f.db->scalar("select LocalInstalacao || '/' || SiglaUF from UNIDADE where NumSerieProd = 'S3'").toString(),
            QString("Galpão 2/SP"));
    }

    // A history note typed after the approval is no inclusion: the lot the
    // approval covered stays, and the regulator gets the note as before.
    void historyNoteKeepsAnApprovedLot()
    {
        Window f;
        f.addItem(ItemKind::Lote, "L1");
        const QDateTime now = QDateTime::currentDateTime();
        f.run("update STATUS_L set DthUltAtualiz = ?", {now.addSecs(-7200)});
        f.approve(now.addSecs(-3600));
        CertificateItem l1;
        l1.siglaCertificador = f.Sigla;
        l1.numCertif = Num;
        l1.numLote = "L1";
        l1.marcaProd = "ACME";
        l1.modeloProd = "X1";
        HistoryRegistration history(*f.db, f.msg, "joana", StatusEvents::Table::Status_L,
                                    CertificateItems::itemKey(ItemKind::Lote, l1), QDate(2024, 1, 10).startOfDay());
        QVERIFY(history.add("Auditoria de rotina", QDate::currentDate().toString("dd/MM/yyyy")));
        QCOMPARE(
            f.db->scalar(
                    "select Evento || '/' || HistoricoSis from STATUS_L where Justificativa = 'Auditoria de rotina'")
                .toString(),
            QString("INC/1"));

        f.openOn("Produtos por Lote");
        f.msg.answers << true;
        f.click("btnExLoteEd");
        QCOMPARE(f.msg.texts().last(),
                 QString("Este registro não pode ser apagado do certificado, pois já foi aprovado "
                         "para emissão para o Quelora."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de deleção"));
        QVERIFY(!f.msg.texts().contains("Confirma a exclusão do produto?"));
        QCOMPARE(f.count("select count(*) from LOTE"), 1);
        QCOMPARE(f.count("select count(*) from STATUS_L"), 2);
    }

    void typeAndServiceInclusion()
    {
        Window f;
        f.openOn("Produtos por Tipo");
        QVERIFY(!f.w("btnExTipoEd")->isEnabled());
        f.click("btnInTipoEd");
        f.pickCompany("EdEmpresaTipoLista", "Fábrica Alfa");
        f.click("btnAplTipo");
        QCOMPARE(f.db->scalar("select MarcaProd || ' ' || IdEmpresa || ' ' || StatusProduto from TIPO").toString(),
                 QString("ACME 11222333000181 A"));
        QCOMPARE(f.w<QTableView>("DBGrid14")->model()->index(0, 4).data().toString(), QString());
        QCOMPARE(f.w<QTableView>("DBGrid14")->model()->index(0, 2).data().toString(), QString("Não"));
        QVERIFY(f.w("btnExTipoEd")->isEnabled());
        f.click("btnInTipoEd");
        f.pickCompany("EdEmpresaTipoLista", "Fábrica Alfa");
        f.click("btnAplTipo");
        QCOMPARE(f.msg.lastText(), QString("O Produto ACME X1 já existe."));
        f.click("btnCanTipo");
        QCOMPARE(f.count("select count(*) from TIPO"), 1);

        f.goTo("Serviços");
        QCOMPARE(f.currentTab(), QString("Serviços"));
        f.click("btnInServEd"); // the company is asked for at once
        QCOMPARE(f.w<QLineEdit>("EdRazSocialServ")->text(), QString("Fábrica Alfa"));
        QCOMPARE(f.w<QLineEdit>("EdCNPJServ")->text(), QString("11.222.333/0001-81"));
        f.click("btnAplServ");
        QCOMPARE(f.msg.lastText(), ItemTexts::Blank); // no class yet
        f.w<QComboBox>("CbClasseServ")->setCurrentText("Recarga de Extintores");
        f.click("btnAplServ");
        QCOMPARE(f.db->scalar("select IdClasseServ || ' ' || IdEmpresa from SERVICO").toString(),
                 QString("10 11222333000181"));
        QCOMPARE(f.db->scalar("select Evento from STATUS_S").toString(), QString("INC"));
        QCOMPARE(f.w<QTableView>("DBGridServico")->model()->index(0, 0).data().toString(),
                 QString("Recarga de Extintores"));
        // Written elsewhere (a company's status passed on): shown on return.
        f.run("update SERVICO set StatusServico = 'C'");
        f.goTo("Produtos por Tipo");
        f.goTo("Serviços");
        QCOMPARE(f.w<QLabel>("DBTextStatusServ")->text(), QString("Cancelado"));

        f.click("btnInServEd");
        f.w<QComboBox>("CbClasseServ")->setCurrentText("Recarga de Extintores");
        f.click("btnAplServ");
        QCOMPARE(f.msg.lastText(), QString("Este serviço já existe !!!. Cancele a Operação."));
        QCOMPARE(f.count("select count(*) from SERVICO"), 1);
    }

    // The documents of a service belong to its class: while one is linked,
    // "Aplicar" names it and keeps the class; without them the class moves.
    void serviceClassStaysWhileDocumentsAreLinked()
    {
        Window f;
        f.run("insert into CREDENCIAMENTO_SERV (SiglaCertificador, IdClasseCertif, IdClasseServ) values ('OCT', "
              "'SERV', 20)");
        f.service(Num, 10, "BR", "11222333000181");
        f.run("update SERVICO set DthEntCertif = ?", {QDate(2024, 1, 15).startOfDay()});
        f.run("insert into DOC_NORMATIVOS_SERV (IdClasseCertif, IdClasseServ, IdDocNorm, IdTipoDoc, NomeTitulo, "
              "StatusDoc) "
              "values ('SERV', 10, 7, 1, 'Portaria 206', 'A')");
        for (int doc : {7, 8})
            f.run("insert into DOC_NORM_SERV (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseServ, IdDocNorm, "
                  "IdEmpresa, CodigoPais, Status_DNS) values (?, ?, 'SERV', 10, ?, '11222333000181', 'BR', 'A')",
                  {SelectionFixture::Sigla, Num, doc});
        f.openOn("Serviços");
        f.click("btnEdServEd");
        f.w<QComboBox>("CbClasseServ")->setCurrentText("Manutenção Elétrica");
        f.click("btnAplServ");
        QCOMPARE(f.msg.lastText(),
                 QString("A classe do serviço não pode ser alterada enquanto houver documentos "
                         "normativos vinculados a ele: 7 - Portaria 206; 8. Exclua-os em "
                         "\"Doc. Normativos\" antes de mudar a classe."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de Edição"));
        QCOMPARE(f.count("select count(*) from SERVICO where IdClasseServ = 10"), 1);
        QCOMPARE(f.count("select count(*) from DOC_NORM_SERV where IdClasseServ = 10"), 2);
        QCOMPARE(f.count("select count(*) from STATUS_S"), 0);
        f.click("btnCanServ");

        f.run("delete from DOC_NORM_SERV");
        f.msg.clear();
        f.click("btnEdServEd");
        f.w<QComboBox>("CbClasseServ")->setCurrentText("Manutenção Elétrica");
        f.click("btnAplServ");
        QCOMPARE(f.msg.texts(), QStringList());
        QCOMPARE(f.count("select count(*) from SERVICO where IdClasseServ = 20"), 1);
    }

    void screenshots()
    {
        if (qEnvironmentVariableIsEmpty("CORVANE_SCREENSHOTS"))
            QSKIP("CORVANE_SCREENSHOTS names no folder");
        Window f;
        f.addItem(ItemKind::Lote, "L1");
        f.addItem(ItemKind::Unidade, "S1");
        f.addItem(ItemKind::Tipo, QString());
        f.frm->show();
        f.openOn("Produtos por Tipo");
        const QList<std::pair<QString, QString>> tabs = {{"Produtos por Tipo", "btnEdTipoEd"},
                                                         {"Produtos por Lote", "btnEdLoteEd"},
                                                         {"Produtos por Unidade", "btnEdUnidEd"},
                                                         {"Serviços", "btnInServEd"}};
        auto *widget = f.w<QTabWidget>("PControlModificaCertif");
        for (int i = 0; i < tabs.size(); ++i) {
            f.goTo(tabs.at(i).first);
            QTest::qWait(50);
            f.shot(QStringLiteral("tab%1-consulta").arg(i));
            f.click(tabs.at(i).second);
            QTest::qWait(50);
            f.shot(QStringLiteral("tab%1-edicao").arg(i));
            f.click(widget->currentWidget()->findChildren<QPushButton *>().last()->objectName());
        }
    }
};

QTEST_MAIN(TestItemTabs)
#include "test_itemtabs.moc"
