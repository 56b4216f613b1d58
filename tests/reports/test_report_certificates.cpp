// The certificate reports, read back from the PDF they write, and the
// selection they print.
#include "reports/certificatelists.h"
#include "reports/certificatemirror.h"
#include "reports/certificateselection.h"
#include "shell/programdatabase.h"
#include "support/reportfixture.h"
#include "support/testhome.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace ReportFixture;

class TestReportCertificates : public QObject
{
    Q_OBJECT

    // T-100: two companies (a legal entity with the full address, a natural
    // person), a lot with its product row, a unit without one, a general
    // document, a user history row and a later suspension of the lot.
    // T-200: one company with a product type, another with a service only.
    static void writeMirrorData(Database &db)
    {
        Writer w(db);
        Transaction t(db);
        w.certificate("T-100", true, at(2024, 1, 10));
        const QVariantMap alfa = w.company("BR", DemoData::cnpjFrom("111444777000"),
                                           {{"CGC", DemoData::cnpjFrom("111444777000")},
                                            {"RazSocialEmp", "Alfa Indústria Ltda."},
                                            {"NomFantasia", "Alfa"},
                                            {"EndLogr", "Rua Alfa"},
                                            {"EndNum", "10"},
                                            {"EndCompl", "Sala 2"},
                                            {"EndBairro", "Centro"},
                                            {"EndCEP", "01001-000"},
                                            {"EndCidade", "São Paulo"},
                                            {"SiglaUF", "SP"},
                                            {"Telefone", "(11) 1111-2222"},
                                            {"Fax", "(11) 1111-3333"},
                                            {"Email", "a@alfa.com.br"},
                                            {"TipoPessoa", "1"}});
        const QString cpf = DemoData::cpfFrom("123456789");
        const QVariantMap maria = w.company(
            "BR", cpf,
            {{"CPF", cpf}, {"NomPessoaFisica", "Maria d'Ávila Souza"}, {"EndCidade", "Campinas"}, {"TipoPessoa", "2"}});
        w.link("T-100", alfa, 1, at(2024, 1, 10, 10));
        w.link("T-100", maria, 3, at(2024, 1, 10, 11));
        w.raw().insert("PRODUTO",
                       {{"MarcaProd", "Marca X"},
                        {"ModeloProd", "Modelo L"},
                        {"Importado", 1},
                        {"CodEANUPC", "7890000000017"},
                        {"DescrProd", "Produto vendido em lotes"}});
        w.product("LOTE", "T-100", "Marca X", "Modelo L", 1, alfa,
                  {{"NumLote", "L-77"},
                   {"QuantLote", "500"},
                   {"DataFabrLote", at(2023, 12, 1)},
                   {"DataValLote", at(2026, 12, 1)},
                   {"NumProfInvoice", "PI-9"}},
                  at(2024, 1, 11));
        w.product("UNIDADE", "T-100", "Marca Y", "Modelo U", 0, alfa,
                  {{"NumSerieProd", "SN-555"},
                   {"LocalInstalacao", "Fábrica Norte"},
                   {"EndBairro", "Industrial"},
                   {"EndCidade", "Jundiaí"},
                   {"SiglaUF", "SP"},
                   {"EndCEP", "13200-000"},
                   {"Observacoes", "Instalada no galpão 3"}},
                  at(2024, 1, 12));
        w.generalDocument("T-100", 1001, at(2024, 1, 13));
        w.raw().insert("STATUS_C",
                       w.with("T-100",
                              {{"SeqEvento", 900},
                               {"Evento", "ALT"},
                               {"Justificativa", "Correção do laboratório"},
                               {"HistoricoSis", "1"},
                               {"StatusCertificado", "A"},
                               {"DthStatusCertificado", at(2024, 2, 1)},
                               {"DthUltAtualiz", at(2024, 2, 2)}}));
        w.raw().changeStatus(
            "LOTE",
            w.with("T-100",
                   {{"NumLote", "L-77"}, {"MarcaProd", "Marca X"}, {"ModeloProd", "Modelo L"}, {"Importado", 1}}),
            "SUS", "S", "Lote em análise", at(2024, 3, 5));

        w.certificate("T-200", true, at(2024, 5, 1));
        const QVariantMap beta = w.company("BR", DemoData::cnpjFrom("222555888000"),
                                           {{"CGC", DemoData::cnpjFrom("222555888000")},
                                            {"RazSocialEmp", "Beta Serviços Ltda."},
                                            {"TipoPessoa", "1"}});
        w.link("T-200", alfa, 1, at(2024, 5, 1, 10));
        w.link("T-200", beta, 6, at(2024, 5, 1, 11));
        w.product("TIPO", "T-200", "Marca Z", "Modelo T", 0, alfa, {}, at(2024, 5, 2));
        w.service("T-200", 10, beta, "Atendimento em campo", at(2024, 5, 3));
        t.commit();
    }

