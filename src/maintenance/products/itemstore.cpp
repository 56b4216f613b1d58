#include "maintenance/products/itemstore.h"
#include "base/moments.h"

#include "db/database.h"
#include "maintenance/products/typequeries.h"
#include "maintenance/selectionresults.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace ItemStore {
namespace {

QDateTime moment(const QVariant &v)
{
    return Moments::fromValue(v);
}
QVariant textOrNull(const QString &s)
{
    return s.trimmed().isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(s);
}
QVariant momentOrNull(const QDateTime &d)
{
    return d.isValid() ? QVariant(d) : QVariant(QMetaType(QMetaType::QDateTime));
}

using Columns = QList<std::pair<QString, QVariant>>;

// The row's columns as the table spells them, from the item.
Columns columns(ItemKind kind, const CertificateItem &i)
{
    const ItemKindInfo &k = CertificateItems::info(kind);
    const StatusEvents::ItemKey key = CertificateItems::itemKey(kind, i);
    Columns out;
    for (const QString &c : k.keyColumns)
        out.append({c, key.value(c)});
    out.append({k.statusColumn, i.status});
    out.append({k.statusDateColumn, momentOrNull(i.statusDate)});
    out.append({QStringLiteral("DthEntCertif"), momentOrNull(i.entryDate)});
    if (kind != ItemKind::Servico) {
        out.append({QStringLiteral("CodigoPais"), textOrNull(i.codigoPais)});
        out.append({QStringLiteral("IdEmpresa"), textOrNull(i.idEmpresa)});
    }
    switch (kind) {
    case ItemKind::Lote:
        out.append({QStringLiteral("QuantLote"), textOrNull(i.quantLote)});
        out.append({QStringLiteral("NumProfInvoice"), textOrNull(i.numProfInvoice)});
        out.append({QStringLiteral("DataFabrLote"), momentOrNull(i.dataFabrLote)});
        out.append({QStringLiteral("DataValLote"), momentOrNull(i.dataValLote)});
        break;
    case ItemKind::Unidade:
        out.append({QStringLiteral("LocalInstalacao"), textOrNull(i.localInstalacao)});
        out.append({QStringLiteral("EndBairro"), textOrNull(i.endBairro)});
        out.append({QStringLiteral("EndCidade"), textOrNull(i.endCidade)});
        out.append({QStringLiteral("EndCEP"), textOrNull(i.endCep)});
        out.append({QStringLiteral("SiglaUF"), textOrNull(i.siglaUF)});
        out.append({QStringLiteral("Observacoes"), textOrNull(i.observacoes)});
        break;
    case ItemKind::Servico: out.append({QStringLiteral("Observacoes"), textOrNull(i.observacoes)}); break;
    case ItemKind::Tipo: break;
    }
    out.append({QStringLiteral("DthUltAtualiz"), momentOrNull(i.dthUltAtualiz)});
    out.append({QStringLiteral("UsuResp"), textOrNull(i.usuResp)});
    return out;
}

// "k1 = ? AND k2 = ?" over the kind's key, and its values.
std::pair<QString, QVariantList> keyCondition(ItemKind kind, const CertificateItem &item, const QString &alias = {})
{
    const ItemKindInfo &k = CertificateItems::info(kind);
    const StatusEvents::ItemKey key = CertificateItems::itemKey(kind, item);
    QStringList where;
    QVariantList values;
    for (const QString &c : k.keyColumns) {
        where << alias + c + QStringLiteral(" = ?");
        values << key.value(c);
    }
    return {where.join(QStringLiteral(" AND ")), values};
}

QString text(const QSqlRecord &r, const char *name)
{
    return r.value(QLatin1String(name)).toString();
}

}

