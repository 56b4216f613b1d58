// The maintenance window's rules on a certificate's own row: registering,
// general data, status, existence checks, completeness, class lists.
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/certificatestore.h"
#include "maintenance/existencecheck.h"
#include "maintenance/maintenancedates.h"
#include "support/selectionfixture.h"

#include <QSqlQuery>
#include <QtTest>

namespace {

// As the window gives it.
QDateTime day(const QDate &d)
{
    return MaintenanceDates::atMidnight(d);
}

Certificate draft(const QString &numero)
{
    Certificate c;
    c.siglaCertificador = SelectionFixture::Sigla;
    c.numCertif = numero;
    c.statusCertificado = QStringLiteral("A");
    c.idClasseCertif = QStringLiteral("COMP");
    c.idClasseProd = 101;
    c.dataEmissao = day(QDate::currentDate());
    c.dataValid = day(QDate::currentDate().addYears(3));
    c.labEnsaio = QStringLiteral("Laboratório Ensaios");
    return c;
}

QStringList classNames(const QList<CertificateStore::ClassItem> &items)
{
    QStringList out;
    for (const auto &i : items)
        out << i.id.toString();
    return out;
}

struct Fixture : SelectionFixture
{
    CertificateService svc{*db, msg, QStringLiteral("maria")};

    QVariant value(const char *column, const QString &numero)
    {
        return db->scalar(QStringLiteral("SELECT %1 FROM CERTIFIC WHERE NumCertif = ?").arg(QLatin1String(column)),
                          {numero});
    }
    int events(const QString &numero, const char *evento = nullptr)
    {
        if (!evento)
            return count("SELECT COUNT(*) FROM STATUS_C WHERE NumCertif = ?", {numero});
        return count("SELECT COUNT(*) FROM STATUS_C WHERE NumCertif = ? AND Evento = ?", {numero, evento});
    }
    void approve(const QString &numero)
    {
        run("UPDATE CERTIFIC SET Aprovado = 1 WHERE NumCertif = ?", {numero});
        run("INSERT INTO STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento, Justificativa, HistoricoSis, "
            "StatusCertificado, DthStatusCertificado, DthUltAtualiz, UsuResp) VALUES (?, ?, "
            "(SELECT COALESCE(MAX(SeqEvento), 0) + 1 FROM STATUS_C), 'APR', 'Historico gerado pelo sistema', '2', 'A', "
            "?, ?, 'adm')",
            {Sigla, numero, QDateTime::currentDateTime(), QDateTime::currentDateTime()});
    }
};

}

