#include "maintenance/companies/companytable.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/existencecheck.h"
#include "maintenance/tables/keyedtable.h"
#include "shell/companydetails.h"


namespace CompanyTable {

namespace {

const QString SaveCaption = QStringLiteral("Erro de gravação");

const KeyedTable::Table Empresa{QStringLiteral("EMPRESA"), {QStringLiteral("CodigoPais"), QStringLiteral("IdEmpresa")}};
// Every table whose rows name a company.
const QStringList Referrers{QStringLiteral("EMP_CERT"), QStringLiteral("SERVICO"), QStringLiteral("TIPO"),
                            QStringLiteral("LOTE"), QStringLiteral("UNIDADE")};
// Rows that also hold the company's key: histories, service documents and
// what the regulator accepted.
const QStringList KeyHolders{QStringLiteral("EVENTO_EMP"), QStringLiteral("STATUS_S"), QStringLiteral("DOC_NORM_SERV"),
                             QStringLiteral("STATUS_DNS"), QStringLiteral("REP_EMPRESA")};

QVariantList keyValues(const CompanyKey &key)
{
    return {key.codigoPais, key.idEmpresa};
}

QString countryName(Database &db, const QString &code)
{
    return db.scalar(QStringLiteral("SELECT NomePais FROM PAIS WHERE CodigoPais = ?"), {code}).toString();
}

bool sameKey(const CompanyKey &a, const CompanyKey &b)
{
    return a.codigoPais.compare(b.codigoPais, Qt::CaseInsensitive) == 0 &&
        a.idEmpresa.compare(b.idEmpresa, Qt::CaseInsensitive) == 0;
}

}

SelectionSql::Statement listStatement()
{
    return {QStringLiteral("SELECT E.CodigoPais, E.IdEmpresa, E.CGC, E.CPF, E.TipoPessoa, E.RazSocialEmp, "
                           "E.NomPessoaFisica, E.NomFantasia, P.NomePais "
                           "FROM EMPRESA E LEFT JOIN PAIS P ON P.CodigoPais = E.CodigoPais"),
            QStringLiteral("ORDER BY E.CodigoPais, E.IdEmpresa"),
            {}};
}

int rowOf(const Database &db, const CompanyKey &key)
{
    return KeyedTable::rowOf(db, Empresa, keyValues(key));
}

QList<CertificateKey> certificatesOf(const Database &db, const CompanyKey &key)
{
    return KeyedTable::certificatesOf(db, Referrers, Empresa.key, keyValues(key));
}

bool isUsed(const Database &db, const CompanyKey &key)
{
    return KeyedTable::namedIn(db, Referrers, Empresa.key, keyValues(key));
}

bool keyIsHeld(const Database &db, const CompanyKey &key)
{
    return isUsed(db, key) || KeyedTable::namedIn(db, KeyHolders, Empresa.key, keyValues(key));
}

Locks editLocks(Database &db, const CompanyKey &key)
{
    Locks locks;
    locks.used = isUsed(db, key);
    if (!locks.used)
        return locks;
    locks.country = true;
    locks.taxId = true;
    const auto stored = load(db, key);
    // Only a Brazilian legal entity keeps its name apart from its key.
    locks.legalName = !stored || stored->naturalPerson || !CompanyInclusion::isBrazil(stored->nomePais);
    return locks;
}

std::optional<NewCompany> load(Database &db, const CompanyKey &key)
{
    const CompanyDetails d = CompanyDetails::load(db, key.codigoPais, key.idEmpresa);
    if (!d.found)
        return std::nullopt;
    NewCompany c;
    c.codigoPais = d.codigoPais;
    c.nomePais = countryName(db, d.codigoPais);
    c.naturalPerson = d.isNaturalPerson();
    c.taxId = c.naturalPerson ? d.cpf : d.cgc;
    c.name = c.naturalPerson ? d.nomPessoaFisica : d.razSocialEmp;
    c.nomFantasia = d.nomFantasia;
    c.endLogr = d.endLogr;
    c.endNum = d.endNum;
    c.endCompl = d.endCompl;
    c.endCep = d.endCep;
    c.endBairro = d.endBairro;
    c.endCidade = d.endCidade;
    c.siglaUf = d.siglaUf;
    c.telefone = d.telefone;
    c.fax = d.fax;
    c.email = d.email;
    return c;
}

std::optional<CompanyKey> save(Database &db, Messenger &m, const NewCompany &typed,
                               const std::optional<CompanyKey> &editing, const QString &userCode,
                               CompanyInclusion::Field *refusedField)
{
    using CompanyInclusion::Field;
    NewCompany c = typed;
    c.nomePais = c.codigoPais.isEmpty() ? QString() : countryName(db, c.codigoPais);
    std::optional<NewCompany> stored;
    if (editing) {
        stored = load(db, *editing);
        if (!stored)
            throw AppError(QStringLiteral("A empresa não está mais cadastrada."));
        // What certificates refer to stays as it is, whatever reached here.
        const Locks locks = editLocks(db, *editing);
        c.naturalPerson = stored->naturalPerson;
        if (locks.country) {
            c.codigoPais = stored->codigoPais;
            c.nomePais = stored->nomePais;
        }
        if (locks.taxId)
            c.taxId = stored->taxId;
        if (locks.legalName && !c.naturalPerson)
            c.name = stored->name;
    }
    if (!CompanyInclusion::check(m, c, refusedField))
        return std::nullopt;

    // The stored key stays unless what it is derived from was retyped: a
    // company imported under a key of its own keeps it.
    CompanyKey key = CompanyInclusion::keyOf(c);
    if (stored) {
        const CompanyKey before = CompanyInclusion::keyOf(*stored);
        if (before.codigoPais == key.codigoPais && before.idEmpresa == key.idEmpresa)
            key = *editing;
    }
    const bool keyChanged = editing && (key.codigoPais != editing->codigoPais || key.idEmpresa != editing->idEmpresa);
    ExistenceCheck::Key probe;
    probe.codigoPais = key.codigoPais;
    probe.idEmpresa = key.idEmpresa;
    if ((!editing || !sameKey(key, *editing)) && ExistenceCheck::exists(db, QStringLiteral("EMPRESA"), probe)) {
        m.error(JaExiste, QStringLiteral("Erro de chave duplicada"));
        if (refusedField)
            *refusedField = c.naturalPerson || CompanyInclusion::isBrazil(c.nomePais) ? Field::TaxId : Field::Name;
        return std::nullopt;
    }
    QVariantList values = CompanyInclusion::columnValues(c);
    values[0] = key.codigoPais;
    values[1] = key.idEmpresa;
    if (stored) {
        QVariantList before = CompanyInclusion::columnValues(*stored);
        before[0] = editing->codigoPais;
        before[1] = editing->idEmpresa;
        // Nothing typed differs from the row: no write, no certificate loses its approval.
        if (values == before)
            return key;
    }

    KeyedTable::Write write;
    write.columns = CompanyInclusion::columns();
    write.values = values;
    if (editing)
        write.editing = keyValues(*editing);
    write.userCode = userCode;
    write.duplicate = QStringLiteral("Esta empresa já existe !!! Cancele a inclusão...");
    // Rows that name the company would be left pointing at nothing.
    write.mayWrite = [&] {
        if (!keyChanged || !keyIsHeld(db, *editing))
            return true;
        m.error(ChaveEmUso, SaveCaption);
        if (refusedField)
            *refusedField = c.naturalPerson || CompanyInclusion::isBrazil(c.nomePais) ? Field::TaxId : Field::Name;
        return false;
    };
    write.changed = [&] { return certificatesOf(db, key); };
    write.justification = JustificativaAlteracao;
    if (!KeyedTable::write(db, m, Empresa, write))
        return std::nullopt;
    return key;
}

bool remove(Database &db, Messenger &m, const CompanyKey &key)
{
    return KeyedTable::remove(db, m, Empresa, keyValues(key),
                              {ConfirmaExclusao, Relacionado, QStringLiteral("Erro de exclusão")},
                              [&] { return isUsed(db, key); });
}

}