CertificateItem fromRecord(ItemKind kind, const QSqlRecord &r)
{
    const ItemKindInfo &k = CertificateItems::info(kind);
    CertificateItem i;
    i.siglaCertificador = text(r, "SiglaCertificador");
    i.numCertif = text(r, "NumCertif");
    i.marcaProd = text(r, "MarcaProd");
    i.modeloProd = text(r, "ModeloProd");
    i.importado = r.value(QStringLiteral("Importado")).toInt();
    i.numLote = text(r, "NumLote");
    i.numSerieProd = text(r, "NumSerieProd");
    i.idClasseServ = r.value(QStringLiteral("IdClasseServ")).toInt();
    i.codigoPais = text(r, "CodigoPais");
    i.idEmpresa = text(r, "IdEmpresa");
    i.status = r.value(k.statusColumn).toString();
    i.statusDate = moment(r.value(k.statusDateColumn));
    i.entryDate = moment(r.value(QStringLiteral("DthEntCertif")));
    i.quantLote = text(r, "QuantLote");
    i.numProfInvoice = text(r, "NumProfInvoice");
    i.dataFabrLote = moment(r.value(QStringLiteral("DataFabrLote")));
    i.dataValLote = moment(r.value(QStringLiteral("DataValLote")));
    i.observacoes = text(r, "Observacoes");
    i.localInstalacao = text(r, "LocalInstalacao");
    i.endBairro = text(r, "EndBairro");
    i.endCidade = text(r, "EndCidade");
    i.endCep = text(r, "EndCEP");
    i.siglaUF = text(r, "SiglaUF");
    i.dthUltAtualiz = moment(r.value(QStringLiteral("DthUltAtualiz")));
    i.usuResp = text(r, "UsuResp");
    return i;
}

SelectionSql::Statement grid(ItemKind kind, const CertificateKey &certificate)
{
    if (kind == ItemKind::Tipo)
        return TypeQueries::listStatement(certificate);
    SelectionSql::Statement s;
    s.params = {{QStringLiteral("sigla"), certificate.sigla}, {QStringLiteral("num"), certificate.numero}};
    if (kind == ItemKind::Servico) {
        s.sql = QStringLiteral("SELECT S.IdClasseServ, S.SiglaCertificador, S.NumCertif, S.CodigoPais, S.IdEmpresa, "
                               "C.NomClasseServ, E.RazSocialEmp, E.TipoPessoa, E.NomPessoaFisica "
                               "FROM SERVICO S LEFT JOIN CLASSE_S C ON S.IdClasseServ = C.IdClasseServ "
                               "LEFT JOIN EMPRESA E ON S.CodigoPais = E.CodigoPais AND S.IdEmpresa = E.IdEmpresa "
                               "WHERE S.SiglaCertificador = :sigla AND S.NumCertif = :num");
        s.orderBy = QStringLiteral(
            "ORDER BY C.NomClasseServ NULLS FIRST, E.RazSocialEmp NULLS FIRST, S.CodigoPais, S.IdEmpresa");
        return s;
    }
    const QString table = CertificateItems::info(kind).table;
    const QString number = kind == ItemKind::Lote ? QStringLiteral("NumLote") : QStringLiteral("NumSerieProd");
    s.sql = QStringLiteral("SELECT I.%1, I.SiglaCertificador, I.NumCertif, I.MarcaProd, I.ModeloProd, I.Importado, "
                           "P.CodEANUPC FROM %2 I LEFT JOIN PRODUTO P ON I.MarcaProd = P.MarcaProd AND "
                           "I.ModeloProd = P.ModeloProd AND I.Importado = P.Importado "
                           "WHERE I.SiglaCertificador = :sigla AND I.NumCertif = :num")
                .arg(number, table);
    s.orderBy = QStringLiteral("ORDER BY I.MarcaProd, I.ModeloProd, I.Importado, I.%1").arg(number);
    return s;
}

