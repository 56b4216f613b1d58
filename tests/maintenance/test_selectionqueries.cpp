#include "maintenance/certificates/certificatechoice.h"
#include "maintenance/companies/certifiedcompanyselection.h"
#include "maintenance/companies/companyinclusion.h"
#include "maintenance/companies/companyselection.h"
#include "maintenance/products/productinclusion.h"
#include "maintenance/products/productselection.h"
#include "maintenance/selectionlistmodel.h"
#include "support/selectionfixture.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QtTest>

Q_DECLARE_METATYPE(NewCompany)

namespace {

QStringList certificates(SelectionFixture &f, const CertificateFilter &filter,
                         CertificateChoice::Order order = CertificateChoice::Order::Default)
{
    return columnValues(*f.db, CertificateChoice::statement(filter, order), QStringLiteral("NumCertif"));
}

NewCompany brazilian(const QString &cnpj, const QString &cep = QStringLiteral("01310-100"))
{
    NewCompany c;
    c.codigoPais = QStringLiteral("BR");
    c.nomePais = QStringLiteral("Brasil");
    c.taxId = cnpj;
    c.name = QStringLiteral("Conexa Materiais Elétricos Ltda.");
    c.nomFantasia = QStringLiteral("Conexa");
    c.endCep = cep;
    return c;
}

const QString ValidCnpj = QStringLiteral("11.222.333/0001-81");
const QString ValidCpf = QStringLiteral("52998224725");

}

class TestSelectionQueries : public QObject
{
    Q_OBJECT

private slots:
    void certificateNumberMatchesAnywhereInAnyCase()
    {
        SelectionFixture f;
        f.certificate(QStringLiteral("OCT-0001/2024"), QStringLiteral("COMP"), 101);
        f.certificate(QStringLiteral("oct-d'ávila"), QStringLiteral("COMP"), 101);
        f.certificate(QStringLiteral("A_1"), QStringLiteral("COMP"), 101);
        f.certificate(QStringLiteral("AB1"), QStringLiteral("COMP"), 101);
        f.certificate(QStringLiteral("X-100%"), QStringLiteral("COMP"), 101);
        CertificateFilter filter;
        filter.numero = QStringLiteral("0001");
        QCOMPARE(certificates(f, filter), QStringList{"OCT-0001/2024"});
        filter.numero = QStringLiteral("D'ÁVILA"); // apostrophe and accent, stored in lower case
        QCOMPARE(certificates(f, filter), QStringList{"oct-d'ávila"});
        filter.numero = QStringLiteral("oct");
        QCOMPARE(certificates(f, filter), (QStringList{"OCT-0001/2024", "oct-d'ávila"}));
        // Wildcard characters typed in a number are just characters.
        filter.numero = QStringLiteral("A_1");
        QCOMPARE(certificates(f, filter), QStringList{"A_1"});
        filter.numero = QStringLiteral("0%");
        QCOMPARE(certificates(f, filter), QStringList{"X-100%"});
        QCOMPARE(certificates(f, {}).size(), 5);
    }

