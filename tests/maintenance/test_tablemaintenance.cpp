// Certificate deletion and the rules of the company, product, signatory and
// regulator's tables kept from the maintenance window.
#include "db/schema.h"
#include "maintenance/certificates/certificatedeletion.h"
#include "maintenance/companies/companytable.h"
#include "maintenance/products/producttable.h"
#include "maintenance/selectionlistmodel.h"
#include "maintenance/tables/keyedtable.h"
#include "maintenance/tables/queloratables.h"
#include "maintenance/tables/signatories.h"
#include "register/regulatorholding.h"
#include "support/selectionfixture.h"

#include <QSqlQuery>
#include <QtTest>

Q_DECLARE_METATYPE(NewCompany)

namespace {

const QString Cnpj = QStringLiteral("11222333000181"); // valid check digits
const QString Cpf = QStringLiteral("52998224725");

struct Fixture : SelectionFixture
{
    int seq = 100;

    // A row of `table` for the certificate, every column filled.
    void fillRow(const QString &table, const QString &num, const QString &sigla = Sigla)
    {
        const Schema::Table *t = Schema::table(table);
        QVERIFY2(t, qPrintable(table));
        QStringList names;
        QVariantList values;
        for (const Schema::Field &f : t->fields) {
            names << f.name;
            if (f.name.compare("SiglaCertificador", Qt::CaseInsensitive) == 0)
                values << sigla;
            else if (f.name.compare("NumCertif", Qt::CaseInsensitive) == 0)
                values << num;
            else if (f.name.compare("SeqEvento", Qt::CaseInsensitive) == 0)
                values << ++seq;
            else if (f.type == Schema::FieldType::Text)
                values << QStringLiteral("X").left(f.size);
            else if (f.type == Schema::FieldType::Date || f.type == Schema::FieldType::DateTime)
                values << QDateTime::currentDateTime();
            else if (f.type == Schema::FieldType::Boolean)
                values << 0;
            else
                values << 1;
        }
        db->execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(t->name, names.join(","), QStringList(names.size(), "?").join(",")),
                    values);
    }
    int rowsOf(const QString &table, const QString &num)
    {
        return db->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE NumCertif = ?").arg(table), {num}).toInt();
    }
    void approve(const QString &num, bool flag = true)
    {
        run("UPDATE CERTIFIC SET Aprovado = ? WHERE NumCertif = ?", {flag ? 1 : 0, num});
    }
    void aprEvent(const QString &num, const QVariant &when = QDateTime::currentDateTime())
    {
        run("INSERT INTO STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento, HistoricoSis, StatusCertificado, "
            "DthUltAtualiz, UsuResp) VALUES (?, ?, ?, 'APR', '2', 'A', ?, 'adm')",
            {Sigla, num, ++seq, when});
    }
    int altEvents(const QString &num, const QString &why)
    {
        return count("SELECT COUNT(*) FROM STATUS_C WHERE NumCertif = ? AND Evento = 'ALT' AND Justificativa = ? "
                     "AND HistoricoSis = '2' AND UsuResp = 'ana'",
                     {num, why});
    }
    NewCompany brazilian()
    {
        NewCompany c;
        c.codigoPais = "BR";
        c.taxId = "11.222.333/0001-81";
        c.name = "Fábrica Brasileira S.A.";
        c.endCep = "01001-000";
        c.endLogr = "Rua Um";
        return c;
    }
};

}

class TestTableMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void anApprovalEventForbidsDeletionWhateverTheFlagSays()
    {
        Fixture f;
        f.certificate("C-1", "COMP", 101);
        f.certificate("C-2", "COMP", 101);
        f.aprEvent("C-1");
        f.approve("C-1", false); // changed since it was approved
        f.aprEvent("C-2", QVariant()); // an approval row without its moment
        f.approve("C-2", true);
        for (const QString num : {"C-1", "C-2"}) {
            f.msg.clear();
            f.msg.answers.enqueue(true);
            QVERIFY(!CertificateDeletion::run(*f.db, f.msg, {"OCT", num}));
            QCOMPARE(f.msg.texts(), QStringList{CertificateDeletion::JaAprovado});
            QCOMPARE(f.msg.lastCaption(), QString("Exclusão do Certificado."));
            QCOMPARE(f.rowsOf("CERTIFIC", num), 1);
            QCOMPARE(f.rowsOf("STATUS_C", num), 1);
        }
        // Other events do not count.
        f.certificate("C-3", "COMP", 101);
        f.run("INSERT INTO STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento, StatusCertificado) "
              "VALUES ('OCT', 'C-3', 900, 'ALT', 'A')");
        QVERIFY(!RegulatorHolding::certificate(*f.db, {"OCT", "C-3"}));
    }

    void deletionEmptiesEveryTableOfTheCertificateAndKeepsCompaniesAndProducts()
    {
        Fixture f;
        QCOMPARE(CertificateDeletion::tables().size(), 24);
        QCOMPARE(CertificateDeletion::tables().last(), QString("CERTIFIC"));
        f.legalEntity("BR", Cnpj, Cnpj, "Fábrica", "Fab");
        f.product("Marca", "M1", 0);
        // The doomed certificate and a neighbour with rows everywhere.
        for (const QString &table : CertificateDeletion::tables()) {
            f.fillRow(table, "O'Brien/1");
            f.fillRow(table, "OUTRO-1");
        }
        f.msg.answers.enqueue(true);
        // The key as typed in another letter case still names it.
        QVERIFY(CertificateDeletion::run(*f.db, f.msg, {"oct", "o'brien/1"}));
        QCOMPARE(f.msg.texts(), QStringList{CertificateDeletion::Confirma});
        for (const QString &table : CertificateDeletion::tables()) {
            QVERIFY2(f.rowsOf(table, "O'Brien/1") == 0, qPrintable(table));
            QVERIFY2(f.rowsOf(table, "OUTRO-1") == 1, qPrintable(table));
        }
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA"), 1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO"), 1);
    }

    void declinedOrFailedDeletionLeavesTheCertificateWhole()
    {
        Fixture f;
        for (const QString &table : CertificateDeletion::tables())
            f.fillRow(table, "C-9");
        f.msg.answers.enqueue(false);
        QVERIFY(!CertificateDeletion::run(*f.db, f.msg, {"OCT", "C-9"}));
        QCOMPARE(f.msg.texts(), (QStringList{CertificateDeletion::Confirma, "Exclusão cancelada!"}));
        QCOMPARE(f.rowsOf("STATUS_DNCP", "C-9"), 1);

        // A table that cannot be emptied late in the order undoes the earlier ones.
        f.run("ALTER TABLE SERVICO RENAME TO SERVICO_GUARDADO");
        f.msg.clear();
        f.msg.answers.enqueue(true);
        QVERIFY(!CertificateDeletion::run(*f.db, f.msg, {"OCT", "C-9"}));
        QCOMPARE(f.msg.lastText(), CertificateDeletion::Falhou);
        QCOMPARE(f.msg.lastCaption(), QString("Erro de deleção"));
        QVERIFY(!f.db->inTransaction());
        for (const QString &table : CertificateDeletion::tables())
            if (table != "SERVICO")
                QVERIFY2(f.rowsOf(table, "C-9") == 1, qPrintable(table));
    }

    void changingAUsedCompanyUnapprovesEachOfItsCertificatesOnce()
    {
        Fixture f;
        f.legalEntity("BR", Cnpj, Cnpj, "Fábrica Brasileira S.A.", "Fab");
        f.run("UPDATE EMPRESA SET EndCEP = '01001-000' WHERE IdEmpresa = ?", {Cnpj});
        for (const QString num : {"C-1", "C-2", "C-3", "C-4"}) {
            f.certificate(num, "COMP", 101);
            f.approve(num);
        }
        f.run("UPDATE CERTIFIC SET StatusCertificado = 'S' WHERE NumCertif = 'C-2'");
        f.link("C-1", "BR", Cnpj);
        f.link("C-2", "BR", Cnpj);
        // Named by a service only: the certificate uses the company as well.
        f.service("C-3", 10, "BR", Cnpj);
        auto typed = CompanyTable::load(*f.db, {"BR", Cnpj});
        QVERIFY(typed);
        QVERIFY(CompanyTable::isUsed(*f.db, {"BR", Cnpj}));

        // Saved unchanged: nothing is written.
        QVERIFY(CompanyTable::save(*f.db, f.msg, *typed, CompanyKey{"BR", Cnpj}, "ana"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC WHERE Aprovado = 1"), 4);

        typed->endLogr = "Avenida Nova, 1000";
        const auto saved = CompanyTable::save(*f.db, f.msg, *typed, CompanyKey{"BR", Cnpj}, "ana");
        QVERIFY2(saved, qPrintable(f.msg.lastText()));
        QCOMPARE(saved->idEmpresa, Cnpj);
        QCOMPARE(f.db->scalar("SELECT EndLogr FROM EMPRESA").toString(), QString("Avenida Nova, 1000"));
        for (const QString num : {"C-1", "C-2", "C-3"}) {
            QCOMPARE(f.count("SELECT Aprovado FROM CERTIFIC WHERE NumCertif = ?", {num}), 0);
            QCOMPARE(f.altEvents(num, CompanyTable::JustificativaAlteracao), 1);
        }
        QCOMPARE(f.db->scalar("SELECT StatusCertificado FROM STATUS_C WHERE NumCertif = 'C-2'").toString(),
                 QString("S"));
        QCOMPARE(f.count("SELECT Aprovado FROM CERTIFIC WHERE NumCertif = 'C-4'"), 1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C WHERE NumCertif = 'C-4'"), 0);
    }

    void aUsedCompanyKeepsItsKey()
    {
        Fixture f;
        f.legalEntity("CN", "Shenzhen Works", QString(), "Shenzhen Works", "SW");
        f.certificate("C-1", "COMP", 101);
        f.link("C-1", "CN", "Shenzhen Works");
        const auto locks = CompanyTable::editLocks(*f.db, {"CN", "Shenzhen Works"});
        QVERIFY(locks.used && locks.country && locks.taxId && locks.legalName);
        auto typed = *CompanyTable::load(*f.db, {"CN", "Shenzhen Works"});
        typed.codigoPais = "AR";
        typed.name = "Outro Nome";
        typed.nomFantasia = "Nova Fantasia";
        const auto saved = CompanyTable::save(*f.db, f.msg, typed, CompanyKey{"CN", "Shenzhen Works"}, "ana");
        QVERIFY(saved);
        QCOMPARE(saved->codigoPais, QString("CN"));
        QCOMPARE(saved->idEmpresa, QString("Shenzhen Works"));
        QCOMPARE(f.db->scalar("SELECT NomFantasia FROM EMPRESA WHERE IdEmpresa = 'Shenzhen Works'").toString(),
                 QString("Nova Fantasia"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA"), 1);

        // A Brazilian legal entity in use may still correct its name.
        f.legalEntity("BR", Cnpj, Cnpj, "Nome Antigo", "");
        f.run("UPDATE EMPRESA SET EndCEP = '01001000' WHERE IdEmpresa = ?", {Cnpj});
        f.link("C-1", "BR", Cnpj);
        QVERIFY(!CompanyTable::editLocks(*f.db, {"BR", Cnpj}).legalName);
        auto br = *CompanyTable::load(*f.db, {"BR", Cnpj});
        br.name = "Nome Corrigido";
        QVERIFY(CompanyTable::save(*f.db, f.msg, br, CompanyKey{"BR", Cnpj}, "ana"));
        QCOMPARE(f.db->scalar("SELECT RazSocialEmp FROM EMPRESA WHERE IdEmpresa = ?", {Cnpj}).toString(),
                 QString("Nome Corrigido"));
    }

    // Imported under a key of its own, a company keeps it through an edit:
    // every row that names it stays linked and its certificates lose their
    // approval. A retyped key is refused while any row holds the old one.
    void anEditKeepsTheKeyBehindTheLinks()
    {
        Fixture f;
        const QString key = QStringLiteral("EMP-0042");
        f.legalEntity("BR", key, Cnpj, "Fábrica Importada", "");
        f.run("UPDATE EMPRESA SET EndCEP = '01001000'");
        f.certificate("C-1", "COMP", 101);
        f.approve("C-1");
        f.link("C-1", "BR", key);
        f.service("C-1", 10, "BR", key);
        f.product("Marca", "M1", 0);
        for (const char *table : {"TIPO", "LOTE", "UNIDADE"}) {
            f.item(table, "C-1", "Marca", "M1", 0);
            f.db->execute(QStringLiteral("UPDATE %1 SET CodigoPais = 'BR', IdEmpresa = ?").arg(table), {key});
        }
        auto typed = *CompanyTable::load(*f.db, {"BR", key});
        typed.telefone = "11 5555-0101";
        const auto saved = CompanyTable::save(*f.db, f.msg, typed, CompanyKey{"BR", key}, "ana");
        QVERIFY2(saved, qPrintable(f.msg.lastText()));
        QCOMPARE(saved->idEmpresa, key);
        QCOMPARE(f.db->scalar("SELECT IdEmpresa || ' ' || Telefone FROM EMPRESA").toString(), key + " 11 5555-0101");
        for (const char *table : {"EMP_CERT", "SERVICO", "TIPO", "LOTE", "UNIDADE"})
            QVERIFY2(f.count(qPrintable(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE IdEmpresa = ?").arg(table)),
                             {key}) == 1,
                     table);
        QCOMPARE(f.count("SELECT Aprovado FROM CERTIFIC WHERE NumCertif = 'C-1'"), 0);
        QCOMPARE(f.altEvents("C-1", CompanyTable::JustificativaAlteracao), 1);

        // Known to the regulator only: its CNPJ cannot move it to another key.
        f.legalEntity("BR", "EMP-0099", "11444777000161", "Outra Importada", "");
        f.run("UPDATE EMPRESA SET EndCEP = '01001000' WHERE IdEmpresa = 'EMP-0099'");
        f.run("INSERT INTO REP_EMPRESA (CodigoPais, IdEmpresa, DthUltAtualiz, UsuResp) VALUES ('BR', 'EMP-0099', ?, "
              "'adm')",
              {QDateTime::currentDateTime()});
        QVERIFY(!CompanyTable::isUsed(*f.db, {"BR", "EMP-0099"}));
        auto other = *CompanyTable::load(*f.db, {"BR", "EMP-0099"});
        other.taxId = "11.222.333/0001-81"; // a key nobody has: "EMP-0042" is not it
        other.telefone = "11 4444-0000";
        f.msg.clear();
        CompanyInclusion::Field refused = CompanyInclusion::Field::None;
        QVERIFY(!CompanyTable::save(*f.db, f.msg, other, CompanyKey{"BR", "EMP-0099"}, "ana", &refused));
        QCOMPARE(f.msg.texts(), QStringList{CompanyTable::ChaveEmUso});
        QCOMPARE(f.msg.lastCaption(), QString("Erro de gravação"));
        QVERIFY(refused == CompanyInclusion::Field::TaxId);
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA WHERE IdEmpresa = 'EMP-0099' AND Telefone IS NULL "
                         "AND CGC = '11444777000161'"),
                 1);
        QVERIFY(!f.db->inTransaction());
        // Once nothing holds it, the key follows the new CNPJ.
        f.run("DELETE FROM REP_EMPRESA");
        QCOMPARE(CompanyTable::save(*f.db, f.msg, other, CompanyKey{"BR", "EMP-0099"}, "ana")->idEmpresa, Cnpj);
    }

    void identifiersAreDerivedAndDuplicatesRefused()
    {
        Fixture f;
        NewCompany foreign;
        foreign.codigoPais = "CN";
        foreign.name = "  Acme Trading Ltd ";
        const auto first = CompanyTable::save(*f.db, f.msg, foreign, std::nullopt, "ana");
        QVERIFY(first);
        QCOMPARE(first->idEmpresa, QString("Acme Trading Ltd"));
        QCOMPARE(f.db->scalar("SELECT RazSocialEmp FROM EMPRESA").toString(), QString("Acme Trading Ltd"));
        // Same country, same name in other letters: the same company.
        foreign.name = "ACME TRADING LTD";
        QVERIFY(!CompanyTable::save(*f.db, f.msg, foreign, std::nullopt, "ana"));
        QCOMPARE(f.msg.lastText(), CompanyTable::JaExiste);
        QCOMPARE(f.msg.lastCaption(), QString("Erro de chave duplicada"));
        foreign.codigoPais = "AR";
        QVERIFY(CompanyTable::save(*f.db, f.msg, foreign, std::nullopt, "ana"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA"), 2);

        // A correction of letter case alone is not a duplicate of itself.
        NewCompany renamed = *CompanyTable::load(*f.db, {"CN", "Acme Trading Ltd"});
        renamed.name = "ACME Trading Ltd";
        const auto edited = CompanyTable::save(*f.db, f.msg, renamed, CompanyKey{"CN", "Acme Trading Ltd"}, "ana");
        QVERIFY2(edited, qPrintable(f.msg.lastText()));
        QCOMPARE(f.db->scalar("SELECT IdEmpresa FROM EMPRESA WHERE CodigoPais = 'CN'").toString(),
                 QString("ACME Trading Ltd"));

        NewCompany person;
        person.codigoPais = "BR";
        person.naturalPerson = true;
        person.taxId = "529.982.247-25";
        person.name = "Maria da Silva";
        person.nomFantasia = "ignored";
        const auto p = CompanyTable::save(*f.db, f.msg, person, std::nullopt, "ana");
        QVERIFY(p);
        QCOMPARE(p->idEmpresa, Cpf);
        QSqlQuery q = f.db->exec(
            "SELECT TipoPessoa, CPF, NomPessoaFisica, CGC, NomFantasia FROM EMPRESA WHERE IdEmpresa = ?", {Cpf});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("2"));
        QCOMPARE(q.value(1).toString(), Cpf);
        QCOMPARE(q.value(2).toString(), QString("Maria da Silva"));
        QVERIFY(q.value(3).isNull() && q.value(4).isNull());

        const auto br = CompanyTable::save(*f.db, f.msg, f.brazilian(), std::nullopt, "ana");
        QVERIFY(br);
        QCOMPARE(br->idEmpresa, Cnpj);
        // An unused company moved onto another's key is refused.
        NewCompany moved = *CompanyTable::load(*f.db, {"BR", Cpf});
        moved.taxId = "000.000.001-91";
        QVERIFY(CompanyTable::save(*f.db, f.msg, moved, CompanyKey{"BR", Cpf}, "ana"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA WHERE IdEmpresa = '00000000191'"), 1);
    }

    void validationRunsInTheOrderTheUserIsTold_data()
    {
        QTest::addColumn<NewCompany>("company");
        QTest::addColumn<QString>("message");
        Fixture f;
        NewCompany c = f.brazilian();
        c.codigoPais.clear();
        QTest::newRow("country") << c << "O campo de País é de preenchimento obrigatório.";
        c = f.brazilian();
        c.naturalPerson = true;
        c.taxId.clear();
        c.name.clear();
        QTest::newRow("cpf") << c << "O campo CPF é de preenchimento obrigatório.";
        c.taxId = Cpf;
        QTest::newRow("person name") << c << "O campo Nome Pessoa Física é de preenchimento obrigatório.";
        c.name = "Maria";
        c.taxId = "52998224700";
        QTest::newRow("bad cpf") << c << "CPF inválido !!!";
        c = f.brazilian();
        c.codigoPais = "CN";
        c.name = "  ";
        QTest::newRow("foreign name")
            << c << "O campo de Razão Social é de preenchimento obrigatório para empresas estrangeiras.";
        c = f.brazilian();
        c.taxId.clear();
        c.endCep.clear();
        QTest::newRow("cnpj") << c << "O campo de CNPJ é de preenchimento obrigatório para empresas brasileiras.";
        c.taxId = Cnpj;
        QTest::newRow("cep") << c << "O campo de CEP é de preenchimento obrigatório para empresas brasileiras.";
        c.endCep = "00000-000";
        QTest::newRow("zero cep") << c << "CEP inválido !!!";
    }
    void validationRunsInTheOrderTheUserIsTold()
    {
        QFETCH(NewCompany, company);
        QFETCH(QString, message);
        Fixture f;
        QVERIFY(!CompanyTable::save(*f.db, f.msg, company, std::nullopt, "ana"));
        QCOMPARE(f.msg.texts(), QStringList{message});
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA"), 0);
    }

    void aCompanyInUseIsNotDeleted()
    {
        Fixture f;
        f.legalEntity("CN", "Usada", QString(), "Usada", "");
        f.legalEntity("CN", "Livre", QString(), "Livre", "");
        f.certificate("C-1", "COMP", 101);
        f.item("LOTE", "C-1", "Marca", "M1", 0);
        f.run("UPDATE LOTE SET CodigoPais = 'CN', IdEmpresa = 'Usada'");
        f.msg.answers.enqueue(true);
        QVERIFY(!CompanyTable::remove(*f.db, f.msg, {"CN", "Usada"}));
        QCOMPARE(f.msg.texts(), (QStringList{CompanyTable::ConfirmaExclusao, CompanyTable::Relacionado}));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de exclusão"));
        QVERIFY(!CompanyTable::remove(*f.db, f.msg, {"CN", "Livre"})); // answered No
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA"), 2);
        f.msg.answers.enqueue(true);
        QVERIFY(CompanyTable::remove(*f.db, f.msg, {"CN", "Livre"}));
        QCOMPARE(f.count("SELECT COUNT(*) FROM EMPRESA"), 1);
    }

    void aProductInUseKeepsItsKeyAndItsChangeUnapprovesTheCertificates()
    {
        Fixture f;
        f.product("Marca", "M1", 1, "789");
        f.product("Marca", "M2", 0);
        f.certificate("C-1", "COMP", 101);
        f.certificate("C-2", "COMP", 101);
        f.certificate("C-3", "COMP", 101);
        for (const QString num : {"C-1", "C-2", "C-3"})
            f.approve(num);
        f.item("LOTE", "C-1", "Marca", "M1", 1);
        f.item("UNIDADE", "C-2", "Marca", "M1", 1);
        const ProductKey used{"Marca", "M1", 1};
        QVERIFY(ProductTable::isUsed(*f.db, used));
        QVERIFY(!ProductTable::isUsed(*f.db, {"Marca", "M1", 0}));

        f.msg.answers.enqueue(true);
        QVERIFY(!ProductTable::remove(*f.db, f.msg, used));
        QCOMPARE(f.msg.lastText(), ProductTable::Relacionado);
        QCOMPARE(f.msg.lastCaption(), QString("Erro de deleção"));

        NewProduct p = *ProductTable::load(*f.db, used);
        p.marcaProd = "Outra";
        p.imported = false;
        p.descrProd = "Tomada de embutir";
        const auto saved = ProductTable::save(*f.db, f.msg, p, used, "ana");
        QVERIFY(saved);
        QVERIFY(saved->sameAs(used));
        QCOMPARE(f.db->scalar("SELECT DescrProd FROM PRODUTO WHERE ModeloProd = 'M1'").toString(),
                 QString("Tomada de embutir"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO WHERE MarcaProd = 'Outra'"), 0);
        for (const QString num : {"C-1", "C-2"}) {
            QCOMPARE(f.count("SELECT Aprovado FROM CERTIFIC WHERE NumCertif = ?", {num}), 0);
            QCOMPARE(f.altEvents(num, ProductTable::JustificativaAlteracao), 1);
        }
        QCOMPARE(f.count("SELECT Aprovado FROM CERTIFIC WHERE NumCertif = 'C-3'"), 1);
    }

    // A product stored with an origin code other than 0 or 1 (as files bring
    // it) keeps its key through an edit of its description; an unused one
    // whose key only its history holds keeps it too.
    void anEditKeepsTheProductKeyBehindTheItems()
    {
        Fixture f;
        f.product("Marca", "M9", 2);
        f.certificate("C-1", "COMP", 101);
        f.approve("C-1");
        f.item("TIPO", "C-1", "Marca", "M9", 2);
        NewProduct p = *ProductTable::load(*f.db, {"Marca", "M9", 2});
        QVERIFY(!p.imported);
        p.descrProd = "Disjuntor";
        const auto saved = ProductTable::save(*f.db, f.msg, p, ProductKey{"Marca", "M9", 2}, "ana");
        QVERIFY2(saved, qPrintable(f.msg.lastText()));
        QCOMPARE(saved->importado, 2);
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO WHERE Importado = 2 AND DescrProd = 'Disjuntor'"), 1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM TIPO T JOIN PRODUTO P ON P.MarcaProd = T.MarcaProd AND "
                         "P.ModeloProd = T.ModeloProd AND P.Importado = T.Importado"),
                 1);
        QCOMPARE(f.count("SELECT Aprovado FROM CERTIFIC WHERE NumCertif = 'C-1'"), 0);
        QCOMPARE(f.altEvents("C-1", ProductTable::JustificativaAlteracao), 1);

        // Its item gone, the product still has events under its key.
        f.product("Velha", "V1", 0);
        f.run(
            "INSERT INTO STATUS_T (SiglaCertificador, NumCertif, MarcaProd, ModeloProd, Importado, SeqEvento, Evento) "
            "VALUES ('OCT', 'C-1', 'Velha', 'V1', 0, 900, 'INC')");
        NewProduct old = *ProductTable::load(*f.db, {"Velha", "V1", 0});
        old.modeloProd = "V2";
        f.msg.clear();
        QVERIFY(!ProductTable::save(*f.db, f.msg, old, ProductKey{"Velha", "V1", 0}, "ana"));
        QCOMPARE(f.msg.texts(), QStringList{ProductTable::ChaveEmUso});
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO WHERE MarcaProd = 'Velha' AND ModeloProd = 'V1'"), 1);
        QVERIFY(!f.db->inTransaction());
    }

    void productKeysStayUnique()
    {
        Fixture f;
        f.product("Marca", "M1", 0);
        f.product("Marca", "M2", 0);
        NewProduct p;
        p.marcaProd = "MARCA";
        p.modeloProd = "m1";
        QVERIFY(!ProductTable::save(*f.db, f.msg, p, std::nullopt, "ana"));
        QCOMPARE(f.msg.lastText(), ProductTable::JaExiste);
        p.imported = true; // the imported one is another product
        QVERIFY(ProductTable::save(*f.db, f.msg, p, std::nullopt, "ana"));
        // An unused product edited onto another's key.
        NewProduct moved = *ProductTable::load(*f.db, {"Marca", "M2", 0});
        moved.modeloProd = "M1";
        f.msg.clear();
        QVERIFY(!ProductTable::save(*f.db, f.msg, moved, ProductKey{"Marca", "M2", 0}, "ana"));
        QCOMPARE(f.msg.texts(), QStringList{ProductTable::JaExiste});
        moved.modeloProd = "  M3 ";
        QVERIFY(ProductTable::save(*f.db, f.msg, moved, ProductKey{"Marca", "M2", 0}, "ana"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO WHERE ModeloProd = 'M3'"), 1);
        p.modeloProd = " ";
        QVERIFY(!ProductTable::save(*f.db, f.msg, p, std::nullopt, "ana"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO"), 3);
    }

    // The shape the company and product tables are kept in: a row found by a
    // key of several columns, a write refused inside its transaction leaves
    // the row as it was, an update may move the row to another key.
    void keyedTableFindsWritesAndRemovesByItsKey()
    {
        Fixture f;
        const KeyedTable::Table produto{"PRODUTO", {"MarcaProd", "ModeloProd", "Importado"}};
        f.product("B", "M2", 0);
        f.product("A", "M1", 1);
        f.product("B", "M1", 0);
        QCOMPARE(KeyedTable::rowOf(*f.db, produto, {"A", "M1", 1}), 0);
        QCOMPARE(KeyedTable::rowOf(*f.db, produto, {"B", "M1", 0}), 1);
        QCOMPARE(KeyedTable::rowOf(*f.db, produto, {"B", "M2", 0}), 2);
        QCOMPARE(KeyedTable::rowOf(*f.db, produto, {"B", "M1", 1}), -1);

        f.certificate("C-2", "COMP", 101);
        f.certificate("C-1", "COMP", 101);
        f.item("LOTE", "C-2", "B", "M1", 0);
        f.item("TIPO", "C-1", "B", "M1", 0);
        f.item("UNIDADE", "C-2", "B", "M1", 0);
        f.item("TIPO", "C-2", "B", "M1", 1);
        const QStringList items{"TIPO", "UNIDADE", "LOTE"};
        const QStringList key = produto.key;
        QList<QString> numbers;
        for (const CertificateKey &c : KeyedTable::certificatesOf(*f.db, items, key, {"B", "M1", 0}))
            numbers << c.numero;
        QCOMPARE(numbers, (QStringList{"C-1", "C-2"}));
        QVERIFY(KeyedTable::namedIn(*f.db, {"LOTE"}, key, {"B", "M1", 0}));
        QVERIFY(!KeyedTable::namedIn(*f.db, {"LOTE"}, key, {"B", "M1", 1}));
        QVERIFY(!KeyedTable::namedIn(*f.db, items, key, {"B", "M2", 0}));

        KeyedTable::Write w;
        w.columns = key + QStringList{"CodEANUPC", "DescrProd"};
        w.values = {"C", "M9", 0, QVariant(), "primeira"};
        w.userCode = "ana";
        w.duplicate = "Duplicado";
        QVERIFY(KeyedTable::write(*f.db, f.msg, produto, w));
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO WHERE MarcaProd = 'C' AND ModeloProd = 'M9' "
                         "AND DescrProd = 'primeira' AND UsuResp = 'ana' AND DthUltAtualiz IS NOT NULL"),
                 1);

        // Refused inside the transaction: nothing written, nothing marked.
        w.editing = QVariantList{"C", "M9", 0};
        w.values = {"C", "M9", 0, QVariant(), "segunda"};
        bool asked = false, askedInside = false, marked = false;
        w.mayWrite = [&] {
            asked = true;
            askedInside = f.db->inTransaction();
            return false;
        };
        w.changed = [&] {
            marked = true;
            return QList<CertificateKey>();
        };
        QVERIFY(!KeyedTable::write(*f.db, f.msg, produto, w));
        QVERIFY(asked && askedInside);
        QVERIFY(!marked);
        QVERIFY(!f.db->inTransaction());
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO WHERE DescrProd = 'primeira'"), 1);

        // An update to another key moves the row.
        w.mayWrite = {};
        w.values = {"C", "M10", 1, "789", "segunda"};
        QVERIFY(KeyedTable::write(*f.db, f.msg, produto, w));
        QVERIFY(marked);
        QCOMPARE(KeyedTable::rowOf(*f.db, produto, {"C", "M9", 0}), -1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO WHERE MarcaProd = 'C' AND ModeloProd = 'M10' AND Importado = 1 "
                         "AND CodEANUPC = '789' AND DescrProd = 'segunda'"),
                 1);

        // The engine refusing a key already there is told with the table's text.
        f.msg.clear();
        w.editing.reset();
        w.changed = {};
        w.values = {"A", "M1", 1, QVariant(), "outra"};
        QVERIFY(!KeyedTable::write(*f.db, f.msg, produto, w));
        QCOMPARE(f.msg.lastText(), QString("Duplicado"));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de chave duplicada"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO"), 4);

        // Deletion: declined, refused while in use, done.
        const KeyedTable::RemoveTexts texts{"Apaga?", "Em uso", "Erro de exclusão"};
        auto inUse = [&] { return KeyedTable::namedIn(*f.db, items, key, {"A", "M1", 1}); };
        f.msg.answers.enqueue(false);
        QVERIFY(!KeyedTable::remove(*f.db, f.msg, produto, {"A", "M1", 1}, texts, inUse));
        f.item("TIPO", "C-1", "A", "M1", 1);
        f.msg.answers.enqueue(true);
        QVERIFY(!KeyedTable::remove(*f.db, f.msg, produto, {"A", "M1", 1}, texts, inUse));
        QCOMPARE(f.msg.lastText(), QString("Em uso"));
        f.run("DELETE FROM TIPO WHERE MarcaProd = 'A'");
        f.msg.answers.enqueue(true);
        QVERIFY(KeyedTable::remove(*f.db, f.msg, produto, {"A", "M1", 1}, texts, inUse));
        QCOMPARE(KeyedTable::rowOf(*f.db, produto, {"A", "M1", 1}), -1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM PRODUTO"), 3);
    }

    void onlyOneSignatoryIsTheDefault()
    {
        Fixture f;
        using A = Signatories::Action;
        QVERIFY(Signatories::apply(*f.db, f.msg, A::Include, {0, " Ana Souza ", true}));
        QVERIFY(Signatories::apply(*f.db, f.msg, A::Include, {0, "Bruno Lima", false}));
        QVERIFY(Signatories::apply(*f.db, f.msg, A::Include, {0, "Carla Dias", true}));
        QCOMPARE(f.count("SELECT COUNT(*) FROM SIGNATARIOS WHERE Default_s = 'S'"), 1);
        auto list = Signatories::list(*f.db);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(0).name, QString("Carla Dias"));
        QVERIFY(list.at(0).isDefault);
        QCOMPARE(list.at(1).name, QString("Ana Souza"));
        QCOMPARE(f.db->scalar("SELECT SiglaCertificador FROM SIGNATARIOS WHERE Signatario = 'Bruno Lima'").toString(),
                 QString("OCT"));

        // The default moves on edit too; a repeated or blank name is refused.
        const int bruno = list.at(2).id;
        QVERIFY(Signatories::apply(*f.db, f.msg, A::Edit, {bruno, "Bruno A. Lima", true}));
        list = Signatories::list(*f.db);
        QCOMPARE(list.at(0).name, QString("Bruno A. Lima"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM SIGNATARIOS WHERE Default_s = 'S'"), 1);
        QVERIFY(!Signatories::apply(*f.db, f.msg, A::Include, {0, "ana souza", false}));
        QCOMPARE(f.msg.lastText(), Signatories::JaExiste);
        QVERIFY(!Signatories::apply(*f.db, f.msg, A::Edit, {bruno, "  ", false}));
        QCOMPARE(f.msg.lastText(), Signatories::NomeObrigatorio);
        QVERIFY(Signatories::apply(*f.db, f.msg, A::Remove, {bruno, {}, false}));
        QCOMPARE(f.count("SELECT COUNT(*) FROM SIGNATARIOS"), 2);
        QCOMPARE(f.count("SELECT COUNT(*) FROM SIGNATARIOS WHERE Default_s = 'S'"), 0);

        f.run("DELETE FROM CONFIG_LOCAL");
        f.msg.clear();
        QVERIFY(!Signatories::apply(*f.db, f.msg, A::Include, {0, "Davi", false}));
        QCOMPARE(f.msg.texts(), QStringList{Signatories::SemCertificador});
        QCOMPARE(f.msg.lastCaption(), QString("Erro de Edição"));
    }

    void regulatorsTablesSortByTheClickedColumn()
    {
        Fixture f;
        f.run("UPDATE CLASSE_P SET ClasseSup = 102, UnMedida = 'un' WHERE IdClasseProd = 101");
        f.run("UPDATE CLASSE_P SET ClasseSup = 101 WHERE IdClasseProd = 102");
        using QueloraTables::Tab;
        const auto classes = QueloraTables::statement(Tab::ClasseProdutos);
        // Accredited twice under two certificate classes: listed twice.
        QCOMPARE(columnValues(*f.db, classes, "IdClasseProd"), (QStringList{"101", "101", "102"}));
        QCOMPARE(columnValues(*f.db, classes, "NomClasseSup"),
                 (QStringList{"Interruptores", "Interruptores", "Plugues e Tomadas"}));

        QueloraTables::Sorting s;
        s = s.clicked(1);
        QCOMPARE(columnValues(*f.db, QueloraTables::statement(Tab::ClasseProdutos, s), "NomClasseProd"),
                 (QStringList{"Interruptores", "Plugues e Tomadas", "Plugues e Tomadas"}));
        s = s.clicked(1);
        QVERIFY(s.descending);
        QCOMPARE(columnValues(*f.db, QueloraTables::statement(Tab::ClasseProdutos, s), "NomClasseProd").first(),
                 QString("Plugues e Tomadas"));
        s = s.clicked(0);
        QVERIFY(!s.descending);
        QCOMPARE(s.column, 0);

        s = QueloraTables::Sorting().clicked(1).clicked(1);
        QCOMPARE(columnValues(*f.db, QueloraTables::statement(Tab::Pais, s), "NomePais"),
                 (QStringList{"China", "Brasil", "Argentina"}));
        // Certificate classes of either accreditation of the configured body only.
        QCOMPARE(columnValues(*f.db,
                              QueloraTables::statement(Tab::ClasseCertificado, QueloraTables::Sorting().clicked(0)),
                              "IdClasseCertif"),
                 (QStringList{"COMP", "SERV", "VOL"}));
        f.run("UPDATE CLASSE_S SET IdClasseProd = 101");
        QCOMPARE(columnValues(*f.db, QueloraTables::statement(Tab::ClasseServicos), "NomClasseServ"),
                 QStringList{"Recarga de Extintores"});
    }
};

QTEST_GUILESS_MAIN(TestTableMaintenance)
#include "test_tablemaintenance.moc"
