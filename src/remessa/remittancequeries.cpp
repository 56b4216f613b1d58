#include "remessa/remittancequeries.h"
#include "db/dberror.h"
#include "db/keypairset.h"
#include "db/rowidmarks.h"

namespace RemittanceQueries {
namespace {

// Names go unquoted: the server keeps them folded to lower case, and an
// unquoted name is folded the same way.
QString q(const QString &name)
{
    return name;
}

// "a.K1 = b.K1 AND a.K2 = b.K2 ..." (keys compare as the columns are declared).
QString keyEquals(const QString &a, const QString &b, const QStringList &keys)
{
    QStringList parts;
    for (const QString &k : keys)
        parts << QStringLiteral("%1.%3 = %2.%3").arg(a, b, q(k));
    return parts.join(QLatin1String(" AND "));
}

QString differs(const QString &a, const QString &b, const QStringList &columns)
{
    QStringList parts;
    for (const QString &c : columns)
        parts << QStringLiteral("%1.%3 IS DISTINCT FROM %2.%3").arg(a, b, q(c));
    return QLatin1Char('(') + parts.join(QLatin1String(" OR ")) + QLatin1Char(')');
}

const QStringList certKey{QStringLiteral("SiglaCertificador"), QStringLiteral("NumCertif")};

// The replica condition on alias a of a source row: absent (inclusion) or
// present with a difference (alteration); nothing for the complete form.
QString replicaCondition(const Entry &e, const QString &a, Kind kind)
{
    const QString rep = q(e.replica->name);
    if (kind == Kind::Inclusion)
        return QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM %1 R WHERE %2)")
            .arg(rep, keyEquals(a, QStringLiteral("R"), e.entry->key));
    if (kind == Kind::Alteration)
        return QStringLiteral(" AND EXISTS (SELECT 1 FROM %1 R WHERE %2 AND %3)")
            .arg(rep, keyEquals(a, QStringLiteral("R"), e.entry->key), differs(a, QStringLiteral("R"), e.compared));
    return QString();
}

// Approved certificates: the certificate row is probed by its key for each
// row of the outer table (CROSS JOIN keeps that order in SQLite).
QString approvedVia(const QString &outer)
{
    return QStringLiteral("C.SiglaCertificador = %1.SiglaCertificador AND C.NumCertif = %1.NumCertif AND "
                          "C.Aprovado = ?")
        .arg(outer);
}

// The approval of a row's certificate as a lookup in the run's KeyPairSet
// of approvedCertificates(), instead of a probe of CERTIFIC per row.
QString approvedInMemory(const QString &a)
{
    return QStringLiteral("%1(%2.SiglaCertificador, %2.NumCertif)").arg(QLatin1String(KeyPairSet::function()), a);
}

Statement regular(const Entry &e, Kind kind, Approval approval)
{
    const QString src = q(e.source->name);
    if (approval == Approval::InMemory) {
        if (kind == Kind::Exclusion)
            return {QStringLiteral("SELECT R.* FROM %1 R WHERE %2 AND NOT EXISTS (SELECT 1 FROM %3 S WHERE %4)")
                        .arg(q(e.replica->name), approvedInMemory(QStringLiteral("R")), src,
                             keyEquals(QStringLiteral("S"), QStringLiteral("R"), e.entry->exclusionKey)),
                    0};
        return {QStringLiteral("SELECT S.* FROM %1 S WHERE %2").arg(src, approvedInMemory(QStringLiteral("S"))) +
                    replicaCondition(e, QStringLiteral("S"), kind),
                0};
    }
    if (kind == Kind::Exclusion)
        return {QStringLiteral("SELECT R.* FROM %1 R CROSS JOIN CERTIFIC C WHERE %2 AND NOT EXISTS "
                               "(SELECT 1 FROM %3 S WHERE %4)")
                    .arg(q(e.replica->name), approvedVia(QStringLiteral("R")), src,
                         keyEquals(QStringLiteral("S"), QStringLiteral("R"), e.entry->exclusionKey)),
                1};
    return {QStringLiteral("SELECT S.* FROM %1 S CROSS JOIN CERTIFIC C WHERE %2")
                    .arg(src, approvedVia(QStringLiteral("S"))) +
                replicaCondition(e, QStringLiteral("S"), kind),
            1};
}

Statement certificate(const Entry &e, Kind kind)
{
    if (kind == Kind::Exclusion)
        // A certificate deleted here is always sent as excluded.
        return {QStringLiteral("SELECT R.* FROM %1 R WHERE NOT EXISTS (SELECT 1 FROM CERTIFIC C WHERE %2)")
                    .arg(q(e.replica->name), keyEquals(QStringLiteral("C"), QStringLiteral("R"), e.entry->key)),
                0};
    return {QStringLiteral("SELECT C.* FROM CERTIFIC C WHERE C.Aprovado = ?") +
                replicaCondition(e, QStringLiteral("C"), kind),
            1};
}

QString companyJoin(const QString &link, const QString &company)
{
    return QStringLiteral("FROM %1 EC CROSS JOIN CERTIFIC C CROSS JOIN %2 E WHERE %3 AND "
                          "E.CodigoPais = EC.CodigoPais AND E.IdEmpresa = EC.IdEmpresa")
        .arg(link, company, approvedVia(QStringLiteral("EC")));
}

Statement company(const Entry &e, Kind kind)
{
    if (kind == Kind::Exclusion)
        return {QStringLiteral("SELECT DISTINCT E.* ") +
                    companyJoin(QStringLiteral("REP_EMP_CERT"), q(e.replica->name)) +
                    QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM EMPRESA X WHERE %1)")
                        .arg(keyEquals(QStringLiteral("X"), QStringLiteral("E"), e.entry->exclusionKey)),
                1};
    // Only companies that exist: a link to a missing company is no row to send.
    return {QStringLiteral("SELECT DISTINCT E.* ") +
                companyJoin(QStringLiteral("EMP_CERT"), QStringLiteral("EMPRESA")) +
                replicaCondition(e, QStringLiteral("E"), kind),
            1};
}