    void certificateFiltersCombine()
    {
        SelectionFixture f;
        f.certificate(QStringLiteral("C1"), QStringLiteral("COMP"), 101);
        f.certificate(QStringLiteral("C2"), QStringLiteral("COMP"), 102);
        f.certificate(QStringLiteral("C3"), QStringLiteral("VOL"), 101);
        f.certificate(QStringLiteral("C4"), QStringLiteral("SERV"), 101);
        f.certificate(QStringLiteral("C5"), QStringLiteral("COMP"), 101, QDate(2024, 1, 1), QDate(2026, 1, 1),
                      QStringLiteral("OUTRO"));
        f.legalEntity(QStringLiteral("BR"), QStringLiteral("11222333000181"), QStringLiteral("11222333000181"),
                      QStringLiteral("Conexa Ltda."), QStringLiteral("Conexa"));
        f.legalEntity(QStringLiteral("CN"), QStringLiteral("Happy Toys"), QString(), QStringLiteral("Happy Toys"),
                      QStringLiteral("Happy"));
        f.link(QStringLiteral("C1"), QStringLiteral("BR"), QStringLiteral("11222333000181"));
        f.link(QStringLiteral("C2"), QStringLiteral("CN"), QStringLiteral("Happy Toys"));
        f.item(QStringLiteral("TIPO"), QStringLiteral("C1"), QStringLiteral("Conexa"), QStringLiteral("TM-10"), 0);
        f.item(QStringLiteral("LOTE"), QStringLiteral("C2"), QStringLiteral("Conexa"), QStringLiteral("TM-10"), 0);
        f.item(QStringLiteral("UNIDADE"), QStringLiteral("C3"), QStringLiteral("Conexa"), QStringLiteral("TM-10"), 1);
        f.service(QStringLiteral("C4"), 10, QStringLiteral("BR"), QStringLiteral("11222333000181"));

        using Filter = CertificateFilter;
        using Origin = CertificateFilter::Origin;
        Filter byClass;
        byClass.nomClasseCertif = QString::fromUtf8("Certificação Compulsória");
        QCOMPARE(certificates(f, byClass), (QStringList{"C1", "C2", "C5"}));
        byClass.nomClasseProd = QStringLiteral("Plugues e Tomadas");
        QCOMPARE(certificates(f, byClass), (QStringList{"C1", "C5"}));

        Filter byCompany;
        byCompany.codigoPais = QStringLiteral("CN");
        byCompany.idEmpresa = QStringLiteral("Happy Toys");
        QCOMPARE(certificates(f, byCompany), QStringList{"C2"});

        // A product is found by type, lot or unit, with its origin.
        Filter byProduct;
        byProduct.marcaProd = QStringLiteral("Conexa");
        byProduct.modeloProd = QStringLiteral("TM-10");
        byProduct.importadoProd = 0;
        QCOMPARE(certificates(f, byProduct), (QStringList{"C1", "C2"}));
        byProduct.importadoProd = 1;
        QCOMPARE(certificates(f, byProduct), QStringList{"C3"});
        // The origin list does not apply while a product is chosen.
        byProduct.importado = Origin::Nao;
        QCOMPARE(certificates(f, byProduct), QStringList{"C3"});

        Filter byOrigin;
        byOrigin.importado = Origin::Nao;
        QCOMPARE(certificates(f, byOrigin), (QStringList{"C1", "C2"}));
        byOrigin.importado = Origin::Sim;
        QCOMPARE(certificates(f, byOrigin), QStringList{"C3"});

        Filter byService;
        byService.nomClasseServ = QStringLiteral("Recarga de Extintores");
        QCOMPARE(certificates(f, byService), QStringList{"C4"});

        Filter all = byClass;
        all.codigoPais = QStringLiteral("BR");
        all.idEmpresa = QStringLiteral("11222333000181");
        all.importado = Origin::Nao;
        QCOMPARE(certificates(f, all), QStringList{"C1"});
    }

    void certificateWhoseClassesAreMissingIsListedWithTheClassesEmpty()
    {
        SelectionFixture f;
        f.certificate(QStringLiteral("C1"), QStringLiteral("COMP"), 101);
        f.certificate(QStringLiteral("ORFAO"), QStringLiteral("EXTINTA"), 999);
        f.certificate(QStringLiteral("MEIO"), QStringLiteral("COMP"), 998);
        const auto s = CertificateChoice::statement({}, CertificateChoice::Order::Number);
        QCOMPARE(columnValues(*f.db, s, QStringLiteral("NumCertif")), (QStringList{"C1", "MEIO", "ORFAO"}));
        QCOMPARE(columnValues(*f.db, s, QStringLiteral("NomClasseCertif")),
                 (QStringList{QString::fromUtf8("Certificação Compulsória"),
                              QString::fromUtf8("Certificação Compulsória"), QString()}));
        QCOMPARE(columnValues(*f.db, s, QStringLiteral("NomClasseProd")),
                 (QStringList{"Plugues e Tomadas", QString(), QString()}));
        CertificateFilter byNumber;
        byNumber.numero = QStringLiteral("orf");
        QCOMPARE(certificates(f, byNumber), QStringList{"ORFAO"});
        // A class filter still narrows to certificates of that class.
        CertificateFilter byClass;
        byClass.nomClasseCertif = QString::fromUtf8("Certificação Compulsória");
        QCOMPARE(certificates(f, byClass, CertificateChoice::Order::Number), (QStringList{"C1", "MEIO"}));
        QCOMPARE(certificates(f, {}, CertificateChoice::Order::CertificateClass).size(), 3);
    }

