// The rules of the certificate's products and services: inclusion and edit
// with their events, duplicates, events following a changed key, removal,
// status changes, and the type queries.
#include "maintenance/products/itemservice.h"
#include "maintenance/products/itemstore.h"
#include "maintenance/products/typequeries.h"
#include "register/statusevents.h"
#include "support/selectionfixture.h"

#include <QtTest>

namespace {

const QString Num = QStringLiteral("C-1");

struct Fixture : SelectionFixture
{
    Fixture()
    {
        certificate(Num, "COMP", 101);
        legalEntity("BR", "11222333000181", "11222333000181", "Fábrica Alfa", "Alfa");
        person("12345678909", "Maria Souza");
        link(Num, "BR", "11222333000181");
        link(Num, "BR", "12345678909");
        product("ACME", "X1", 0, "789");
        product("ACME PLUS", "X1", 1);
    }
    ItemService::Certificate cert(bool approved = false) const
    {
        return {{Sigla, Num}, QDate(2024, 1, 10).startOfDay(), approved};
    }
    ItemService service(ItemKind kind) { return ItemService(*db, msg, QStringLiteral("joana"), kind); }
    CertificateItem lot(const QString &number, const QString &brand = QStringLiteral("ACME"))
    {
        CertificateItem i;
        i.marcaProd = brand;
        i.modeloProd = QStringLiteral("X1");
        i.numLote = number;
        i.quantLote = QStringLiteral("100");
        i.dataFabrLote = QDate(2024, 2, 1).startOfDay();
        i.codigoPais = QStringLiteral("BR");
        i.idEmpresa = QStringLiteral("11222333000181");
        return i;
    }
    // Checks and applies as "Aplicar" does; false when refused or failed.
    bool apply(ItemKind kind, CertificateItem item, const std::optional<CertificateItem> &old = std::nullopt,
               bool approved = false, const QString &entry = QStringLiteral("15/01/2024"),
               const std::optional<QString> &justification = std::nullopt)
    {
        ItemService s = service(kind);
        if (!s.check(cert(approved), old, item, entry))
            return false;
        return s.apply(cert(approved), old, item, justification) == ItemService::Result::Saved;
    }
    std::optional<CertificateItem> load(ItemKind kind, CertificateItem key)
    {
        key.siglaCertificador = Sigla;
        key.numCertif = Num;
        return ItemStore::load(*db, kind, key);
    }
    void approve(const QDateTime &at)
    {
        StatusEvents::Event e;
        e.key = StatusEvents::certificateKey(Sigla, Num);
        e.evento = QStringLiteral("APR");
        e.justificativa = StatusEvents::JustificativaSistema;
        e.status = QStringLiteral("A");
        e.statusDate = at;
        e.writtenAt = at;
        e.user = QStringLiteral("adm");
        StatusEvents::insert(*db, StatusEvents::Table::Status_C, e);
        run("update CERTIFIC set Aprovado = 1");
    }
    QString events(const char *table, const char *where = "1 = 1")
    {
        QStringList out;
        QSqlQuery q = db->exec(QStringLiteral("select Evento, coalesce(Justificativa, '<null>') from %1 where %2 "
                                              "order by SeqEvento")
                                   .arg(QLatin1String(table), QLatin1String(where)));
        while (q.next())
            out << q.value(0).toString() + QLatin1Char(':') + q.value(1).toString();
        return out.join(QLatin1Char(','));
    }
    int aprovado() { return count("select Aprovado from CERTIFIC"); }
};

}