QString productJoin(const QString &item, const QString &product)
{
    return QStringLiteral("FROM %1 T CROSS JOIN CERTIFIC C CROSS JOIN %2 P WHERE %3 AND "
                          "P.MarcaProd = T.MarcaProd AND P.ModeloProd = T.ModeloProd AND "
                          "P.Importado = T.Importado")
        .arg(item, product, approvedVia(QStringLiteral("T")));
}

Statement product(const Entry &e, Kind kind)
{
    if (kind == Kind::Exclusion)
        return {QStringLiteral("SELECT DISTINCT P.* ") + productJoin(QStringLiteral("REP_TIPO"), q(e.replica->name)) +
                    QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM PRODUTO X WHERE %1)")
                        .arg(keyEquals(QStringLiteral("X"), QStringLiteral("P"), e.entry->exclusionKey)),
                1};
    QStringList parts;
    for (const char *item : {"TIPO", "UNIDADE", "LOTE"})
        parts << QStringLiteral("SELECT P.* ") + productJoin(q(QLatin1String(item)), QStringLiteral("PRODUTO")) +
                replicaCondition(e, QStringLiteral("P"), kind);
    return {parts.join(QLatin1String(" UNION ")), 3};
}

Statement unscoped(const Entry &e, Kind kind)
{
    const QString src = q(e.source->name);
    if (kind == Kind::Exclusion)
        return {QStringLiteral("SELECT R.* FROM %1 R WHERE NOT EXISTS (SELECT 1 FROM %2 S WHERE %3)")
                    .arg(q(e.replica->name), src,
                         keyEquals(QStringLiteral("S"), QStringLiteral("R"), e.entry->exclusionKey)),
                0};
    QString where = replicaCondition(e, QStringLiteral("S"), kind);
    if (!where.isEmpty())
        where = QStringLiteral(" WHERE") + where.mid(4); // drop the leading " AND"
    return {QStringLiteral("SELECT S.* FROM %1 S").arg(src) + where, 0};
}

// The replica row of a source row (alias a), joined so that its absence and
// its differences can be told in the same walk; rows equal to their replica
// are dropped at once.
struct ChangeJoin
{
    QString join; // " LEFT JOIN <replica> R ON <key>"
    QString filter; // " AND (absent OR differs)"
    QString flag; // ", <1 when absent>"
};

