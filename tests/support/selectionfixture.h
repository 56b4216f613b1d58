#pragma once
// A fresh database with a small reference set (certifier "OCT", three
// countries, classes and accreditations) and helpers that write
// certificates, companies, products and their links as the maintenance
// window would leave them.
#include "db/database.h"
#include "maintenance/selectionlistmodel.h"
#include "maintenance/selectionsql.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QDateTime>
#include <memory>

class SelectionFixture
{
public:
    static inline const QString Sigla = QStringLiteral("OCT");

    SelectionFixture()
    {
        home = std::make_unique<TestHome>(false);
        db = std::make_unique<Database>();
        home->open(*db);
        run("insert into CONFIG_LOCAL (SiglaCertificador, NomeOCC) values (?, ?)", {Sigla, "Organismo de teste"});
        for (const auto &[code, name] : {std::pair{"BR", "Brasil"}, {"CN", "China"}, {"AR", "Argentina"}})
            run("insert into PAIS (CodigoPais, NomePais) values (?, ?)", {code, QString::fromUtf8(name)});
        run("insert into UF (SiglaUF, NomeUF) values ('SP', 'São Paulo')");
        for (const auto &[id, name] : {std::pair{"COMP", "Certificação Compulsória"},
                                       {"VOL", "Certificação Voluntária"},
                                       {"SERV", "Certificação de Serviços"},
                                       {"OUT", "Outra Classe"}})
            run("insert into CLASSE_C (IdClasseCertif, NomClasseCertif) values (?, ?)", {id, QString::fromUtf8(name)});
        for (const auto &[id, name] :
             {std::pair{101, "Plugues e Tomadas"}, {102, "Interruptores"}, {201, "Brinquedos"}})
            run("insert into CLASSE_P (IdClasseProd, NomClasseProd) values (?, ?)", {id, QString::fromUtf8(name)});
        run("insert into CLASSE_S (IdClasseServ, NomClasseServ) values (10, 'Recarga de Extintores')");
        run("insert into CLASSE_S (IdClasseServ, NomClasseServ) values (20, 'Manutenção Elétrica')");
        for (const auto &[sigla, cc, cp] :
             {std::tuple{"OCT", "COMP", 101}, {"OCT", "VOL", 101}, {"OCT", "COMP", 102}, {"OUTRO", "OUT", 201}})
            run("insert into CREDENCIAMENTO (SiglaCertificador, IdClasseCertif, IdClasseProd) values (?, ?, ?)",
                {sigla, cc, cp});
        run("insert into CREDENCIAMENTO_SERV (SiglaCertificador, IdClasseCertif, IdClasseServ) values ('OCT', 'SERV', "
            "10)");
        run("insert into CREDENCIAMENTO_SERV (SiglaCertificador, IdClasseCertif, IdClasseServ) values ('OUTRO', 'OUT', "
            "20)");
    }
    ~SelectionFixture()
    {
        db.reset();
        home.reset();
    }

    void run(const char *sql, const QVariantList &params = {}) { db->execute(QString::fromUtf8(sql), params); }

    void certificate(const QString &num, const QString &certClass, int prodClass, QDate issue = QDate(2024, 1, 10),
                     QDate valid = QDate(2027, 1, 10), const QString &sigla = Sigla)
    {
        run("insert into CERTIFIC (SiglaCertificador, NumCertif, StatusCertificado, IdClasseCertif, IdClasseProd, "
            "DataEmissao, DataValid, Completo, Aprovado, DthUltAtualiz, UsuResp) values (?, ?, 'A', ?, ?, ?, ?, 0, 0, "
            "?, 'adm')",
            {sigla, num, certClass, prodClass, issue.startOfDay(), valid.startOfDay(), QDateTime::currentDateTime()});
    }
    void legalEntity(const QString &country, const QString &id, const QString &cgc, const QString &name,
                     const QString &trade)
    {
        run("insert into EMPRESA (CodigoPais, IdEmpresa, CGC, RazSocialEmp, NomFantasia, TipoPessoa, DthUltAtualiz, "
            "UsuResp) values (?, ?, ?, ?, ?, '1', ?, 'adm')",
            {country, id, cgc.isEmpty() ? QVariant() : QVariant(cgc), name, trade, QDateTime::currentDateTime()});
    }
    void person(const QString &cpf, const QString &name)
    {
        run("insert into EMPRESA (CodigoPais, IdEmpresa, CPF, NomPessoaFisica, TipoPessoa, DthUltAtualiz, UsuResp) "
            "values ('BR', ?, ?, ?, '2', ?, 'adm')",
            {cpf, cpf, name, QDateTime::currentDateTime()});
    }
    void link(const QString &num, const QString &country, const QString &id)
    {
        run("insert into EMP_CERT (SiglaCertificador, NumCertif, CodigoPais, IdEmpresa, IdPapelEmp, StatusEmpresa) "
            "values (?, ?, ?, ?, 1, 'A')",
            {Sigla, num, country, id});
    }
    void product(const QString &brand, const QString &model, int imported, const QString &ean = QString())
    {
        run("insert into PRODUTO (MarcaProd, ModeloProd, Importado, CodEANUPC, DthUltAtualiz, UsuResp) "
            "values (?, ?, ?, ?, ?, 'adm')",
            {brand, model, imported, ean.isEmpty() ? QVariant() : QVariant(ean), QDateTime::currentDateTime()});
    }
    // A product of a certificate: "TIPO", "LOTE" or "UNIDADE".
    void item(const QString &table, const QString &num, const QString &brand, const QString &model, int imported)
    {
        if (table == QLatin1String("TIPO"))
            run("insert into TIPO (SiglaCertificador, NumCertif, MarcaProd, ModeloProd, Importado, StatusProduto) "
                "values (?, ?, ?, ?, ?, 'A')",
                {Sigla, num, brand, model, imported});
        else if (table == QLatin1String("LOTE"))
            run("insert into LOTE (SiglaCertificador, NumCertif, NumLote, MarcaProd, ModeloProd, Importado, "
                "StatusLote) "
                "values (?, ?, 'L1', ?, ?, ?, 'A')",
                {Sigla, num, brand, model, imported});
        else
            run("insert into UNIDADE (SiglaCertificador, NumCertif, NumSerieProd, MarcaProd, ModeloProd, Importado, "
                "StatusUnidade) values (?, ?, 'S1', ?, ?, ?, 'A')",
                {Sigla, num, brand, model, imported});
    }
    void service(const QString &num, int serviceClass, const QString &country, const QString &id)
    {
        run("insert into SERVICO (SiglaCertificador, NumCertif, IdClasseServ, CodigoPais, IdEmpresa, StatusServico) "
            "values (?, ?, ?, ?, ?, 'A')",
            {Sigla, num, serviceClass, country, id});
    }
    int count(const char *sql, const QVariantList &params = {})
    {
        return db->scalar(QString::fromUtf8(sql), params).toInt();
    }

    std::unique_ptr<TestHome> home;
    std::unique_ptr<Database> db;
    ScriptedMessenger msg;
};

// Every value of one statement column, in list order (fetching them all).
inline QStringList columnValues(Database &db, const SelectionSql::Statement &s, const QString &field)
{
    SelectionListModel m;
    m.open(db, s.sql, s.orderBy, s.params);
    while (m.canFetchMore())
        m.fetchMore();
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.value(r, field).toString();
    return out;
}
