// Hand-made history entries of certificate items: which rows are listed,
// the date and justification checks, the item's status they carry, and
// removal only while the regulator has not received the entry.
#include "maintenance/documents/historyregistration.h"
#include "support/selectionfixture.h"

#include <QtTest>

namespace {

using StatusEvents::Table;

QString day(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

const QDate Issue(2024, 1, 10);

struct Fixture : SelectionFixture
{
    Fixture()
    {
        certificate(QStringLiteral("C-1"), QStringLiteral("COMP"), 101, Issue);
        run("update CERTIFIC set Aprovado = 1 where NumCertif = 'C-1'");
    }
    StatusEvents::ItemKey certKey() const { return StatusEvents::certificateKey(Sigla, QStringLiteral("C-1")); }
    HistoryRegistration history(Table table, const StatusEvents::ItemKey &key)
    {
        return HistoryRegistration(*db, msg, QStringLiteral("joana"), table, key, Issue.startOfDay());
    }
    bool approved() { return count("select Aprovado from CERTIFIC where NumCertif = 'C-1'") == 1; }
    // A row as the system's own operations write it.
    void systemEvent(Table table, const StatusEvents::ItemKey &key, const QString &evento, const QString &origin)
    {
        StatusEvents::Event e;
        e.key = key;
        e.evento = evento;
        e.justificativa = StatusEvents::JustificativaSistema;
        e.historicoSis = origin;
        e.status = QStringLiteral("A");
        e.statusDate = Issue.startOfDay();
        e.user = QStringLiteral("adm");
        StatusEvents::insert(*db, table, e);
    }
};

}

class TestHistoryRegistration : public QObject
{
    Q_OBJECT
private slots:
    void datesAreWholeDaysFromIssueToToday()
    {
        Fixture f;
        HistoryRegistration h = f.history(Table::Status_C, f.certKey());
        const QDate today = QDate::currentDate();
        QCOMPARE(h.problem("ok", day(Issue), today), QString());
        QCOMPARE(h.problem("ok", day(today), today), QString());
        QCOMPARE(h.problem("ok", day(Issue.addDays(-1)), today), HistoryTexts::BeforeIssue);
        QCOMPARE(h.problem("ok", day(today.addDays(1)), today), HistoryTexts::AfterToday);
        QCOMPARE(h.problem("ok", "  /  /    ", today), HistoryTexts::DateRequired);
        QCOMPARE(h.problem("ok", "31/02/2024", today), HistoryTexts::DateInvalid);
        // The justification is told first, and blanks do not count.
        QCOMPARE(h.problem("   ", "31/02/2024", today), HistoryTexts::JustificationRequired);

        // Both edges are written; the day outside is refused and writes nothing.
        QVERIFY(h.add("na emissão", day(Issue)));
        QVERIFY(h.add("hoje", day(today)));
        QVERIFY(!h.add("amanhã", day(today.addDays(1))));
        QCOMPARE(f.msg.lastText(), HistoryTexts::AfterToday);
        QVERIFY(!h.add("antes", day(Issue.addDays(-1))));
        QCOMPARE(f.msg.lastText(), HistoryTexts::BeforeIssue);
        QCOMPARE(h.entries().size(), 2);
    }

    void onlyHandMadeEntriesAreListedAndRemovable()
    {
        Fixture f;
        f.systemEvent(Table::Status_C, f.certKey(), "INC", StatusEvents::OrigemSistema);
        f.systemEvent(Table::Status_C, f.certKey(), "APR", StatusEvents::OrigemSistema);
        f.systemEvent(Table::Status_C, f.certKey(), "ALT", StatusEvents::OrigemDocNormativo);
        HistoryRegistration h = f.history(Table::Status_C, f.certKey());
        QVERIFY(h.entries().isEmpty());
        // A system row cannot be removed from here, even by its number.
        QVERIFY(!h.remove(1));
        QCOMPARE(f.count("select count(*) from STATUS_C"), 3);

        // Another certificate's entries do not show either.
        f.certificate("C-2", "COMP", 101, Issue);
        HistoryRegistration other = f.history(Table::Status_C, StatusEvents::certificateKey(f.Sigla, "C-2"));
        QVERIFY(other.add("outro", day(Issue)));

        const auto later = h.add("segunda", day(Issue.addDays(5)));
        const auto earlier = h.add("primeira", day(Issue.addDays(1)));
        QVERIFY(later && earlier);
        const auto list = h.entries();
        QCOMPARE(list.size(), 2);
        // By date, not by the order of typing.
        QCOMPARE(list.at(0).justificativa, QStringLiteral("primeira"));
        QCOMPARE(list.at(0).seqEvento, *earlier);
        QCOMPARE(list.at(0).data.date(), Issue.addDays(1));
        QCOMPARE(list.at(0).usuario, QStringLiteral("joana"));
        QCOMPARE(list.at(1).justificativa, QStringLiteral("segunda"));
    }

