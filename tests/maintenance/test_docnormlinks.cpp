// Normative documents linked to certificate items: which documents are
// offered, adding a link with its event, removal only while the regulator
// has not received the link, status changes, approval and completeness.
#include "maintenance/certificates/certificatestore.h"
#include "maintenance/documents/docnormlinks.h"
#include "support/selectionfixture.h"

#include <QtTest>

namespace {

using Mode = DocNormLinks::Mode;

QString day(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

const QDate Issue(2024, 1, 10);

struct Fixture : SelectionFixture
{
    Fixture()
    {
        run("insert into TIPO_DOC (IdTipoDoc, TipoDoc) values (1, 'Norma'), (2, 'Portaria')");
        // Class COMP/101: documents 1 to 3 active, 4 withdrawn; 5 of another product class.
        doc(1, "NBR 14136", 1);
        doc(2, "Portaria 85", 2);
        doc(3, "NBR 6147", 1);
        doc(4, "NBR antiga", 1, "I");
        doc(5, "Interruptores", 1, "A", 102);
        run("insert into DOC_NORMATIVOS_SERV (IdClasseCertif, IdClasseServ, IdDocNorm, IdTipoDoc, NomeTitulo, "
            "StatusDoc) values ('COMP', 10, 50, 1, 'Recarga', 'A'), ('COMP', 10, 51, 2, 'Portaria Recarga', 'A'), "
            "('COMP', 20, 52, 1, 'Outra', 'A')");
        certificate("C-1", "COMP", 101, Issue);
        legalEntity("BR", "E1", "1", "Empresa Um", "Um");
        link("C-1", "BR", "E1");
        item("TIPO", "C-1", "Marca", "M1", 0);
        item("TIPO", "C-1", "Marca", "M2", 0);
        run("update CERTIFIC set Aprovado = 1");
    }
    void doc(int id, const char *title, int type, const char *status = "A", int prodClass = 101)
    {
        run("insert into DOC_NORMATIVOS (IdClasseCertif, IdClasseProd, IdDocNorm, IdTipoDoc, NomeTitulo, StatusDoc) "
            "values ('COMP', ?, ?, ?, ?, ?)",
            {prodClass, id, type, QString::fromUtf8(title), QString::fromLatin1(status)});
    }
    DocNormLinks links(Mode mode, const QVariantMap &row = {})
    {
        const auto c = CertificateStore::load(*db, {Sigla, "C-1"});
        return DocNormLinks(*db, msg, QStringLiteral("joana"), mode, DocNormLinks::itemFrom(*c, row));
    }
    static QVariantMap type(const QString &model)
    {
        return {{"MarcaProd", "Marca"}, {"ModeloProd", model}, {"Importado", 0}, {"StatusProduto", "A"}};
    }
    static QList<int> ids(const QList<DocNormLinks::Candidate> &list)
    {
        QList<int> out;
        for (const auto &c : list)
            out << c.idDocNorm;
        std::sort(out.begin(), out.end());
        return out;
    }
    static DocNormLinks::Candidate candidate(const DocNormLinks &dm, int id)
    {
        for (const auto &c : dm.candidates())
            if (c.idDocNorm == id)
                return c;
        qFatal("document %d not offered", id);
        return {};
    }
    bool approved() { return count("select Aprovado from CERTIFIC where NumCertif = 'C-1'") == 1; }
    bool complete() { return count("select Completo from CERTIFIC where NumCertif = 'C-1'") == 1; }
};

}

class TestDocNormLinks : public QObject
{
    Q_OBJECT
private slots:
    void modesFollowTheTabCaptions()
    {
        QCOMPARE(DocNormLinks::modeOf("Dados Gerais"), std::optional(Mode::DadosGerais));
        QCOMPARE(DocNormLinks::modeOf("Produtos por Lote"), std::optional(Mode::Lote));
        QCOMPARE(DocNormLinks::modeOf(QString::fromUtf8("Serviços")), std::optional(Mode::Servicos));
        QVERIFY(!DocNormLinks::modeOf("Empresas Envolvidas"));
    }

    void certificateLevelStatusDecidesWhatATypeIsOffered()
    {
        Fixture f;
        DocNormLinks general = f.links(Mode::DadosGerais);
        // Only active documents of the certificate's classes.
        QCOMPARE(Fixture::ids(general.candidates()), (QList<int>{1, 2, 3}));
        QCOMPARE(Fixture::ids(general.candidates(2)), (QList<int>{2}));

        QVERIFY(general.add(Fixture::candidate(general, 1), day(Issue)));
        QVERIFY(general.add(Fixture::candidate(general, 2), day(Issue)));
        // Linked to the whole certificate in any status: not offered again there.
        QCOMPARE(Fixture::ids(general.candidates()), (QList<int>{3}));
        const auto linked = general.links();
        QCOMPARE(linked.size(), 2);
        QVERIFY(general.changeStatus(linked.at(0), "S", "suspenso", Issue.addDays(1)));
        QCOMPARE(Fixture::ids(general.candidates()), (QList<int>{3}));

        // A product type is offered the suspended one, not the active one.
        DocNormLinks typeM1 = f.links(Mode::Tipo, Fixture::type("M1"));
        QCOMPARE(Fixture::ids(typeM1.candidates()), (QList<int>{1, 3}));
        QVERIFY(typeM1.add(Fixture::candidate(typeM1, 3), day(QDate::currentDate())));
        QCOMPARE(Fixture::ids(typeM1.candidates()), (QList<int>{1}));
        // Another type still gets it.
        DocNormLinks typeM2 = f.links(Mode::Tipo, Fixture::type("M2"));
        QCOMPARE(Fixture::ids(typeM2.candidates()), (QList<int>{1, 3}));
        QCOMPARE(typeM2.links().size(), 0);
        QCOMPARE(typeM1.links().size(), 1);
    }

