#include "maintenance/certificates/ui/tfrmselecionacertificado.h"
#include "maintenance/companies/ui/tfrminclempresa.h"
#include "maintenance/companies/ui/tfrmselecionaempresa.h"
#include "maintenance/companies/ui/tfrmselempcert.h"
#include "maintenance/products/ui/tfrminclproduto.h"
#include "maintenance/products/ui/tfrmselecionaproduto.h"
#include "support/controls.h"
#include "support/selectionfixture.h"
#include "support/whenmodal.h"
#include "widgets/selectiongrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

template <typename T> T *control(QWidget *w, const char *name)
{
    return child<T>(w, name);
}

QString text(QWidget *w, const char *label)
{
    return control<QLabel>(w, label)->text();
}

void selectComboText(QComboBox *box, const QString &text)
{
    const int i = box->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    box->setCurrentIndex(i);
}

QStringList columnTexts(SelectionGrid *grid, int column)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->index(r, column).data().toString();
    return out;
}

QStringList items(QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

void fillCertificates(SelectionFixture &f, int n)
{
    f.run("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
          "INSERT INTO CERTIFIC (SiglaCertificador, NumCertif, StatusCertificado, IdClasseCertif, IdClasseProd, "
          "DataEmissao, DataValid, Completo, Aprovado) "
          "SELECT 'OCT', 'N-' || substr(CAST(1000000 + i AS TEXT), 2), 'A', 'COMP', 101, '2020-01-01T00:00:00.000', "
          "'2030-01-01T00:00:00.000', 0, 0 FROM n",
          {n - 1});
}

}

class TestSelectionDialogs : public QObject
{
    Q_OBJECT