// With mark, every replica row met is reported to the marking function
// first (it answers false, so the rows selected stay the same).
ChangeJoin changeJoin(const Entry &e, const QString &a, bool mark)
{
    const QString seen = mark ? QStringLiteral("%1(R.rowid) OR ").arg(QLatin1String(RowidMarks::function()))
                              : QString();
    // A key column of the replica is never NULL but where no row joined.
    const QString absent = QStringLiteral("R.%1 IS NULL").arg(q(e.entry->key.first()));
    return {QStringLiteral(" LEFT JOIN %1 R ON %2")
                .arg(q(e.replica->name), keyEquals(a, QStringLiteral("R"), e.entry->key)),
            QStringLiteral(" AND (%1%2 OR %3)").arg(seen, absent, differs(a, QStringLiteral("R"), e.compared)),
            QStringLiteral(", CASE WHEN %1 THEN 1 ELSE 0 END").arg(absent)};
}

Statement regularChanges(const Entry &e, bool mark, Approval approval)
{
    const ChangeJoin c = changeJoin(e, QStringLiteral("S"), mark);
    if (approval == Approval::InMemory)
        return {QStringLiteral("SELECT S.*%1 FROM %2 S%3 WHERE %4%5")
                    .arg(c.flag, q(e.source->name), c.join, approvedInMemory(QStringLiteral("S")), c.filter),
                0};
    return {QStringLiteral("SELECT S.*%1 FROM %2 S CROSS JOIN CERTIFIC C%3 WHERE %4%5")
                .arg(c.flag, q(e.source->name), c.join, approvedVia(QStringLiteral("S")), c.filter),
            1};
}

Statement certificateChanges(const Entry &e, bool mark)
{
    const ChangeJoin c = changeJoin(e, QStringLiteral("C"), mark);
    return {QStringLiteral("SELECT C.*%1 FROM CERTIFIC C%2 WHERE C.Aprovado = ?%3").arg(c.flag, c.join, c.filter), 1};
}

Statement companyChanges(const Entry &e, bool mark)
{
    const ChangeJoin c = changeJoin(e, QStringLiteral("E"), mark);
    return {QStringLiteral("SELECT DISTINCT E.*%1 FROM EMP_CERT EC CROSS JOIN CERTIFIC C CROSS JOIN EMPRESA E%2 "
                           "WHERE %3 AND E.CodigoPais = EC.CodigoPais AND E.IdEmpresa = EC.IdEmpresa%4")
                .arg(c.flag, c.join, approvedVia(QStringLiteral("EC")), c.filter),
            1};
}

Statement productChanges(const Entry &e, bool mark)
{
    const ChangeJoin c = changeJoin(e, QStringLiteral("P"), mark);
    QStringList parts;
    for (const char *item : {"TIPO", "UNIDADE", "LOTE"})
        parts << QStringLiteral("SELECT P.*%1 FROM %2 T CROSS JOIN CERTIFIC C CROSS JOIN PRODUTO P%3 WHERE %4 AND "
                                "P.MarcaProd = T.MarcaProd AND P.ModeloProd = T.ModeloProd AND "
                                "P.Importado = T.Importado%5")
                     .arg(c.flag, q(QLatin1String(item)), c.join, approvedVia(QStringLiteral("T")), c.filter);
    return {parts.join(QLatin1String(" UNION ")), 3};
}

Statement unscopedChanges(const Entry &e, bool mark)
{
    const ChangeJoin c = changeJoin(e, QStringLiteral("S"), mark);
    return {QStringLiteral("SELECT S.*%1 FROM %2 S%3 WHERE 1 = 1%4").arg(c.flag, q(e.source->name), c.join, c.filter),
            0};
}

// The file walks a table in the order its rows were written, and the delta
// tables keep that order. The server promises no order unless asked: there
// the rows come in their places in the table (the order of writing, for
// rows not rewritten since), or by key where rows are merged (DISTINCT,
// UNION), whose output has no place of its own.
Statement ordered(Statement st, const Entry &e, const QString &alias, DbEngine engine)
{
    if (engine != DbEngine::Postgres)
        return st;
    if (e.scope == Scope::Company || e.scope == Scope::Product)
        st.sql += QStringLiteral(" ORDER BY ") + e.entry->key.join(QLatin1String(", "));
    else
        st.sql += QStringLiteral(" ORDER BY %1.ctid").arg(alias);
    return st;
}

// The alias of the table whose rows a statement gives.
QString outerAlias(const Entry &e, Kind kind)
{
    if (kind == Kind::Exclusion)
        return QStringLiteral("R");
    return e.scope == Scope::Certificate ? QStringLiteral("C") : QStringLiteral("S");
}

// The replica's primary key is the entry's row key: a source row meets at
// most one replica row.
bool replicaKeyIsRowKey(const Entry &e)
{
    auto folded = [](QStringList l) {
        for (QString &s : l)
            s = s.toLower();
        l.sort();
        return l;
    };
    return !e.entry->key.isEmpty() && folded(e.replica->key) == folded(e.entry->key);
}