class TestItemService : public QObject
{
    Q_OBJECT

private slots:
    void lotInclusionBeforeAnyApproval()
    {
        Fixture f;
        f.run("update CERTIFIC set Aprovado = 1"); // as an import leaves it
        QVERIFY(f.apply(ItemKind::Lote, f.lot("L1")));
        const auto stored = f.load(ItemKind::Lote, f.lot("L1"));
        QVERIFY(stored);
        QCOMPARE(stored->status, QString("A"));
        QCOMPARE(stored->entryDate, QDate(2024, 1, 15).startOfDay());
        QCOMPARE(stored->statusDate, stored->entryDate);
        QCOMPARE(stored->companyName, QString("Fábrica Alfa"));
        QCOMPARE(stored->codEanUpc, QString("789"));
        QCOMPARE(stored->usuResp, QString("joana"));
        QCOMPARE(f.events("STATUS_L"), QString("INC:Historico gerado pelo sistema"));
        QCOMPARE(f.db->scalar("select DthStatus_L from STATUS_L").toDateTime(), QDate(2024, 1, 15).startOfDay());
        QCOMPARE(f.aprovado(), 0);
        // A company and a product but no normative document: not complete yet.
        QCOMPARE(f.count("select Completo from CERTIFIC"), 0);
        f.run("insert into DOC_NORM_CERT_PRODUTO (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseProd, "
              "IdDocNorm) values ('OCT', 'C-1', 'COMP', 101, 1)");
        QVERIFY(f.apply(ItemKind::Lote, f.lot("L2")));
        QCOMPARE(f.count("select Completo from CERTIFIC"), 1);

        // An edit before any approval writes no event and moves the status date.
        CertificateItem edited = *stored;
        edited.quantLote = QStringLiteral("250");
        QVERIFY(f.apply(ItemKind::Lote, edited, stored, false, QStringLiteral("20/01/2024")));
        QCOMPARE(f.load(ItemKind::Lote, edited)->statusDate, QDate(2024, 1, 20).startOfDay());
        QCOMPARE(f.count("select count(*) from STATUS_L"), 2);
    }

    void requiredFieldsAndDates()
    {
        Fixture f;
        CertificateItem noQuantity = f.lot("L1");
        noQuantity.quantLote = QStringLiteral("   ");
        QVERIFY(!f.apply(ItemKind::Lote, noQuantity));
        QCOMPARE(f.msg.lastText(), ItemTexts::Blank);
        QCOMPARE(f.msg.lastCaption(), ItemTexts::BlankCaption);
        CertificateItem noCompany = f.lot("L1");
        noCompany.idEmpresa.clear();
        QVERIFY(!f.apply(ItemKind::Lote, noCompany));
        QCOMPARE(f.msg.lastText(), QString("Favor selecionar a empresa vinculada."));
        CertificateItem future = f.lot("L1");
        future.dataFabrLote = QDate::currentDate().addDays(1).startOfDay();
        QVERIFY(!f.apply(ItemKind::Lote, future));
        QCOMPARE(f.msg.lastText(), ItemTexts::FabricationDate);
        CertificateItem early = f.lot("L1");
        early.dataValLote = QDate(2024, 1, 31).startOfDay();
        QVERIFY(!f.apply(ItemKind::Lote, early));
        QCOMPARE(f.msg.lastText(), ItemTexts::ValidityDate);
        QVERIFY(!f.apply(ItemKind::Lote, f.lot("L1"), std::nullopt, false, QStringLiteral("09/01/2024")));
        QCOMPARE(f.msg.lastText(), QString("A data de entrada é menor que a data de emissão do certificado."));
        QCOMPARE(f.count("select count(*) from LOTE"), 0);
        QCOMPARE(f.count("select count(*) from STATUS_L"), 0);

        // The boxes as they are left.
        QCOMPARE(ItemService::fabricationProblem("  /  /    ", QDate(2024, 5, 1)), QString());
        QCOMPARE(ItemService::fabricationProblem("31/02/2024", QDate(2024, 5, 1)), ItemTexts::FabricationDate);
        QCOMPARE(ItemService::validityProblem("  /  /    ", "01/02/2024"), ItemTexts::ValidityDate);
        QCOMPARE(ItemService::validityProblem("01/01/2080", "01/02/2024"), ItemTexts::ValidityDate);
        QCOMPARE(ItemService::validityProblem("01/02/2024", "01/02/2024"), QString());
        QCOMPARE(ItemService::validityProblem("01/03/2024", "  /  /    "), ItemTexts::ValidityDate);

        // The type's own messages.
        CertificateItem type;
        QVERIFY(!f.apply(ItemKind::Tipo, type));
        QCOMPARE(f.msg.lastText(), QString("Favor selecionar o produtor."));
        type.marcaProd = "ACME";
        type.modeloProd = "X1";
        QVERIFY(!f.apply(ItemKind::Tipo, type));
        QCOMPARE(f.msg.lastText(), QString("Favor selecionar a empresa vinculada."));
        type.codigoPais = "BR";
        type.idEmpresa = "12345678909";
        QVERIFY(!f.apply(ItemKind::Tipo, type, std::nullopt, false, QStringLiteral("  /  /    ")));
        QCOMPARE(f.msg.lastText(), QString("Favor informar a data de entrada do produto no certificado."));
        QVERIFY(!f.apply(ItemKind::Tipo, type, std::nullopt, false,
                         QDate::currentDate().addDays(1).toString("dd/MM/yyyy")));
        QCOMPARE(f.msg.lastText(), QString("A data de entrada é maior que a data atual."));
        QVERIFY(f.apply(ItemKind::Tipo, type));
        // A natural person is linked by its own name.
        QCOMPARE(f.load(ItemKind::Tipo, type)->companyName, QString("Maria Souza"));
    }

