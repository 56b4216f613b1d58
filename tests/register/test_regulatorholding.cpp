// What the regulator may hold stays: a certificate or item approved, accepted
// in a remittance or imported from a TXT file is never deleted, its changes
// ask for a justification, and it is not offered for approval again.
#include "db/dberror.h"
#include "db/schema.h"
#include "maintenance/certificates/certificateapproval.h"
#include "maintenance/certificates/certificatedeletion.h"
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/ui/excluicertificadopanel.h"
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/companies/companylinks.h"
#include "maintenance/products/itemservice.h"
#include "maintenance/ui/tformprincipal.h"
#include "register/regulatorholding.h"
#include "shell/programdatabase.h"
#include "support/controls.h"
#include "support/importrunfixture.h"
#include "support/testdb.h"

#include <QAbstractButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTabWidget>
#include <QtTest>

using B = ImportFileBuilder;
using StatusEvents::Table;

namespace {

const CertificateKey Key{QStringLiteral("OCT"), QStringLiteral("C-1")};

void importOne(ImportRunFixture &f)
{
    B b(ImportRunFixture::Sigla);
    b.completeCertificate("C-1");
    f.write(1, b);
    QVERIFY(f.run());
}

CertificateItem lot(const QString &number)
{
    CertificateItem i;
    i.siglaCertificador = Key.sigla;
    i.numCertif = Key.numero;
    i.numLote = number;
    i.marcaProd = "Marca";
    i.modeloProd = "Modelo C-1";
    i.importado = 1;
    return i;
}

StatusEvents::ItemKey lotKey(const QString &number)
{
    return CertificateItems::itemKey(ItemKind::Lote, lot(number));
}

void addEvent(Database &db, Table table, const StatusEvents::ItemKey &key, const char *evento, const QDateTime &at,
              const QString &origin = StatusEvents::OrigemSistema)
{
    StatusEvents::Event e;
    e.key = key;
    e.evento = QLatin1String(evento);
    e.historicoSis = origin;
    e.status = "A";
    e.statusDate = at;
    e.writtenAt = at;
    e.user = "adm";
    StatusEvents::insert(db, table, e);
}

template <typename T = QAbstractButton> T *control(QWidget &w, const char *name)
{
    return child<T>(w, name);
}

}

class TestRegulatorHolding : public QObject
{
    Q_OBJECT

private slots:
    // The import records its rows through a plan made once per record class;
    // the mark must be the one a row map gives, whatever the columns' case
    // and order, and a blank key value is refused the same way.
    void importMarkPlanWritesTheRowMapsMark()
    {
        ImportRunFixture f;
        const QStringList columns{"DthUltAtualiz", "numLote",    "SiglaCertificador", "Numcertif",
                                  "MARCAPROD",     "ModeloProd", "Importado",         "StatusLote"};
        const QStringList values{"2024-01-01", "L-7", "OCT", "C-9", "Marca", "Modelo", " 1", "A"};
        QVariantMap row;
        for (int i = 0; i < columns.size(); ++i)
            row.insert(columns.at(i), values.at(i));
        auto marks = [&] {
            QSqlQuery q = f.db->exec("select * from ITEM_IMPORTADO order by NomeArquivo");
            QStringList out;
            while (q.next()) {
                QStringList cells;
                for (int i = 0; i < q.record().count(); ++i)
                    if (q.record().fieldName(i).compare("DthImportacao", Qt::CaseInsensitive) != 0)
                        cells << q.value(i).toString();
                out << cells.join('|');
            }
            return out;
        };
        const auto plan = RegulatorHolding::importMarkPlan("lote", columns);
        QVERIFY(plan);
        QVERIFY(!RegulatorHolding::importMarkPlan("STATUS_L", columns));
        RegulatorHolding::recordImported(*f.db, "LOTE", row, "A.txt");
        const QStringList viaMapRows = marks();
        f.db->execute("delete from ITEM_IMPORTADO");
        RegulatorHolding::recordImported(*f.db, *plan, values, "A.txt");
        QCOMPARE(marks(), viaMapRows);
        QCOMPARE(viaMapRows.size(), 1);
        QVERIFY2(viaMapRows.at(0).startsWith("LOTE|OCT|C-9|||Marca|Modelo|1|L-7|"), qPrintable(viaMapRows.at(0)));

        QStringList blank = values;
        blank[1] = "  ";
        row.insert("numLote", "  ");
        QString viaMap, viaPlan;
        try {
            RegulatorHolding::recordImported(*f.db, "LOTE", row, "C.txt");
        } catch (const AppError &e) {
            viaMap = e.message();
        }
        try {
            RegulatorHolding::recordImported(*f.db, *plan, blank, "C.txt");
        } catch (const AppError &e) {
            viaPlan = e.message();
        }
        QCOMPARE(viaPlan, QStringLiteral("LOTE.NumLote em branco."));
        QCOMPARE(viaPlan, viaMap);
    }