QList<Entry> build()
{
    const QString evs = QStringLiteral("Evento,Justificativa,HistoricoSis,");
    auto events = [&](const char *status, const char *moment) {
        return evs + QLatin1String(status) + QLatin1Char(',') + QLatin1String(moment) +
            QLatin1String(",DthUltAtualiz,UsuResp");
    };
    auto docEvents = [](const char *status, const char *moment) {
        return QStringLiteral("Justificativa,HistoricoSis,%1,%2,DthUltAtualiz,UsuResp")
            .arg(QLatin1String(status), QLatin1String(moment));
    };
    auto attach = [](const char *ent, const char *status, const char *moment) {
        return QStringLiteral("%1,%2,%3,DthUltAtualiz,UsuResp")
            .arg(QLatin1String(ent), QLatin1String(status), QLatin1String(moment));
    };
    const QList<QPair<Scope, QString>> decls = {
        {Scope::Company,
         QStringLiteral("CGC,RazSocialEmp,NomFantasia,EndLogr,EndNum,EndCompl,EndCEP,EndBairro,EndCidade,"
                        "SiglaUF,Telefone,Fax,Email,TipoPessoa,CPF,NomPessoaFisica,DthUltAtualiz,UsuResp")},
        {Scope::Regular, events("StatusEmpresa", "DthStatusEmpresa")},
        {Scope::Product, QStringLiteral("CodEANUPC,DescrProd,DthUltAtualiz,UsuResp")},
        {Scope::Certificate,
         QStringLiteral("StatusCertificado,IdClasseProd,IdClasseCertif,DataEmissao,DataValid,LabEnsaio,"
                        "NumRelEnsaio,Signatarios,Observacoes,Completo,Aprovado,DthStatusCertificado,"
                        "DthUltAtualiz,UsuResp")},
        {Scope::Regular,
         QStringLiteral("StatusEmpresa,IdPapelEmp,DthEntEmpresa,DthStatusEmpresa,DthUltAtualiz,UsuResp")},
        {Scope::Regular,
         QStringLiteral("DthEntCertif,StatusServico,DthStatusServico,Observacoes,DthUltAtualiz,UsuResp")},
        {Scope::Regular,
         QStringLiteral("CodigoPais,IdEmpresa,DthEntCertif,StatusLote,DthStatusLote,QuantLote,DataFabrLote,"
                        "DataValLote,NumProfInvoice,DthUltAtualiz,UsuResp")},
        {Scope::Regular,
         QStringLiteral("CodigoPais,IdEmpresa,LocalInstalacao,EndBairro,EndCidade,EndCEP,SiglaUF,DthEntCertif,"
                        "StatusUnidade,DthStatusUnidade,Observacoes,DthUltAtualiz,UsuResp")},
        {Scope::Regular,
         QStringLiteral("CodigoPais,IdEmpresa,DthEntCertif,StatusProduto,DthStatusProduto,DthUltAtualiz,UsuResp")},
        {Scope::Regular, events("Status_S", "DthStatusServico")},
        {Scope::Regular, events("StatusCertificado", "DthStatusCertificado")},
        {Scope::Regular, events("Status_L", "DthStatus_L")},
        {Scope::Regular, events("StatusUnidade", "DthStatusUnidade")},
        {Scope::Regular, events("StatusProduto", "DthStatusProduto")},
        {Scope::Regular, attach("DthEntDNCP", "Status_DNCP", "DthStatusDNCP")},
        {Scope::Regular, attach("DthEntDNCS", "Status_DNCS", "DthStatusDNCS")},
        {Scope::Regular, attach("DthEntDNS", "Status_DNS", "DthStatusDNS")},
        {Scope::Regular, attach("DthEntDNU", "Status_DNU", "DthStatusDNU")},
        {Scope::Regular, attach("DthEntDNL", "Status_DNL", "DthStatusDNL")},
        {Scope::Regular, attach("DthEntDNT", "Status_DNT", "DthStatusDNT")},
        {Scope::Regular, docEvents("Status_DNCS", "DthStatusDNCS")},
        {Scope::Regular, docEvents("Status_DNCP", "DthStatusDNCP")},
        {Scope::Regular, docEvents("Status_DNS", "DthStatusDNS")},
        {Scope::Regular, docEvents("Status_DNL", "DthStatusDNL")},
        {Scope::Regular, docEvents("Status_DNT", "DthStatusDNT")},
        {Scope::Regular, docEvents("Status_DNU", "DthStatusDNU")},
        {Scope::Unscoped,
         QStringLiteral("NomeOCC,DirLocalSincr,DirLocalTransf,DirLocalRecepAux,EndQueloraEnvio,EndQueloraResult,"
                        "EndQueloraOrigAux,LoginFTP,SenhaFTP,EndSMTPHost,EndSMTPPort,EndSMTPUsuario,"
                        "EndSMTPEMailReply,EndSMTPUsuReply")},
        {Scope::Unscoped, QStringLiteral("Signatario,Default_s")},
        {Scope::Unscoped,
         QStringLiteral("NomeUsu,SenhaUsu,AcConfigOCC,AcConfigDir,AcCadastraUsu,AcManBase,AcContRemessas,"
                        "AcAtualTabAux,AcAprovCertific")},
    };
    const QList<Schema::RemittanceEntry> &list = Schema::remittanceList();
    Q_ASSERT(list.size() == decls.size());
    QList<Entry> out;
    for (int i = 0; i < list.size(); ++i) {
        Entry e;
        e.entry = &list.at(i);
        e.source = Schema::table(e.entry->name);
        e.replica = Schema::table(QStringLiteral("REP_") + e.entry->name.toUpper());
        e.scope = decls.at(i).first;
        e.compared = decls.at(i).second.split(QLatin1Char(','));
        if (!e.source || !e.replica)
            throw AppError(QStringLiteral("Tabela da remessa sem declaração: %1").arg(e.entry->name));
        for (const QString &c : e.compared + e.entry->key + e.entry->exclusionKey)
            if (!e.source->field(c))
                throw AppError(QStringLiteral("Coluna %1 ausente em %2").arg(c, e.entry->name));
        out << e;
    }
    return out;
}

} // namespace

