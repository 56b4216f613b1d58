// Companies of a certificate: adding, editing and removing their links, and
// their own status changes.
#include "maintenance/companies/companylinks.h"
#include "register/statusevents.h"
#include "support/selectionfixture.h"
#include "support/writefailure.h"

#include <QtTest>

namespace {

const QString Num = QStringLiteral("CERT-1");

struct Fixture : SelectionFixture
{
    CertificateKey cert{Sigla, Num};
    CompanyLinks links{*db, msg, QStringLiteral("joana")};

    Fixture()
    {
        certificate(Num, "COMP", 101, QDate(2024, 1, 10));
        run("insert into PAPEL_EMP (IdPapelEmp, PapelEmp, DthUltAtualiz, UsuResp) values (1, 'Fabricante', "
            "'2024-01-01', 'q')");
        run("insert into PAPEL_EMP (IdPapelEmp, PapelEmp, DthUltAtualiz, UsuResp) values (2, 'Importador', "
            "'2024-01-01', 'q')");
        legalEntity("BR", "12345678000190", "12345678000190", "Fábrica Alfa Ltda", "Alfa");
        legalEntity("CN", "shenzhen-ab", QString(), "Shenzhen AB Co", "AB");
    }
    CompanyLink draft(const QString &country, const QString &id, int role = 1)
    {
        CompanyLink l;
        l.codigoPais = country;
        l.idEmpresa = id;
        l.tipoPessoa = "1";
        l.razSocialEmp = "Nome";
        l.idPapelEmp = role;
        return l;
    }
    // An approval event at the given moment, as the approval page writes it.
    void approve(const QDateTime &at)
    {
        run("insert into STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento, HistoricoSis, StatusCertificado, "
            "DthUltAtualiz) values (?, ?, ?, 'APR', '2', 'A', ?)",
            {Sigla, Num, count("select coalesce(max(SeqEvento), 0) + 1 from STATUS_C"), at});
        run("update CERTIFIC set Aprovado = 1");
    }
    bool add(const QString &country, const QString &id, const std::optional<QString> &why = std::nullopt,
             bool approved = false)
    {
        return links.apply(cert, approved, true, draft(country, id), QDate(2024, 2, 1), why);
    }
    QVariant empCert(const char *column, const QString &id)
    {
        return db->scalar(QStringLiteral("select %1 from EMP_CERT where IdEmpresa = ?").arg(QLatin1String(column)),
                          {id});
    }
    QVariant event(const char *column, const QString &id, const QString &evento)
    {
        return db->scalar(
            QStringLiteral("select %1 from EVENTO_EMP where IdEmpresa = ? and Evento = ?").arg(QLatin1String(column)),
            {id, evento});
    }
};

}