    // A certificate delivered in a TXT file was never approved here, yet
    // neither it nor its items or companies may go, and every change asks why.
    void importedCertificateStaysWhole()
    {
        ImportRunFixture f;
        importOne(f);
        QCOMPARE(f.count("STATUS_C", "Evento = 'APR'"), 0);
        QCOMPARE(f.count("CERTIFIC", "Aprovado = 1"), 1);
        QCOMPARE(f.count("ITEM_IMPORTADO", "NomeArquivo = '" + ImportRunFixture::name(1) + "'"), 4);
        QVERIFY(RegulatorHolding::certificate(*f.db, {"oct", "c-1"}));

        f.msg.clear();
        QVERIFY(!CertificateDeletion::run(*f.db, f.msg, Key));
        QCOMPARE(f.msg.texts(), QStringList{CertificateDeletion::JaAprovado});
        QVERIFY_THROWS_EXCEPTION(CertificateDeletion::Held, CertificateDeletion::deleteAll(*f.db, Key));
        QCOMPARE(f.count("CERTIFIC"), 1);
        QVERIFY(!f.db->inTransaction());

        ItemService lots(*f.db, f.msg, "imp", ItemKind::Lote);
        const ItemService::Certificate cert{Key, QDate(2020, 1, 1).startOfDay(), true};
        QVERIFY(!lots.removalAllowed(lot("l1")));
        QCOMPARE(f.msg.lastText(), ItemTexts::Approved);
        QCOMPARE(lots.remove(cert, lot("L1")), ItemService::Result::Refused);
        QCOMPARE(f.count("LOTE"), 1);
        QCOMPARE(f.count("STATUS_L"), 1);
        CertificateItem type = lot(QString());
        QVERIFY(!ItemService(*f.db, f.msg, "imp", ItemKind::Tipo).removalAllowed(type));
        CompanyLinks links(*f.db, f.msg, "imp");
        QVERIFY(!links.removalAllowed(Key, {"US", "Empresa C-1"}));
        QCOMPARE(f.msg.lastText(), CompanyLinkTexts::Approved);
        QVERIFY(!links.remove(Key, {"US", "Empresa C-1"}));
        QCOMPARE(f.count("EMP_CERT"), 1);

        CertificateService service(*f.db, f.msg, "imp");
        const auto opened = service.open(Key);
        QVERIFY(opened && opened->held && opened->numberLocked);
        QVERIFY(CertificateApproval::candidates(*f.db).isEmpty());

        // A lot added here since, never approved, has not reached the
        // regulator; under the key it is edited to, an imported one stays held.
        f.db->execute("insert into LOTE (SiglaCertificador, NumCertif, NumLote, MarcaProd, ModeloProd, Importado, "
                      "StatusLote) values ('OCT', 'C-1', 'L2', 'Marca', 'Modelo C-1', 1, 'A')");
        addEvent(*f.db, Table::Status_L, lotKey("L2"), "INC", QDateTime::currentDateTime());
        QVERIFY(lots.removalAllowed(lot("L2")));
        QCOMPARE(lots.remove(cert, lot("L2")), ItemService::Result::Saved);
        RegulatorHolding::rekeyImported(*f.db, Table::Status_L, lotKey("L1"), lotKey("L9"));
        QVERIFY(RegulatorHolding::item(*f.db, Table::Status_L, lotKey("L9")));
        QVERIFY(!RegulatorHolding::item(*f.db, Table::Status_L, lotKey("L1")));
    }

