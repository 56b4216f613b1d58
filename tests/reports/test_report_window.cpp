// The certificate report window: class lists, filters, count and buttons.
#include "reports/ui/tfrmrelatoriocertificados.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/reportfixture.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace ReportFixture;

class TestReportWindow : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        TestHome home{true};
        ProgramDatabase dm;
        ScriptedMessenger messenger;
        LoginState login;
        std::unique_ptr<TFrmRelatorioCertificados> window;

        explicit Fixture(const ReportChoosers &choosers = {})
        {
            login.userCode = "admin";
            login.userName = "Administrador";
            window = std::make_unique<TFrmRelatorioCertificados>(dm.database(), login, messenger, choosers);
            window->show();
        }
        template <typename T> T *find(const char *name) const { return child<T>(window.get(), name); }
        QString count() const { return find<QLabel>("LbQuantidade")->text(); }
        bool reportsEnabled() const
        {
            return find<QPushButton>("BtEspelho")->isEnabled() && find<QPushButton>("BtEspelhoLog")->isEnabled() &&
                find<QPushButton>("BtLista")->isEnabled();
        }
        bool reportsDisabled() const
        {
            return !find<QPushButton>("BtEspelho")->isEnabled() && !find<QPushButton>("BtEspelhoLog")->isEnabled() &&
                !find<QPushButton>("BtLista")->isEnabled();
        }
        void filter() { find<QPushButton>("BtFiltra")->click(); }
        int gridRows() const { return find<QTableView>("GridCertificados")->model()->rowCount(); }
    };