    void sortingTheCertificateListKeepsTheFilter()
    {
        SelectionFixture f;
        f.certificate(QStringLiteral("B"), QStringLiteral("COMP"), 102, QDate(2024, 3, 1), QDate(2026, 1, 1));
        f.certificate(QStringLiteral("A"), QStringLiteral("COMP"), 101, QDate(2024, 1, 1), QDate(2028, 1, 1));
        f.certificate(QStringLiteral("C"), QStringLiteral("COMP"), 101, QDate(2024, 2, 1), QDate(2027, 1, 1));
        f.certificate(QStringLiteral("D"), QStringLiteral("VOL"), 101, QDate(2023, 1, 1), QDate(2025, 1, 1));
        using CertificateChoice::Order;
        CertificateFilter filter;
        filter.nomClasseCertif = QString::fromUtf8("Certificação Compulsória");
        QCOMPARE(certificates(f, filter, Order::Number), (QStringList{"A", "B", "C"}));
        QCOMPARE(certificates(f, filter, Order::Validity), (QStringList{"B", "C", "A"}));
        QCOMPARE(certificates(f, filter, Order::Issue), (QStringList{"A", "C", "B"}));
        QCOMPARE(certificates(f, filter, Order::ProductClass), (QStringList{"B", "A", "C"}));
        filter = {};
        QCOMPARE(certificates(f, filter, Order::CertificateClass), (QStringList{"A", "B", "C", "D"}));
    }

    void companyFilters()
    {
        SelectionFixture f;
        f.legalEntity(QStringLiteral("BR"), QStringLiteral("11222333000181"), QStringLiteral("11222333000181"),
                      QStringLiteral("Conexa Materiais Ltda."), QStringLiteral("Conexa"));
        f.legalEntity(QStringLiteral("BR"), QStringLiteral("11222444000100"), QStringLiteral("11222444000100"),
                      QStringLiteral("Alegria Brinquedos"), QStringLiteral("Alegria"));
        f.legalEntity(QStringLiteral("BR"), QStringLiteral("99888777000166"), QStringLiteral("99888777000166"),
                      QStringLiteral("Fênix 100% Extintores"), QStringLiteral("Fênix"));
        f.legalEntity(QStringLiteral("CN"), QStringLiteral("Happy Toys"), QString(), QStringLiteral("Happy Toys Co."),
                      QStringLiteral("Happy"));
        f.person(ValidCpf, QString::fromUtf8("José da Conceição"));
        auto ids = [&](const CompanySelection::Filter &filter, CompanySelection::Order order = {}) {
            return columnValues(*f.db, CompanySelection::statement(filter, order), QStringLiteral("IdEmpresa"));
        };
        using CompanySelection::Kind;
        CompanySelection::Filter filter;
        QCOMPARE(ids(filter).size(), 5);
        filter.taxId = QStringLiteral("11222");
        QCOMPARE(ids(filter, CompanySelection::Order::TaxId), (QStringList{"11222333000181", "11222444000100"}));
        filter = {};
        filter.kind = Kind::NaturalPerson;
        filter.taxId = QStringLiteral("529");
        QCOMPARE(ids(filter), QStringList{ValidCpf});
        filter.name = QStringLiteral("CONCEIÇÃO"); // the person's name, in any case, not the trade name
        QCOMPARE(ids(filter), QStringList{ValidCpf});
        filter = {};
        filter.kind = Kind::LegalEntity;
        filter.country = QStringLiteral("BR");
        QCOMPARE(ids(filter).size(), 3);
        filter.legalName = QStringLiteral("100%");
        QCOMPARE(ids(filter), QStringList{"99888777000166"});
        filter.legalName = QStringLiteral("FÊNIX");
        QCOMPARE(ids(filter), QStringList{"99888777000166"});
        filter = {};
        filter.name = QStringLiteral("ale");
        QCOMPARE(ids(filter), QStringList{"11222444000100"});
        // Titles order the whole list.
        QCOMPARE(columnValues(*f.db, CompanySelection::statement({}, CompanySelection::Order::Country),
                              QStringLiteral("NomePais")),
                 (QStringList{"Brasil", "Brasil", "Brasil", "Brasil", "China"}));
        QCOMPARE(columnValues(*f.db, CompanySelection::statement({}, CompanySelection::Order::TradeName),
                              QStringLiteral("NomFantasia"))
                     .mid(1),
                 (QStringList{"Alegria", "Conexa", "Fênix", "Happy"}));
        QCOMPARE(columnValues(*f.db, CompanySelection::only({QStringLiteral("CN"), QStringLiteral("happy toys")}),
                              QStringLiteral("RazSocialEmp")),
                 QStringList{"Happy Toys Co."});
    }