    // The same refusals through the windows, with the messages the user reads.
    void importedCertificateThroughTheWindows()
    {
        ImportRunFixture f;
        importOne(f);
        ProgramDatabase capa{nullptr, QStringLiteral("HoldingTest")};
        LoginState login;
        login.userCode = QStringLiteral("imp");
        TFormPrincipal frm(capa, f.msg, login, {"USUÁRIO: imp", "Módulo"});
        frm.findChild<ExcluiCertificadoPanel *>()->setCertificateChooser([] { return std::optional(Key); });
        frm.modificaCertificado()->setCertificateChooser([] { return Key; });
        frm.show();

        control(frm, "spbApagaCertificado")->click();
        // Pressed and confirmed: what the user reads, caption first.
        const auto answerTo = [&](const char *button) {
            f.msg.clear();
            f.msg.answers.enqueue(true);
            control(frm, button)->click();
            return QStringList{f.msg.lastCaption()} + f.msg.texts();
        };
        control(frm, "btnSelCertExclusao")->click();
        QCOMPARE(answerTo("btnExcluiCertif"),
                 (QStringList{"Exclusão do Certificado.", CertificateDeletion::JaAprovado}));
        QCOMPARE(f.count("CERTIFIC"), 1);

        frm.modifyCertificate();
        control(frm, "btnSelCertModificacao")->click();
        auto *tabs = control<QTabWidget>(frm, "PControlModificaCertif");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == QLatin1String("Produtos por Lote"))
                tabs->setCurrentIndex(i);
        QCOMPARE(tabs->tabText(tabs->currentIndex()), QString("Produtos por Lote"));
        QCOMPARE(answerTo("btnExLoteEd"), (QStringList{"Erro de deleção", ItemTexts::Approved}));
        QCOMPARE(f.count("LOTE"), 1);
    }

    // An item keeps the record of the file that first delivered it: a later
    // file, or an edit onto a key another imported item holds, leaves both
    // records as they were; an edit of case alone moves the record.
    void marksKeepTheirFirstRecord()
    {
        ImportRunFixture f;
        auto mark = [&](const QString &number, const QString &file) {
            const QVariantMap row{{"SiglaCertificador", "OCT"}, {"NumCertif", "C-1"},         {"NumLote", number},
                                  {"MarcaProd", "Marca"},       {"ModeloProd", "Modelo C-1"}, {"Importado", 1}};
            RegulatorHolding::recordImported(*f.db, "LOTE", row, file);
        };
        auto marks = [&] {
            QStringList out;
            QSqlQuery q = f.db->exec("select NumLote, NomeArquivo from ITEM_IMPORTADO order by NomeArquivo");
            while (q.next())
                out << q.value(0).toString() + '|' + q.value(1).toString();
            return out;
        };
        mark("L1", "A.txt");
        mark("L2", "B.txt");
        mark("l2", "C.txt");
        QCOMPARE(marks(), (QStringList{"L1|A.txt", "L2|B.txt"}));
        RegulatorHolding::rekeyImported(*f.db, Table::Status_L, lotKey("L1"), lotKey("l2"));
        QCOMPARE(marks(), (QStringList{"L1|A.txt", "L2|B.txt"}));
        RegulatorHolding::rekeyImported(*f.db, Table::Status_L, lotKey("L1"), lotKey("l1"));
        QCOMPARE(marks(), (QStringList{"l1|A.txt", "L2|B.txt"}));
        RegulatorHolding::rekeyImported(*f.db, Table::Status_L, lotKey("L1"), lotKey("L3"));
        QCOMPARE(marks(), (QStringList{"L3|A.txt", "L2|B.txt"}));
    }

    // Held by the replica (accepted in a remittance) or by an approval that
    // came after the item's own inclusion; a history note typed afterwards
    // is no inclusion and changes nothing.
    void replicaAndApprovalHold()
    {
        ImportRunFixture f;
        f.db->execute(
            "insert into CERTIFIC (SiglaCertificador, NumCertif, StatusCertificado) values ('OCT', 'R-1', 'A')");
        const CertificateKey r1{"OCT", "R-1"};
        QVERIFY(!RegulatorHolding::certificate(*f.db, r1));
        f.db->execute("insert into REP_CERTIFIC (SiglaCertificador, NumCertif) values ('oct', 'r-1')");
        QVERIFY(RegulatorHolding::certificate(*f.db, r1));
        QVERIFY(f.db->scalar("select count(*) from CERTIFIC c where " + RegulatorHolding::certificateCondition("c"))
                    .toInt() == 1);

        StatusEvents::ItemKey tipo{{"SiglaCertificador", "OCT"},
                                   {"NumCertif", "R-1"},
                                   {"MarcaProd", "M"},
                                   {"ModeloProd", "X"},
                                   {"Importado", 0}};
        QVERIFY(!RegulatorHolding::item(*f.db, Table::Status_T, tipo));
        f.db->execute("insert into REP_TIPO (SiglaCertificador, NumCertif, MarcaProd, ModeloProd, Importado) "
                      "values ('OCT', 'R-1', 'm', 'x', 0)");
        QVERIFY(RegulatorHolding::item(*f.db, Table::Status_T, tipo));
        tipo.insert("Importado", 1);
        QVERIFY(!RegulatorHolding::item(*f.db, Table::Status_T, tipo));

        QDateTime now = QDateTime::currentDateTime();
        now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
        StatusEvents::ItemKey lote{{"SiglaCertificador", "OCT"}, {"NumCertif", "R-1"}, {"NumLote", "L1"},
                                   {"MarcaProd", "M"},           {"ModeloProd", "X"},  {"Importado", 0}};
        addEvent(*f.db, Table::Status_L, lote, "INC", now.addSecs(-7200));
        QVERIFY(!RegulatorHolding::item(*f.db, Table::Status_L, lote));
        addEvent(*f.db, Table::Status_C, StatusEvents::certificateKey("OCT", "R-1"), "APR", now.addSecs(-3600));
        QVERIFY(RegulatorHolding::item(*f.db, Table::Status_L, lote));
        addEvent(*f.db, Table::Status_L, lote, "INC", now, StatusEvents::OrigemHistoricoUsuario);
        QVERIFY(RegulatorHolding::item(*f.db, Table::Status_L, lote));
        QCOMPARE(StatusEvents::inclusionTime(*f.db, Table::Status_L, lote), now.addSecs(-7200));
        // Included again by the system after the approval: not sent yet.
        addEvent(*f.db, Table::Status_L, lote, "INC", now);
        QVERIFY(!RegulatorHolding::item(*f.db, Table::Status_L, lote));
        QVERIFY_THROWS_EXCEPTION(AppError, RegulatorHolding::item(*f.db, Table::Status_C, lote));
    }

    // A database of an earlier version gains the table when it is opened;
    // a file that is no register is left as it is.
    void olderDatabaseGainsTheTable()
    {
        if (TestDb::onServer())
            QSKIP("a server database of an older schema is refused, never upgraded on open");
        ImportRunFixture f;
        QVERIFY(!Schema::remittanceList().isEmpty());
        for (const Schema::RemittanceEntry &e : Schema::remittanceList())
            QVERIFY(e.name.compare("ITEM_IMPORTADO", Qt::CaseInsensitive) != 0);
        f.db->execute("drop table ITEM_IMPORTADO");
        const QString path = f.home->dbPath();
        f.db->close();
        f.db->open(path);
        QCOMPARE(f.count("ITEM_IMPORTADO"), 0);
        importOne(f);
        QVERIFY(f.count("ITEM_IMPORTADO") > 0);

        QTemporaryDir other;
        const QString foreign = other.filePath("outro.db");
        {
            Database db("HoldingForeign");
            db.create(foreign);
            db.execute("create table X (a int)");
            db.close();
            db.open(foreign);
            QCOMPARE(db.scalar("select count(*) from sqlite_master where type = 'table'").toInt(), 1);
        }
    }
};

QTEST_MAIN(TestRegulatorHolding)
#include "test_regulatorholding.moc"