private slots:
    void opensWithClassListsAndNothingSelected()
    {
        Fixture f;
        QCOMPARE(f.window->windowTitle(), QString::fromUtf8("Relatórios de Certificados"));
        auto *certClasses = f.find<QComboBox>("CbClasseCertif");
        QCOMPARE(certClasses->count(), 4);
        QCOMPARE(certClasses->itemText(0), QString("(Todos)"));
        QCOMPARE(certClasses->itemText(1), QString::fromUtf8("Certificação Compulsória"));
        QCOMPARE(certClasses->itemData(1).toString(), QString("COMP"));
        QCOMPARE(f.find<QComboBox>("CbClasseProd")->itemText(0), QString("(Todos)"));
        QCOMPARE(f.find<QComboBox>("CbClasseServ")->itemText(0), QString("(Todos)"));
        QCOMPARE(f.find<QComboBox>("CbClasseServ")->count(), 3);
        QCOMPARE(f.find<QComboBox>("CbStatus")->itemText(0), QString("Todos"));
        QCOMPARE(f.find<QComboBox>("CbAprovados")->itemText(2), QString::fromUtf8("Não Aprovados"));
        QCOMPARE(f.find<QComboBox>("CbImportado")->itemText(0), QString("(Todos)"));
        QCOMPARE(f.find<QPushButton>("BtLimpaFiltro")->text(), QString("&Limpa Filtro"));
        QCOMPARE(f.count(), QString("0"));
        QVERIFY(f.reportsDisabled());
        QCOMPARE(f.gridRows(), 0);
        // Without the selection dialogs wired in, their buttons cannot be pressed.
        QVERIFY(!f.find<QPushButton>("BtSelecionaEmpresa")->isEnabled());
        QVERIFY(!f.find<QPushButton>("BtDetalheEmpresa")->isEnabled());
        QVERIFY(f.messenger.messages.isEmpty());
    }

    void emptySelectionKeepsTheReportsOff()
    {
        Fixture f;
        f.filter();
        QCOMPARE(f.count(), QString("5"));
        QVERIFY(f.reportsEnabled());
        QCOMPARE(f.gridRows(), 5);

        f.find<QLineEdit>("EdNumero")->setText("NAO-EXISTE");
        f.filter();
        QCOMPARE(f.count(), QString("0"));
        QVERIFY(f.reportsDisabled());
        QCOMPARE(f.gridRows(), 0);
    }

    void thousandsOfCertificatesAreCountedWithADot()
    {
        Fixture f;
        {
            Database &db = f.dm.database();
            Transaction t(db);
            Writer w(db);
            for (int i = 1; i <= 1234; ++i)
                w.raw().insert("CERTIFIC",
                               w.with(QString("MASSA-%1").arg(i, 5, 10, QChar('0')),
                                      {{"IdClasseCertif", "VOL"},
                                       {"IdClasseProd", 102},
                                       {"StatusCertificado", "A"},
                                       {"DataEmissao", at(2024, 1, 1)},
                                       {"DataValid", at(2027, 1, 1)},
                                       {"Completo", false},
                                       {"Aprovado", false}}));
            t.commit();
        }
        f.find<QLineEdit>("EdNumero")->setText("massa");
        f.filter();
        QCOMPARE(f.count(), QString("1.234"));
        QVERIFY(f.reportsEnabled());
        // The grid reads rows as it needs them, not all at once.
        auto *grid = f.find<QTableView>("GridCertificados");
        QVERIFY(grid->model()->rowCount() < 1234);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QString("MASSA-00001"));
        QCOMPARE(grid->model()->index(0, 3).data().toString(), QString("01/01/2024"));
        QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), QString("Validade"));
        grid->scrollToBottom();
        while (grid->model()->canFetchMore(QModelIndex()))
            grid->model()->fetchMore(QModelIndex());
        QCOMPARE(grid->model()->rowCount(), 1234);

        // The classes and the status narrow it down; clearing starts over.
        auto *certClasses = f.find<QComboBox>("CbClasseCertif");
        certClasses->setCurrentIndex(certClasses->findData("COMP"));
        f.filter();
        QCOMPARE(f.count(), QString("0"));
        QVERIFY(f.reportsDisabled());
        f.find<QPushButton>("BtLimpaFiltro")->click();
        QCOMPARE(f.count(), QString("0"));
        QVERIFY(f.find<QLineEdit>("EdNumero")->text().isEmpty());
        QCOMPARE(certClasses->currentIndex(), 0);
        QCOMPARE(f.gridRows(), 0);
        QVERIFY(f.reportsDisabled());
        f.filter();
        QCOMPARE(f.count(), QString("1.239"));
    }

    void filtersBuildTheSelectionAndItsDescription()
    {
        ReportChoosers choosers;
        choosers.company = [](QWidget *) {
            return std::optional<CompanyChoice>(
                CompanyChoice{"CN", "Shenzhen Happy Toys Co., Ltd.", "Shenzhen Happy Toys Co., Ltd."});
        };
        choosers.product = [](QWidget *) { return std::optional<ProductChoice>(); }; // cancelled
        QStringList detailsShown;
        choosers.companyDetails = [&](QWidget *, const QString &country, const QString &id) {
            detailsShown << country + QLatin1Char('|') + id;
        };
        Fixture f(choosers);
        QVERIFY(f.find<QPushButton>("BtSelecionaEmpresa")->isEnabled());
        f.find<QPushButton>("BtSelecionaEmpresa")->click();
        QCOMPARE(f.find<QLineEdit>("EdEmpresa")->text(), QString("Shenzhen Happy Toys Co., Ltd."));
        QVERIFY(f.find<QPushButton>("BtDetalheEmpresa")->isEnabled());
        f.find<QPushButton>("BtDetalheEmpresa")->click();
        QCOMPARE(detailsShown, QStringList{"CN|Shenzhen Happy Toys Co., Ltd."});
        f.find<QPushButton>("BtSelecionaProduto")->click();
        QVERIFY(f.find<QLineEdit>("EdProduto")->text().isEmpty());
        f.find<QComboBox>("CbImportado")->setCurrentIndex(1);
        f.find<QComboBox>("CbStatus")->setCurrentIndex(3);
        f.filter();
        QCOMPARE(f.count(), QString("1"));
        QCOMPARE(f.find<QTableView>("GridCertificados")->model()->index(0, 0).data().toString(),
                 QString("OCDEMO-0002/2024"));
        QCOMPARE(CertificateSelection::description(f.window->appliedFilter()),
                 QString::fromUtf8("Seleção: Razão social: Shenzhen Happy Toys Co., Ltd., Importado:Sim, "
                                   "Status:Suspensos, Aprovados:Todos "));
        // What the reports print is what was filtered, not what is typed since.
        f.find<QLineEdit>("EdNumero")->setText("0001");
        QCOMPARE(f.window->appliedFilter().numero, QString());
        QCOMPARE(f.window->currentFilter().numero, QString("0001"));
        QVERIFY(f.messenger.messages.isEmpty());
    }
};

QTEST_MAIN(TestReportWindow)
#include "test_report_window.moc"