    void lotsUnitsAndServicesHaveTheirOwnLinks()
    {
        Fixture f;
        f.item("LOTE", "C-1", "Marca", "M1", 0);
        f.item("UNIDADE", "C-1", "Marca", "M1", 0);
        QVariantMap lot = Fixture::type("M1");
        lot.insert("NumLote", "L1");
        DocNormLinks lote = f.links(Mode::Lote, lot);
        QVERIFY(lote.add(Fixture::candidate(lote, 2), day(Issue)));
        QCOMPARE(f.count("select count(*) from DOC_NORM_LOTE where NumLote = 'L1' and IdDocNorm = 2 and "
                         "Status_DNL = 'A'"),
                 1);
        QCOMPARE(Fixture::ids(lote.candidates()), (QList<int>{1, 3}));
        QCOMPARE(f.count("select count(*) from STATUS_DNL where NumLote = 'L1' and HistoricoSis = '02'"), 1);

        QVariantMap unit = Fixture::type("M1");
        unit.insert("NumSerieProd", "S1");
        DocNormLinks unidade = f.links(Mode::Unidade, unit);
        QCOMPARE(Fixture::ids(unidade.candidates()), (QList<int>{1, 2, 3}));
        QVERIFY(unidade.add(Fixture::candidate(unidade, 2), day(Issue)));
        QCOMPARE(unidade.links().size(), 1);
        QCOMPARE(f.count("select count(*) from STATUS_DNU where NumSerieProd = 'S1'"), 1);

        f.service("C-1", 10, "BR", "E1");
        const QVariantMap svc{{"IdClasseServ", 10}, {"CodigoPais", "BR"}, {"IdEmpresa", "E1"}};
        DocNormLinks servico = f.links(Mode::Servicos, svc);
        QCOMPARE(Fixture::ids(servico.candidates()), (QList<int>{50, 51}));
        QCOMPARE(Fixture::ids(servico.candidates(2)), (QList<int>{51}));
        QVERIFY(servico.add(Fixture::candidate(servico, 50), day(Issue)));
        QCOMPARE(Fixture::ids(servico.candidates()), (QList<int>{51}));
        const auto links = servico.links();
        QCOMPARE(links.size(), 1);
        QCOMPARE(links.first().nomeTitulo, QStringLiteral("Recarga"));
        QCOMPARE(links.first().idClasse, 10);
        QCOMPARE(f.count("select count(*) from STATUS_DNS where IdDocNorm = 50 and IdClasseServ = 10 and "
                         "CodigoPais = 'BR' and IdEmpresa = 'E1' and Evento = 'INC'"),
                 1);
    }

    void addingWritesTheLinkItsEventAndTheFlags()
    {
        Fixture f;
        QVERIFY(!f.complete());
        DocNormLinks general = f.links(Mode::DadosGerais);
        const QDate entry = Issue.addDays(2);
        QVERIFY(general.add(Fixture::candidate(general, 1), day(entry)));
        auto q = f.db->exec("select DthEntDNCP, Status_DNCP, DthStatusDNCP, UsuResp from DOC_NORM_CERT_PRODUTO");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDateTime(), entry.startOfDay());
        QCOMPARE(q.value(1).toString(), QStringLiteral("A"));
        QCOMPARE(q.value(2).toDateTime(), entry.startOfDay());
        QCOMPARE(q.value(3).toString(), QStringLiteral("joana"));
        q = f.db->exec("select Evento, Justificativa, HistoricoSis, Status_DNCP, DthStatusDNCP from STATUS_DNCP "
                       "where IdDocNorm = 1 and IdClasseCertif = 'COMP' and IdClasseProd = 101");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("INC"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("Historico gerado pelo sistema"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("02"));
        QCOMPARE(q.value(3).toString(), QStringLiteral("A"));
        QCOMPARE(q.value(4).toDateTime(), entry.startOfDay());
        QVERIFY(!f.approved());
        // Header, company, product and now a document: complete.
        QVERIFY(f.complete());
    }

