// "Alteração de Status": its texts and lists, and each of its buttons with
// the answers the user may give.
#include "maintenance/companies/ui/tfrmalterastatusempresa.h"
#include "support/controls.h"
#include "support/selectionfixture.h"
#include "support/writefailure.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace {

const QString Num = QStringLiteral("OCT-20");

struct Dialog : SelectionFixture
{
    QList<std::optional<Justification>> justifications;
    QList<QDateTime> issues;
    std::unique_ptr<TFrmAlteraStatusEmpresa> dlg;

    Dialog()
    {
        certificate(Num, "COMP", 101);
        run("update CERTIFIC set Aprovado = 1");
        legalEntity("BR", "111", "111", "Alfa SA", "Alfa");
        person("22233344455", "Maria Souza");
        legalEntity("AR", "333", QString(), "Zeta SRL", "Zeta");
        link(Num, "BR", "111");
        link(Num, "BR", "22233344455");
        link(Num, "AR", "333");
        run("insert into LOTE (SiglaCertificador, NumCertif, NumLote, MarcaProd, ModeloProd, Importado, StatusLote, "
            "CodigoPais, IdEmpresa) values (?, ?, 'L1', 'Marca', 'Lote A', 0, 'A', 'BR', '111')",
            {Sigla, Num});
        run("insert into TIPO (SiglaCertificador, NumCertif, MarcaProd, ModeloProd, Importado, StatusProduto, "
            "CodigoPais, IdEmpresa) values (?, ?, 'Marca', 'Tipo B', 0, 'A', 'BR', '111')",
            {Sigla, Num});
    }
    void open(const QString &letter, const QString &evento)
    {
        dlg = std::make_unique<TFrmAlteraStatusEmpresa>(
            *db, msg, CascadeRequest{{Sigla, Num}, {"BR", "111"}, "joana", letter, evento},
            [this](bool askDate, const QDateTime &issue) -> std::optional<Justification> {
                if (!askDate)
                    return std::nullopt;
                issues << issue;
                return justifications.isEmpty() ? std::nullopt : justifications.takeFirst();
            });
    }
    template <typename T = QWidget> T *w(const char *name) { return child<T>(dlg.get(), name); }
    void click(const char *name) { w<QAbstractButton>(name)->click(); }
    QString state()
    {
        QStringList out;
        for (const char *sql :
             {"select IdEmpresa || StatusEmpresa from EMP_CERT order by IdEmpresa",
              "select StatusLote || IdEmpresa from LOTE order by NumLote",
              "select StatusProduto || IdEmpresa from TIPO order by ModeloProd", "select Aprovado from CERTIFIC",
              "select (select count(*) from EVENTO_EMP) + (select count(*) from STATUS_L) + "
              "(select count(*) from STATUS_T) + (select count(*) from STATUS_S)"})
            out << WriteFailure::joined(*db, QString::fromUtf8(sql));
        return out.join('|');
    }
};

}

class TestAlteraStatusEmpresa : public QObject
{
    Q_OBJECT

private slots:
    void textsAndListsFollowTheRequest()
    {
        Dialog f;
        f.open("C", "CAN");
        QCOMPARE(f.dlg->windowTitle(), QString("Alteração de Status"));
        QCOMPARE(f.w<QLabel>("LbPropagar")->text(),
                 QString("Cancela Empresa e Propagar o Status de Cancelado\npara os Produtos ou Serviços Vinculados"));
        QCOMPARE(f.w<QGroupBox>("GbTransferir")->title(),
                 QString("Cancelar e Transferir Empresa Vinculada dos Produtos"));
        QCOMPARE(f.w<QLineEdit>("EdEmpresaAtual")->text(), QString("Alfa SA"));
        auto *list = f.w<QComboBox>("CbNovaEmpresa");
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->itemText(i);
        QCOMPARE(names, QStringList({"", "Maria Souza", "Zeta SRL"}));
        QCOMPARE(f.w<QTableView>("DBGridProdutos")->model()->rowCount(), 2);
        QCOMPARE(f.w<QTableView>("DBGridServicos")->model()->rowCount(), 0);

        f.open("S", "SUS");
        QCOMPARE(f.w<QLabel>("LbPropagar")->text().section('\n', 0, 0),
                 QString("Suspende Empresa e Propagar o Status de Suspenso"));
        QCOMPARE(f.w<QGroupBox>("GbTransferir")->title(),
                 QString("Suspender e Transferir Empresa Vinculada dos Produtos"));
    }