    void duplicatesWhateverTheLetterCase()
    {
        Fixture f;
        QVERIFY(f.apply(ItemKind::Lote, f.lot("L1")));
        CertificateItem again = f.lot("l1", "acme");
        QVERIFY(!f.apply(ItemKind::Lote, again));
        QCOMPARE(f.msg.lastText(), QString("Este produto já existe !!!. Cancele a Operação."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de chave duplicada"));

        CertificateItem type = f.lot(QString());
        QVERIFY(f.apply(ItemKind::Tipo, type));
        type.marcaProd = "acme";
        QVERIFY(!f.apply(ItemKind::Tipo, type));
        QCOMPARE(f.msg.lastText(), QString("O Produto acme X1 já existe."));

        CertificateItem service;
        service.idClasseServ = 10;
        service.codigoPais = "BR";
        service.idEmpresa = "11222333000181";
        QVERIFY(f.apply(ItemKind::Servico, service));
        service.codigoPais = "br";
        QVERIFY(!f.apply(ItemKind::Servico, service));
        QCOMPARE(f.msg.lastText(), QString("Este serviço já existe !!!. Cancele a Operação."));
        QCOMPARE(f.count("select count(*) from SERVICO"), 1);

        CertificateItem unit = f.lot(QString());
        unit.numSerieProd = "S-9";
        QVERIFY(f.apply(ItemKind::Unidade, unit));
        unit.numSerieProd = "s-9";
        QVERIFY(!f.apply(ItemKind::Unidade, unit));
        QCOMPARE(f.count("select count(*) from UNIDADE"), 1);
    }

    void editingTheKeyMovesTheEvents()
    {
        Fixture f;
        QVERIFY(f.apply(ItemKind::Lote, f.lot("L1")));
        QVERIFY(f.apply(ItemKind::Lote, f.lot("L2")));
        const auto l1 = f.load(ItemKind::Lote, f.lot("L1"));
        f.approve(QDateTime::currentDateTime().addSecs(-5));

        // Unchanged key: no duplicate test, an "ALT" with the reason typed.
        CertificateItem same = *l1;
        same.quantLote = "7";
        QVERIFY(f.apply(ItemKind::Lote, same, l1, true, "15/01/2024", QString("Quantidade corrigida")));
        QCOMPARE(f.events("STATUS_L", "NumLote = 'L1'"),
                 QString("INC:Historico gerado pelo sistema,ALT:Quantidade corrigida"));
        QCOMPARE(f.aprovado(), 0);
        // An approved certificate's edit keeps the status date.
        QCOMPARE(f.load(ItemKind::Lote, same)->statusDate, QDate(2024, 1, 15).startOfDay());

        // Only the number changed: onto another lot's number is refused...
        const auto before = f.load(ItemKind::Lote, same);
        CertificateItem clash = *before;
        clash.numLote = "L2";
        QVERIFY(!f.apply(ItemKind::Lote, clash, before, true, "15/01/2024", QString("x")));
        QCOMPARE(f.msg.lastText(), ItemTexts::ProductExists);
        // ...onto a free one moves its history with it.
        CertificateItem renumbered = *before;
        renumbered.numLote = "L3";
        QVERIFY(f.apply(ItemKind::Lote, renumbered, before, true, "15/01/2024", QString("Renumerado")));
        QVERIFY(!f.load(ItemKind::Lote, f.lot("L1")));
        QCOMPARE(f.count("select count(*) from STATUS_L where NumLote = 'L1'"), 0);
        QCOMPARE(f.events("STATUS_L", "NumLote = 'L3'"),
                 QString("INC:Historico gerado pelo sistema,ALT:Quantidade corrigida,ALT:Renumerado"));
        QCOMPARE(f.events("STATUS_L", "NumLote = 'L2'"), QString("INC:Historico gerado pelo sistema"));

        // Its normative documents follow the lot too; removed, they go with it.
        const QVariantList doc{"OCT", Num, "COMP", 101, 7, "ACME", "X1", 0, "L3"};
        f.run("insert into DOC_NORM_LOTE (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseProd, IdDocNorm, "
              "MarcaProd, ModeloProd, Importado, NumLote) values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
              doc);
        f.run("insert into STATUS_DNL (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseProd, IdDocNorm, "
              "MarcaProd, ModeloProd, Importado, NumLote, SeqEvento, Evento) values (?, ?, ?, ?, ?, ?, ?, ?, ?, 1, "
              "'INC')",
              doc);
        const auto l3before = f.load(ItemKind::Lote, renumbered);
        CertificateItem l4 = *l3before;
        l4.numLote = "L4";
        QVERIFY(f.apply(ItemKind::Lote, l4, l3before, true, "15/01/2024", QString("De novo")));
        QCOMPARE(f.count("select count(*) from DOC_NORM_LOTE where NumLote = 'L4'"), 1);
        QCOMPARE(f.count("select count(*) from STATUS_DNL where NumLote = 'L4'"), 1);
        QCOMPARE(f.count("select count(*) from STATUS_DNL where NumLote = 'L3'"), 0);
        QCOMPARE(f.service(ItemKind::Lote).remove(f.cert(true), *f.load(ItemKind::Lote, l4)),
                 ItemService::Result::Saved);
        QCOMPARE(f.count("select count(*) from DOC_NORM_LOTE"), 0);
        QCOMPARE(f.count("select count(*) from STATUS_DNL"), 0);
        QVERIFY(f.apply(ItemKind::Lote, renumbered, std::nullopt, true, "15/01/2024", QString("Volta")));

        // The same number retyped in another case is the lot itself.
        const auto l3 = f.load(ItemKind::Lote, renumbered);
        CertificateItem lower = *l3;
        lower.numLote = "l3";
        QVERIFY(f.apply(ItemKind::Lote, lower, l3, true, "15/01/2024", QString("Caixa")));

        // A service moved to another class takes its events along.
        CertificateItem service;
        service.idClasseServ = 10;
        service.codigoPais = "BR";
        service.idEmpresa = "11222333000181";
        QVERIFY(f.apply(ItemKind::Servico, service, std::nullopt, true, "15/01/2024", QString("Novo serviço")));
        const auto stored = f.load(ItemKind::Servico, service);
        CertificateItem moved = *stored;
        moved.idClasseServ = 20;
        QVERIFY(f.apply(ItemKind::Servico, moved, stored, true, "15/01/2024", QString("Outra classe")));
        QCOMPARE(f.events("STATUS_S", "IdClasseServ = 20"), QString("INC:Novo serviço,ALT:Outra classe"));
        QCOMPARE(f.count("select count(*) from STATUS_S where IdClasseServ = 10"), 0);
    }

    // Written without the window's checks, a class change with documents
    // linked is still refused inside the write; a change of company is not.
    void aServiceWithDocumentsKeepsItsClass()
    {
        Fixture f;
        CertificateItem service;
        service.idClasseServ = 10;
        service.codigoPais = "BR";
        service.idEmpresa = "11222333000181";
        QVERIFY(f.apply(ItemKind::Servico, service));
        f.run("insert into DOC_NORM_SERV (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseServ, IdDocNorm, "
              "IdEmpresa, CodigoPais, Status_DNS) values (?, ?, 'SERV', 10, 3, '11222333000181', 'BR', 'A')",
              {SelectionFixture::Sigla, Num});
        const auto stored = f.load(ItemKind::Servico, service);
        CertificateItem moved = *stored;
        moved.idClasseServ = 20;
        QCOMPARE(f.service(ItemKind::Servico).apply(f.cert(), stored, moved, std::nullopt),
                 ItemService::Result::Refused);
        QCOMPARE(f.msg.lastText(), ItemTexts::classChangeRefused({"3"}));
        QCOMPARE(f.count("select count(*) from SERVICO where IdClasseServ = 10"), 1);
        QCOMPARE(f.count("select count(*) from DOC_NORM_SERV where IdClasseServ = 10"), 1);
        QVERIFY(!f.db->inTransaction());

        CertificateItem otherCompany = *stored;
        otherCompany.idEmpresa = "12345678909";
        QVERIFY(f.apply(ItemKind::Servico, otherCompany, stored));
        QCOMPARE(f.count("select count(*) from DOC_NORM_SERV where IdClasseServ = 10 and IdEmpresa = '12345678909'"),
                 1);
    }

    void removalAfterApproval()
    {
        Fixture f;
        QVERIFY(f.apply(ItemKind::Lote, f.lot("L1")));
        f.run("update STATUS_L set DthUltAtualiz = ?", {QDateTime::currentDateTime().addSecs(-7200)});
        f.approve(QDateTime::currentDateTime().addSecs(-3600));
        QVERIFY(f.apply(ItemKind::Lote, f.lot("L2"), std::nullopt, true, "15/01/2024", QString("Lote novo")));
        ItemService s = f.service(ItemKind::Lote);
        const auto before = f.load(ItemKind::Lote, f.lot("L1"));
        QVERIFY(!s.removalAllowed(*before));
        QCOMPARE(f.msg.lastText(), ItemTexts::Approved);
        QCOMPARE(f.msg.lastCaption(), QString("Erro de deleção"));
        const auto after = f.load(ItemKind::Lote, f.lot("L2"));
        QVERIFY(s.removalAllowed(*after));
        f.run("update CERTIFIC set Aprovado = 1");
        QCOMPARE(s.remove(f.cert(true), *after), ItemService::Result::Saved);
        QCOMPARE(f.count("select count(*) from LOTE"), 1);
        QCOMPARE(f.count("select count(*) from STATUS_L where NumLote = 'L2'"), 0);
        QCOMPARE(f.aprovado(), 0);
        // Never approved: anything goes.
        f.run("delete from STATUS_C");
        QVERIFY(s.removalAllowed(*before));
    }

    void removingAUnitTakesItsEvents()
    {
        Fixture f;
        CertificateItem unit = f.lot(QString());
        unit.numSerieProd = "S-1";
        QVERIFY(f.apply(ItemKind::Unidade, unit));
        unit.numSerieProd = "S-2";
        QVERIFY(f.apply(ItemKind::Unidade, unit));
        const auto s1 = f.load(ItemKind::Unidade, [&] {
            CertificateItem k = unit;
            k.numSerieProd = "S-1";
            return k;
        }());
        ItemService s = f.service(ItemKind::Unidade);
        QCOMPARE(s.changeStatus(f.cert(), *s1, "S", "Recall", QDate(2024, 3, 1)), ItemService::Result::Saved);
        QCOMPARE(f.count("select count(*) from STATUS_U where NumSerieProd = 'S-1'"), 2);
        QCOMPARE(s.remove(f.cert(), *s1), ItemService::Result::Saved);
        QCOMPARE(f.count("select count(*) from STATUS_U where NumSerieProd = 'S-1'"), 0);
        QCOMPARE(f.count("select count(*) from STATUS_U where NumSerieProd = 'S-2'"), 1);
        QCOMPARE(f.count("select count(*) from UNIDADE"), 1);
    }

    void statusChangeTouchesOneItem()
    {
        Fixture f;
        QVERIFY(f.apply(ItemKind::Lote, f.lot("L1")));
        QVERIFY(f.apply(ItemKind::Lote, f.lot("L2")));
        f.run("update CERTIFIC set Aprovado = 1");
        ItemService s = f.service(ItemKind::Lote);
        const auto l1 = f.load(ItemKind::Lote, f.lot("L1"));
        QCOMPARE(s.changeStatus(f.cert(), *l1, "C", "Lote vencido", QDate(2024, 4, 2)), ItemService::Result::Saved);
        const auto after = f.load(ItemKind::Lote, f.lot("L1"));
        QCOMPARE(after->status, QString("C"));
        QCOMPARE(after->statusDate, QDate(2024, 4, 2).startOfDay());
        QCOMPARE(f.events("STATUS_L", "NumLote = 'L1'"), QString("INC:Historico gerado pelo sistema,CAN:Lote vencido"));
        QCOMPARE(f.db->scalar("select Status_L from STATUS_L where Evento = 'CAN'").toString(), QString("C"));
        QCOMPARE(f.load(ItemKind::Lote, f.lot("L2"))->status, QString("A"));
        QCOMPARE(f.aprovado(), 0);
        // A row gone meanwhile is not reported as changed.
        f.run("delete from LOTE where NumLote = 'L2'");
        const int events = f.count("select count(*) from STATUS_L");
        QCOMPARE(s.changeStatus(f.cert(), f.lot("L2"), "S", "x", QDate(2024, 4, 2)), ItemService::Result::Failed);
        QCOMPARE(f.count("select count(*) from STATUS_L"), events);
    }

    void typeQueriesMatchTheWholeBrand()
    {
        Fixture f;
        CertificateItem plus = f.lot(QString(), "ACME PLUS");
        plus.importado = 1;
        QVERIFY(f.apply(ItemKind::Tipo, plus, std::nullopt, false, "20/01/2024"));
        CertificateItem acme = f.lot(QString(), "ACME");
        acme.idEmpresa = "12345678909";
        QVERIFY(f.apply(ItemKind::Tipo, acme, std::nullopt, false, "25/01/2024"));
        TypeQueries dm(*f.db);
        const auto shown = dm.find({"OCT", "C-1"}, "ACME", "X1", 0);
        QVERIFY(shown);
        QCOMPARE(shown->entryDate, QDate(2024, 1, 25).startOfDay());
        QCOMPARE(shown->companyName, QString("Maria Souza"));
        QVERIFY(!dm.find({"OCT", "C-1"}, "ACM", "X1", 0));
        f.run("update EMPRESA set RazSocialEmp = NULL where TipoPessoa = '1'");
        QCOMPARE(dm.linkedCompanyName("BR", "11222333000181"), QString("-"));
        // The grid, ordered by brand, model, imported.
        QSqlQuery q = f.db->exec(TypeQueries::listStatement({"OCT", "C-1"}).sql + " " +
                                     TypeQueries::listStatement({"OCT", "C-1"}).orderBy,
                                 TypeQueries::listStatement({"OCT", "C-1"}).params);
        QStringList brands;
        while (q.next())
            brands << q.value("MARCAPROD").toString();
        QCOMPARE(brands, QStringList({"ACME", "ACME PLUS"}));
        // An apostrophe is just a character.
        QVERIFY(!dm.find({"OCT", "C-1"}, "O'Brien", "X1", 0));
    }

    void companyListNamesPersonsByTheirName()
    {
        Fixture f;
        const QList<LinkedCompany> list = ItemStore::linkedCompanies(*f.db, {"OCT", "c-1"});
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.at(0).name, QString("Fábrica Alfa"));
        QCOMPARE(list.at(1).name, QString("Maria Souza"));
        QCOMPARE(list.at(1).idEmpresa, QString("12345678909"));
    }
};

QTEST_GUILESS_MAIN(TestItemService)
#include "test_itemservice.moc"
