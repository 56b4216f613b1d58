#include "db/database.h"
#include "maintenance/companies/ui/frmdetalhesempresa.h"
#include "support/whenmodal.h"
#include "widgets/folderchooser.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TestSharedUi : public QObject
{
    Q_OBJECT
    QTemporaryDir m_tmp;

private slots:
    void chooserLayout()
    {
        FolderChooser dlg(FolderChooser::Face::Transfer);
        QVERIFY(dlg.setDirectory(m_tmp.path()));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Escolha de diretório"));
        QCOMPARE(dlg.findChild<QPushButton *>("BtOK")->text(), QStringLiteral("&OK"));
        QCOMPARE(dlg.findChild<QPushButton *>("BtCancela")->text(), QStringLiteral("&Cancela"));
        QCOMPARE(dlg.findChild<QLabel *>("Label1")->text(), QStringLiteral("Diretório selecionado:"));
        QCOMPARE(dlg.findChild<QLabel *>("LbDiretorio")->text(), QDir::toNativeSeparators(m_tmp.path()));
        QCOMPARE(dlg.chosenFolder(), m_tmp.path() + "/");
        for (QWidget *w : dlg.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
    }

    void chooserTruncatesLongPaths()
    {
        QString deep = m_tmp.path();
        while (deep.size() <= 130)
            deep += QStringLiteral("/pasta_de_transferencia");
        QVERIFY(QDir().mkpath(deep));
        QCOMPARE(cutFolder(deep), deep.left(100) + "/");
        QCOMPARE(cutFolder(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));

        whenModal<QWidget>([deep](QWidget *w) {
            auto *dlg = qobject_cast<FolderChooser *>(w);
            QVERIFY(dlg);
            dlg->setDirectory(deep);
            dlg->findChild<QPushButton *>("BtOK")->click();
        });
        const QString chosen = FolderChooser::choose(FolderChooser::Face::Transfer, nullptr, m_tmp.path());
        QCOMPARE(chosen.size(), 101);
        QCOMPARE(chosen, deep.left(100) + "/");

        whenModal<QWidget>([](QWidget *w) { w->findChild<QPushButton *>("BtCancela")->click(); });
        QCOMPARE(FolderChooser::choose(FolderChooser::Face::Transfer, nullptr, m_tmp.path()), QString());
    }

    void companyDetails()
    {
        Database db(QStringLiteral("ui_test"));
        db.create(m_tmp.path() + "/empresa.db");
        db.execute(QStringLiteral(
            "CREATE TABLE empresa(CodigoPais TEXT COLLATE NOCASE, IdEmpresa TEXT COLLATE NOCASE, TipoPessoa TEXT,"
            " CGC TEXT, CPF TEXT, RazSocialEmp TEXT, NomFantasia TEXT, NomPessoaFisica TEXT, EndLogr TEXT,"
            " EndNum TEXT, EndCompl TEXT, EndCEP TEXT, EndBairro TEXT, EndCidade TEXT, SiglaUF TEXT,"
            " Telefone TEXT, Fax TEXT, Email TEXT, PRIMARY KEY(CodigoPais, IdEmpresa))"));
        const QString insert = QStringLiteral("INSERT INTO empresa VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        db.execute(insert,
                   {"BR", "11222333000181", "1", "11.222.333/0001-81", QVariant(), "Indústria D'Ávila Ltda", "D'Ávila",
                    QVariant(), "Rua A", "10", "sala 2", "01000-000", "Centro", "São Paulo", "SP", "11 5555-0000",
                    "11 5555-0001", "contato@example.com"});
        db.execute(insert,
                   {"BR", "52998224725", "2", QVariant(), "52998224725", QVariant(), QVariant(), "Maria Souza", "Rua B",
                    "5", QVariant(), QVariant(), QVariant(), "Recife", "PE", QVariant(), QVariant(), QVariant()});

        auto text = [](QWidget *w, const char *name) { return w->findChild<QLineEdit *>(name)->text(); };
        {
            TFrmDetalhesEmpresa dlg(CompanyDetails::load(db, "br", "11222333000181"));
            QCOMPARE(dlg.windowTitle(), QStringLiteral("Detalhes da Empresa"));
            QCOMPARE(text(&dlg, "EdPais"), QStringLiteral("BR"));
            QCOMPARE(text(&dlg, "EdCNPJ"), QStringLiteral("11.222.333/0001-81"));
            QCOMPARE(text(&dlg, "EdRazaoSocial"), QStringLiteral("Indústria D'Ávila Ltda"));
            QCOMPARE(text(&dlg, "EdNomeFantasia"), QStringLiteral("D'Ávila"));
            QCOMPARE(text(&dlg, "EdCidade"), QStringLiteral("São Paulo"));
            QCOMPARE(text(&dlg, "EdEmail"), QStringLiteral("contato@example.com"));
            QCOMPARE(dlg.findChild<QLabel *>("LbCNPJ")->text(), QStringLiteral("CNPJ"));
            QCOMPARE(dlg.findChild<QLabel *>("LbRazaoSocial")->text(), QStringLiteral("Razão Social"));
            QVERIFY(dlg.findChild<QRadioButton *>("RbJuridica")->isChecked());
            QVERIFY(dlg.findChild<QLineEdit *>("EdCNPJ")->isReadOnly());
        }
        {
            TFrmDetalhesEmpresa dlg(CompanyDetails::load(db, "BR", "52998224725"));
            QCOMPARE(text(&dlg, "EdCNPJ"), QStringLiteral("52998224725"));
            QCOMPARE(text(&dlg, "EdRazaoSocial"), QStringLiteral("Maria Souza"));
            QCOMPARE(dlg.findChild<QLabel *>("LbCNPJ")->text(), QStringLiteral("CPF"));
            QCOMPARE(dlg.findChild<QLabel *>("LbRazaoSocial")->text(), QStringLiteral("Nome Pessoa Física"));
            QVERIFY(dlg.findChild<QRadioButton *>("RbFisica")->isChecked());
        }
        {
            // A CNPJ stored as its bare digits, as the company windows keep it, is shown masked.
            db.execute(insert,
                       {"BR", "60701190000104", "1", "60701190000104", QVariant(), "Conexa Ltda", QVariant(),
                        QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                        QVariant(), QVariant(), QVariant()});
            TFrmDetalhesEmpresa dlg(CompanyDetails::load(db, "BR", "60701190000104"));
            QCOMPARE(text(&dlg, "EdCNPJ"), QStringLiteral("60.701.190/0001-04"));
        }
        QVERIFY(!CompanyDetails::load(db, "BR", "x' OR '1'='1").found);

        // The modal entry point shows the row and closes on OK.
        QString seen;
        whenModal<QWidget>([&seen](QWidget *w) {
            seen = w->findChild<QLineEdit *>("EdUF")->text();
            w->findChild<QPushButton *>("BtOK")->click();
        });
        TFrmDetalhesEmpresa::showCompany(db, "BR", "52998224725");
        QCOMPARE(seen, QStringLiteral("PE"));
        db.close();
    }
};

QTEST_MAIN(TestSharedUi)
#include "test_shared_ui.moc"