    void productFilters()
    {
        SelectionFixture f;
        f.product(QStringLiteral("Conexa"), QStringLiteral("TM-10A"), 0, QStringLiteral("7891234500016"));
        f.product(QStringLiteral("Conexa"), QStringLiteral("TM-10A"), 1);
        f.product(QStringLiteral("Happy Toys"), QStringLiteral("Ursinho UM-01"), 1, QStringLiteral("6901234567892"));
        auto models = [&](const ProductSelection::Filter &filter, ProductSelection::Order order = {}) {
            return columnValues(*f.db, ProductSelection::statement(filter, order), QStringLiteral("ModeloProd"));
        };
        ProductSelection::Filter filter;
        QCOMPARE(models(filter).size(), 3);
        filter.brand = QStringLiteral("nex");
        QCOMPARE(models(filter).size(), 2);
        filter.origin = ProductSelection::Origin::Imported;
        QCOMPARE(models(filter), QStringList{"TM-10A"});
        filter = {};
        filter.model = QStringLiteral("um-0");
        QCOMPARE(models(filter), QStringList{"Ursinho UM-01"});
        filter = {};
        filter.eanUpc = QStringLiteral("789123450001"); // exact code only
        QVERIFY(models(filter).isEmpty());
        filter.eanUpc = QStringLiteral("7891234500016");
        QCOMPARE(models(filter), QStringList{"TM-10A"});
        QCOMPARE(columnValues(*f.db, ProductSelection::statement({}, ProductSelection::Order::Imported),
                              QStringLiteral("Importado")),
                 (QStringList{"0", "1", "1"}));
        const SelectedProduct key{QStringLiteral("Conexa"), QStringLiteral("TM-10A"), 1, {}};
        QCOMPARE(columnValues(*f.db, ProductSelection::only(key), QStringLiteral("Importado")), QStringList{"1"});
    }

