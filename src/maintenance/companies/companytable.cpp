#include "maintenance/companies/companytable.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/existencecheck.h"
#include "maintenance/tables/referencechange.h"
#include "register/statusevents.h"
#include "shell/companydetails.h"

#include <QDateTime>
#include <QSqlQuery>

namespace CompanyTable {

namespace {

const QString SaveCaption = QStringLiteral("Erro de gravação");

// Every table whose rows name a company.
const char *const Referrers[] = {"EMP_CERT", "SERVICO", "TIPO", "LOTE", "UNIDADE"};
// Rows that also hold the company's key: histories, service documents and
// what the regulator accepted.
const char *const KeyHolders[] = {"EVENTO_EMP", "STATUS_S", "DOC_NORM_SERV", "STATUS_DNS", "REP_EMPRESA"};

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
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM EMPRESA WHERE CodigoPais = ? AND IdEmpresa = ?"),
                  {key.codigoPais, key.idEmpresa})
            .toInt() == 0)
        return -1;
    return db
        .scalar(QStringLiteral("SELECT COUNT(*) FROM EMPRESA WHERE (CodigoPais, IdEmpresa) < (?, ?)"),
                {key.codigoPais, key.idEmpresa})
        .toInt();
}

QList<CertificateKey> certificatesOf(const Database &db, const CompanyKey &key)
{
    QStringList selects;
    QVariantList values;
    for (const char *table : Referrers) {
        selects << QStringLiteral("SELECT SiglaCertificador, NumCertif FROM %1 WHERE CodigoPais = ? AND IdEmpresa = ?")
                       .arg(QLatin1String(table));
        values << key.codigoPais << key.idEmpresa;
    }
    QSqlQuery q = db.exec(selects.join(QStringLiteral(" UNION ")) + QStringLiteral(" ORDER BY 1, 2"), values);
    QList<CertificateKey> out;
    while (q.next()) {
        const CertificateKey k{q.value(0).toString(), q.value(1).toString()};
        if (out.isEmpty() || !out.last().sameAs(k))
            out << k;
    }
    return out;
}

namespace {

template <std::size_t N> bool namedIn(const Database &db, const CompanyKey &key, const char *const (&tables)[N])
{
    for (const char *table : tables)
        if (db.scalar(QStringLiteral("SELECT COUNT(*) AS qtregs FROM %1 WHERE CodigoPais = ? AND IdEmpresa = ?")
                          .arg(QLatin1String(table)),
                      {key.codigoPais, key.idEmpresa})
                .toInt() > 0)
            return true;
    return false;
}

}

bool isUsed(const Database &db, const CompanyKey &key)
{
    return namedIn(db, key, Referrers);
}

bool keyIsHeld(const Database &db, const CompanyKey &key)
{
    return namedIn(db, key, Referrers) || namedIn(db, key, KeyHolders);
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

    const QStringList &columns = CompanyInclusion::columns();
    const QDateTime now = QDateTime::currentDateTime();
    try {
        Transaction tx(db);
        // Rows that name the company would be left pointing at nothing.
        if (keyChanged && keyIsHeld(db, *editing)) {
            m.error(ChaveEmUso, SaveCaption);
            if (refusedField)
                *refusedField = c.naturalPerson || CompanyInclusion::isBrazil(c.nomePais) ? Field::TaxId : Field::Name;
            return std::nullopt;
        }
        if (!editing) {
            db.execute(QStringLiteral("insert into EMPRESA (%1, DthUltAtualiz, UsuResp) values (%2?, ?)")
                           .arg(columns.join(QStringLiteral(", ")), QStringLiteral("?, ").repeated(columns.size())),
                       values + QVariantList{now, userCode});
        } else {
            QStringList sets;
            for (const QString &column : columns)
                sets << column + QStringLiteral(" = ?");
            db.execute(QStringLiteral("update EMPRESA set %1, DthUltAtualiz = ?, UsuResp = ? "
                                      "where CodigoPais = ? and IdEmpresa = ?")
                           .arg(sets.join(QStringLiteral(", "))),
                       values + QVariantList{now, userCode, editing->codigoPais, editing->idEmpresa});
        }
        ReferenceChange::markChanged(db, certificatesOf(db, key), JustificativaAlteracao, userCode);
        tx.commit();
    } catch (const DbError &e) {
        if (e.endsOperation())
            throw;
        if (e.isKeyViolation())
            m.error(QStringLiteral("Esta empresa já existe !!! Cancele a inclusão..."),
                    QStringLiteral("Erro de chave duplicada"));
        else
            m.error(DbErrors::writeFailure(e,
                                           QStringLiteral("Erro genérico de gravação no Banco de Dados !!! As "
                                                          "alterações não foram efetuadas.")),
                    SaveCaption);
        return std::nullopt;
    } catch (const StatusEvents::SeqEventoEsgotado &e) {
        m.error(e.message(), SaveCaption);
        return std::nullopt;
    }
    return key;
}

bool remove(Database &db, Messenger &m, const CompanyKey &key)
{
    if (!m.confirm(ConfirmaExclusao))
        return false;
    if (isUsed(db, key)) {
        m.error(Relacionado, QStringLiteral("Erro de exclusão"));
        return false;
    }
    Transaction tx(db);
    db.execute(QStringLiteral("delete from EMPRESA where CodigoPais = ? and IdEmpresa = ?"),
               {key.codigoPais, key.idEmpresa});
    tx.commit();
    return true;
}

}