    void entryCarriesTheItemsStatusAndWithdrawsApproval()
    {
        Fixture f;
        f.item("TIPO", "C-1", "Marca", "M1", 0);
        f.run("update TIPO set StatusProduto = 'S'");
        // The tab's row may carry more than the key.
        StatusEvents::ItemKey key{{"siglacertificador", f.Sigla}, {"NUMCERTIF", "C-1"}, {"MarcaProd", "Marca"},
                                  {"ModeloProd", "M1"},           {"Importado", 0},     {"StatusProduto", "A"}};
        HistoryRegistration h = f.history(Table::Status_T, key);
        QCOMPARE(h.currentStatus(), QStringLiteral("S"));
        const auto seq = h.add("  vistoria  ", day(Issue.addDays(3)));
        QVERIFY(seq);
        auto q = f.db->exec("select Evento, HistoricoSis, StatusProduto, Justificativa, DthStatusProduto, UsuResp "
                            "from STATUS_T where SeqEvento = ?",
                            {*seq});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("INC"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("1"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("S"));
        QCOMPARE(q.value(3).toString(), QStringLiteral("  vistoria  "));
        QCOMPARE(q.value(4).toDateTime(), Issue.addDays(3).startOfDay());
        QCOMPARE(q.value(5).toString(), QStringLiteral("joana"));
        QVERIFY(!f.approved());

        // An item gone meanwhile gets no history.
        f.run("delete from TIPO");
        f.msg.clear();
        QVERIFY(!h.add("depois", day(Issue)));
        QCOMPARE(f.msg.lastText(), HistoryTexts::UpdateFailed);
        QCOMPARE(f.count("select count(*) from STATUS_T"), 1);
    }

    void receivedEntriesStay()
    {
        Fixture f;
        HistoryRegistration h = f.history(Table::Status_C, f.certKey());
        const auto sent = h.add("enviada", day(Issue));
        const auto fresh = h.add("nova", day(Issue));
        QVERIFY(sent && fresh);
        f.run("insert into REP_STATUS_C select * from STATUS_C where SeqEvento = ?", {*sent});
        f.run("update CERTIFIC set Aprovado = 1");

        QVERIFY(h.received(*sent));
        QVERIFY(!h.received(*fresh));
        // The same number on another certificate's replica row is not this entry.
        f.certificate("C-2", "COMP", 101, Issue);
        f.run("update REP_STATUS_C set NumCertif = 'C-2'");
        QVERIFY(!h.received(*sent));
        f.run("update REP_STATUS_C set NumCertif = 'c-1'"); // text keys ignore letter case
        QVERIFY(h.received(*sent));

        QVERIFY(h.remove(*fresh));
        QVERIFY(!f.approved());
        QCOMPARE(h.entries().size(), 1);
        QVERIFY(!h.remove(*fresh)); // already gone
    }

    void everyEventTableTakesEntries_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<QString>("itemSql");
        QTest::newRow("STATUS_C") << int(Table::Status_C) << QString();
        QTest::newRow("EVENTO_EMP") << int(Table::Evento_Emp)
                                    << "insert into EMP_CERT (SiglaCertificador, NumCertif, CodigoPais, IdEmpresa, "
                                       "StatusEmpresa) values ('OCT', 'C-1', 'BR', 'E1', 'C')";
        QTest::newRow("STATUS_T")
            << int(Table::Status_T)
            << "insert into TIPO (SiglaCertificador, NumCertif, MarcaProd, ModeloProd, Importado, "
               "StatusProduto) values ('OCT', 'C-1', 'Ma', 'Mo', 1, 'C')";
        QTest::newRow("STATUS_L") << int(Table::Status_L)
                                  << "insert into LOTE (SiglaCertificador, NumCertif, NumLote, MarcaProd, ModeloProd, "
                                     "Importado, StatusLote) values ('OCT', 'C-1', 'L1', 'Ma', 'Mo', 1, 'C')";
        QTest::newRow("STATUS_U")
            << int(Table::Status_U)
            << "insert into UNIDADE (SiglaCertificador, NumCertif, NumSerieProd, MarcaProd, "
               "ModeloProd, Importado, StatusUnidade) values ('OCT', 'C-1', 'S1', 'Ma', 'Mo', 1, 'C')";
        QTest::newRow("STATUS_S") << int(Table::Status_S)
                                  << "insert into SERVICO (SiglaCertificador, NumCertif, IdClasseServ, CodigoPais, "
                                     "IdEmpresa, StatusServico) values ('OCT', 'C-1', 10, 'BR', 'E1', 'C')";
        QTest::newRow("STATUS_DNCP")
            << int(Table::Status_DNCP)
            << "insert into DOC_NORM_CERT_PRODUTO (SiglaCertificador, NumCertif, IdClasseCertif, "
               "IdClasseProd, IdDocNorm, Status_DNCP) values ('OCT', 'C-1', 'COMP', 101, 7, 'C')";
        QTest::newRow("STATUS_DNCS")
            << int(Table::Status_DNCS)
            << "insert into DOC_NORM_CERT_SERVICO (SiglaCertificador, NumCertif, IdDocNorm, "
               "IdClasseCertif, IdClasseServ, Status_DNCS) values ('OCT', 'C-1', 7, 'COMP', 10, 'C')";
        QTest::newRow("STATUS_DNS")
            << int(Table::Status_DNS)
            << "insert into DOC_NORM_SERV (SiglaCertificador, NumCertif, IdClasseCertif, "
               "IdClasseServ, IdDocNorm, IdEmpresa, CodigoPais, Status_DNS) values ('OCT', 'C-1', "
               "'COMP', 10, 7, 'E1', 'BR', 'C')";
        QTest::newRow("STATUS_DNT") << int(Table::Status_DNT)
                                    << "insert into DOC_NORM_TIPO (SiglaCertificador, NumCertif, IdClasseCertif, "
                                       "IdClasseProd, IdDocNorm, MarcaProd, ModeloProd, Importado, Status_DNT) values "
                                       "('OCT', 'C-1', 'COMP', 101, 7, 'Ma', 'Mo', 1, 'C')";
        QTest::newRow("STATUS_DNL")
            << int(Table::Status_DNL)
            << "insert into DOC_NORM_LOTE (SiglaCertificador, NumCertif, IdClasseCertif, "
               "IdClasseProd, IdDocNorm, MarcaProd, ModeloProd, Importado, NumLote, Status_DNL) "
               "values ('OCT', 'C-1', 'COMP', 101, 7, 'Ma', 'Mo', 1, 'L1', 'C')";
        QTest::newRow("STATUS_DNU") << int(Table::Status_DNU)
                                    << "insert into DOC_NORM_UNIDADE (SiglaCertificador, NumCertif, IdClasseCertif, "
                                       "IdClasseProd, IdDocNorm, MarcaProd, ModeloProd, Importado, NumSerieProd, "
                                       "Status_DNU) values ('OCT', 'C-1', 'COMP', 101, 7, 'Ma', 'Mo', 1, 'S1', 'C')";
    }