    static CertificateFilter numbers(const QStringList &n)
    {
        CertificateFilter f;
        f.numeros = n;
        return f;
    }

private slots:
    void mirrorShowsEverySectionOfTheCertificate()
    {
        TestHome home(true);
        ProgramDatabase dm;
        Database &db = dm.database();
        writeMirrorData(db);
        QTemporaryDir out;
        const QString pdf = out.filePath("espelho.pdf");
        QVERIFY(CertificateMirrorReport::build(db, numbers({"T-100"}), false, "Ana Lima").exportPdf(pdf));
        const QString s = pdfText(pdf);

        for (const char *expected :
             {"Espelho dos Certificados com Log de Evento", "Usuário: Ana Lima",
              "Seleção: Número do Certificado: T-100,", "Dados Gerais", "Sigla Certificador: OCDEMO",
              "Nº Certificado: T-100", "Status Certificado: Ativo", "Data Emissão: 10/01/2024",
              "Data Validade: 10/01/2027", "Classe do Certificado Certificação Compulsória",
              "Classe de Produto Plugues e Tomadas de Uso Doméstico", "Signatários Eng. Paulo Reis",
              "Lab. Ensaio Laboratório Ômega", "Num. Rel. Ensaio RE-T-100", "Empresas Certificadas",
              // the legal entity by its masked CNPJ, the address from every part
              "CNPJ/CPF 11.144.477/7000", "Razão Social/Nome Pessoa Física Alfa Indústria Ltda.",
              "Papel da Empresa Fabricante",
              "Endereço: Rua Alfa, 10/Sala 2 Centro CEP 01001-000 - São Paulo, SP - Tel: (11) 1111-2222 Fax: (11) "
              "1111-3333 Email: a@alfa.com.br",
              "Dt Ent no Certificado 10/01/2024",
              // the natural person by CPF and name
              "CNPJ/CPF 123456789-09", "Razão Social/Nome Pessoa Física Maria d'Ávila Souza",
              "Papel da Empresa Solicitante", "Endereço: Campinas", "Produtos Certificados",
              "Marca X / Modelo L 7890000000017 Sim 11/01/2024 Suspenso", "Nº. Lote: L-77", "Qtd. Lote: 500",
              "Dt. Fabricação: 01/12/2023", "Dt. Validade: 01/12/2026", "Proforma Invoice: PI-9",
              "Descrição do Produto: Produto vendido em lotes", "Marca Y / Modelo U Não 12/01/2024 Ativo",
              "Nº. Série: SN-555", "Local Instalação: Fábrica Norte, Industrial, Jundiaí - SP CEP: 13200-000",
              "Observações Instalada no galpão 3", "Documentos Normativos",
              "Portaria nº 85/2006 Geral por Produto 13/01/2024 Ativo"})
            QVERIFY2(s.contains(QString::fromUtf8(expected)), expected);
        // A product without a product row has no description; nothing of
        // the log without asking for it; only this certificate.
        QCOMPARE(s.count("Descrição do Produto:"), 1);
        QVERIFY(!s.contains("Log de Eventos"));
        QVERIFY(!s.contains("Inclusão"));
        QVERIFY(!s.contains("Serviços Certificados"));
        QVERIFY(!s.contains("T-200"));
        // Both companies under one heading, the products under the company that supplies them.
        QCOMPARE(s.count("Empresas Certificadas"), 1);
        QCOMPARE(s.count("Produtos Certificados"), 1);
        QVERIFY(s.indexOf("Produtos Certificados") < s.indexOf("Maria d'Ávila"));
    }