    void certifiedCompaniesAreTheLegalEntitiesOfTheCertificate()
    {
        SelectionFixture f;
        f.certificate(QStringLiteral("C1"), QStringLiteral("COMP"), 101);
        f.certificate(QStringLiteral("C2"), QStringLiteral("COMP"), 101);
        f.legalEntity(QStringLiteral("BR"), QStringLiteral("11222333000181"), QStringLiteral("11222333000181"),
                      QStringLiteral("Conexa Ltda."), QStringLiteral("Conexa"));
        f.legalEntity(QStringLiteral("CN"), QStringLiteral("Happy Toys"), QString(), QStringLiteral("Happy Toys Co."),
                      QStringLiteral("Happy"));
        f.legalEntity(QStringLiteral("AR"), QStringLiteral("Otra"), QString(), QStringLiteral("Otra S.A."),
                      QStringLiteral("Otra"));
        f.person(ValidCpf, QStringLiteral("José"));
        for (const auto &[country, id] :
             {std::pair{"BR", "11222333000181"}, {"CN", "Happy Toys"}, {"BR", "52998224725"}})
            f.link(QStringLiteral("C1"), QLatin1String(country), QLatin1String(id));
        f.link(QStringLiteral("C2"), QStringLiteral("AR"), QStringLiteral("Otra"));
        const SelectedCertificate c1{SelectionFixture::Sigla, QStringLiteral("C1")};
        auto ids = [&](const CertifiedCompanySelection::Filter &filter) {
            return columnValues(*f.db, CertifiedCompanySelection::statement(c1, filter), QStringLiteral("IDEMPRESA"));
        };
        QCOMPARE(ids({}), (QStringList{"11222333000181", "Happy Toys"}));
        CertifiedCompanySelection::Filter filter;
        filter.country = QStringLiteral("CN");
        QCOMPARE(ids(filter), QStringList{"Happy Toys"});
        filter = {};
        filter.cnpj = QStringLiteral("11222333000181");
        QCOMPARE(ids(filter), QStringList{"11222333000181"});
        filter.cnpj = QStringLiteral("11222");
        QVERIFY(ids(filter).isEmpty());
        filter = {};
        filter.tradeName = QStringLiteral("app");
        QCOMPARE(ids(filter), QStringList{"Happy Toys"});
        filter = {};
        filter.legalName = QStringLiteral("ltda");
        QCOMPARE(ids(filter), QStringList{"11222333000181"});
    }

    void companyInclusionRefusals_data()
    {
        QTest::addColumn<NewCompany>("company");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("field");
        using F = CompanyInclusion::Field;
        const QString save = QStringLiteral("Erro de gravação");

        NewCompany c = brazilian(ValidCnpj);
        c.codigoPais.clear();
        c.nomePais.clear();
        QTest::newRow("no country") << c << "O campo de País é de preenchimento obrigatório." << save
                                    << int(F::Country);
        c = brazilian(QString());
        c.naturalPerson = true;
        c.name = QStringLiteral("José");
        QTest::newRow("person without CPF")
            << c << "O campo CPF é de preenchimento obrigatório." << save << int(F::TaxId);
        c.taxId = ValidCpf;
        c.name = QStringLiteral("   ");
        QTest::newRow("person without name")
            << c << "O campo Nome Pessoa Física é de preenchimento obrigatório." << save << int(F::Name);
        c.name = QStringLiteral("José");
        c.taxId = QStringLiteral("52998224724");
        QTest::newRow("wrong CPF") << c << "CPF inválido !!!" << QString() << int(F::TaxId);
        c.taxId = QStringLiteral("5299");
        QTest::newRow("short CPF") << c << "CPF inválido !!!" << QString() << int(F::TaxId);
        c.taxId = QStringLiteral("00000000000");
        QTest::newRow("zero CPF") << c << "CPF inválido !!!" << QString() << int(F::TaxId);
        c = NewCompany();
        c.codigoPais = QStringLiteral("CN");
        c.nomePais = QStringLiteral("China");
        QTest::newRow("foreign without name")
            << c << "O campo de Razão Social é de preenchimento obrigatório para empresas estrangeiras." << save
            << int(F::Name);
        QTest::newRow("brazilian without CNPJ")
            << brazilian(QString()) << "O campo de CNPJ é de preenchimento obrigatório para empresas brasileiras."
            << save << int(F::TaxId);
        QTest::newRow("brazilian without CEP")
            << brazilian(ValidCnpj, QStringLiteral(" "))
            << "O campo de CEP é de preenchimento obrigatório para empresas brasileiras." << save << int(F::Cep);
        QTest::newRow("zero CEP") << brazilian(ValidCnpj, QStringLiteral("00000-000")) << "CEP inválido !!!" << save
                                  << int(F::Cep);
        QTest::newRow("wrong CNPJ") << brazilian(QStringLiteral("11.222.333/0001-82"))
                                    << "O CNPJ fornecido não é válido (dígito verificador não confere)."
                                    << "Erro de validação do CNPJ" << int(F::TaxId);
        QTest::newRow("short CNPJ") << brazilian(QStringLiteral("1122233300018"))
                                    << "O CNPJ fornecido não é válido (forneça 14 dígitos)."
                                    << "Erro de validação do CNPJ" << int(F::TaxId);
    }