class TestCertificateService : public QObject
{
    Q_OBJECT

private slots:
    void newCertificateStartsActiveIncompleteUnapprovedWithOneInclusionEvent()
    {
        Fixture f;
        const Certificate c = draft(QStringLiteral("OCT-0001/2026"));
        QCOMPARE(f.svc.saveNew(c), CertificateService::Result::Saved);
        QCOMPARE(f.msg.messages.size(), 0);
        const auto row = CertificateStore::load(*f.db, c.key());
        QVERIFY(row);
        QCOMPARE(row->statusCertificado, QString("A"));
        QVERIFY(!row->completo);
        QVERIFY(!row->aprovado);
        QCOMPARE(row->dthStatusCertificado, c.dataEmissao);
        QCOMPARE(row->dataValid, c.dataValid);
        QCOMPARE(row->usuResp, QString("maria"));
        QVERIFY(f.value("Signatarios", c.numCertif).isNull());
        QCOMPARE(f.events(c.numCertif), 1);
        QSqlQuery q = f.db->exec("SELECT Evento, HistoricoSis, Justificativa, StatusCertificado, DthStatusCertificado, "
                                 "UsuResp, SeqEvento FROM STATUS_C");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("INC"));
        QCOMPARE(q.value(1).toString(), QString("2"));
        QCOMPARE(q.value(2).toString(), QString("Historico gerado pelo sistema"));
        QCOMPARE(q.value(3).toString(), QString("A"));
        QCOMPARE(q.value(4).toDateTime(), c.dataEmissao);
        QCOMPARE(q.value(5).toString(), QString("maria"));
        QCOMPARE(q.value(6).toInt(), 1);
    }

    void existingNumberRefusedWhateverItsLetterCase()
    {
        Fixture f;
        QCOMPARE(f.svc.saveNew(draft(QStringLiteral("CERT-ÁGUA'01"))), CertificateService::Result::Saved);
        QCOMPARE(f.svc.saveNew(draft(QStringLiteral("cert-água'01"))), CertificateService::Result::Refused);
        QCOMPARE(f.msg.lastText(), QString("Este certificado já existe !!!. Cancele a Operação."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de chave duplicada"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC"), 1);
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C"), 1);
    }

    void newCertificateNeedsKeyValidityAndSaneDates()
    {
        Fixture f;
        Certificate c = draft(QString());
        QCOMPARE(f.svc.saveNew(c), CertificateService::Result::Refused);
        QCOMPARE(f.msg.lastText(), CertificateTexts::KeyRequired);
        QCOMPARE(f.msg.lastCaption(), QString("Erro de Inclusão"));

        c = draft(QStringLiteral("N-1"));
        c.dataValid = QDateTime();
        QCOMPARE(f.svc.saveNew(c), CertificateService::Result::NeedsValidity);
        QCOMPARE(f.msg.lastText(), QString("Por favor informe a data de validade do certificado."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de entrada de dados"));

        // A date box left unchecked still cannot store a future issue date
        // or a validity from 2080 on.
        c = draft(QStringLiteral("N-1"));
        c.dataEmissao = day(QDate::currentDate().addDays(1));
        c.dataValid = day(QDate::currentDate().addYears(1));
        QCOMPARE(f.svc.saveNew(c), CertificateService::Result::Refused);
        QCOMPARE(f.msg.lastText(), MaintenanceDates::IssueMessage);
        c = draft(QStringLiteral("N-1"));
        c.dataValid = day(QDate(2080, 1, 1));
        QCOMPARE(f.svc.saveNew(c), CertificateService::Result::Refused);
        QCOMPARE(f.msg.lastText(), MaintenanceDates::ValidityMessageNew);
        c.dataValid = c.dataEmissao;
        QCOMPARE(f.svc.saveNew(c), CertificateService::Result::Saved);
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC"), 1);
    }

    // Text the regulator's files cannot hold is refused when typed, naming
    // the field, and nothing is written.
    void textOutsideWindows1252IsRefusedNamingTheField()
    {
        Fixture f;
        Certificate c = draft(QStringLiteral("C-1"));
        c.observacoes = QStringLiteral("Şişecam Ω");
        QCOMPARE(f.svc.saveNew(c), CertificateService::Result::Refused);
        QVERIFY2(f.msg.lastText().contains(QStringLiteral("O campo Observações contém o caractere \"Ş\"")),
                 qPrintable(f.msg.lastText()));
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC"), 0);

        c.observacoes = QStringLiteral("Observação € ok");
        QCOMPARE(f.svc.saveNew(c), CertificateService::Result::Saved);
        Certificate edited = c;
        edited.labEnsaio = QStringLiteral("Lab Ω");
        QCOMPARE(f.svc.saveGeneral(c.key(), edited, std::nullopt), CertificateService::Result::Refused);
        QVERIFY(f.msg.lastText().contains(QStringLiteral("Laboratório de Ensaio")));
        QCOMPARE(f.value("LabEnsaio", "C-1").toString(), QStringLiteral("Laboratório Ensaios"));

        QVERIFY(
            !f.svc.changeStatus(c.key(), QStringLiteral("S"), QStringLiteral("Suspenso por Ω"), QDate::currentDate()));
        QVERIFY(f.msg.lastText().contains(QStringLiteral("Justificativa")));
        QCOMPARE(f.value("StatusCertificado", "C-1").toString(), QStringLiteral("A"));
    }

    void configurationMustHoldExactlyOneRow()
    {
        Fixture f;
        QCOMPARE(f.svc.newCertificateCertifier().value_or(QString()), QString("OCT"));
        f.run("INSERT INTO CONFIG_LOCAL (SiglaCertificador) VALUES ('OCX')");
        QVERIFY(!f.svc.newCertificateCertifier());
        QCOMPARE(f.msg.lastText(),
                 QString("Tabela de Configurações Locais adulterada. O módulo de inclusão de "
                         "certificado não pode continuar."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de sistema"));
        f.run("DELETE FROM CONFIG_LOCAL");
        f.msg.clear();
        QVERIFY(!f.svc.newCertificateCertifier());
        QCOMPARE(f.msg.messages.size(), 1);
    }

    void certificateClassesOfEitherAccreditation()
    {
        Fixture f;
        // Products (COMP, VOL) and services (SERV); another body's class never.
        QCOMPARE(classNames(CertificateStore::certificateClasses(*f.db)), QStringList({"COMP", "SERV", "VOL"}));
        QCOMPARE(classNames(CertificateStore::productClasses(*f.db)), QStringList({"102", "101"}));
        QCOMPARE(classNames(CertificateStore::serviceClasses(*f.db)), QStringList({"10"}));
        f.run("DELETE FROM CREDENCIAMENTO WHERE SiglaCertificador = 'OCT'");
        QCOMPARE(classNames(CertificateStore::certificateClasses(*f.db)), QStringList({"SERV"}));
        f.run("INSERT INTO CREDENCIAMENTO VALUES ('OCT', 'VOL', 101)");
        f.run("DELETE FROM CREDENCIAMENTO_SERV WHERE SiglaCertificador = 'OCT'");
        QCOMPARE(classNames(CertificateStore::certificateClasses(*f.db)), QStringList({"VOL"}));
    }

    void existenceChecksOfEveryKind()
    {
        Fixture f;
        f.certificate("C-1", "COMP", 101);
        f.legalEntity("BR", "11222333000181", "11222333000181", "Conexa", "Conexa");
        f.link("C-1", "BR", "11222333000181");
        f.product("Marca d'Água", "M1", 1);
        f.item("TIPO", "C-1", "Marca d'Água", "M1", 1);
        f.item("LOTE", "C-1", "Marca d'Água", "M1", 1);
        f.item("UNIDADE", "C-1", "Marca d'Água", "M1", 1);
        f.service("C-1", 10, "BR", "11222333000181");
        ExistenceCheck::Key k;
        k.siglaCertificador = "oct";
        k.numCertif = "c-1";
        k.codigoPais = "br";
        k.idEmpresa = "11222333000181";
        k.marcaProd = "MARCA D'ÁGUA";
        k.modeloProd = "m1";
        k.importado = 1;
        k.numLote = "l1";
        k.numSerieProd = "s1";
        k.idClasseServ = 10;
        for (const char *kind : {"PRODUTO", "EMPRESA", "CERTIFICADO", "EMPCERT", "TIPO", "LOTE", "UNIDADE", "SERVICO"})
            QVERIFY2(ExistenceCheck::exists(*f.db, kind, k), kind);
        QVERIFY(!ExistenceCheck::exists(*f.db, "DOCUMENTOS", k));
        QVERIFY(!ExistenceCheck::exists(*f.db, "OUTRA", k));
        ExistenceCheck::Key national = k;
        national.importado = 0;
        for (const char *kind : {"PRODUTO", "TIPO", "LOTE", "UNIDADE"})
            QVERIFY2(!ExistenceCheck::exists(*f.db, kind, national), kind);
        ExistenceCheck::Key other = k;
        other.idClasseServ = 20;
        QVERIFY(!ExistenceCheck::exists(*f.db, "SERVICO", other));
        // A document on a service locks the classes as one on a product does.
        f.run("INSERT INTO DOC_NORM_SERV (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseServ, IdDocNorm, "
              "IdEmpresa, CodigoPais) VALUES ('OCT', 'C-1', 'SERV', 10, 5001, '11222333000181', 'BR')");
        QVERIFY(ExistenceCheck::exists(*f.db, "DOCUMENTOS", k));
        f.run("DELETE FROM DOC_NORM_SERV");
        f.run(
            "INSERT INTO DOC_NORM_CERT_PRODUTO (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseProd, IdDocNorm) "
            "VALUES ('OCT', 'C-1', 'COMP', 101, 1001)");
        QVERIFY(ExistenceCheck::exists(*f.db, "DOCUMENTOS", k));
    }

    void completeNeedsCompanyProductAndDocumentsUnlessSent()
    {
        Fixture f;
        f.certificate("C-1", "COMP", 101);
        const CertificateKey key{"OCT", "C-1"};
        auto header = *CertificateStore::load(*f.db, key);
        f.legalEntity("BR", "11222333000181", "11222333000181", "Conexa", "Conexa");
        QVERIFY(!CertificateStore::isComplete(*f.db, header));
        f.link("C-1", "BR", "11222333000181");
        QVERIFY(!CertificateStore::isComplete(*f.db, header));
        f.item("LOTE", "C-1", "M", "X", 0);
        // Never sent and without documents: still incomplete.
        QVERIFY(!CertificateStore::isComplete(*f.db, header));
        QVERIFY(!CertificateStore::storeCompleteness(*f.db, key));
        f.run("INSERT INTO DOC_NORM_LOTE (SiglaCertificador, NumCertif, IdClasseCertif, IdClasseProd, IdDocNorm, "
              "MarcaProd, ModeloProd, Importado, NumLote) VALUES ('OCT', 'C-1', 'COMP', 101, 1001, 'M', 'X', 0, 'L1')");
        QVERIFY(CertificateStore::storeCompleteness(*f.db, key));
        QCOMPARE(f.value("Completo", "C-1").toInt(), 1);
        Certificate noClass = header;
        noClass.idClasseProd = QVariant();
        QVERIFY(!CertificateStore::isComplete(*f.db, noClass));
        f.run("DELETE FROM DOC_NORM_LOTE");
        f.run(
            "INSERT INTO REP_CERTIFIC (SiglaCertificador, NumCertif, Completo, Aprovado) VALUES ('OCT', 'C-1', 1, 1)");
        QVERIFY(CertificateStore::isComplete(*f.db, header));
    }

    void approvalTimeComesFromTheLatestApprovalEvent()
    {
        Fixture f;
        QVERIFY(f.svc.saveNew(draft("C-1")) == CertificateService::Result::Saved);
        const CertificateKey key{"OCT", "C-1"};
        QCOMPARE(CertificateStore::lastApprovalTime(*f.db, key), QString());
        QVERIFY(f.svc.changeStatus(key, "S", "motivo", QDate::currentDate()));
        QCOMPARE(CertificateStore::lastApprovalTime(*f.db, key), QString());
        f.approve("C-1");
        QVERIFY(!CertificateStore::lastApprovalTime(*f.db, key).isEmpty());
        QVERIFY(CertificateStore::lastApprovalTime(*f.db, {"OCT", "C-2"}).isEmpty());
    }

    void generalSaveOfAnApprovedCertificateWritesAnAlterationAndClearsApproval()
    {
        Fixture f;
        QVERIFY(f.svc.saveNew(draft("C-1")) == CertificateService::Result::Saved);
        const CertificateKey key{"OCT", "C-1"};
        Certificate edited = *CertificateStore::load(*f.db, key);
        edited.observacoes = "Nova observação";
        // Never approved: no event.
        QCOMPARE(f.svc.saveGeneral(key, edited, std::nullopt), CertificateService::Result::Saved);
        QCOMPARE(f.events("C-1"), 1);
        f.approve("C-1");
        edited.labEnsaio = "Outro laboratório";
        QCOMPARE(f.svc.saveGeneral(key, edited, QString("Troca de laboratório")), CertificateService::Result::Saved);
        QCOMPARE(f.value("Aprovado", "C-1").toInt(), 0);
        QCOMPARE(f.value("LabEnsaio", "C-1").toString(), QString("Outro laboratório"));
        QSqlQuery q = f.db->exec("SELECT Justificativa, HistoricoSis, StatusCertificado, UsuResp FROM STATUS_C "
                                 "WHERE Evento = 'ALT'");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("Troca de laboratório"));
        QCOMPARE(q.value(1).toString(), QString("2"));
        QCOMPARE(q.value(2).toString(), QString("A"));
        QCOMPARE(q.value(3).toString(), QString("maria"));
        QVERIFY(!q.next());
    }

    void numberChangesOnlyWhileNothingHangsOnTheCertificate()
    {
        Fixture f;
        QVERIFY(f.svc.saveNew(draft("C-1")) == CertificateService::Result::Saved);
        QVERIFY(f.svc.saveNew(draft("C-2")) == CertificateService::Result::Saved);
        const CertificateKey key{"OCT", "C-1"};
        QVERIFY(!f.svc.numberLocked(key, false));
        Certificate edited = *CertificateStore::load(*f.db, key);
        edited.numCertif = "c-2";
        QCOMPARE(f.svc.saveGeneral(key, edited, std::nullopt), CertificateService::Result::Refused);
        QCOMPARE(f.msg.lastText(), CertificateTexts::Exists);
        // The history follows the new number.
        edited.numCertif = "C-1A";
        QCOMPARE(f.svc.saveGeneral(key, edited, std::nullopt), CertificateService::Result::Saved);
        QCOMPARE(f.events("C-1A", "INC"), 1);
        QCOMPARE(f.events("C-1"), 0);
        // Its own number in another letter case is no duplicate.
        const CertificateKey renamed{"OCT", "C-1A"};
        edited.numCertif = "c-1a";
        QCOMPARE(f.svc.saveGeneral(renamed, edited, std::nullopt), CertificateService::Result::Saved);
        QCOMPARE(f.value("NumCertif", "C-1A").toString(), QString("c-1a"));
        // A company locks the number: the service refuses even without the window.
        const CertificateKey moved{"OCT", "C-1A"};
        f.legalEntity("BR", "11222333000181", "11222333000181", "Conexa", "Conexa");
        f.link("C-1A", "BR", "11222333000181");
        QVERIFY(f.svc.numberLocked(moved, false));
        edited.numCertif = "C-1B";
        QCOMPARE(f.svc.saveGeneral(moved, edited, std::nullopt), CertificateService::Result::Failed);
        QCOMPARE(f.msg.lastText(), CertificateTexts::WriteError);
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC WHERE NumCertif = 'C-1A'"), 1);
        // An approval alone locks it too.
        QVERIFY(f.svc.numberLocked({"OCT", "C-2"}, true));
    }

    void statusChangesWriteTheirEvents()
    {
        Fixture f;
        QVERIFY(f.svc.saveNew(draft("C-1")) == CertificateService::Result::Saved);
        const CertificateKey key{"OCT", "c-1"};
        f.approve("C-1");
        const QDate when = QDate::currentDate().addDays(-1);
        QVERIFY(f.svc.changeStatus(key, "S", "Auditoria vencida", when));
        QCOMPARE(f.value("StatusCertificado", "C-1").toString(), QString("S"));
        QCOMPARE(f.value("DthStatusCertificado", "C-1").toDateTime(), day(when));
        QCOMPARE(f.value("Aprovado", "C-1").toInt(), 0);
        QVERIFY(f.svc.changeStatus(key, "C", "Pedido", when));
        QVERIFY(f.svc.changeStatus(key, "A", "Reativado", QDate::currentDate()));
        QStringList seen;
        QSqlQuery q = f.db->exec("SELECT Evento, StatusCertificado, Justificativa, HistoricoSis FROM STATUS_C "
                                 "WHERE Evento <> 'APR' ORDER BY SeqEvento");
        while (q.next())
            seen << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                q.value(3).toString()}
                        .join('|');
        QCOMPARE(seen,
                 QStringList({"INC|A|Historico gerado pelo sistema|2", "SUS|S|Auditoria vencida|2", "CAN|C|Pedido|2",
                              "REA|A|Reativado|2"}));
    }

    void overLongValuesAreRefusedNamingTheirColumn()
    {
        Fixture f;
        Certificate longLab = draft("C-1");
        longLab.labEnsaio = QString(300, QLatin1Char('L'));
        QCOMPARE(f.svc.saveNew(longLab), CertificateService::Result::Failed);
        QCOMPARE(f.msg.lastText(),
                 QString("Texto longo demais: CERTIFIC.LabEnsaio aceita no máximo 255 caracteres. "
                         "As alterações não foram efetuadas."));
        QCOMPARE(f.msg.lastCaption(), QString("Erro de gravação"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC"), 0);
    }

    void exhaustedEventNumberingWritesNothing()
    {
        Fixture f;
        QVERIFY(f.svc.saveNew(draft("C-1")) == CertificateService::Result::Saved);
        f.run("UPDATE STATUS_C SET SeqEvento = 32767");
        // The user is told which table is full and its limit.
        const QString full = QStringLiteral(
            "A tabela STATUS_C atingiu o número máximo de eventos (32767). O evento não foi gravado.");
        QCOMPARE(f.svc.saveNew(draft("C-2")), CertificateService::Result::Failed);
        QCOMPARE(f.msg.lastText(), full);
        QCOMPARE(f.msg.lastCaption(), QString("Erro de gravação"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM CERTIFIC"), 1);
        QVERIFY(!f.svc.changeStatus({"OCT", "C-1"}, "S", "x", QDate::currentDate()));
        QCOMPARE(f.msg.lastText(), full);
        QCOMPARE(f.value("StatusCertificado", "C-1").toString(), QString("A"));
        QCOMPARE(f.count("SELECT COUNT(*) FROM STATUS_C"), 1);
        QVERIFY(!f.db->inTransaction());
    }
};

QTEST_GUILESS_MAIN(TestCertificateService)
#include "test_certificateservice.moc"