std::optional<CertificateItem> load(const Database &db, ItemKind kind, const CertificateItem &key)
{
    if (kind == ItemKind::Tipo)
        return TypeQueries(db).find(key.certificate(), key.marcaProd, key.modeloProd, key.importado);
    const auto [where, values] = keyCondition(kind, key, QStringLiteral("I."));
    const QString extra = kind == ItemKind::Servico
        ? QStringLiteral(", C.NomClasseServ FROM SERVICO I LEFT JOIN CLASSE_S C ON "
                         "I.IdClasseServ = C.IdClasseServ")
        : QStringLiteral(", P.CodEANUPC, P.DescrProd FROM %1 I LEFT JOIN PRODUTO P ON "
                         "I.MarcaProd = P.MarcaProd AND I.ModeloProd = P.ModeloProd AND "
                         "I.Importado = P.Importado")
              .arg(CertificateItems::info(kind).table);
    QSqlQuery q = db.exec(QStringLiteral("SELECT I.*, E.TipoPessoa, E.RazSocialEmp, E.NomPessoaFisica, E.CGC, E.CPF") +
                              extra +
                              QStringLiteral(" LEFT JOIN EMPRESA E ON I.CodigoPais = E.CodigoPais AND "
                                             "I.IdEmpresa = E.IdEmpresa WHERE ") +
                              where,
                          values);
    if (!q.next())
        return std::nullopt;
    const QSqlRecord r = q.record();
    CertificateItem item = fromRecord(kind, r);
    item.codEanUpc = text(r, "CodEANUPC");
    item.descrProd = text(r, "DescrProd");
    item.nomClasseServ = text(r, "NomClasseServ");
    SelectedCompany company;
    company.tipoPessoa = text(r, "TipoPessoa");
    company.razSocialEmp = text(r, "RazSocialEmp");
    company.nomPessoaFisica = text(r, "NomPessoaFisica");
    company.cgc = text(r, "CGC");
    company.cpf = text(r, "CPF");
    if (item.hasCompany()) {
        item.companyName = company.displayName();
        item.companyTaxId = company.displayId();
    }
    return item;
}

void insert(const Database &db, ItemKind kind, const CertificateItem &item)
{
    QStringList names, marks;
    QVariantList values;
    for (const auto &[name, value] : columns(kind, item)) {
        names << name;
        marks << QStringLiteral("?");
        values << value;
    }
    db.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(CertificateItems::info(kind).table, names.join(QStringLiteral(", ")),
                        marks.join(QStringLiteral(", "))),
               values);
}

void update(const Database &db, ItemKind kind, const CertificateItem &oldKey, const CertificateItem &item)
{
    QStringList sets;
    QVariantList values;
    for (const auto &[name, value] : columns(kind, item)) {
        sets << name + QStringLiteral(" = ?");
        values << value;
    }
    const auto [where, keyValues] = keyCondition(kind, oldKey);
    db.execute(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                   .arg(CertificateItems::info(kind).table, sets.join(QStringLiteral(", ")), where),
               values + keyValues);
}

int remove(const Database &db, ItemKind kind, const CertificateItem &key)
{
    const auto [where, values] = keyCondition(kind, key);
    return db.execute(QStringLiteral("DELETE FROM %1 WHERE %2").arg(CertificateItems::info(kind).table, where), values);
}

namespace {

// Where the normative documents of an item and their events are kept.
QStringList documentTables(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Tipo: return {QStringLiteral("DOC_NORM_TIPO"), QStringLiteral("STATUS_DNT")};
    case ItemKind::Lote: return {QStringLiteral("DOC_NORM_LOTE"), QStringLiteral("STATUS_DNL")};
    case ItemKind::Unidade: return {QStringLiteral("DOC_NORM_UNIDADE"), QStringLiteral("STATUS_DNU")};
    case ItemKind::Servico: break;
    }
    return {QStringLiteral("DOC_NORM_SERV"), QStringLiteral("STATUS_DNS")};
}

}

int moveDocuments(const Database &db, ItemKind kind, const CertificateItem &oldKey, const CertificateItem &newKey)
{
    const StatusEvents::ItemKey key = CertificateItems::itemKey(kind, newKey);
    QStringList sets;
    QVariantList values;
    for (const QString &c : CertificateItems::info(kind).keyColumns) {
        sets << c + QStringLiteral(" = ?");
        values << key.value(c);
    }
    const auto [where, oldValues] = keyCondition(kind, oldKey);
    int rows = 0;
    for (const QString &table : documentTables(kind))
        rows += db.execute(
            QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(table, sets.join(QStringLiteral(", ")), where),
            values + oldValues);
    return rows;
}

