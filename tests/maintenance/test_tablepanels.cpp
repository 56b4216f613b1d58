// The delete panel and the company, product, regulator's tables and
// signatory panels of the maintenance window, driven through their controls.
#include "maintenance/certificates/ui/excluicertificadopanel.h"
#include "maintenance/companies/ui/tabempresapanel.h"
#include "maintenance/products/ui/tabprodutopanel.h"
#include "maintenance/tables/queloratables.h"
#include "maintenance/tables/ui/signatariospanel.h"
#include "maintenance/tables/ui/tabquelorapanel.h"
#include "maintenance/ui/tformprincipal.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/selectionfixture.h"
#include "widgets/selectiongrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Cnpj = QStringLiteral("11222333000181");

struct Window : SelectionFixture
{
    ProgramDatabase capa{nullptr, QStringLiteral("TablePanelsTest")};
    LoginState login;
    TFormPrincipal *frm = nullptr;

    Window()
    {
        login.userCode = QStringLiteral("joana");
        frm = new TFormPrincipal(capa, msg, login, {"USUÁRIO: joana", "Módulo"});
    }
    ~Window() { delete frm; }

    template <typename T = QWidget> T *w(const char *name) { return child<T>(frm, name); }
    void click(const char *name) { w<QAbstractButton>(name)->click(); }
    void type(const char *name, const QString &text)
    {
        auto *e = w<QLineEdit>(name);
        e->setFocus();
        e->selectAll();
        e->insert(text);
    }
    void pick(const char *name, const QString &text)
    {
        auto *c = w<QComboBox>(name);
        c->setCurrentIndex(c->findText(text));
        emit c->activated(c->currentIndex());
    }
    SelectionGrid *grid(const char *name) { return w<SelectionGrid>(name); }
    QString cell(const char *gridName, int row, int column)
    {
        SelectionGrid *g = grid(gridName);
        return g->model()->index(row, column).data().toString();
    }
    bool enabled(const char *name) { return w(name)->isEnabled(); }
    void foreignCompanyUsedBy(const QString &num)
    {
        legalEntity("CN", "Shenzhen Works", QString(), "Shenzhen Works", "SW");
        certificate(num, "COMP", 101);
        link(num, "CN", "Shenzhen Works");
    }
};

}