class TestCompanyLinks : public QObject
{
    Q_OBJECT

private slots:
    void applyRefusesMissingFieldsDuplicatesAndBadEntryDates()
    {
        Fixture f;
        QVERIFY(f.add("BR", "12345678000190"));
        const QDateTime issue = QDate(2024, 1, 10).startOfDay();

        // The same company again, its identifier in another letter case.
        f.msg.clear();
        QVERIFY(f.links.check(f.cert, issue, f.draft("CN", "shenzhen-ab"), "01/02/2024", true));
        f.add("CN", "shenzhen-ab");
        QVERIFY(!f.links.check(f.cert, issue, f.draft("cn", "SHENZHEN-AB"), "01/02/2024", true));
        QCOMPARE(f.msg.lastText(), QString("Esta empresa já existe !!!. Cancele a Operação."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de chave duplicada"));
        // An edit of that link is no duplicate.
        QVERIFY(f.links.check(f.cert, issue, f.draft("CN", "shenzhen-ab"), "01/02/2024", false));

        CompanyLink noRole = f.draft("AR", "x");
        noRole.idPapelEmp = QVariant();
        QVERIFY(!f.links.check(f.cert, issue, noRole, "01/02/2024", true));
        QCOMPARE(f.msg.lastText(), QString("Existem campos obrigatórios em branco !!! Reveja a inclusão ou edição..."));
        QCOMPARE(f.msg.lastCaption(), QString("Campos em branco"));
        CompanyLink nameless = f.draft("AR", "x");
        nameless.razSocialEmp = "   ";
        QVERIFY(!f.links.check(f.cert, issue, nameless, "01/02/2024", true));
        QVERIFY(!f.links.check(f.cert, issue, f.draft("", ""), "01/02/2024", true));

        // The entry date: not before the issue, not after today.
        f.msg.clear();
        QVERIFY(!f.links.check(f.cert, issue, f.draft("AR", "x"), "09/01/2024", true));
        QCOMPARE(f.msg.messages.size(), 1);
        QVERIFY(!f.links.check(f.cert, issue, f.draft("AR", "x"),
                               QDate::currentDate().addDays(1).toString("dd/MM/yyyy"), true));
        QVERIFY(f.links.check(f.cert, issue, f.draft("AR", "x"), "10/01/2024", true));
    }

    void inclusionAndEditWriteTheirEventsByApproval()
    {
        Fixture f;
        // Never approved: "INC" with the system's justification, dated on entry.
        QVERIFY(f.add("BR", "12345678000190"));
        QCOMPARE(f.empCert("StatusEmpresa", "12345678000190").toString(), QString("A"));
        QCOMPARE(f.empCert("DthStatusEmpresa", "12345678000190").toDateTime(), QDate(2024, 2, 1).startOfDay());
        QCOMPARE(f.event("Justificativa", "12345678000190", "INC").toString(),
                 QString("Historico gerado pelo sistema"));
        QCOMPARE(f.event("DthStatusEmpresa", "12345678000190", "INC").toDateTime(), QDate(2024, 2, 1).startOfDay());
        QCOMPARE(f.event("HistoricoSis", "12345678000190", "INC").toString(), QString("2"));
        QCOMPARE(f.event("UsuResp", "12345678000190", "INC").toString(), QString("joana"));

        // Never approved, edited: no event; the status date follows the entry date.
        f.run("update EMP_CERT set DthStatusEmpresa = ?", {QDate(2024, 5, 5).startOfDay()});
        CompanyLink edited = f.draft("BR", "12345678000190", 2);
        QVERIFY(f.links.apply(f.cert, false, false, edited, QDate(2024, 3, 3), std::nullopt));
        QCOMPARE(f.count("select count(*) from EVENTO_EMP"), 1);
        QCOMPARE(f.empCert("IdPapelEmp", "12345678000190").toInt(), 2);
        QCOMPARE(f.empCert("DthStatusEmpresa", "12345678000190").toDateTime(), QDate(2024, 3, 3).startOfDay());

        // Approved: the typed justification, and the approval is gone.
        f.approve(QDateTime::currentDateTime().addSecs(-60));
        f.run("update EMP_CERT set StatusEmpresa = 'S', DthStatusEmpresa = ?", {QDate(2024, 4, 4).startOfDay()});
        QVERIFY(f.links.apply(f.cert, true, false, f.draft("BR", "12345678000190", 1), QDate(2024, 3, 4),
                              QString("papel corrigido")));
        QCOMPARE(f.event("Justificativa", "12345678000190", "ALT").toString(), QString("papel corrigido"));
        QCOMPARE(f.event("StatusEmpresa", "12345678000190", "ALT").toString(), QString("S"));
        QVERIFY(f.event("DthStatusEmpresa", "12345678000190", "ALT").toDateTime().secsTo(QDateTime::currentDateTime()) <
                60);
        QCOMPARE(f.empCert("DthStatusEmpresa", "12345678000190").toDateTime(), QDate(2024, 4, 4).startOfDay());
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 0);

        f.run("update CERTIFIC set Aprovado = 1");
        QVERIFY(f.add("CN", "shenzhen-ab", QString("nova filial"), true));
        QCOMPARE(f.event("Justificativa", "shenzhen-ab", "INC").toString(), QString("nova filial"));
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 0);
        // A link written meanwhile is caught by the key itself.
        QVERIFY(!f.add("cn", "SHENZHEN-AB", QString("de novo"), true));
        QCOMPARE(f.msg.lastText(), QString("Esta empresa já existe !!! Cancele a inclusão..."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de chave duplicada"));
        QCOMPARE(f.count("select count(*) from EVENTO_EMP where Justificativa = 'de novo'"), 0);
        // Approved certificates never take a change without its reason.
        QVERIFY(!f.links.apply(f.cert, true, true, f.draft("AR", "y"), QDate(2024, 2, 1), std::nullopt));
        QCOMPARE(f.count("select count(*) from EMP_CERT where IdEmpresa = 'y'"), 0);
    }

    void completenessFollowsTheCompanies()
    {
        Fixture f;
        f.item("TIPO", Num, "Marca", "M1", 0);
        f.run("update TIPO set CodigoPais = 'CN', IdEmpresa = 'other'");
        f.run(
            "insert into DOC_NORM_CERT_PRODUTO (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseProd, IdDocNorm) "
            "values ('OCT', ?, 'COMP', 101, 1)",
            {Num});
        QCOMPARE(f.count("select Completo from CERTIFIC"), 0);
        QVERIFY(f.add("BR", "12345678000190"));
        QCOMPARE(f.count("select Completo from CERTIFIC"), 1);
        QVERIFY(f.links.removalAllowed(f.cert, {"BR", "12345678000190"}));
        QVERIFY(f.links.remove(f.cert, {"BR", "12345678000190"}));
        QCOMPARE(f.count("select Completo from CERTIFIC"), 0);
    }

    void removalRefusalsAndWhatGoesWithIt()
    {
        Fixture f;
        QVERIFY(f.add("BR", "12345678000190"));
        QVERIFY(f.add("CN", "shenzhen-ab"));
        // A cancelled product type still holds its company.
        f.item("TIPO", Num, "Marca", "M1", 0);
        f.run("update TIPO set CodigoPais = 'BR', IdEmpresa = '12345678000190', StatusProduto = 'C'");
        QVERIFY(!f.links.removalAllowed(f.cert, {"BR", "12345678000190"}));
        QCOMPARE(
            f.msg.lastText(),
            QString(
                "Este registro não pode ser excluido do certificado, pois já foi referenciado a produto ou serviço."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de deleção"));
        f.service(Num, 10, "CN", "SHENZHEN-AB");
        QVERIFY(!f.links.removalAllowed(f.cert, {"CN", "shenzhen-ab"}));
        f.run("delete from SERVICO");

        // Added before the last approval: the regulator has it.
        f.approve(QDateTime::currentDateTime().addSecs(5));
        QVERIFY(!f.links.removalAllowed(f.cert, {"CN", "shenzhen-ab"}));
        QCOMPARE(f.msg.lastText(),
                 QString("Este registro não pode ser apagado do certificado, pois já foi aprovado "
                         "para emissão para o Quelora."));
        // Added after it: may go, with its events.
        f.run("update EVENTO_EMP set DthUltAtualiz = ?", {QDateTime::currentDateTime().addSecs(60)});
        QVERIFY(f.links.removalAllowed(f.cert, {"CN", "shenzhen-ab"}));
        f.run("insert into EVENTO_EMP (SiglaCertificador, NumCertif, CodigoPais, IdEmpresa, SeqEvento, Evento) "
              "values ('OCT', 'OUTRO', 'CN', 'shenzhen-ab', 99, 'INC')");
        QVERIFY(f.links.remove(f.cert, {"CN", "shenzhen-ab"}));
        QCOMPARE(f.count("select count(*) from EMP_CERT where IdEmpresa = 'shenzhen-ab'"), 0);
        QCOMPARE(f.count("select count(*) from EVENTO_EMP where IdEmpresa = 'shenzhen-ab' and NumCertif = ?", {Num}),
                 0);
        // Another certificate's history of the company stays.
        QCOMPARE(f.count("select count(*) from EVENTO_EMP where NumCertif = 'OUTRO'"), 1);
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 0);
        // Never approved: nothing but the products decides.
        QVERIFY(!f.links.removalAllowed(f.cert, {"CN", "shenzhen-ab"}));
        f.run("delete from STATUS_C");
        QVERIFY(f.links.removalAllowed(f.cert, {"CN", "shenzhen-ab"}));
        // The removal asks again inside its transaction: still named by a
        // product, the company stays.
        QVERIFY(!f.links.remove(f.cert, {"BR", "12345678000190"}));
        QCOMPARE(
            f.msg.lastText(),
            QString(
                "Este registro não pode ser excluido do certificado, pois já foi referenciado a produto ou serviço."));
        QCOMPARE(f.count("select count(*) from EMP_CERT where IdEmpresa = '12345678000190'"), 1);
        // The link and its events leave together or not at all.
        f.run("delete from TIPO");
        WriteFailure::arm(*f.db, "EMP_CERT", WriteFailure::On::Delete, "1 = 1", "preso");
        QVERIFY(!f.links.remove(f.cert, {"BR", "12345678000190"}));
        QCOMPARE(f.msg.lastText(),
                 QString("Erro genérico de gravação no Banco de Dados !!! As alterações não foram efetuadas."));
        QCOMPARE(f.count("select count(*) from EVENTO_EMP where IdEmpresa = '12345678000190'"), 1);
        WriteFailure::disarm(*f.db, "EMP_CERT", WriteFailure::On::Delete);
    }

    void statusChangeAndActiveItems()
    {
        Fixture f;
        QVERIFY(f.add("BR", "12345678000190"));
        const CompanyKey br{"BR", "12345678000190"};
        QVERIFY(!CompanyLinks::hasActiveItems(*f.db, f.cert, br));
        f.item("LOTE", Num, "Marca", "M1", 0);
        f.run("update LOTE set CodigoPais = 'BR', IdEmpresa = '12345678000190', StatusLote = 'C'");
        QVERIFY(!CompanyLinks::hasActiveItems(*f.db, f.cert, br));
        f.run("update LOTE set StatusLote = 'A'");
        QVERIFY(CompanyLinks::hasActiveItems(*f.db, f.cert, br));
        f.run("update LOTE set StatusLote = 'S'");
        f.service(Num, 10, "BR", "12345678000190");
        QVERIFY(CompanyLinks::hasActiveItems(*f.db, f.cert, br));
        QVERIFY(!CompanyLinks::hasActiveItems(*f.db, CertificateKey{SelectionFixture::Sigla, "OUTRO"}, br));

        f.run("update CERTIFIC set Aprovado = 1");
        QVERIFY(f.links.changeStatus(f.cert, br, "S", "  auditoria  ", QDate(2024, 6, 1)));
        QCOMPARE(f.empCert("StatusEmpresa", br.idEmpresa).toString(), QString("S"));
        QCOMPARE(f.empCert("DthStatusEmpresa", br.idEmpresa).toDateTime(), QDate(2024, 6, 1).startOfDay());
        QCOMPARE(f.event("Justificativa", br.idEmpresa, "SUS").toString(), QString("auditoria"));
        QCOMPARE(f.event("StatusEmpresa", br.idEmpresa, "SUS").toString(), QString("S"));
        QCOMPARE(f.event("DthStatusEmpresa", br.idEmpresa, "SUS").toDateTime(), QDate(2024, 6, 1).startOfDay());
        QCOMPARE(f.count("select Aprovado from CERTIFIC"), 0);
        // The company alone: its lot keeps its status.
        QCOMPARE(f.count("select count(*) from LOTE where StatusLote = 'S'"), 1);

        // A failed event write leaves the company as it was.
        f.run("insert into EVENTO_EMP (SiglaCertificador, NumCertif, CodigoPais, IdEmpresa, SeqEvento, Evento) "
              "values ('X', 'X', 'X', 'X', 32767, 'INC')");
        QVERIFY(!f.links.changeStatus(f.cert, br, "A", "volta", QDate(2024, 6, 2)));
        QCOMPARE(f.msg.lastText(),
                 QString("A tabela EVENTO_EMP atingiu o número máximo de eventos (32767). O evento não "
                         "foi gravado."));
        QCOMPARE(f.empCert("StatusEmpresa", br.idEmpresa).toString(), QString("S"));
    }
};

QTEST_GUILESS_MAIN(TestCompanyLinks)
#include "test_companylinks.moc"