    void refusedEntryDateChangesNothing()
    {
        Fixture f;
        DocNormLinks general = f.links(Mode::DadosGerais);
        const auto doc = Fixture::candidate(general, 1);
        QVERIFY(!general.add(doc, day(Issue.addDays(-1))));
        QCOMPARE(f.msg.lastText(), QStringLiteral("A data de entrada é menor que a data de emissão do certificado."));
        QVERIFY(!general.add(doc, day(QDate::currentDate().addDays(1))));
        QCOMPARE(f.msg.lastText(), QStringLiteral("A data de entrada é maior que a data atual."));
        QVERIFY(!general.add(doc, "  /  /    "));
        QCOMPARE(f.msg.lastText(), QStringLiteral("É necessário informar a  data de entrada."));
        QCOMPARE(f.count("select count(*) from DOC_NORM_CERT_PRODUTO"), 0);
        QCOMPARE(f.count("select count(*) from STATUS_DNCP"), 0);
        // Nothing was written, so the approval stands.
        QVERIFY(f.approved());
    }

    void receivedLinkStaysButItsStatusMayChange()
    {
        Fixture f;
        DocNormLinks typeM1 = f.links(Mode::Tipo, Fixture::type("M1"));
        QVERIFY(typeM1.add(Fixture::candidate(typeM1, 1), day(Issue)));
        QVERIFY(typeM1.add(Fixture::candidate(typeM1, 2), day(Issue)));
        f.run("insert into REP_DOC_NORM_TIPO select * from DOC_NORM_TIPO where IdDocNorm = 1");
        const auto links = typeM1.links();
        QCOMPARE(links.size(), 2);
        QVERIFY(typeM1.received(links.at(0)));
        QVERIFY(!typeM1.received(links.at(1)));
        // The same document on another type's replica row is another link.
        DocNormLinks typeM2 = f.links(Mode::Tipo, Fixture::type("M2"));
        DocNormLinks::Link sameDoc = links.at(0);
        QVERIFY(!typeM2.received(sameDoc));

        f.run("update CERTIFIC set Aprovado = 1");
        QVERIFY(typeM1.changeStatus(links.at(0), "C", "cancelado", Issue.addDays(4)));
        QVERIFY(!f.approved());
        auto q = f.db->exec("select Status_DNT, DthStatusDNT from DOC_NORM_TIPO where IdDocNorm = 1");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("C"));
        QCOMPARE(q.value(1).toDateTime(), Issue.addDays(4).startOfDay());
        q = f.db->exec("select Evento, Justificativa, HistoricoSis, Status_DNT from STATUS_DNT where IdDocNorm = 1 "
                       "order by SeqEvento desc");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("CAN"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("cancelado"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("02"));
        QCOMPARE(q.value(3).toString(), QStringLiteral("C"));
    }

    void deletingALinkKeepsItsEvents()
    {
        Fixture f;
        DocNormLinks general = f.links(Mode::DadosGerais);
        QVERIFY(general.add(Fixture::candidate(general, 1), day(Issue)));
        QVERIFY(general.changeStatus(general.links().first(), "S", "motivo", Issue));
        QVERIFY(f.complete());
        f.run("update CERTIFIC set Aprovado = 1");
        QVERIFY(general.remove(general.links().first()));
        QCOMPARE(f.count("select count(*) from DOC_NORM_CERT_PRODUTO"), 0);
        QCOMPARE(f.count("select count(*) from STATUS_DNCP where IdDocNorm = 1"), 2);
        QVERIFY(!f.approved());
        // Without any document (and never received) it is incomplete again.
        QVERIFY(!f.complete());
        // The document is offered again.
        QCOMPARE(Fixture::ids(general.candidates()), (QList<int>{1, 2, 3}));
    }

    void statusOfAVanishedLinkWritesNothing()
    {
        Fixture f;
        DocNormLinks general = f.links(Mode::DadosGerais);
        QVERIFY(general.add(Fixture::candidate(general, 1), day(Issue)));
        const auto link = general.links().first();
        f.run("delete from DOC_NORM_CERT_PRODUTO");
        f.run("update CERTIFIC set Aprovado = 1");
        QVERIFY(!general.changeStatus(link, "S", "motivo", Issue));
        QCOMPARE(f.msg.lastText(), DocNormTexts::StatusError);
        QCOMPARE(f.count("select count(*) from STATUS_DNCP"), 1);
        QVERIFY(f.approved());
    }

    void quotesInKeysAreValues()
    {
        Fixture f;
        f.certificate("O'BRIEN-1", "COMP", 101, Issue);
        const auto c = CertificateStore::load(*f.db, {f.Sigla, "O'BRIEN-1"});
        DocNormLinks dm(*f.db, f.msg, "joana", Mode::DadosGerais, DocNormLinks::itemFrom(*c, {}));
        QVERIFY(dm.add(Fixture::candidate(dm, 2), day(Issue)));
        QCOMPARE(dm.links().size(), 1);
        QCOMPARE(Fixture::ids(dm.candidates()), (QList<int>{1, 3}));
        QVERIFY(!dm.received(dm.links().first()));
    }
};

QTEST_GUILESS_MAIN(TestDocNormLinks)
#include "test_docnormlinks.moc"
