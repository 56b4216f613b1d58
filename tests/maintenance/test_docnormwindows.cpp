// The history and normative documents windows, driven by their controls'
// names with scripted answers, and their opening from the modify panel.
#include "maintenance/certificates/ui/certificatetab.h"
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/documents/ui/tfrmdocumentosnormativos.h"
#include "maintenance/documents/ui/tfrmgerahistorico.h"
#include "maintenance/maintenancedates.h"
#include "maintenance/ui/tformprincipal.h"
#include "register/statusevents.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/selectionfixture.h"
#include "support/whenmodal.h"
#include "widgets/maskeddateedit.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

namespace {

using StatusEvents::Table;

QString day(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}
const QDate Issue(2024, 1, 10);

void shot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("CORVANE_SHOTS");
    if (dir.isEmpty())
        return;
    w->show();
    QTest::qWait(80);
    w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void click(QWidget *w, const char *name)
{
    child<QAbstractButton>(w, name)->click();
}

void setText(QWidget *w, const char *name, const QString &text)
{
    auto *e = child<QLineEdit>(w, name);
    e->clear();
    e->setText(text);
}

void pick(QWidget *w, const char *name, const QString &text)
{
    auto *c = child<QComboBox>(w, name);
    const int i = c->findText(text);
    if (i < 0)
        qFatal("no entry %s in %s", qPrintable(text), name);
    c->setCurrentIndex(i);
    emit c->activated(i);
}

QStringList items(QComboBox *c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

int rows(QWidget *w, const char *grid)
{
    return child<QTableView>(w, grid)->model()->rowCount();
}

struct Fixture : SelectionFixture
{
    QList<std::optional<Justification>> justifications;
    MaintenanceContext ctx{*db, msg, QStringLiteral("joana"),
                           [this](bool, const QDateTime &) -> std::optional<Justification> {
                               return justifications.isEmpty() ? std::nullopt : justifications.takeFirst();
                           }};

    Fixture()
    {
        run("insert into TIPO_DOC (IdTipoDoc, TipoDoc) values (1, 'Norma'), (2, 'Portaria')");
        run("insert into DOC_NORMATIVOS (IdClasseCertif, IdClasseProd, IdDocNorm, IdTipoDoc, NomeTitulo, StatusDoc) "
            "values ('COMP', 101, 1, 1, 'NBR 14136', 'A'), ('COMP', 101, 2, 2, 'Portaria 85', 'A'), "
            "('COMP', 101, 3, 1, 'NBR 6147', 'A')");
        certificate("C-1", "COMP", 101, Issue);
        legalEntity("BR", "E1", "1", "Empresa Um", "Um");
        link("C-1", "BR", "E1");
        item("TIPO", "C-1", "Marca", "M1", 0);
        // The system's own history of the certificate.
        StatusEvents::Event e;
        e.key = StatusEvents::certificateKey(Sigla, "C-1");
        e.evento = "INC";
        e.justificativa = StatusEvents::JustificativaSistema;
        e.status = "A";
        e.statusDate = Issue.startOfDay();
        e.user = "adm";
        StatusEvents::insert(*db, Table::Status_C, e);
    }
    DocNormLinks::Item generalItem()
    {
        DocNormLinks::Item i;
        i.certificate = {Sigla, "C-1"};
        i.idClasseCertif = "COMP";
        i.idClasseProd = 101;
        i.issue = Issue.startOfDay();
        return i;
    }
};

}

class TestDocNormWindows : public QObject
{
    Q_OBJECT
private slots:
    void historyWindowAddsAndRemovesHandMadeEntries()
    {
        Fixture f;
        TFrmGeraHistorico w(*f.db, f.msg, "joana", Table::Status_C, StatusEvents::certificateKey(f.Sigla, "C-1"),
                            Issue.startOfDay());
        QCOMPARE(w.windowTitle(), QString::fromUtf8("Histórico"));
        QCOMPARE(child<QLabel>(&w, "LbItem")->text(), QStringLiteral("Certificado OCT / C-1"));
        // The system's own "INC" is not listed.
        QCOMPARE(rows(&w, "GridStatus"), 0);
        QVERIFY(!child(&w, "BtExcluir")->isEnabled());
        QVERIFY(!child(&w, "BtAplicar")->isEnabled());
        QVERIFY(!child(&w, "EdtData")->isEnabled());

        click(&w, "BtIncluir");
        QCOMPARE(child<QLineEdit>(&w, "EdtData")->text(), day(QDate::currentDate()));
        QVERIFY(!child(&w, "BtSaida")->isEnabled());
        QVERIFY(!child(&w, "GridStatus")->isEnabled());
        QVERIFY(child(&w, "BtCancela")->isEnabled());
        setText(&w, "EdtJustificativa", "   ");
        click(&w, "BtAplicar");
        QCOMPARE(f.msg.lastText(), QStringLiteral("Por favor informe a justificativa."));
        QVERIFY(w.isEditing());
        setText(&w, "EdtJustificativa", QString::fromUtf8("Ensaio de recertificação"));
        setText(&w, "EdtData", day(Issue.addDays(-1)));
        click(&w, "BtAplicar");
        QCOMPARE(f.msg.lastText(), QString::fromUtf8("Data menor que a data de emissão do certificado."));
        QVERIFY(w.isEditing());
        QCOMPARE(rows(&w, "GridStatus"), 0);
        setText(&w, "EdtData", day(Issue));
        click(&w, "BtAplicar");
        QVERIFY(!w.isEditing());
        QCOMPARE(rows(&w, "GridStatus"), 1);
        QVERIFY(child(&w, "BtExcluir")->isEnabled());
        QVERIFY(child(&w, "BtSaida")->isEnabled());
        QVERIFY(!child(&w, "EdtJustificativa")->isEnabled());
        QCOMPARE(child<QLineEdit>(&w, "EdtData")->text(), day(Issue));
        auto *grid = child<QTableView>(&w, "GridStatus");
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QString::fromUtf8("Ensaio de recertificação"));
        QCOMPARE(grid->model()->index(0, 2).data().toString(), QStringLiteral("joana"));
        QCOMPARE(f.count("select count(*) from STATUS_C where HistoricoSis = '1'"), 1);