const QList<Entry> &entries()
{
    static const QList<Entry> all = build();
    return all;
}

namespace {
Statement unorderedChanges(const Entry &e, Approval approval)
{
    switch (e.scope) {
    case Scope::Regular: return regularChanges(e, false, approval);
    case Scope::Certificate: return certificateChanges(e, false);
    case Scope::Company: return companyChanges(e, false);
    case Scope::Product: return productChanges(e, false);
    case Scope::Unscoped: return unscopedChanges(e, false);
    }
    return {};
}

Statement unordered(const Entry &e, Kind kind, Approval approval)
{
    switch (e.scope) {
    case Scope::Regular: return regular(e, kind, approval);
    case Scope::Certificate: return certificate(e, kind);
    case Scope::Company: return company(e, kind);
    case Scope::Product: return product(e, kind);
    case Scope::Unscoped: return unscoped(e, kind);
    }
    return {};
}
}

Statement changes(const Entry &e, DbEngine engine, Approval approval)
{
    if (!replicaKeyIsRowKey(e))
        return {};
    return ordered(unorderedChanges(e, approval), e, outerAlias(e, Kind::Inclusion), engine);
}

bool exclusionsBySweep(const Entry &e)
{
    return replicaKeyIsRowKey(e) &&
        (e.scope == Scope::Regular || e.scope == Scope::Certificate || e.scope == Scope::Unscoped);
}

Statement markingChanges(const Entry &e, Approval approval)
{
    if (!exclusionsBySweep(e))
        return {};
    switch (e.scope) {
    case Scope::Regular: return regularChanges(e, true, approval);
    case Scope::Certificate: return certificateChanges(e, true);
    case Scope::Unscoped: return unscopedChanges(e, true);
    case Scope::Company:
    case Scope::Product: break;
    }
    return {};
}

Statement exclusionsBetween(const Entry &e, Approval approval)
{
    if (!exclusionsBySweep(e))
        return {};
    Statement st = unordered(e, Kind::Exclusion, approval);
    st.sql += QStringLiteral(" AND R.rowid BETWEEN ? AND ?");
    return st;
}

Statement approvedCertificates()
{
    return {QStringLiteral("SELECT SiglaCertificador, NumCertif FROM CERTIFIC WHERE Aprovado = ?"), 1};
}

Statement statement(const Entry &e, Kind kind, DbEngine engine, Approval approval)
{
    return ordered(unordered(e, kind, approval), e, outerAlias(e, kind), engine);
}

}
