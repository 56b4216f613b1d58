// A company's suspension or cancellation carried to its active products and
// services, or its active products moved to another company.
#include "maintenance/companies/companycascade.h"
#include "maintenance/selectionlistmodel.h"
#include "support/selectionfixture.h"
#include "support/writefailure.h"

#include <QtTest>

namespace {

// An apostrophe in the number must just work.
const QString Num = QStringLiteral("CERT'9");
const CompanyKey Alfa{"BR", "111"};
const CompanyKey Beta{"BR", "222"};

struct Fixture : SelectionFixture
{
    Fixture()
    {
        certificate(Num, "COMP", 101);
        run("update CERTIFIC set Aprovado = 1, Completo = 1");
        legalEntity("BR", "111", "111", "Alfa SA", "Alfa");
        legalEntity("BR", "222", "222", "Beta SA", "Beta");
        for (const CompanyKey &c : {Alfa, Beta})
            link(Num, c.codigoPais, c.idEmpresa);
    }
    CascadeRequest request(const QString &letter, const QString &evento, const CompanyKey &company = Alfa)
    {
        return {{Sigla, Num}, company, QStringLiteral("joana"), letter, evento};
    }
    void lot(const QString &numLote, const QString &status, const CompanyKey &c = Alfa)
    {
        run("insert into LOTE (SiglaCertificador, NumCertif, NumLote, MarcaProd, ModeloProd, Importado, StatusLote, "
            "DthStatusLote, CodigoPais, IdEmpresa) values (?, ?, ?, 'Marca', ?, 0, ?, ?, ?, ?)",
            {Sigla, Num, numLote, "Modelo " + numLote, status, QDate(2024, 2, 2).startOfDay(), c.codigoPais,
             c.idEmpresa});
    }
    void unit(const QString &serie, const QString &status, const CompanyKey &c = Alfa)
    {
        run("insert into UNIDADE (SiglaCertificador, NumCertif, NumSerieProd, MarcaProd, ModeloProd, Importado, "
            "StatusUnidade, CodigoPais, IdEmpresa) values (?, ?, ?, 'Marca', 'U', 0, ?, ?, ?)",
            {Sigla, Num, serie, status, c.codigoPais, c.idEmpresa});
    }
    void type(const QString &model, const QString &status, const CompanyKey &c = Alfa)
    {
        run("insert into TIPO (SiglaCertificador, NumCertif, MarcaProd, ModeloProd, Importado, StatusProduto, "
            "CodigoPais, IdEmpresa) values (?, ?, 'Marca', ?, 0, ?, ?, ?)",
            {Sigla, Num, model, status, c.codigoPais, c.idEmpresa});
    }
    QString companyStatus(const CompanyKey &c)
    {
        return db->scalar("select StatusEmpresa from EMP_CERT where IdEmpresa = ?", {c.idEmpresa}).toString();
    }
    // Everything the cascade may touch, to tell that nothing changed.
    QString snapshot()
    {
        QStringList out;
        for (const char *sql : {"select StatusEmpresa || DthStatusEmpresa from EMP_CERT order by IdEmpresa",
                                "select NumLote || StatusLote || IdEmpresa from LOTE order by NumLote",
                                "select NumSerieProd || StatusUnidade || IdEmpresa from UNIDADE order by NumSerieProd",
                                "select ModeloProd || StatusProduto || IdEmpresa from TIPO order by ModeloProd",
                                "select IdClasseServ || StatusServico from SERVICO order by IdClasseServ",
                                "select Aprovado from CERTIFIC",
                                "select (select count(*) from EVENTO_EMP) + (select count(*) from STATUS_L) + "
                                "(select count(*) from STATUS_U) + (select count(*) from STATUS_T) + "
                                "(select count(*) from STATUS_S)"})
            out << WriteFailure::joined(*db, QString::fromUtf8(sql));
        return out.join('|');
    }
};

}

class TestCompanyCascade : public QObject
{
    Q_OBJECT

private slots:
    void cancellingCarriesTheStatusToActiveItemsOnly()
    {
        Fixture f;
        f.lot("L1", "A");
        f.lot("L2", "A");
        f.unit("U1", "S");
        f.lot("L3", "A", Beta);
        CompanyCascade cascade(*f.db, f.msg, f.request("C", "CAN"));
        QVERIFY(cascade.propagate("fábrica fechada", QDate(2024, 7, 1)));
        QCOMPARE(f.msg.lastText(), QString("Propagação do Status realizada com sucesso."));
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Information);