    void propagateAsksTwiceThenWritesOnce()
    {
        Dialog f;
        f.open("S", "SUS");
        const QString before = f.state();
        f.msg.answers << false;
        f.click("BtPropaga");
        QCOMPARE(f.msg.lastText(), QString("Confirma a propagação do status?"));
        QVERIFY(f.issues.isEmpty());
        f.msg.answers << true;
        f.click("BtPropaga");
        QCOMPARE(f.issues.size(), 1);
        // The status date is held against today only.
        QVERIFY(!f.issues.first().isValid());
        QCOMPARE(f.state(), before);

        f.msg.answers << true;
        f.justifications << Justification{"auditoria", "05/05/2024"};
        f.click("BtPropaga");
        QCOMPARE(f.msg.lastText(), QString("Propagação do Status realizada com sucesso."));
        QCOMPARE(f.state(), QString("111S,22233344455A,333A|S111|S111|0|3"));
        QVERIFY(!f.w("BtPropaga")->isEnabled());
        QVERIFY(!f.w("BtTransfere")->isEnabled());
        QVERIFY(f.w("BtSaida")->isEnabled());
        QCOMPARE(f.w<QTableView>("DBGridProdutos")->model()->rowCount(), 0);
    }

    void transferRefusalsAndTheMove()
    {
        Dialog f;
        f.open("C", "CAN");
        f.run("insert into SERVICO (SiglaCertificador, NumCertif, IdClasseServ, CodigoPais, IdEmpresa, StatusServico) "
              "values (?, ?, 10, 'BR', '111', 'A')",
              {SelectionFixture::Sigla, Num});
        const QString before = f.state();
        auto *list = f.w<QComboBox>("CbNovaEmpresa");
        list->setCurrentIndex(list->findText("Zeta SRL"));
        f.msg.answers << true;
        f.click("BtTransfere");
        QCOMPARE(f.msg.lastText(), QString("Não é possível transferir a Empresa, pois existe serviço cadastrado."));
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Information);
        QVERIFY(f.issues.isEmpty());
        f.run("update SERVICO set StatusServico = 'C'");

        list->setCurrentIndex(0);
        f.msg.answers << true;
        f.click("BtTransfere");
        QCOMPARE(f.msg.lastText(), QString("Por favor selecione a Nova Empresa."));
        QVERIFY(f.issues.isEmpty());
        QCOMPARE(f.state(), before);

        list->setCurrentIndex(list->findText("Zeta SRL"));
        f.msg.answers << true;
        f.justifications << Justification{"venda da linha", "05/05/2024"};
        f.click("BtTransfere");
        QCOMPARE(f.msg.lastText(), QString("Transferencia da Empresa realizada com sucesso."));
        QCOMPARE(f.state(), QString("111C,22233344455A,333A|A333|A333|0|3"));
        QVERIFY(!f.w("BtTransfere")->isEnabled());
        QVERIFY(!f.w("BtPropaga")->isEnabled());
    }

    void exitWritesNothing()
    {
        Dialog f;
        f.open("C", "CAN");
        const QString before = f.state();
        f.w<QComboBox>("CbNovaEmpresa")->setCurrentIndex(1);
        f.click("BtSaida");
        QVERIFY(!f.dlg->isVisible());
        QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
        QCOMPARE(f.state(), before);
        QVERIFY(f.msg.messages.isEmpty());
    }
};

QTEST_MAIN(TestAlteraStatusEmpresa)
#include "test_alterastatusempresa.moc"