    void mirrorWithLogListsTheEventsInOrder()
    {
        TestHome home(true);
        ProgramDatabase dm;
        Database &db = dm.database();
        writeMirrorData(db);
        QTemporaryDir out;
        const QString pdf = out.filePath("espelho-log.pdf");
        QVERIFY(CertificateMirrorReport::build(db, numbers({"T-100"}), true, "Ana Lima").exportPdf(pdf));
        const QString s = pdfText(pdf);
        QCOMPARE(s.count("Log de Eventos"), 1);
        const QString log = s.mid(s.indexOf("Log de Eventos"));
        QVERIFY(log.contains("Data Evento Evento Justificativa Fonte Data Registro"));
        // certificate, two companies, lot, unit: one inclusion each; the
        // document link's own events stay out.
        QCOMPARE(log.count(QString::fromUtf8("Inclusão")), 5);
        const QStringList ordered = {
            "10/01/2024 Inclusão Historico gerado pelo sistema Sistema 10/01/2024 Certificados",
            "10/01/2024 Inclusão Historico gerado pelo sistema Sistema 10/01/2024 Emp. Envolvidas",
            "11/01/2024 Inclusão Historico gerado pelo sistema Sistema 11/01/2024 Lote",
            "12/01/2024 Inclusão Historico gerado pelo sistema Sistema 12/01/2024 Unidade",
            "01/02/2024 Alteração Correção do laboratório Usuário 02/02/2024 Certificados",
            "05/03/2024 Suspensão Lote em análise Sistema 05/03/2024 Lote"};
        int last = -1;
        for (const QString &line : ordered) {
            const int at = log.indexOf(line);
            QVERIFY2(at > last, qPrintable(line));
            last = at;
        }
    }

    void everyCertificateStartsAPageAndServiceOnlyCompaniesHaveNoProducts()
    {
        TestHome home(true);
        ProgramDatabase dm;
        Database &db = dm.database();
        writeMirrorData(db);
        QTemporaryDir out;
        const QString pdf = out.filePath("dois.pdf");
        CertificateFilter f;
        f.numero = "t-";
        QVERIFY(CertificateMirrorReport::build(db, f, true, "Ana").exportPdf(pdf));
        const int pages = pdfPages(pdf);
        QVERIFY(pages >= 2);
        QVERIFY(pdfText(pdf, 1).contains("Nº Certificado: T-100"));
        int second = 0;
        for (int p = 1; p <= pages && !second; ++p)
            if (pdfText(pdf, p).contains("Nº Certificado: T-200"))
                second = p;
        QVERIFY(second > 1);
        const QString page = pdfText(pdf, second);
        QVERIFY(!page.contains("T-100"));
        QVERIFY(page.indexOf("Nº Certificado: T-200") < page.indexOf("Empresas Certificadas"));
        // T-200: Alfa holds a type, Beta only a service.
        const QString t200 = pdfText(pdf).mid(pdfText(pdf).indexOf("Nº Certificado: T-200"));
        QCOMPARE(t200.count("Produtos Certificados"), 1);
        QVERIFY(t200.indexOf("Produtos Certificados") < t200.indexOf("Beta Serviços Ltda."));
        QVERIFY(t200.contains("Marca Z / Modelo T"));
        QVERIFY(t200.contains("Serviços Certificados"));
        QVERIFY(t200.contains(QString::fromUtf8("Beta Serviços Ltda. 22.255.588/8000")));
        QVERIFY(t200.contains(QString::fromUtf8("Inspeção Técnica e Manutenção de")));
        QVERIFY(t200.contains("Dt Ent no Certificado 03/05/2024"));
        QVERIFY(t200.contains("Observações Atendimento em campo"));
        QVERIFY(!t200.contains("Documentos Normativos"));
        QVERIFY(t200.contains(QString::fromUtf8("03/05/2024 Inclusão Historico gerado pelo sistema Sistema "
                                                "03/05/2024 Serviço")));
    }