    void companyInclusionRefusals()
    {
        QFETCH(NewCompany, company);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(int, field);
        SelectionFixture f;
        CompanyInclusion::Field refused = CompanyInclusion::Field::None;
        QVERIFY(!CompanyInclusion::save(*f.db, f.msg, company, QStringLiteral("ana"), &refused));
        QCOMPARE(f.msg.texts(), QStringList{message});
        QCOMPARE(f.msg.lastCaption(), caption);
        // The CPF refusal is a plain box without a caption, not a write error.
        QCOMPARE(f.msg.lastKind(), caption.isEmpty() ? ScriptedMessenger::Plain : ScriptedMessenger::Error);
        QCOMPARE(int(refused), field);
        QCOMPARE(f.count("select count(*) from EMPRESA"), 0);
    }

    void companyInclusionWritesTheRow()
    {
        SelectionFixture f;
        // A CNPJ typed with its separators is kept as its digits, as the
        // import and the filters expect it.
        auto key = CompanyInclusion::save(*f.db, f.msg, brazilian(ValidCnpj), QStringLiteral("ana"));
        QVERIFY(key);
        QCOMPARE(key->idEmpresa, QStringLiteral("11222333000181"));
        QSqlQuery q = f.db->exec(QStringLiteral("select CGC, TipoPessoa, RazSocialEmp, NomFantasia, EndCEP, CPF, "
                                                "NomPessoaFisica, UsuResp, DthUltAtualiz from EMPRESA"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("11222333000181"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("1"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("Conexa Materiais Elétricos Ltda."));
        QCOMPARE(q.value(4).toString(), QStringLiteral("01310-100"));
        QVERIFY(q.value(5).isNull());
        QVERIFY(q.value(6).isNull());
        QCOMPARE(q.value(7).toString(), QStringLiteral("ana"));
        QVERIFY(!q.value(8).isNull());
        q.finish();
        // The same CNPJ typed without separators is the same company.
        QVERIFY(!CompanyInclusion::save(*f.db, f.msg, brazilian(QStringLiteral("11222333000181")), "ana"));
        QCOMPARE(f.msg.lastText(), QStringLiteral("Esta empresa já existe !!! Cancele a inclusão..."));
        QCOMPARE(f.msg.lastCaption(), QStringLiteral("Erro de chave duplicada"));

        NewCompany person;
        person.codigoPais = QStringLiteral("BR");
        person.nomePais = QStringLiteral("Brasil");
        person.naturalPerson = true;
        person.taxId = QStringLiteral("529982247-25");
        person.name = QString::fromUtf8("José da Conceição");
        person.nomFantasia = QStringLiteral("ignored");
        key = CompanyInclusion::save(*f.db, f.msg, person, QStringLiteral("ana"));
        QVERIFY(key);
        QCOMPARE(key->idEmpresa, ValidCpf);
        q = f.db->exec(QStringLiteral("select CPF, TipoPessoa, NomPessoaFisica, CGC, RazSocialEmp, NomFantasia "
                                      "from EMPRESA where IdEmpresa = ?"),
                       {ValidCpf});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), ValidCpf);
        QCOMPARE(q.value(1).toString(), QStringLiteral("2"));
        QCOMPARE(q.value(2).toString(), QString::fromUtf8("José da Conceição"));
        QVERIFY(q.value(3).isNull() && q.value(4).isNull() && q.value(5).isNull());
    }

    void foreignCompanyIsKeyedByItsName()
    {
        SelectionFixture f;
        NewCompany c;
        c.codigoPais = QStringLiteral("CN");
        c.nomePais = QStringLiteral("China");
        c.name = QStringLiteral("  Shenzhen Happy Toys Co.  ");
        const auto key = CompanyInclusion::save(*f.db, f.msg, c, QStringLiteral("ana"));
        QVERIFY(key);
        QCOMPARE(key->idEmpresa, QStringLiteral("Shenzhen Happy Toys Co."));
        QVERIFY(f.msg.messages.isEmpty());
        // Same name in another letter case, same country: a duplicate.
        c.name = QStringLiteral("SHENZHEN HAPPY TOYS CO.");
        QVERIFY(!CompanyInclusion::save(*f.db, f.msg, c, QStringLiteral("ana")));
        QCOMPARE(f.msg.lastText(), QStringLiteral("Esta empresa já existe !!! Cancele a inclusão..."));
        // Same name in another country: another company.
        c.codigoPais = QStringLiteral("AR");
        c.nomePais = QStringLiteral("Argentina");
        QVERIFY(CompanyInclusion::save(*f.db, f.msg, c, QStringLiteral("ana")));
        QCOMPARE(f.count("select count(*) from EMPRESA"), 2);
    }

    void productInclusion()
    {
        SelectionFixture f;
        NewProduct p;
        p.marcaProd = QStringLiteral("Conexa");
        QVERIFY(!ProductInclusion::save(*f.db, f.msg, p, QStringLiteral("ana")));
        QCOMPARE(f.msg.lastText(), QStringLiteral("Existem campos obrigatórios não preenchidos"));
        QCOMPARE(f.msg.lastCaption(), QStringLiteral("Erro de Inclusão"));
        p.modeloProd = QStringLiteral(" TM-10A ");
        p.imported = true;
        const auto saved = ProductInclusion::save(*f.db, f.msg, p, QStringLiteral("ana"));
        QVERIFY(saved);
        QCOMPARE(saved->modeloProd, QStringLiteral("TM-10A"));
        QCOMPARE(saved->importado, 1);
        QCOMPARE(f.count("select count(*) from PRODUTO where ModeloProd = 'TM-10A' and Importado = 1 and "
                         "UsuResp = 'ana' and CodEANUPC is null"),
                 1);
        f.msg.clear();
        p.marcaProd = QStringLiteral("CONEXA"); // same product in another letter case
        QVERIFY(!ProductInclusion::save(*f.db, f.msg, p, QStringLiteral("ana")));
        QCOMPARE(f.msg.texts(), QStringList{"Esta produto já existe !!! Cancele a inclusão..."});
        QCOMPARE(f.msg.lastCaption(), QStringLiteral("Erro de chave duplicada"));
        p.imported = false; // a national product of the same brand and model is another one
        QVERIFY(ProductInclusion::save(*f.db, f.msg, p, QStringLiteral("ana")));
        QCOMPARE(f.count("select count(*) from PRODUTO"), 2);
    }

    void listShowsItsColumnsInDisplayForm()
    {
        SelectionFixture f;
        f.legalEntity(QStringLiteral("BR"), QStringLiteral("11222333000181"), QStringLiteral("11222333000181"),
                      QStringLiteral("Conexa Ltda."), QStringLiteral("Conexa"));
        f.person(ValidCpf, QStringLiteral("José"));
        SelectionListModel m;
        using Format = SelectionListModel::Format;
        m.setColumns({{QStringLiteral("CNPJ/CPF"), QStringLiteral("CGC"), Format::TaxId, QStringLiteral("TipoPessoa"),
                       QStringLiteral("CPF")},
                      {QStringLiteral("Nome"), QStringLiteral("RazSocialEmp"), Format::Name,
                       QStringLiteral("TipoPessoa"), QStringLiteral("NomPessoaFisica")}});
        const auto s = CompanySelection::statement({}, CompanySelection::Order::TaxId);
        m.open(*f.db, s.sql, s.orderBy, s.params);
        QCOMPARE(m.columnCount(), 2);
        QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), QStringLiteral("CNPJ/CPF"));
        QCOMPARE(m.data(m.index(0, 0)).toString(), QStringLiteral("529982247-25"));
        QCOMPARE(m.data(m.index(0, 1)).toString(), QStringLiteral("José"));
        QCOMPARE(m.data(m.index(1, 0)).toString(), QStringLiteral("11.222.333/0001-81"));
        QCOMPARE(m.data(m.index(1, 1)).toString(), QStringLiteral("Conexa Ltda."));
        QCOMPARE(SelectionListModel::displayDate(QDateTime(QDate(2024, 2, 5), QTime(13, 0))),
                 QStringLiteral("05/02/2024"));
        QCOMPARE(SelectionListModel::displayDate(QStringLiteral("2024-02-05T00:00:00.000")),
                 QStringLiteral("05/02/2024"));
        QVERIFY(SelectionListModel::displayDate(QVariant()).isEmpty());
    }

    void hundredThousandCertificatesOpenWithoutReadingThemAll()
    {
        SelectionFixture f;
        {
            Transaction tx(*f.db);
            // Sent as the import sends its rows (a server then need not
            // answer each before the next).
            f.db->setStatementUndo(false);
            Database::Statement &insert = f.db->statement(QStringLiteral(
                "insert into CERTIFIC (SiglaCertificador, NumCertif, StatusCertificado, IdClasseCertif, IdClasseProd, "
                "DataEmissao, DataValid, Completo, Aprovado) values ('OCT', ?, 'A', ?, 101, ?, ?, 0, 0)"));
            const QDateTime issue(QDate(2020, 1, 1), QTime(0, 0));
            for (int i = 0; i < 100000; ++i) {
                insert.exec({QStringLiteral("N-%1").arg(i, 6, 10, QLatin1Char('0')),
                             i % 2 ? QStringLiteral("COMP") : QStringLiteral("VOL"), issue.addDays(i % 2000),
                             issue.addDays(3000 - i % 1000)});
                insert.reset();
            }
            tx.commit();
            f.db->setStatementUndo(true);
        }
        SelectionListModel m;
        const auto s = CertificateChoice::statement({}, CertificateChoice::Order::Number);
        QElapsedTimer t;
        t.start();
        m.open(*f.db, s.sql, s.orderBy, s.params);
        qInfo("opened 100000 certificates in %lld ms", t.elapsed());
        QCOMPARE(m.found(), 100000);
        QVERIFY2(m.rowCount() <= 1000, qPrintable(QString::number(m.rowCount())));
        QVERIFY(m.canFetchMore());
        QCOMPARE(m.value(0, QStringLiteral("NumCertif")).toString(), QStringLiteral("N-000000"));
        const int before = m.rowCount();
        m.fetchMore();
        QVERIFY(m.rowCount() > before && m.rowCount() < 100000);

        CertificateFilter filter;
        filter.numero = QStringLiteral("99");
        filter.nomClasseCertif = QString::fromUtf8("Certificação Compulsória");
        const auto narrowed = CertificateChoice::statement(filter, CertificateChoice::Order::Validity);
        m.open(*f.db, narrowed.sql, narrowed.orderBy, narrowed.params);
        QCOMPARE(m.found(),
                 f.count("select count(*) from CERTIFIC where NumCertif like '%99%' and IdClasseCertif = 'COMP'"));
        QVERIFY(m.rowCount() <= 1000);
    }
};

QTEST_GUILESS_MAIN(TestSelectionQueries)
#include "test_selectionqueries.moc"