    // Three certificates of two classes, two companies, a product of C1.
    static void certificates(SelectionFixture &f)
    {
        f.certificate(QStringLiteral("OCT-0002/24"), QStringLiteral("COMP"), 101, QDate(2024, 2, 1), QDate(2026, 5, 1));
        f.certificate(QStringLiteral("OCT-0001/24"), QStringLiteral("COMP"), 102, QDate(2024, 1, 1), QDate(2027, 5, 1));
        f.certificate(QStringLiteral("VOL-0003/23"), QStringLiteral("VOL"), 101, QDate(2023, 3, 1), QDate(2025, 5, 1));
        f.legalEntity(QStringLiteral("BR"), QStringLiteral("11222333000181"), QStringLiteral("11222333000181"),
                      QStringLiteral("Conexa Materiais Ltda."), QStringLiteral("Conexa"));
        f.legalEntity(QStringLiteral("CN"), QStringLiteral("Happy Toys"), QString(), QStringLiteral("Happy Toys Co."),
                      QStringLiteral("Happy"));
        f.link(QStringLiteral("OCT-0001/24"), QStringLiteral("CN"), QStringLiteral("Happy Toys"));
        f.link(QStringLiteral("VOL-0003/23"), QStringLiteral("BR"), QStringLiteral("11222333000181"));
        f.product(QStringLiteral("Conexa"), QStringLiteral("TM-10A"), 0, QStringLiteral("7891234500016"));
        f.product(QStringLiteral("Happy Toys"), QStringLiteral("UM-01"), 1);
        f.item(QStringLiteral("TIPO"), QStringLiteral("OCT-0002/24"), QStringLiteral("Conexa"),
               QStringLiteral("TM-10A"), 0);
        f.item(QStringLiteral("LOTE"), QStringLiteral("OCT-0001/24"), QStringLiteral("Happy Toys"),
               QStringLiteral("UM-01"), 1);
    }

private slots:
    void certificateSelectionStartsClearedWithTheAccreditedClasses()
    {
        SelectionFixture f;
        certificates(f);
        TFrmSelecionaCertificado dlg(*f.db, f.msg);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Seleciona Certificado"));
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("0"));
        QCOMPARE(items(control<QComboBox>(&dlg, "CbClasseCertif")),
                 (QStringList{"", "Certificação Compulsória", "Certificação de Serviços", "Certificação Voluntária"}));
        QCOMPARE(items(control<QComboBox>(&dlg, "CbClasseProd")),
                 (QStringList{"", "Interruptores", "Plugues e Tomadas"}));
        QCOMPARE(items(control<QComboBox>(&dlg, "CbClasseServ")), (QStringList{"", "Recarga de Extintores"}));
        QCOMPARE(items(control<QComboBox>(&dlg, "CbImportado")), (QStringList{"(Todos)", "Sim", "Não"}));
        auto *grid = control<SelectionGrid>(&dlg, "GrdCertificados");
        QStringList titles;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            titles << grid->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"Número", "Classe do Certificado", "Classe de Produtos", "Emissão", "Validade"}));
        QCOMPARE(grid->model()->rowCount(), 0);
        QVERIFY(!control<QPushButton>(&dlg, "BtDetalheEmpresa")->isEnabled());
        for (const char *b : {"BtFiltra", "BtLimpaFiltro", "BtSelEmpresa", "BtSelProduto", "BtOk", "BtCancela"})
            control<QPushButton>(&dlg, b);
        QCOMPARE(control<QPushButton>(&dlg, "BtFiltra")->text(), QStringLiteral("Filtra Certificado"));
        QCOMPARE(control<QPushButton>(&dlg, "BtLimpaFiltro")->text(), QStringLiteral("&Limpa Filtro"));
        // "Ok" on the empty list chooses nothing.
        control<QPushButton>(&dlg, "BtOk")->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.chosen());
        QVERIFY(f.msg.messages.isEmpty());
    }

    void certificateSelectionFiltersSortsAndChooses()
    {
        SelectionFixture f;
        certificates(f);
        TFrmSelecionaCertificado dlg(*f.db, f.msg);
        auto *grid = control<SelectionGrid>(&dlg, "GrdCertificados");
        // Enter in the number filters; it does not choose the current row.
        dlg.show();
        auto *number = control<QLineEdit>(&dlg, "EdNumero");
        number->setFocus();
        QTest::keyClicks(number, QStringLiteral("oct"));
        QTest::keyClick(number, Qt::Key_Return);
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("2"));
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.chosen());
        QCOMPARE(columnTexts(grid, 0), (QStringList{"OCT-0001/24", "OCT-0002/24"}));
        QCOMPARE(columnTexts(grid, 3), (QStringList{"01/01/2024", "01/02/2024"}));
        // A title click reorders the filtered list, not the whole register.
        grid->horizontalHeader()->sectionClicked(4);
        QCOMPARE(columnTexts(grid, 0), (QStringList{"OCT-0002/24", "OCT-0001/24"}));
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("2"));
        grid->horizontalHeader()->sectionClicked(2);
        QCOMPARE(columnTexts(grid, 2), (QStringList{"Interruptores", "Plugues e Tomadas"}));

        selectComboText(control<QComboBox>(&dlg, "CbClasseProd"), QStringLiteral("Plugues e Tomadas"));
        control<QLineEdit>(&dlg, "EdNumero")->clear();
        control<QPushButton>(&dlg, "BtFiltra")->click();
        QCOMPARE(columnTexts(grid, 0), (QStringList{"OCT-0002/24", "VOL-0003/23"}));
        grid->setCurrentIndex(grid->model()->index(1, 0));
        control<QPushButton>(&dlg, "BtOk")->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(dlg.chosen());
        QCOMPARE(dlg.chosen()->siglaCertificador, SelectionFixture::Sigla);
        QCOMPARE(dlg.chosen()->numCertif, QStringLiteral("VOL-0003/23"));

        control<QPushButton>(&dlg, "BtLimpaFiltro")->click();
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("0"));
        QCOMPARE(grid->model()->rowCount(), 0);
        QCOMPARE(control<QComboBox>(&dlg, "CbClasseProd")->currentIndex(), 0);
    }

    void certificateSelectionByCompanyAndProduct()
    {
        SelectionFixture f;
        certificates(f);
        TFrmSelecionaCertificado dlg(*f.db, f.msg);
        bool newHidden = false;
        whenModal("TFrmSelecionaEmpresa", [&](QWidget *w) {
            newHidden = control<QPushButton>(w, "BtNova")->isHidden();
            auto *grid = control<SelectionGrid>(w, "GrdEmpresas");
            grid->horizontalHeader()->sectionClicked(0); // Brasil before China
            grid->setCurrentIndex(grid->model()->index(1, 0));
            control<QPushButton>(w, "BtOk")->click();
        });
        control<QPushButton>(&dlg, "BtSelEmpresa")->click();
        QVERIFY(newHidden);
        QVERIFY(control<QLineEdit>(&dlg, "EdEmpresa")->text().contains(QStringLiteral("Happy Toys Co.")));
        QVERIFY(control<QPushButton>(&dlg, "BtDetalheEmpresa")->isEnabled());
        QString shownName;
        whenModal("TFrmDetalhesEmpresa", [&](QWidget *w) {
            shownName = control<QLineEdit>(w, "EdRazaoSocial")->text();
            w->close();
        });
        control<QPushButton>(&dlg, "BtDetalheEmpresa")->click();
        QCOMPARE(shownName, QStringLiteral("Happy Toys Co."));
        control<QPushButton>(&dlg, "BtFiltra")->click();
        QCOMPARE(columnTexts(control<SelectionGrid>(&dlg, "GrdCertificados"), 0), QStringList{"OCT-0001/24"});

        control<QPushButton>(&dlg, "BtLimpaFiltro")->click();
        whenModal("TFrmSelecionaProduto", [&](QWidget *w) {
            newHidden = control<QPushButton>(w, "BtNovo")->isHidden();
            control<QLineEdit>(w, "EdMarca")->setText(QStringLiteral("Conexa"));
            control<QPushButton>(w, "BtFiltra")->click();
            control<QPushButton>(w, "BtOk")->click();
        });
        control<QPushButton>(&dlg, "BtSelProduto")->click();
        QVERIFY(newHidden);
        QVERIFY(control<QLineEdit>(&dlg, "EdProduto")->text().startsWith(QStringLiteral("Conexa / TM-10A")));
        // The product carries its origin: the origin list is off meanwhile.
        QVERIFY(!control<QComboBox>(&dlg, "CbImportado")->isEnabled());
        control<QPushButton>(&dlg, "BtFiltra")->click();
        QCOMPARE(columnTexts(control<SelectionGrid>(&dlg, "GrdCertificados"), 0), QStringList{"OCT-0002/24"});
        control<QPushButton>(&dlg, "BtLimpaFiltro")->click();
        QVERIFY(control<QComboBox>(&dlg, "CbImportado")->isEnabled());
        QVERIFY(control<QLineEdit>(&dlg, "EdProduto")->text().isEmpty());
    }

    void certificateListOfAHundredThousandIsReadOnDemand()
    {
        SelectionFixture f;
        fillCertificates(f, 100000);
        TFrmSelecionaCertificado dlg(*f.db, f.msg);
        control<QPushButton>(&dlg, "BtFiltra")->click();
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("100000"));
        auto *grid = control<SelectionGrid>(&dlg, "GrdCertificados");
        QVERIFY2(grid->model()->rowCount() <= 1000, qPrintable(QString::number(grid->model()->rowCount())));
        grid->horizontalHeader()->sectionClicked(0);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("N-000000"));
        QVERIFY(grid->model()->rowCount() <= 1000);
    }

    void aFailingFilterIsReportedAndEmptiesTheList()
    {
        SelectionFixture f;
        certificates(f);
        TFrmSelecionaCertificado dlg(*f.db, f.msg);
        control<QPushButton>(&dlg, "BtFiltra")->click();
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("3"));
        f.run("drop table CLASSE_P");
        control<QPushButton>(&dlg, "BtFiltra")->click();
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Warning);
        QVERIFY(f.msg.lastText().contains(QStringLiteral("CLASSE_P"), Qt::CaseInsensitive));
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("0"));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void companySelectionFiltersByKindAndClearsTheFields()
    {
        SelectionFixture f;
        certificates(f);
        f.legalEntity(QStringLiteral("BR"), QStringLiteral("11222444000100"), QStringLiteral("11222444000100"),
                      QStringLiteral("Alegria Brinquedos"), QStringLiteral("Alegria"));
        f.person(QStringLiteral("52998224725"), QStringLiteral("José da Conceição"));
        TFrmSelecionaEmpresa dlg(*f.db, f.msg, QStringLiteral("ana"), true);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Seleciona Empresa"));
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("4"));
        auto *grid = control<SelectionGrid>(&dlg, "GrdEmpresas");
        grid->horizontalHeader()->sectionClicked(1);
        // By CNPJ: companies without one (foreign, natural persons) first.
        QCOMPARE(columnTexts(grid, 1).mid(2), (QStringList{"11.222.333/0001-81", "11.222.444/0001-00"}));
        QVERIFY(columnTexts(grid, 1).contains(QStringLiteral("529982247-25")));
        QVERIFY(columnTexts(grid, 2).contains(QStringLiteral("José da Conceição")));

        auto *id = control<QLineEdit>(&dlg, "EdCNPJ");
        control<QRadioButton>(&dlg, "RbFisica")->click();
        QCOMPARE(text(&dlg, "LbCNPJ"), QStringLiteral("CPF:"));
        QCOMPARE(text(&dlg, "LbNomeFantasia"), QStringLiteral("Nome Pessoa Física:"));
        QVERIFY(!control<QLineEdit>(&dlg, "EdRazaoSocial")->isEnabled());
        QCOMPARE(id->inputMask(), QStringLiteral("000000000-99;_"));
        control<QRadioButton>(&dlg, "RbJuridica")->click();
        QCOMPARE(text(&dlg, "LbCNPJ"), QStringLiteral("CNPJ:"));
        QCOMPARE(id->inputMask(), QStringLiteral("99.999.999/9999-99;_"));
        QVERIFY(control<QLineEdit>(&dlg, "EdRazaoSocial")->isEnabled());

        // CNPJ prefix typed into the mask.
        id->setFocus();
        id->home(false);
        QTest::keyClicks(id, QStringLiteral("11222"));
        control<QPushButton>(&dlg, "BtFiltra")->click();
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("2"));
        QCOMPARE(id->text(), QStringLiteral("../-"));
        // Ordering keeps the filter that was run, though its fields are clear.
        grid->horizontalHeader()->sectionClicked(2);
        QCOMPARE(columnTexts(grid, 2), (QStringList{"Alegria Brinquedos", "Conexa Materiais Ltda."}));
        grid->setCurrentIndex(grid->model()->index(1, 0));
        control<QPushButton>(&dlg, "BtOk")->click();
        QVERIFY(dlg.chosen());
        QCOMPARE(dlg.chosen()->idEmpresa, QStringLiteral("11222333000181"));
        QCOMPARE(dlg.chosen()->nomePais, QStringLiteral("Brasil"));
    }

    void companySelectionOkNeedsARow()
    {
        SelectionFixture f;
        TFrmSelecionaEmpresa dlg(*f.db, f.msg, QStringLiteral("ana"), true);
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("0"));
        dlg.show();
        control<QPushButton>(&dlg, "BtOk")->click();
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.chosen());
    }

    void newCompanyCancelledOrRegistered()
    {
        SelectionFixture f;
        certificates(f);
        TFrmSelecionaEmpresa dlg(*f.db, f.msg, QStringLiteral("ana"), true);
        QCOMPARE(control<QPushButton>(&dlg, "BtNova")->text(), QStringLiteral("Nova..."));
        whenModal("TFrmInclEmpresa", [](QWidget *w) { control<QPushButton>(w, "BtCancela")->click(); });
        control<QPushButton>(&dlg, "BtNova")->click();
        QCOMPARE(f.msg.texts(), QStringList{"Nenhum Empresa Nova Incluida"});
        QCOMPARE(f.msg.lastCaption(), QStringLiteral("Aviso"));
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Plain);
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("2"));
        QVERIFY(!dlg.chosen());

        // A refused attempt keeps the inclusion open; the second one registers.
        f.msg.clear();
        whenModal("TFrmInclEmpresa", [&](QWidget *w) {
            selectComboText(control<QComboBox>(w, "CbPais"), QStringLiteral("Argentina"));
            control<QPushButton>(w, "BtOk")->click();
            QVERIFY(w->isVisible());
            control<QLineEdit>(w, "EdRazaoSocial")->setText(QStringLiteral("Otra S.A."));
            control<QPushButton>(w, "BtOk")->click();
        });
        control<QPushButton>(&dlg, "BtNova")->click();
        QCOMPARE(f.msg.texts(),
                 QStringList{"O campo de Razão Social é de preenchimento obrigatório para empresas estrangeiras."});
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(dlg.chosen());
        QCOMPARE(dlg.chosen()->codigoPais, QStringLiteral("AR"));
        QCOMPARE(dlg.chosen()->idEmpresa, QStringLiteral("Otra S.A."));
        QCOMPARE(f.count("select count(*) from EMPRESA where IdEmpresa = 'Otra S.A.' and UsuResp = 'ana'"), 1);
    }

    void companyInclusionFollowsCountryAndKind()
    {
        SelectionFixture f;
        TFrmInclEmpresa dlg(*f.db, f.msg, QStringLiteral("ana"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Inclusão de Empresa"));
        auto *fisica = control<QRadioButton>(&dlg, "RbFisica");
        auto *juridica = control<QRadioButton>(&dlg, "RbJuridica");
        auto *pais = control<QComboBox>(&dlg, "CbPais");
        QVERIFY(juridica->isChecked());
        selectComboText(pais, QStringLiteral("Brasil"));
        QVERIFY(control<QLabel>(&dlg, "LbCNPJ")->font().bold());
        fisica->click();
        QCOMPARE(text(&dlg, "LbCNPJ"), QStringLiteral("CPF:"));
        QCOMPARE(text(&dlg, "LbRazaoSocial"), QStringLiteral("Nome Pessoa Física:"));
        QVERIFY(!control<QLineEdit>(&dlg, "EdNomeFantasia")->isEnabled());
        // Only digits and separators reach the identifier.
        auto *id = control<QLineEdit>(&dlg, "EdCNPJ");
        QTest::keyClicks(id, QStringLiteral("529.98a2.247-25x"));
        QCOMPARE(id->text(), QStringLiteral("529.982.247-25"));
        control<QLineEdit>(&dlg, "EdRazaoSocial")->setText(QStringLiteral("José"));
        // A foreign country forces a legal entity.
        selectComboText(pais, QStringLiteral("China"));
        QVERIFY(juridica->isChecked());
        QVERIFY(!fisica->isEnabled());
        QVERIFY(control<QLabel>(&dlg, "LbRazaoSocial")->font().bold());
        QVERIFY(!control<QLabel>(&dlg, "LbCNPJ")->font().bold());
        QCOMPARE(text(&dlg, "LbRazaoSocial"), QStringLiteral("Razão Social:"));
        QVERIFY(id->text().isEmpty());
        selectComboText(pais, QStringLiteral("Brasil"));
        QVERIFY(fisica->isEnabled());

        dlg.show();
        id->setText(QStringLiteral("11.222.333/0001-81"));
        control<QLineEdit>(&dlg, "EdRazaoSocial")->setText(QStringLiteral("Conexa Ltda."));
        control<QPushButton>(&dlg, "BtOk")->click();
        QCOMPARE(f.msg.lastText(),
                 QStringLiteral("O campo de CEP é de preenchimento obrigatório para empresas brasileiras."));
        QVERIFY(dlg.isVisible());
        control<QLineEdit>(&dlg, "EdCEP")->setText(QStringLiteral("01310-100"));
        selectComboText(control<QComboBox>(&dlg, "CbUF"), QStringLiteral("SP"));
        control<QPushButton>(&dlg, "BtOk")->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.included()->idEmpresa, QStringLiteral("11222333000181"));
        QCOMPARE(f.count("select count(*) from EMPRESA where SiglaUF = 'SP' and EndCEP = '01310-100'"), 1);
    }

    void productSelectionAndNewProduct()
    {
        SelectionFixture f;
        certificates(f);
        TFrmSelecionaProduto dlg(*f.db, f.msg, QStringLiteral("ana"), true);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Seleciona Produto"));
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("2"));
        auto *grid = control<SelectionGrid>(&dlg, "GrdProdutos");
        grid->horizontalHeader()->sectionClicked(2);
        QCOMPARE(columnTexts(grid, 2), (QStringList{"Não", "Sim"}));
        selectComboText(control<QComboBox>(&dlg, "CbImportado"), QStringLiteral("Sim"));
        dlg.show();
        QTest::keyClick(control<QLineEdit>(&dlg, "EdMarca"), Qt::Key_Enter);
        QVERIFY(dlg.isVisible());
        QCOMPARE(columnTexts(grid, 0), QStringList{"Happy Toys"});
        QCOMPARE(control<QComboBox>(&dlg, "CbImportado")->currentIndex(), 0);

        whenModal("TFrmInclProduto", [](QWidget *w) { control<QPushButton>(w, "BtCancela")->click(); });
        control<QPushButton>(&dlg, "BtNovo")->click();
        QCOMPARE(f.msg.texts(), QStringList{"Nenhum Produto Novo Incluido"});
        QCOMPARE(f.msg.lastCaption(), QStringLiteral("Aviso"));
        QCOMPARE(columnTexts(grid, 0), QStringList{"Happy Toys"});

        f.msg.clear();
        whenModal("TFrmInclProduto", [&](QWidget *w) {
            // The same brand and model as an existing national product.
            control<QLineEdit>(w, "EdMarca")->setText(QStringLiteral("conexa"));
            control<QLineEdit>(w, "EdModelo")->setText(QStringLiteral("TM-10A"));
            control<QPushButton>(w, "BtOk")->click();
            QVERIFY(w->isVisible());
            control<QCheckBox>(w, "CkImportado")->setChecked(true);
            control<QPushButton>(w, "BtOk")->click();
        });
        control<QPushButton>(&dlg, "BtNovo")->click();
        QCOMPARE(f.msg.texts(), QStringList{"Esta produto já existe !!! Cancele a inclusão..."});
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(dlg.chosen());
        QCOMPARE(dlg.chosen()->marcaProd, QStringLiteral("conexa"));
        QCOMPARE(dlg.chosen()->importado, 1);
    }

    void productInclusionTrimsAndCounts()
    {
        SelectionFixture f;
        TFrmInclProduto dlg(*f.db, f.msg, QStringLiteral("ana"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Inclusao de Produto"));
        QCOMPARE(control<QCheckBox>(&dlg, "CkImportado")->text(), QStringLiteral("Produto Importado ?"));
        dlg.show();
        auto *marca = control<QLineEdit>(&dlg, "EdMarca");
        marca->setFocus();
        QTest::keyClicks(marca, QStringLiteral("  Conexa  "));
        QCOMPARE(marca->text(), QStringLiteral("Conexa  "));
        QCOMPARE(text(&dlg, "LbTamMarca"), QStringLiteral("(8)"));
        emit marca->editingFinished();
        QCOMPARE(marca->text(), QStringLiteral("Conexa"));
        QCOMPARE(text(&dlg, "LbTamMarca"), QStringLiteral("(6)"));
        QCOMPARE(marca->maxLength(), 254);
        control<QPushButton>(&dlg, "BtOk")->click();
        QCOMPARE(f.msg.texts(), QStringList{"Existem campos obrigatórios não preenchidos"});
        QCOMPARE(f.msg.lastCaption(), QStringLiteral("Erro de Inclusão"));
        QVERIFY(dlg.isVisible());
        control<QLineEdit>(&dlg, "EdModelo")->setText(QStringLiteral("TM-10A"));
        control<QLineEdit>(&dlg, "EdDescricao")->setText(QStringLiteral("Tomada"));
        control<QPushButton>(&dlg, "BtOk")->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(f.count("select count(*) from PRODUTO where MarcaProd = 'Conexa' and Importado = 0 and "
                         "DescrProd = 'Tomada'"),
                 1);
    }

    // The four dialogs share one frame: the filter box and its button, the
    // count, "Ok" as the default, "Cancela" choosing nothing, the grid's
    // export (not on the certified-company list) and Enter filtering.
    void everySelectionDialogHasTheSameFrame()
    {
        SelectionFixture f;
        certificates(f);
        f.link(QStringLiteral("OCT-0001/24"), QStringLiteral("BR"), QStringLiteral("11222333000181"));
        TFrmSelecionaCertificado certificate(*f.db, f.msg);
        TFrmSelecionaEmpresa company(*f.db, f.msg, QStringLiteral("ana"), false);
        TFrmSelecionaProduto product(*f.db, f.msg, QStringLiteral("ana"), true);
        TFrmSelEmpCert certified(*f.db, f.msg, {SelectionFixture::Sigla, QStringLiteral("OCT-0001/24")});
        struct Expected
        {
            QDialog *dialog;
            const char *name, *filter, *caption, *grid, *enterField;
            QString count;
            bool exports;
        };
        const Expected all[] = {
            {&certificate, "FrmSelecionaCertificado", "Filtra Certificado",
             "Certificados encontrados:", "GrdCertificados", "EdNumero", "0", true},
            {&company, "FrmSelecionaEmpresa", "Filtra", "Empresas encontradas:", "GrdEmpresas", "EdRazaoSocial", "2",
             true},
            {&product, "FrmSelecionaProduto", "Filtra", "Produtos encontrados:", "GrdProdutos", "EdModelo", "2", true},
            {&certified, "FrmSelEmpCert", "Filtra", "Empresas encontradas:", "GrdEmpresas", "EdRazaoSocial", "2",
             false},
        };
        for (const Expected &e : all) {
            QWidget *d = e.dialog;
            QCOMPARE(d->objectName(), QLatin1String(e.name));
            QVERIFY(e.dialog->isModal());
            QCOMPARE(control<QGroupBox>(d, "GbFiltro")->title(), QStringLiteral("Filtro"));
            QCOMPARE(control<QPushButton>(control<QGroupBox>(d, "GbFiltro"), "BtFiltra")->text(),
                     QLatin1String(e.filter));
            QCOMPARE(text(d, "LbQuantidadeTitulo"), QLatin1String(e.caption));
            QCOMPARE(text(d, "LbQuantidade"), e.count);
            QVERIFY(control<QPushButton>(d, "BtOk")->isDefault());
            auto *grid = control<SelectionGrid>(d, e.grid);
            QCOMPARE(grid->findChild<QAction *>(QStringLiteral("mniExportarPlanilha")) != nullptr, e.exports);
            QCOMPARE(QString::number(grid->model()->rowCount()), e.count);
        }
        QVERIFY(control<QPushButton>(&company, "BtNova")->isHidden());
        QVERIFY(!control<QPushButton>(&product, "BtNovo")->isHidden());
        QVERIFY(!certificate.findChild<QPushButton *>(QStringLiteral("BtNova")));

        // Enter in a filter field filters: no row is chosen, the dialog stays.
        auto enter = [](QWidget *d, const char *field, const QString &value) {
            auto *e = control<QLineEdit>(d, field);
            e->setText(value);
            QTest::keyClick(e, Qt::Key_Return);
        };
        enter(&product, "EdModelo", QStringLiteral("UM-01"));
        QCOMPARE(text(&product, "LbQuantidade"), QStringLiteral("1"));
        QVERIFY(!product.chosen());
        enter(&certified, "EdRazaoSocial", QStringLiteral("conexa"));
        QCOMPARE(text(&certified, "LbQuantidade"), QStringLiteral("1"));
        QCOMPARE(columnTexts(control<SelectionGrid>(&certified, "GrdEmpresas"), 2),
                 QStringList{"Conexa Materiais Ltda."});

        // "Cancela" chooses nothing, whatever row is current.
        for (QDialog *d : {static_cast<QDialog *>(&company), static_cast<QDialog *>(&product)}) {
            d->show();
            control<QPushButton>(d, "BtCancela")->click();
            QVERIFY(!d->isVisible());
            QCOMPARE(d->result(), int(QDialog::Rejected));
        }
        QVERIFY(!company.chosen());
        QVERIFY(!product.chosen());
    }

    void certifiedCompanySelection()
    {
        SelectionFixture f;
        certificates(f);
        f.person(QStringLiteral("52998224725"), QStringLiteral("José"));
        f.link(QStringLiteral("OCT-0001/24"), QStringLiteral("BR"), QStringLiteral("11222333000181"));
        f.link(QStringLiteral("OCT-0001/24"), QStringLiteral("BR"), QStringLiteral("52998224725"));
        TFrmSelEmpCert dlg(*f.db, f.msg, {SelectionFixture::Sigla, QStringLiteral("OCT-0001/24")});
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Seleciona Empresa Certificada"));
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("2"));
        auto *grid = control<SelectionGrid>(&dlg, "GrdEmpresas");
        QCOMPARE(columnTexts(grid, 1), (QStringList{"11.222.333/0001-81", ""}));
        selectComboText(control<QComboBox>(&dlg, "CbPais"), QStringLiteral("Argentina"));
        control<QPushButton>(&dlg, "BtFiltra")->click();
        QCOMPARE(text(&dlg, "LbQuantidade"), QStringLiteral("0"));
        QCOMPARE(control<QComboBox>(&dlg, "CbPais")->currentIndex(), 0);
        dlg.show();
        control<QPushButton>(&dlg, "BtOk")->click();
        QCOMPARE(f.msg.texts(), QStringList{"Por favor selecione uma empresa"});
        QVERIFY(dlg.isVisible());
        control<QLineEdit>(&dlg, "EdRazaoSocial")->setText(QStringLiteral("happy"));
        control<QPushButton>(&dlg, "BtFiltra")->click();
        control<QPushButton>(&dlg, "BtOk")->click();
        QVERIFY(dlg.chosen());
        QCOMPARE(dlg.chosen()->codigoPais, QStringLiteral("CN"));
        QCOMPARE(dlg.chosen()->idEmpresa, QStringLiteral("Happy Toys"));
    }
};

QTEST_MAIN(TestSelectionDialogs)
#include "test_selectiondialogs.moc"