    void everyEventTableTakesEntries()
    {
        QFETCH(int, table);
        QFETCH(QString, itemSql);
        Fixture f;
        if (table == int(Table::Status_C))
            f.run("update CERTIFIC set StatusCertificado = 'C'");
        else
            f.db->execute(itemSql);
        const StatusEvents::ItemKey key{{"SiglaCertificador", f.Sigla},
                                        {"NumCertif", "C-1"},
                                        {"CodigoPais", "BR"},
                                        {"IdEmpresa", "E1"},
                                        {"MarcaProd", "Ma"},
                                        {"ModeloProd", "Mo"},
                                        {"Importado", 1},
                                        {"NumLote", "L1"},
                                        {"NumSerieProd", "S1"},
                                        {"IdClasseServ", 10},
                                        {"IdClasseCertif", "COMP"},
                                        {"IdClasseProd", 101},
                                        {"IdDocNorm", 7}};
        const Table t = Table(table);
        HistoryRegistration h = f.history(t, key);
        const auto seq = h.add("registro", day(Issue));
        QVERIFY2(seq, qPrintable(f.msg.lastText()));
        const auto list = h.entries();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list.first().seqEvento, *seq);
        const QString name = StatusEvents::tableName(t);
        QCOMPARE(f.db->scalar(QStringLiteral("select %1 from %2").arg(StatusEvents::statusColumn(t), name)).toString(),
                 QStringLiteral("C"));
        QVERIFY(h.remove(*seq));
        QCOMPARE(f.db->scalar(QStringLiteral("select count(*) from %1").arg(name)).toInt(), 0);
    }

    void incompleteKeyIsRefused()
    {
        Fixture f;
        QVERIFY_THROWS_EXCEPTION(AppError, f.history(Table::Status_T, f.certKey()));
    }
};

QTEST_GUILESS_MAIN(TestHistoryRegistration)
#include "test_historyregistration.moc"