        QCOMPARE(f.count("select count(*) from STATUS_L where Evento = 'CAN' and Status_L = 'C' and "
                         "Justificativa = 'fábrica fechada' and HistoricoSis = '2' and DthStatus_L = ?",
                         {QDate(2024, 7, 1).startOfDay()}),
                 2);
        QCOMPARE(f.count("select count(*) from STATUS_L"), 2);
        QCOMPARE(f.count("select count(*) from LOTE where StatusLote = 'C' and IdEmpresa = '111'"), 2);
        QCOMPARE(f.count("select count(*) from LOTE where StatusLote = 'A' and IdEmpresa = '222'"), 1);
        QCOMPARE(f.count("select count(*) from UNIDADE where StatusUnidade = 'S'"), 1);
        QCOMPARE(f.count("select count(*) from STATUS_U"), 0);
        QCOMPARE(
            f.count(
                "select count(*) from EVENTO_EMP where Evento = 'CAN' and StatusEmpresa = 'C' and IdEmpresa = '111'"),
            1);
        QCOMPARE(f.count("select count(*) from EVENTO_EMP"), 1);
        QCOMPARE(f.companyStatus(Alfa), QString("C"));
        QCOMPARE(f.companyStatus(Beta), QString("A"));
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 0);
        // The status dates are the day typed, on the company and on its lots.
        QCOMPARE(f.db->scalar("select DthStatusEmpresa from EMP_CERT where IdEmpresa = '111'").toDateTime(),
                 QDate(2024, 7, 1).startOfDay());
        QCOMPARE(f.count("select count(*) from LOTE where DthStatusLote = ? and IdEmpresa = '111'",
                         {QDate(2024, 7, 1).startOfDay()}),
                 2);
    }

    void suspendingReachesTypesUnitsAndServices()
    {
        Fixture f;
        f.type("T1", "A");
        f.type("T2", "C");
        f.unit("U1", "A");
        f.service(Num, 10, "BR", "111");
        CompanyCascade cascade(*f.db, f.msg, f.request("S", "SUS"));
        QCOMPARE(cascade.hasActiveService(), true);
        SelectionListModel products;
        products.open(*f.db, cascade.productsStatement().sql, cascade.productsStatement().orderBy,
                      cascade.productsStatement().params);
        QCOMPARE(products.found(), 2); // T1 and the unit's model, not the cancelled T2
        SelectionListModel services;
        services.open(*f.db, cascade.servicesStatement().sql, cascade.servicesStatement().orderBy,
                      cascade.servicesStatement().params);
        QCOMPARE(services.found(), 1);
        QCOMPARE(services.value(0, "NOMCLASSESERV").toString(), QString("Recarga de Extintores"));

        QVERIFY(cascade.propagate("auditoria", QDate(2024, 7, 2)));
        QCOMPARE(f.count("select count(*) from TIPO where StatusProduto = 'S'"), 1);
        QCOMPARE(f.count("select count(*) from TIPO where StatusProduto = 'C'"), 1);
        QCOMPARE(f.count("select count(*) from STATUS_T where Evento = 'SUS' and ModeloProd = 'T1'"), 1);
        QCOMPARE(f.count("select count(*) from STATUS_U where Evento = 'SUS' and StatusUnidade = 'S'"), 1);
        QCOMPARE(f.count("select count(*) from STATUS_S where Evento = 'SUS' and Status_S = 'S' and IdClasseServ = 10"),
                 1);
        QCOMPARE(f.count("select count(*) from SERVICO where StatusServico = 'S'"), 1);
        // The numbering is per table: each table's first row is 1.
        QCOMPARE(f.count("select SeqEvento from STATUS_S"), 1);
        QCOMPARE(f.count("select SeqEvento from STATUS_T"), 1);
    }

    void aFailedStepLeavesEverythingAsItWas()
    {
        Fixture f;
        f.lot("L1", "A");
        f.unit("U1", "A");
        // The units' numbering is exhausted: the cascade fails half-way and
        // says which table is full.
        const QString full = QStringLiteral("A tabela STATUS_U atingiu o número máximo de eventos (32767). O evento "
                                            "não foi gravado.");
        f.run("insert into STATUS_U (NumSerieProd, SiglaCertificador, NumCertif, MarcaProd, ModeloProd, Importado, "
              "SeqEvento, Evento) values ('x', 'X', 'X', 'x', 'x', 0, 32767, 'INC')");
        const QString before = f.snapshot();
        CompanyCascade cascade(*f.db, f.msg, f.request("C", "CAN"));
        QVERIFY(!cascade.propagate("x", QDate(2024, 7, 1)));
        QCOMPARE(f.msg.lastText(), full);
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Error);
        QCOMPARE(f.snapshot(), before);

        f.type("T1", "A");
        const QString again = f.snapshot();
        QVERIFY(!cascade.transfer(Beta, "x", QDate(2024, 7, 1)));
        QCOMPARE(f.msg.lastText(), full);
        QCOMPARE(f.snapshot(), again);
    }

    void transferIsRefusedWhileAServiceIsActive()
    {
        Fixture f;
        f.lot("L1", "A");
        f.service(Num, 10, "BR", "111");
        CompanyCascade cascade(*f.db, f.msg, f.request("S", "SUS"));
        const QString before = f.snapshot();
        QCOMPARE(cascade.transferRefusal(Beta),
                 QString("Não é possível transferir a Empresa, pois existe serviço cadastrado."));
        QVERIFY(!cascade.transfer(Beta, "x", QDate(2024, 7, 1)));
        QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Information);
        QCOMPARE(f.snapshot(), before);
        // A suspended service does not hold the company back.
        f.run("update SERVICO set StatusServico = 'S'");
        QCOMPARE(cascade.transferRefusal(Beta), QString());
        QCOMPARE(cascade.transferRefusal(std::nullopt), QString("Por favor selecione a Nova Empresa."));
        QCOMPARE(cascade.transferRefusal(Alfa), QString("Por favor selecione a Nova Empresa."));
        QCOMPARE(cascade.transferRefusal(CompanyKey{"BR", "999"}), QString("Por favor selecione a Nova Empresa."));
    }

    void transferOntoACompanyThatIsNotActiveIsRefusedNamingItsStatus()
    {
        Fixture f;
        f.lot("L1", "A");
        f.type("T1", "A");
        CompanyCascade cascade(*f.db, f.msg, f.request("S", "SUS"));
        for (const auto &[letter, status] : {std::pair{"S", "Suspenso"}, {"C", "Cancelado"}}) {
            f.run("update EMP_CERT set StatusEmpresa = ? where IdEmpresa = '222'", {QString::fromUtf8(letter)});
            f.msg.clear();
            const QString expected = QStringLiteral("Não é possível transferir os produtos para a empresa Beta SA, "
                                                    "pois ela está com status %1 neste certificado.")
                                         .arg(QString::fromUtf8(status));
            QCOMPARE(cascade.transferRefusal(Beta), expected);
            const QString before = f.snapshot();
            QVERIFY(!cascade.transfer(Beta, "x", QDate(2024, 7, 1)));
            QCOMPARE(f.msg.texts(), QStringList{expected});
            QCOMPARE(f.msg.lastKind(), ScriptedMessenger::Information);
            QCOMPARE(f.snapshot(), before);
        }
        // Active again (the letter in lower case, as an import may leave it): the move goes through.
        f.run("update EMP_CERT set StatusEmpresa = 'a' where IdEmpresa = '222'");
        QCOMPARE(cascade.transferRefusal(Beta), QString());
        QVERIFY(cascade.transfer(Beta, "x", QDate(2024, 7, 1)));
        QCOMPARE(f.count("select count(*) from LOTE where IdEmpresa = '222'"), 1);
    }

    void transferMovesActiveProductsToTheChosenCompany()
    {
        Fixture f;
        // Two companies of one name: the one chosen gets the products.
        f.legalEntity("AR", "333", QString(), "Beta SA", "Beta AR");
        f.link(Num, "AR", "333");
        f.type("T1", "A");
        f.lot("L1", "A");
        f.lot("L2", "S");
        f.unit("U1", "A");
        CompanyCascade cascade(*f.db, f.msg, f.request("C", "CAN"));
        const auto companies = cascade.companies();
        QCOMPARE(companies.size(), 3);
        QCOMPARE(companies.first().name, QString("Alfa SA"));

        QVERIFY(cascade.transfer({"AR", "333"}, "mudou de dono", QDate(2024, 8, 1)));
        QCOMPARE(f.msg.lastText(), QString("Transferencia da Empresa realizada com sucesso."));
        QCOMPARE(f.companyStatus(Alfa), QString("C"));
        QCOMPARE(f.count("select count(*) from EVENTO_EMP where Evento = 'CAN' and IdEmpresa = '111'"), 1);
        QCOMPARE(
            f.count("select count(*) from TIPO where IdEmpresa = '333' and CodigoPais = 'AR' and StatusProduto = 'A'"),
            1);
        QCOMPARE(f.count("select count(*) from LOTE where IdEmpresa = '333' and StatusLote = 'A'"), 1);
        QCOMPARE(f.count("select count(*) from UNIDADE where IdEmpresa = '333' and StatusUnidade = 'A'"), 1);
        QCOMPARE(f.count("select count(*) from LOTE where IdEmpresa = '111' and StatusLote = 'S'"), 1);
        QCOMPARE(f.count("select count(*) from LOTE where IdEmpresa = '222'"), 0);
        for (const char *table : {"STATUS_T", "STATUS_L", "STATUS_U"}) {
            QCOMPARE(f.count(QStringLiteral("select count(*) from %1 where Evento = 'ALT' and Justificativa = "
                                            "'mudou de dono' and DthUltAtualiz is not null")
                                 .arg(table)
                                 .toUtf8()
                                 .constData()),
                     1);
        }
        QCOMPARE(f.count("select count(*) from STATUS_L where NumLote = 'L1' and Status_L = 'A' and DthStatus_L = ?",
                         {QDate(2024, 8, 1).startOfDay()}),
                 1);
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 0);
    }
};

QTEST_GUILESS_MAIN(TestCompanyCascade)
#include "test_companycascade.moc"