    void incompleteCertificatesListWhatTheyLack()
    {
        TestHome home(true);
        ProgramDatabase dm;
        Database &db = dm.database();
        writeMirrorData(db);
        {
            Writer w(db);
            w.certificate("T-300", false, at(2024, 6, 1));
            w.certificate("T-301", false, at(2024, 6, 2));
            w.link("T-301", {{"CodigoPais", "BR"}, {"IdEmpresa", DemoData::cnpjFrom("111444777000")}}, 1,
                   at(2024, 6, 2));
            // Another body's certificate of the same number has a company:
            // T-300 of OCDEMO still lacks one.
            Writer other(db, "OCOUTRO");
            other.certificate("T-300", true, at(2024, 6, 3));
            other.link("T-300", {{"CodigoPais", "BR"}, {"IdEmpresa", DemoData::cnpjFrom("111444777000")}}, 1,
                       at(2024, 6, 3));
        }
        const QString companies = QString::fromUtf8("Falta preencher as informações de Empresas Envolvidas.");
        const QString products = QString::fromUtf8("Falta preencher as informações de Produtos ou Serviços.");
        const QString documents = QString::fromUtf8("Falta preencher as informações de Documentos Normativos.");
        QCOMPARE(IncompleteCertificatesReport::pendencias(db, "OCDEMO", "T-300"),
                 companies + "\n" + products + "\n" + documents);
        QCOMPARE(IncompleteCertificatesReport::pendencias(db, "OCDEMO", "T-301"), products + "\n" + documents);
        QCOMPARE(IncompleteCertificatesReport::pendencias(db, "OCDEMO", "T-100"), QString());
        QCOMPARE(IncompleteCertificatesReport::count(db, {"T-300", "T-301", "T-100"}), 2);

        QTemporaryDir out;
        const QString pdf = out.filePath("incompletos.pdf");
        QVERIFY(IncompleteCertificatesReport::build(db, "Ana", {"T-300", "T-301", "T-100"}).exportPdf(pdf));
        const QString s = pdfText(pdf);
        for (const char *expected :
             {"Certificados Incompletos", "OCDEMO - Organismo de Certificação Demonstração", "Certificador",
              "Classe do Produto", "Responsável", "Atualização", "Pendências do Certificado",
              "Total de certificados: 2", "T-300 Plugues e Tomadas de Uso Doméstico ana 01/06/24 09:00:00",
              "T-301 Plugues e Tomadas de Uso Doméstico ana 02/06/24 09:00:00"})
            QVERIFY2(s.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(!s.contains("01/06/2024"));
        QCOMPARE(s.count("Pendências do Certificado"), 2);
        QCOMPARE(s.count("Empresas Envolvidas"), 1);
        QCOMPARE(s.count(QString::fromUtf8("Produtos ou Serviços")), 2);
        QCOMPARE(s.count("Documentos Normativos"), 2);
        QVERIFY(!s.contains("T-100"));
        QVERIFY(s.indexOf("T-300") < s.indexOf("T-301"));
    }

    void readyCertificatesAreCompleteUnapprovedAndNewestFirst()
    {
        TestHome home(true);
        ProgramDatabase dm;
        Database &db = dm.database();
        writeMirrorData(db);
        {
            Writer w(db);
            w.certificate("T-400", true, at(2025, 2, 1));
            w.raw().approve("T-200", at(2025, 3, 1));
            Writer other(db, "OCOUTRO");
            other.certificate("T-500", true, at(2025, 2, 1));
        }
        const QStringList mine = {"T-100", "T-200", "T-400", "T-500"};
        QCOMPARE(ReadyCertificatesReport::count(db, mine), 2);
        QTemporaryDir out;
        const QString pdf = out.filePath("prontos.pdf");
        QVERIFY(ReadyCertificatesReport::build(db, "Ana", mine).exportPdf(pdf));
        const QString s = pdfText(pdf);
        QVERIFY(s.contains(QString::fromUtf8("Certificados Prontos para Aprovação")));
        QVERIFY(s.contains(QString::fromUtf8("OCDEMO - Organismo de Certificação Demonstração")));
        for (const char *heading : {"Certificador", "Classe do Produto", "Responsável", "Atualização"})
            QVERIFY2(s.contains(QString::fromUtf8(heading)), heading);
        // T-100 was last written before T-400.
        QVERIFY(s.contains("T-400 Plugues e Tomadas de Uso Doméstico ana 01/02/2025 09:00:00"));
        QVERIFY(s.indexOf("T-400") < s.indexOf("T-100"));
        QVERIFY(!s.contains("T-200"));
        QVERIFY(!s.contains("T-500"));
    }

    void listReportHoldsTheSelection()
    {
        TestHome home(true);
        ProgramDatabase dm;
        Database &db = dm.database();
        writeMirrorData(db);
        CertificateFilter f;
        f.numero = "T-";
        f.status = CertificateFilter::Status::Ativos;
        QTemporaryDir out;
        const QString pdf = out.filePath("lista.pdf");
        QVERIFY(CertificateListReport::build(db, f, "Ana").exportPdf(pdf));
        const QString s = pdfText(pdf);
        QVERIFY(s.contains("Lista dos Certificados"));
        QVERIFY(s.contains(QString::fromUtf8("Seleção: Número do Certificado: T-, Importado:Todos, Status:Ativos, "
                                             "Aprovados:Todos")));
        for (const char *heading : {"Número do Certificado", "Classe do Produto", "Responsável", "Atualização"})
            QVERIFY2(s.contains(QString::fromUtf8(heading)), heading);
        QVERIFY(s.contains("T-100 Plugues e Tomadas de Uso Doméstico ana 10/01/2024 09:00:00"));
        QVERIFY(s.contains("T-200"));
        QVERIFY(!s.contains("OCDEMO-0001"));
        QVERIFY(s.contains("Total de certificados: 2"));
    }

    void filtersSelectWhatTheySay()
    {
        TestHome home(true);
        ProgramDatabase dm;
        Database &db = dm.database();
        writeMirrorData(db);
        Writer(db).certificate("T-'500", false, at(2024, 7, 1), "SERV", 300);
        auto count = [&](const std::function<void(CertificateFilter &)> &set) {
            CertificateFilter f;
            f.numero = "t-";
            set(f);
            return CertificateSelection::count(db, f);
        };
        QCOMPARE(count([](CertificateFilter &) {}), 3);
        QCOMPARE(count([](CertificateFilter &f) { f.numero = "'5"; }), 1);
        QCOMPARE(count([](CertificateFilter &f) { f.idClasseCertif = "SERV"; }), 1);
        QCOMPARE(count([](CertificateFilter &f) { f.idClasseProd = 101; }), 2);
        QCOMPARE(count([](CertificateFilter &f) {
                     f.codigoPais = "BR";
                     f.idEmpresa = DemoData::cpfFrom("123456789");
                 }),
                 1);
        QCOMPARE(count([](CertificateFilter &f) {
                     f.marcaProd = "Marca X";
                     f.modeloProd = "Modelo L";
                     f.importadoProd = 1;
                 }),
                 1);
        QCOMPARE(count([](CertificateFilter &f) {
                     f.marcaProd = "Marca X";
                     f.modeloProd = "Modelo L";
                     f.importadoProd = 0;
                 }),
                 0);
        QCOMPARE(count([](CertificateFilter &f) {
                     f.marcaProd = "Marca Y";
                     f.modeloProd = "Modelo U";
                 }),
                 1);
        QCOMPARE(count([](CertificateFilter &f) { f.idClasseServ = 10; }), 1);
        QCOMPARE(count([](CertificateFilter &f) { f.importado = CertificateFilter::Origin::Sim; }), 1);
        QCOMPARE(count([](CertificateFilter &f) { f.importado = CertificateFilter::Origin::Nao; }), 2);
        QCOMPARE(count([](CertificateFilter &f) { f.status = CertificateFilter::Status::Suspensos; }), 0);
        QCOMPARE(count([](CertificateFilter &f) { f.aprovados = CertificateFilter::Approval::NaoAprovados; }), 3);
        QCOMPARE(count([](CertificateFilter &f) { f.aprovados = CertificateFilter::Approval::Aprovados; }), 0);

        CertificateFilter all;
        all.numero = "7";
        all.idClasseCertif = "COMP";
        all.nomClasseCertif = "Certificação Compulsória";
        all.idClasseProd = 101;
        all.nomClasseProd = "Plugues";
        all.codigoPais = "BR";
        all.idEmpresa = "x";
        all.nomeEmpresa = "Alfa";
        all.idClasseServ = 10;
        all.nomClasseServ = "Inspeção";
        all.marcaProd = "M";
        all.modeloProd = "N";
        all.importado = CertificateFilter::Origin::Nao;
        all.status = CertificateFilter::Status::Cancelados;
        all.aprovados = CertificateFilter::Approval::Aprovados;
        QCOMPARE(CertificateSelection::description(all),
                 QString::fromUtf8("Seleção: Número do Certificado: 7, Classe do Certificado: Certificação "
                                   "Compulsória, Classe de Produto: Plugues, Razão social: Alfa, Classe de Serviço: "
                                   "Inspeção, Marca: M Modelo: N,Importado:Não, Status:Cancelados, Aprovados: Sim "));
        QCOMPARE(CertificateSelection::description(CertificateFilter()),
                 QString::fromUtf8("Seleção: Importado:Todos, Status:Todos, Aprovados:Todos "));
    }

    void certificatesOfMissingClassesAreSelected()
    {
        TestHome home(true);
        ProgramDatabase dm;
        Database &db = dm.database();
        writeMirrorData(db);
        Writer(db).certificate("T-900", false, at(2024, 7, 1), "EXTINTA", 999);
        CertificateFilter f;
        f.numero = "t-";
        QCOMPARE(CertificateSelection::count(db, f), 3);
        f.numero = "t-900";
        QCOMPARE(CertificateSelection::count(db, f), 1);
        const auto s = CertificateSelection::build(f);
        QSqlQuery q = db.exec(s.sql, s.params);
        QVERIFY(q.next());
        QCOMPARE(q.value("NumCertif").toString(), QStringLiteral("T-900"));
        QVERIFY(q.value("NomClasseCertif").isNull());
        QVERIFY(q.value("NomClasseProd").isNull());
        f.idClasseProd = 999;
        QCOMPARE(CertificateSelection::count(db, f), 1);
        f.idClasseProd = 101;
        QCOMPARE(CertificateSelection::count(db, f), 0);
    }

    void countsUseDotsBetweenThousands()
    {
        QCOMPARE(CertificateSelection::countText(0), QString("0"));
        QCOMPARE(CertificateSelection::countText(999), QString("999"));
        QCOMPARE(CertificateSelection::countText(1000), QString("1.000"));
        QCOMPARE(CertificateSelection::countText(1234), QString("1.234"));
        QCOMPARE(CertificateSelection::countText(1234567), QString("1.234.567"));
    }

    // A certificate class accredited through either table is offered; the
    // list stays right when one of the tables is empty.
    void classListsFollowTheAccreditation()
    {
        TestHome home(true);
        ProgramDatabase dm;
        Database &db = dm.database();
        auto names = [](const QList<ClassEntry> &list) {
            QStringList out;
            for (const ClassEntry &c : list)
                out << c.name;
            return out;
        };
        const QStringList both = {QString::fromUtf8("Certificação Compulsória"),
                                  QString::fromUtf8("Certificação de Serviços"),
                                  QString::fromUtf8("Certificação Voluntária")};
        QCOMPARE(names(CertificateSelection::certificateClasses(db)), both);
        // 101 is accredited under two certificate classes: listed once.
        QCOMPARE(names(CertificateSelection::productClasses(db)).count("Plugues e Tomadas de Uso Doméstico"), 1);
        QCOMPARE(names(CertificateSelection::serviceClasses(db)),
                 (QStringList{QString::fromUtf8("Inspeção Técnica e Manutenção de Extintores"),
                              "Recarga de Extintores de Incêndio"}));

        db.execute("DELETE FROM CREDENCIAMENTO_SERV");
        QCOMPARE(
            names(CertificateSelection::certificateClasses(db)),
            (QStringList{QString::fromUtf8("Certificação Compulsória"), QString::fromUtf8("Certificação Voluntária")}));
        QVERIFY(CertificateSelection::serviceClasses(db).isEmpty());
        db.execute("INSERT INTO CREDENCIAMENTO_SERV (SiglaCertificador, IdClasseCertif, IdClasseServ) "
                   "VALUES ('OCDEMO', 'SERV', 11)");
        db.execute("DELETE FROM CREDENCIAMENTO WHERE SiglaCertificador = 'OCDEMO'");
        QCOMPARE(names(CertificateSelection::certificateClasses(db)),
                 QStringList{QString::fromUtf8("Certificação de Serviços")});
        QVERIFY(CertificateSelection::productClasses(db).isEmpty());
    }
};

QTEST_MAIN(TestReportCertificates)
#include "test_report_certificates.moc"