        // Cancelling an entry writes nothing and shows the current row again.
        click(&w, "BtIncluir");
        setText(&w, "EdtJustificativa", "descartada");
        click(&w, "BtCancela");
        QCOMPARE(rows(&w, "GridStatus"), 1);
        QCOMPARE(child<QLineEdit>(&w, "EdtJustificativa")->text(), QString::fromUtf8("Ensaio de recertificação"));
        shot(&w, "historico");

        // Received by the regulator: stays.
        f.run("insert into REP_STATUS_C select * from STATUS_C where HistoricoSis = '1'");
        click(&w, "BtExcluir");
        QCOMPARE(f.msg.lastText(),
                 QString::fromUtf8("Este registro não pode ser excluído do certificado, pois já foi "
                                   "aprovado para emissão para o Quelora."));
        QCOMPARE(rows(&w, "GridStatus"), 1);
        f.run("delete from REP_STATUS_C");
        f.msg.answers.enqueue(false);
        click(&w, "BtExcluir");
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Confirm);
        QCOMPARE(f.msg.lastText(), QStringLiteral("Confirma a Exclusão do Histórico?"));
        QCOMPARE(rows(&w, "GridStatus"), 1);
        f.msg.answers.enqueue(true);
        click(&w, "BtExcluir");
        QCOMPARE(rows(&w, "GridStatus"), 0);
        QVERIFY(!child(&w, "BtExcluir")->isEnabled());
        QVERIFY(MaintenanceDates::isBlank(child<MaskedDateEdit>(&w, "EdtData")->boxText()));
        QCOMPARE(f.count("select count(*) from STATUS_C"), 1); // the system's row stays
    }

    void documentsWindowLinksChangesAndRemoves()
    {
        Fixture f;
        TFrmDocumentosNormativos w(f.ctx, DocNormLinks::Mode::DadosGerais, f.generalItem());
        QCOMPARE(w.windowTitle(), QStringLiteral("Documentos Normativos"));
        QVERIFY(child<QAbstractButton>(&w, "RbProdutos")->isChecked());
        QVERIFY(!child(&w, "RgReferentes")->isEnabled());
        QVERIFY(child<QLabel>(&w, "LbAtencao")->text().contains("todos os PRODUTOS"));
        QCOMPARE(child<QLabel>(&w, "LbItem")->text(), QStringLiteral("Certificado OCT / C-1"));
        QCOMPARE(rows(&w, "DBGDocNorm"), 0);
        QVERIFY(child(&w, "GbStatusDocNorm")->isHidden());
        QVERIFY(!child(&w, "btnCadHistorico")->isEnabled());
        QVERIFY(!child(&w, "btnExDocNorm")->isEnabled());

        click(&w, "btnIncluirDocNorm");
        QVERIFY(w.isEditing());
        QCOMPARE(items(child<QComboBox>(&w, "cmbTipoDoc")), (QStringList{"Norma", "Portaria"}));
        QCOMPARE(items(child<QComboBox>(&w, "cmbIdentificacao")), (QStringList{"1", "2", "3"}));
        QCOMPARE(items(child<QComboBox>(&w, "cmbTitulo")), (QStringList{"NBR 14136", "NBR 6147", "Portaria 85"}));
        QCOMPARE(child<QLineEdit>(&w, "EdtDtEntrada")->text(), day(Issue));
        QVERIFY(!child(&w, "bbtAplicarDocNorm")->isEnabled());
        QVERIFY(!child(&w, "btnSaida")->isEnabled());
        // A type narrows the lists; a title picks its identification and type.
        pick(&w, "cmbTipoDoc", "Norma");
        QCOMPARE(items(child<QComboBox>(&w, "cmbIdentificacao")), (QStringList{"1", "3"}));
        QVERIFY(!child(&w, "bbtAplicarDocNorm")->isEnabled());
        pick(&w, "cmbTitulo", "NBR 6147");
        QCOMPARE(child<QComboBox>(&w, "cmbIdentificacao")->currentText(), QStringLiteral("3"));
        QCOMPARE(child<QComboBox>(&w, "cmbTipoDoc")->currentText(), QStringLiteral("Norma"));
        pick(&w, "cmbIdentificacao", "1");
        QCOMPARE(child<QComboBox>(&w, "cmbTitulo")->currentText(), QStringLiteral("NBR 14136"));
        QVERIFY(child(&w, "bbtAplicarDocNorm")->isEnabled());
        shot(&w, "docnorm-inclusao");

        setText(&w, "EdtDtEntrada", day(QDate::currentDate().addDays(1)));
        click(&w, "bbtAplicarDocNorm");
        QCOMPARE(f.msg.lastText(), QString::fromUtf8("A data de entrada é maior que a data atual."));
        QVERIFY(w.isEditing());
        setText(&w, "EdtDtEntrada", day(QDate::currentDate()));
        click(&w, "bbtAplicarDocNorm");
        QVERIFY(!w.isEditing());
        QCOMPARE(rows(&w, "DBGDocNorm"), 1);
        QCOMPARE(child<QLineEdit>(&w, "EdtTitulo")->text(), QStringLiteral("NBR 14136"));
        QVERIFY(!child(&w, "GbStatusDocNorm")->isHidden());
        QCOMPARE(child<QLabel>(&w, "LbStatus")->text(), QStringLiteral("Ativo"));
        QVERIFY(child(&w, "btnCadHistorico")->isEnabled());
        QVERIFY(child(&w, "btnExDocNorm")->isEnabled());
        QCOMPARE(f.count("select count(*) from STATUS_DNCP where HistoricoSis = '02' and Evento = 'INC'"), 1);

        // A cancelled justification changes nothing; an answer suspends.
        click(&w, "sbSuspDocNorm");
        QCOMPARE(child<QLabel>(&w, "LbStatus")->text(), QStringLiteral("Ativo"));
        f.justifications << Justification{"auditoria", day(Issue)};
        click(&w, "sbSuspDocNorm");
        QCOMPARE(child<QLabel>(&w, "LbStatus")->text(), QStringLiteral("Suspenso"));
        QVERIFY(child(&w, "sbAtivDocNorm")->isVisibleTo(&w));
        QVERIFY(!child(&w, "sbSuspDocNorm")->isVisibleTo(&w));
        shot(&w, "docnorm-lista");

        // The history of the current link.
        Table opened = Table::Status_C;
        StatusEvents::ItemKey openedKey;
        w.setHistoryOpener([&](Table t, const StatusEvents::ItemKey &k, const QDateTime &issue) {
            opened = t;
            openedKey = k;
            QCOMPARE(issue.date(), Issue);
        });
        click(&w, "btnCadHistorico");
        QCOMPARE(opened, Table::Status_DNCP);
        QCOMPARE(openedKey.value("IdDocNorm").toInt(), 1);
        QCOMPARE(openedKey.value("IdClasseProd").toInt(), 101);

        // Received: refused; otherwise removed after a Yes, events kept.
        f.run("insert into REP_DOC_NORM_CERT_PRODUTO select * from DOC_NORM_CERT_PRODUTO");
        click(&w, "btnExDocNorm");
        QCOMPARE(f.msg.lastText(),
                 QString::fromUtf8("Este registro não pode ser apagado do certificado, pois já foi "
                                   "aprovado para emissão para o Quelora."));
        QCOMPARE(rows(&w, "DBGDocNorm"), 1);
        f.run("delete from REP_DOC_NORM_CERT_PRODUTO");
        f.msg.answers.enqueue(true);
        click(&w, "btnExDocNorm");
        QCOMPARE(rows(&w, "DBGDocNorm"), 0);
        QVERIFY(child(&w, "GbStatusDocNorm")->isHidden());
        QCOMPARE(f.count("select count(*) from STATUS_DNCP"), 2);
    }

    void serviceModeShowsServicesAndItsText()
    {
        Fixture f;
        f.run("insert into DOC_NORMATIVOS_SERV (IdClasseCertif, IdClasseServ, IdDocNorm, IdTipoDoc, NomeTitulo, "
              "StatusDoc) values ('COMP', 10, 50, 1, 'Recarga', 'A')");
        f.service("C-1", 10, "BR", "E1");
        DocNormLinks::Item item = f.generalItem();
        item.idClasseServ = 10;
        item.codigoPais = "BR";
        item.idEmpresa = "E1";
        TFrmDocumentosNormativos w(f.ctx, DocNormLinks::Mode::Servicos, item);
        QVERIFY(child<QAbstractButton>(&w, "RbServicos")->isChecked());
        QVERIFY(child<QLabel>(&w, "LbItem")
                    ->text()
                    .endsWith(QString::fromUtf8("Empresa BR / E1  ·  Classe de serviço 10")));
        QVERIFY(child<QLabel>(&w, "LbAtencao")->text().contains(QString::fromUtf8("este SERVIÇO")));
        click(&w, "btnIncluirDocNorm");
        QCOMPARE(items(child<QComboBox>(&w, "cmbTitulo")), QStringList{"Recarga"});
        pick(&w, "cmbTitulo", "Recarga");
        click(&w, "bbtAplicarDocNorm");
        QCOMPARE(rows(&w, "DBGDocNorm"), 1);
        QCOMPARE(f.count("select count(*) from DOC_NORM_SERV where IdClasseServ = 10 and IdEmpresa = 'E1'"), 1);
        // Nothing left to offer: told so, and no empty edit state.
        click(&w, "btnIncluirDocNorm");
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Information);
        QCOMPARE(f.msg.lastText(), DocNormTexts::NoneToAdd);
        QVERIFY(!w.isEditing());
        QVERIFY(child(&w, "btnSaida")->isEnabled());
    }

    void modifyPanelOpensBothWindowsForTheActiveTab()
    {
        Fixture f;
        ProgramDatabase capa{nullptr, QStringLiteral("DocNormTest")};
        LoginState login;
        login.userCode = QStringLiteral("joana");
        TFormPrincipal frm(capa, f.msg, login, {"USUÁRIO: joana", "Módulo"});
        frm.setJustificationPrompt([](bool, const QDateTime &) { return std::optional<Justification>(); });
        ModificaCertificadoPanel *panel = frm.modificaCertificado();
        frm.modifyCertificate();
        panel->load({f.Sigla, "c-1"});
        QVERIFY(panel->isOpen());
        auto *docs = child<QPushButton>(&frm, "btbDocNorm");
        auto *hist = child<QPushButton>(&frm, "BtnCadHistorico");
        QVERIFY(docs->isEnabled());
        QVERIFY(hist->isEnabled());
        QVERIFY(child(&frm, "DBLookupComboBox5")->isEnabled());

        bool sawDocs = false;
        whenModal<TFrmDocumentosNormativos>([&](TFrmDocumentosNormativos *w) {
            sawDocs = true;
            QCOMPARE(w->dataModule().mode(), DocNormLinks::Mode::DadosGerais);
            QCOMPARE(w->dataModule().item().idClasseProd.toInt(), 101);
            click(w, "btnIncluirDocNorm");
            pick(w, "cmbTitulo", "Portaria 85");
            click(w, "bbtAplicarDocNorm");
            click(w, "btnSaida");
        });
        docs->click();
        QVERIFY(sawDocs);
        QCOMPARE(f.count("select count(*) from DOC_NORM_CERT_PRODUTO where IdDocNorm = 2"), 1);
        // The certificate has documents now: its classes are locked.
        QVERIFY(!child(&frm, "DBLookupComboBox5")->isEnabled());
        QVERIFY(!child(&frm, "DBLookupComboBox6")->isEnabled());

        bool sawHistory = false;
        whenModal<TFrmGeraHistorico>([&](TFrmGeraHistorico *w) {
            sawHistory = true;
            QCOMPARE(rows(w, "GridStatus"), 0);
            click(w, "BtIncluir");
            setText(w, "EdtJustificativa", "registro manual");
            click(w, "BtAplicar");
            QCOMPARE(rows(w, "GridStatus"), 1);
            click(w, "BtSaida");
        });
        hist->click();
        QVERIFY(sawHistory);
        QCOMPARE(f.count("select count(*) from STATUS_C where HistoricoSis = '1' and NumCertif = 'C-1' and "
                         "Justificativa = 'registro manual'"),
                 1);
    }

    void currentItemOfTheGeneralTab()
    {
        Fixture f;
        ProgramDatabase capa{nullptr, QStringLiteral("DocNormTest2")};
        LoginState login;
        login.userCode = QStringLiteral("joana");
        TFormPrincipal frm(capa, f.msg, login, {"USUÁRIO: joana", "Módulo"});
        CertificateTab *tab = frm.modificaCertificado()->tabs().first();
        QVERIFY(!tab->currentItem());
        frm.modificaCertificado()->load({f.Sigla, "C-1"});
        const auto item = tab->currentItem();
        QVERIFY(item);
        QCOMPARE(item->table, Table::Status_C);
        QCOMPARE(item->row.value("NumCertif").toString(), QStringLiteral("C-1"));
        QCOMPARE(item->row.value("StatusCertificado").toString(), QStringLiteral("A"));
        frm.modificaCertificado()->closeAll();
        QVERIFY(!tab->currentItem());
    }
};

QTEST_MAIN(TestDocNormWindows)
#include "test_docnormwindows.moc"