int removeDocuments(const Database &db, ItemKind kind, const CertificateItem &key)
{
    const auto [where, values] = keyCondition(kind, key);
    int rows = 0;
    for (const QString &table : documentTables(kind))
        rows += db.execute(QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, where), values);
    return rows;
}

QStringList serviceDocuments(const Database &db, const CertificateItem &service)
{
    const auto [where, values] = keyCondition(ItemKind::Servico, service, QStringLiteral("L."));
    QSqlQuery q = db.exec(QStringLiteral("SELECT DISTINCT L.IdDocNorm, D.NomeTitulo FROM DOC_NORM_SERV L "
                                         "LEFT JOIN DOC_NORMATIVOS_SERV D ON D.IdClasseCertif = L.IdClasseCertif "
                                         "AND D.IdClasseServ = L.IdClasseServ AND D.IdDocNorm = L.IdDocNorm "
                                         "WHERE %1 ORDER BY L.IdDocNorm")
                              .arg(where),
                          values);
    QStringList out;
    while (q.next()) {
        const QString title = q.value(1).toString().trimmed();
        out << (title.isEmpty() ? q.value(0).toString() : q.value(0).toString() + QStringLiteral(" - ") + title);
    }
    return out;
}

int setStatus(const Database &db, ItemKind kind, const CertificateItem &key, const QString &letter,
              const QDateTime &statusDate, const QString &user)
{
    const ItemKindInfo &k = CertificateItems::info(kind);
    const auto [where, values] = keyCondition(kind, key);
    return db.execute(QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, DthUltAtualiz = ?, UsuResp = ? WHERE %4")
                          .arg(k.table, k.statusColumn, k.statusDateColumn, where),
                      QVariantList{letter, statusDate, QDateTime::currentDateTime(), user} + values);
}

void describeCompany(const Database &db, CertificateItem &item)
{
    item.companyName.clear();
    item.companyTaxId.clear();
    QSqlQuery q = db.exec(QStringLiteral("SELECT TipoPessoa, RazSocialEmp, NomPessoaFisica, CGC, CPF FROM EMPRESA "
                                         "WHERE CodigoPais = ? AND IdEmpresa = ?"),
                          {item.codigoPais, item.idEmpresa});
    if (!q.next())
        return;
    SelectedCompany company;
    company.tipoPessoa = q.value(0).toString();
    company.razSocialEmp = q.value(1).toString();
    company.nomPessoaFisica = q.value(2).toString();
    company.cgc = q.value(3).toString();
    company.cpf = q.value(4).toString();
    item.companyName = company.displayName();
    item.companyTaxId = company.displayId();
}

bool hasAny(const Database &db, ItemKind kind, const CertificateKey &certificate)
{
    return db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1 WHERE SiglaCertificador = ? AND NumCertif = ?)")
                         .arg(CertificateItems::info(kind).table),
                     {certificate.sigla, certificate.numero})
               .toInt() > 0;
}

QList<LinkedCompany> linkedCompanies(const Database &db, const CertificateKey &certificate)
{
    QSqlQuery q = db.exec(
        QStringLiteral("Select  e.RazSocialEmp, e.NomPessoaFisica, e.IdEmpresa, e.CodigoPais, e.TipoPessoa "
                       "from empresa e, emp_cert ec "
                       "where e.CodigoPais = ec.CodigoPais and "
                       "e.IdEmpresa = ec.IdEmpresa and "
                       "ec.SiglaCertificador = :Sigla and "
                       "ec.NumCertif = :NumC "
                       "order by e.TipoPessoa NULLS FIRST, e.RazSocialEmp NULLS FIRST, e.NomPessoaFisica NULLS FIRST "),
        QVariantMap{{QStringLiteral("Sigla"), certificate.sigla}, {QStringLiteral("NumC"), certificate.numero}});
    QList<LinkedCompany> out;
    while (q.next()) {
        LinkedCompany c;
        c.tipoPessoa = q.value(4).toString();
        c.name = c.tipoPessoa == QLatin1String("2") ? q.value(1).toString() : q.value(0).toString();
        c.idEmpresa = q.value(2).toString();
        c.codigoPais = q.value(3).toString();
        out << c;
    }
    return out;
}

}