class TestTablePanels : public QObject
{
    Q_OBJECT

private slots:
    void deletePanelShowsTheCertificateAndDeletesItOnlyWhenNeverApproved()
    {
        Window f;
        f.legalEntity("BR", Cnpj, Cnpj, "Fábrica Brasileira", "Fab");
        f.product("Marca", "M1", 1, "789");
        f.certificate("C-1", "COMP", 101);
        f.link("C-1", "BR", Cnpj);
        f.item("LOTE", "C-1", "Marca", "M1", 1);
        f.item("TIPO", "C-1", "Marca", "M1", 1);
        f.service("C-1", 10, "BR", Cnpj);
        f.certificate("C-2", "COMP", 101);
        f.run(
            "INSERT INTO STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento, StatusCertificado, DthUltAtualiz) "
            "VALUES ('OCT', 'C-2', 1, 'APR', 'A', ?)",
            {QDateTime::currentDateTime()});
        std::optional<CertificateKey> chosen;
        f.frm->findChild<ExcluiCertificadoPanel *>()->setCertificateChooser([&] { return chosen; });

        QVERIFY(f.w<QAction>("Exclui1")->isEnabled());
        f.w<QToolButton>("spbApagaCertificado")->click();
        QCOMPARE(f.frm->mode(), QString("ExcluiCertificado"));
        QVERIFY(!f.enabled("spbNovoCertificado"));
        QVERIFY(!f.enabled("btnExcluiCertif"));

        f.click("btnSelCertExclusao");
        QCOMPARE(f.msg.lastText(), QString("Nenhum Certificado foi escolhido !!!"));
        QVERIFY(!f.enabled("btnExcluiCertif"));

        chosen = CertificateKey{"oct", "c-1"};
        f.click("btnSelCertExclusao");
        QVERIFY(f.enabled("btnExcluiCertif"));
        QCOMPARE(f.w<QLineEdit>("DBEdit2")->text(), QString("C-1"));
        QCOMPARE(f.w<QLineEdit>("DBEdit3")->text(), QString("Certificação Compulsória"));
        QCOMPARE(f.w<QLineEdit>("DBEdit4")->text(), QString("Plugues e Tomadas"));
        QCOMPARE(f.cell("DBGridEmpresas", 0, 1), QString("11.222.333/0001-81"));
        QCOMPARE(f.cell("DBGridEmpresas", 0, 2), QString("Fábrica Brasileira"));
        QCOMPARE(f.grid("DBGridProdutos")->model()->rowCount(), 2);
        QCOMPARE(f.cell("DBGridProdutos", 0, 2), QString("Sim"));
        QCOMPARE(f.cell("DBGridProdutos", 1, 4), QString("L1"));
        QCOMPARE(f.cell("DBGridServicos", 0, 0), QString("Recarga de Extintores"));
        QCOMPARE(f.cell("DBGridServicos", 0, 1), QString("Fábrica Brasileira"));

        f.msg.clear();
        f.click("btnExcluiCertif"); // answered No
        QCOMPARE(f.msg.lastText(), QString("Exclusão cancelada!"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM LOTE"), 1);
        f.msg.answers.enqueue(true);
        f.click("btnExcluiCertif");
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC WHERE NumCertif = 'C-1'"), 0);
        QCOMPARE(f.count("SELECT COUNT(*) FROM LOTE"), 0);
        QVERIFY(f.w<QLineEdit>("DBEdit2")->text().isEmpty());
        QCOMPARE(f.grid("DBGridProdutos")->model()->rowCount(), 0);
        QVERIFY(!f.enabled("btnExcluiCertif"));

        chosen = CertificateKey{"OCT", "C-2"};
        f.click("btnSelCertExclusao");
        f.msg.clear();
        f.msg.answers.enqueue(true);
        f.click("btnExcluiCertif");
        QCOMPARE(f.msg.texts(),
                 QStringList{"Este certificado já foi aprovado para envio para o Quelora e não pode ser deletado."});
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC WHERE NumCertif = 'C-2'"), 1);

        f.click("BitBtn83");
        QCOMPARE(f.frm->mode(), QString("Principal"));
        QVERIFY(f.enabled("spbNovoCertificado"));
    }

    void companyPanelIncludesWithTheLocksOfItsCountryAndPersonType()
    {
        Window f;
        f.foreignCompanyUsedBy("C-1");
        f.w<QAction>("Empresa1")->trigger();
        QCOMPARE(f.frm->mode(), QString("TabEmpresa"));
        QVERIFY(!f.enabled("spbTabProduto"));
        QVERIFY(!f.enabled("GroupDetalheEmpresa"));
        QVERIFY(f.enabled("btnEditarEmpresa"));
        QCOMPARE(f.w<QLineEdit>("EdRazaoSocial")->text(), QString("Shenzhen Works"));

        f.click("btnIncluirEmpresa");
        QVERIFY(f.enabled("GroupDetalheEmpresa"));
        QVERIFY(!f.enabled("btnSaidaEmpresa"));
        QVERIFY(f.w<QRadioButton>("RbJuridica")->isChecked());
        f.click("btnOkEmpresa");
        QCOMPARE(f.msg.lastText(), QString("O campo de País é de preenchimento obrigatório."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de gravação"));

        f.pick("CbPais", "Brasil");
        QVERIFY(f.w<QLabel>("LbCEP")->font().bold());
        f.click("RbFisica");
        QVERIFY(f.w<QLineEdit>("EdCPF")->isVisibleTo(f.frm));
        QVERIFY(!f.w<QLineEdit>("EdCNPJ")->isVisibleTo(f.frm));
        QVERIFY(!f.w<QLineEdit>("EdNomeFantasia")->isVisibleTo(f.frm));
        QVERIFY(!f.enabled("EdRazaoSocial"));
        f.pick("CbPais", "China");
        QVERIFY(f.w<QRadioButton>("RbJuridica")->isChecked());
        QVERIFY(!f.enabled("RbFisica"));
        QVERIFY(!f.w<QLabel>("LbCEP")->font().bold());
        f.type("EdRazaoSocial", "Beijing Parts");
        f.type("EdNomeFantasia", "BP");
        f.click("btnOkEmpresa");
        QVERIFY(!f.enabled("GroupDetalheEmpresa"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA WHERE CodigoPais = 'CN' AND IdEmpresa = 'Beijing Parts'"), 1);
        // The grid stands on the new company.
        QCOMPARE(f.w<TabEmpresaPanel>("PanelTabEmpresa")->currentKey()->idEmpresa, QString("Beijing Parts"));
        QCOMPARE(f.cell("DBGridEmpresa", f.grid("DBGridEmpresa")->currentRow(), 3), QString("BP"));

        f.click("btnSaidaEmpresa");
        QCOMPARE(f.frm->mode(), QString("Principal"));
    }

    void companyPanelEditsAUsedCompanyWithinItsLocks()
    {
        Window f;
        f.foreignCompanyUsedBy("C-1");
        f.run("UPDATE CERTIFIC SET Aprovado = 1");
        f.legalEntity("CN", "Zeta Free", QString(), "Zeta Free", "");
        f.frm->setMode("Principal");
        f.w<QToolButton>("spbTabEmpresa")->click();
        QCOMPARE(f.grid("DBGridEmpresa")->model()->rowCount(), 2);
        f.click("btnEditarEmpresa");
        QVERIFY(!f.enabled("CbPais"));
        QVERIFY(!f.enabled("EdRazaoSocial"));
        QVERIFY(!f.enabled("RbFisica") && !f.enabled("RbJuridica"));
        QVERIFY(f.w<QLabel>("LbPais")->styleSheet().contains("maroon"));
        f.type("EdEndereco", "Rua Dois, 20");
        f.click("btnOkEmpresa");
        QCOMPARE(f.count("SELECT Aprovado FROM CERTIFIC"), 0);
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C WHERE Evento = 'ALT' AND UsuResp = 'joana'"), 1);
        QCOMPARE(f.db->scalar("SELECT EndLogr FROM EMPRESA WHERE IdEmpresa = 'Shenzhen Works'").toString(),
                 QString("Rua Dois, 20"));

        // An unused company may change its name (its key) until it collides.
        f.grid("DBGridEmpresa")->setCurrentIndex(f.grid("DBGridEmpresa")->model()->index(1, 0));
        f.click("btnEditarEmpresa");
        QVERIFY(f.enabled("CbPais"));
        QVERIFY(f.enabled("EdRazaoSocial"));
        f.type("EdRazaoSocial", "SHENZHEN WORKS");
        f.click("btnOkEmpresa");
        QCOMPARE(f.msg.lastText(), QString("Esta empresa já existe !!!. Cancele a Operação."));
        QVERIFY(f.w<TabEmpresaPanel>("PanelTabEmpresa")->isEditing());
        f.click("btnCancelaEmpresa");
        QCOMPARE(f.w<QLineEdit>("EdRazaoSocial")->text(), QString("Zeta Free"));

        // "&Pesquisar" stands the grid on the company chosen.
        f.w<TabEmpresaPanel>("PanelTabEmpresa")->setCompanyChooser([] {
            return std::optional<CompanyKey>({"CN", "Shenzhen Works"});
        });
        f.click("btnPesquisarEmpresa");
        QCOMPARE(f.grid("DBGridEmpresa")->currentRow(), 0);
        QCOMPARE(f.w<QLineEdit>("EdEndereco")->text(), QString("Rua Dois, 20"));
        f.w<TabEmpresaPanel>("PanelTabEmpresa")->setCompanyChooser([] {
            return std::optional<CompanyKey>({"CN", "zeta free"});
        });
        f.click("btnPesquisarEmpresa");
        QCOMPARE(f.grid("DBGridEmpresa")->currentRow(), 1);

        f.click("btnExcluirEmpresa"); // answered No
        QCOMPARE(f.msg.lastText(), QString("Confirma a exclusão da Empresa?"));
        f.msg.answers.enqueue(true);
        f.click("btnExcluirEmpresa");
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA"), 1);
        QCOMPARE(f.grid("DBGridEmpresa")->model()->rowCount(), 1);
    }

    // A company imported under a key other than its CNPJ (the file only asks
    // for a valid one): a new phone leaves every row that names it linked.
    void companyPanelEditKeepsAnImportedKey()
    {
        Window f;
        f.legalEntity("BR", "11444777000161", Cnpj, "Fábrica Importada", "FI");
        f.run("UPDATE EMPRESA SET EndCEP = '01001000'");
        f.certificate("C-1", "COMP", 101);
        f.run("UPDATE CERTIFIC SET Aprovado = 1");
        f.link("C-1", "BR", "11444777000161");
        f.service("C-1", 10, "BR", "11444777000161");
        f.frm->setMode("Principal");
        f.w<QToolButton>("spbTabEmpresa")->click();
        f.click("btnEditarEmpresa");
        QVERIFY(!f.enabled("EdCNPJ"));
        f.type("EdTelefone", "11 5555-0101");
        f.click("btnOkEmpresa");
        QCOMPARE(f.msg.texts(), QStringList());
        QVERIFY(!f.w<TabEmpresaPanel>("PanelTabEmpresa")->isEditing());
        QCOMPARE(f.db->scalar("SELECT IdEmpresa || ' ' || Telefone FROM EMPRESA").toString(),
                 QString("11444777000161 11 5555-0101"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMP_CERT C JOIN EMPRESA E ON E.CodigoPais = C.CodigoPais AND "
                         "E.IdEmpresa = C.IdEmpresa"),
                 1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM SERVICO S JOIN EMPRESA E ON E.CodigoPais = S.CodigoPais AND "
                         "E.IdEmpresa = S.IdEmpresa"),
                 1);
        QCOMPARE(f.count("SELECT Aprovado FROM CERTIFIC"), 0);
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C WHERE Evento = 'ALT' AND Justificativa = 'Dados da Empresa "
                         "Alterados'"),
                 1);
        QCOMPARE(f.w<QLineEdit>("EdTelefone")->text(), QString("11 5555-0101"));
    }

    void productPanelCountsTheTextAndLocksAUsedProduct()
    {
        Window f;
        f.product("Marca", "M1", 0, "111");
        f.certificate("C-1", "COMP", 101);
        f.item("LOTE", "C-1", "Marca", "M1", 0);
        f.w<QToolButton>("spbTabProduto")->click();
        QCOMPARE(f.frm->mode(), QString("TabProduto"));
        QCOMPARE(f.cell("DBGridProduto", 0, 2), QString("Não"));

        f.click("btnIncluirProduto");
        auto *brand = f.w<QLineEdit>("EdMarcaProd");
        brand->setFocus();
        QTest::keyClicks(brand, "  Nova");
        QCOMPARE(brand->text(), QString("Nova"));
        QCOMPARE(f.w<QLabel>("LbTamMarcaProd")->text(), QString("(4)"));
        f.type("EdModeloProd", "M1");
        f.click("CkImportadoProd");
        f.click("btnOkProduto");
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO WHERE MarcaProd = 'Nova' AND Importado = 1"), 1);
        QCOMPARE(f.w<TabProdutoPanel>("PanelTabProduto")->currentKey()->marcaProd, QString("Nova"));

        f.grid("DBGridProduto")->setCurrentIndex(f.grid("DBGridProduto")->model()->index(0, 0));
        QCOMPARE(f.w<QLineEdit>("EdMarcaProd")->text(), QString("Marca"));
        f.click("btnEditarProduto");
        QVERIFY(!f.enabled("EdMarcaProd"));
        QVERIFY(!f.enabled("EdModeloProd"));
        QVERIFY(!f.enabled("CkImportadoProd"));
        QVERIFY(f.enabled("EdCodEANUPC"));
        f.type("EdCodEANUPC", "7890000000001");
        f.click("btnOkProduto");
        QCOMPARE(f.db->scalar("SELECT CodEANUPC FROM PRODUTO WHERE MarcaProd = 'Marca'").toString(),
                 QString("7890000000001"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C WHERE Justificativa = 'Dados do Produto Alterados'"), 1);

        f.msg.answers.enqueue(true);
        f.click("btnExcluirProduto");
        QCOMPARE(f.msg.lastText(),
                 QString("Este registro não pode ser apagado. Ele já está relacionado a algum certificado!!!"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO"), 2);

        // "&Pesquisar" stands the grid on the product chosen, typed in any case.
        f.w<TabProdutoPanel>("PanelTabProduto")->setProductChooser([] {
            return std::optional<ProductKey>({"nova", "m1", 1});
        });
        f.click("btnPesquisarProduto");
        QCOMPARE(f.grid("DBGridProduto")->currentRow(), 1);
        QCOMPARE(f.w<QLineEdit>("EdMarcaProd")->text(), QString("Nova"));
        f.w<TabProdutoPanel>("PanelTabProduto")->setProductChooser([] { return std::optional<ProductKey>(); });
        f.click("btnPesquisarProduto");
        QCOMPARE(f.grid("DBGridProduto")->currentRow(), 1);
        f.click("btnSaidaProduto");
        QCOMPARE(f.frm->mode(), QString("Principal"));
    }

    void signatoryPanelKeepsOneDefault()
    {
        Window f;
        f.w<QAction>("Signatario1")->trigger();
        QCOMPARE(f.frm->mode(), QString("Signatarios"));
        QVERIFY(f.enabled("spbNovoCertificado")); // the toolbar stays usable here
        QVERIFY(!f.enabled("GroupEdicaoSignatario"));
        QVERIFY(!f.enabled("btnEditarSignatario"));
        for (const QString name : {"Ana Souza", "Bruno Lima"}) {
            f.click("btnIncluirSignatario");
            QVERIFY(f.w<QRadioButton>("RbDefaultNao")->isChecked());
            f.type("edtSignatario", name);
            f.click("RbDefaultSim");
            f.click("btnAplicar");
        }
        QCOMPARE(f.count("SELECT COUNT(*) FROM SIGNATARIOS WHERE Default_s = 'S'"), 1);
        QCOMPARE(f.cell("DBGridSignatarios", 0, 0), QString("Bruno Lima"));
        QCOMPARE(f.cell("DBGridSignatarios", 0, 1), QString("S"));

        // Removal shows the signatory first and takes it on "Aplicar".
        f.grid("DBGridSignatarios")->setCurrentIndex(f.grid("DBGridSignatarios")->model()->index(1, 0));
        f.click("btnExcluirSignatario");
        QCOMPARE(f.w<QLineEdit>("edtSignatario")->text(), QString("Ana Souza"));
        QVERIFY(f.w<QLineEdit>("edtSignatario")->isReadOnly());
        f.click("btnAplicar");
        QCOMPARE(f.count("SELECT COUNT(*) FROM SIGNATARIOS"), 1);
        QVERIFY(!f.enabled("GroupEdicaoSignatario"));

        // The new certificate proposes the default one.
        f.frm->newCertificate();
        QCOMPARE(f.w<QComboBox>("DBComboBox1")->currentText(), QString("Bruno Lima"));
        f.click("BitBtn15");

        f.run("DELETE FROM CONFIG_LOCAL");
        f.w<QAction>("Signatario1")->trigger();
        f.click("btnIncluirSignatario");
        QCOMPARE(f.msg.lastText(), QString("As configuraçãoes do Certificador não foram cadastradas."));
        QVERIFY(!f.enabled("GroupEdicaoSignatario"));
    }

    void regulatorsTablesOrderByTheClickedTitle()
    {
        Window f;
        f.w<QToolButton>("spbTabQuelora")->click();
        QCOMPARE(f.frm->mode(), QString("TabQuelora"));
        QCOMPARE(f.w<QTabWidget>("PControlTabQuelora")->count(), 5);
        QCOMPARE(f.w<QTabWidget>("PControlTabQuelora")->currentIndex(), 0);
        SelectionGrid *countries = f.grid("DBGridPais");
        QCOMPARE(countries->model()->rowCount(), 3);
        auto *panel = f.w<TabQueloraPanel>("PanelTabQuelora");
        emit countries->horizontalHeader()->sectionClicked(1);
        QCOMPARE(f.cell("DBGridPais", 0, 1), QString("Argentina"));
        emit countries->horizontalHeader()->sectionClicked(1);
        QCOMPARE(f.cell("DBGridPais", 0, 1), QString("China"));
        emit countries->horizontalHeader()->sectionClicked(0);
        QCOMPARE(f.cell("DBGridPais", 0, 0), QString("AR"));
        QVERIFY(panel->grid(QueloraTables::Tab::ClasseProdutos)->model()->rowCount() > 0);
        f.click("btnSaidaQuelora");
        QCOMPARE(f.frm->mode(), QString("Principal"));
    }
};

QTEST_MAIN(TestTablePanels)
#include "test_tablepanels.moc"
