#include "reports/certificatemirror.h"

#include "base/taxid.h"
#include "db/database.h"
#include "db/dberror.h"
#include "reports/certificateselection.h"
#include "reports/reportformat.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <optional>

using ReportFormat::text;

namespace {

using Fields = QList<QPair<QString, QString>>;
namespace F = ReportFormat;

// Details under a table row sit a little to the right of it.
constexpr qreal DetailIndent = 8;


const QString CompaniesSql = QStringLiteral(
    "select a.StatusEmpresa, a.DthEntEmpresa, b.*, c.PapelEmp, d.NomePais "
    "from EMP_CERT a, EMPRESA b, PAPEL_EMP c, PAIS d "
    "where a.IdPapelEmp = c.IdPapelEmp and b.CodigoPais = d.CodigoPais and a.CodigoPais = b.CodigoPais "
    "and a.IdEmpresa = b.IdEmpresa and a.SiglaCertificador = ? and a.NumCertif = ? "
    "order by a.DthEntEmpresa, b.CodigoPais, b.IdEmpresa");

// The company's types, units and lots, with the product's code and
// description when the product table has them.
const QString ProductsSql = QStringLiteral(
    "select X.*, P.CodEANUPC, P.DescrProd from ("
    " select 'TIPO' as Tipo_Produto, '' as Numero_Produto, T.StatusProduto as Status, T.DthEntCertif,"
    "  T.MarcaProd, T.ModeloProd, T.Importado, null as QuantLote, null as DataFabrLote, null as DataValLote,"
    "  null as NumProfInvoice, null as LocalInstalacao, null as EndBairro, null as EndCidade, null as SiglaUF,"
    "  null as EndCEP, null as Observacoes"
    " from TIPO T where T.SiglaCertificador = ? and T.NumCertif = ? and T.CodigoPais = ? and T.IdEmpresa = ?"
    " union all"
    " select 'UNIDADE', U.NumSerieProd, U.StatusUnidade, U.DthEntCertif, U.MarcaProd, U.ModeloProd, U.Importado,"
    "  null, null, null, null, U.LocalInstalacao, U.EndBairro, U.EndCidade, U.SiglaUF, U.EndCEP, U.Observacoes"
    " from UNIDADE U where U.SiglaCertificador = ? and U.NumCertif = ? and U.CodigoPais = ? and U.IdEmpresa = ?"
    " union all"
    " select 'LOTE', L.NumLote, L.StatusLote, L.DthEntCertif, L.MarcaProd, L.ModeloProd, L.Importado,"
    "  L.QuantLote, L.DataFabrLote, L.DataValLote, L.NumProfInvoice, null, null, null, null, null, null"
    " from LOTE L where L.SiglaCertificador = ? and L.NumCertif = ? and L.CodigoPais = ? and L.IdEmpresa = ?"
    ") X left join PRODUTO P on P.MarcaProd = X.MarcaProd and P.ModeloProd = X.ModeloProd "
    "and P.Importado = X.Importado "
    "order by X.MarcaProd, X.ModeloProd, X.Importado, X.Tipo_Produto, X.Numero_Produto");

const QString ServicesSql = QStringLiteral(
    "select CS.NomClasseServ, S.StatusServico, S.DthEntCertif, S.Observacoes, E.TipoPessoa, E.CGC, E.CPF,"
    " E.RazSocialEmp, E.NomPessoaFisica, P.NomePais "
    "from SERVICO S, EMPRESA E, PAIS P, CLASSE_S CS "
    "where E.CodigoPais = S.CodigoPais and E.IdEmpresa = S.IdEmpresa and P.CodigoPais = S.CodigoPais "
    "and CS.IdClasseServ = S.IdClasseServ and S.SiglaCertificador = ? and S.NumCertif = ? "
    "order by CS.NomClasseServ, E.RazSocialEmp, E.NomPessoaFisica");

QString documentsSql()
{
    // `item` names the product, lot, unit or service a document is attached
    // to, so equal titles on different items can be told apart.
    struct Link
    {
        const char *label, *table, *docs, *classColumn, *entry, *status, *item;
    };
    const char *product = "X.MarcaProd || ' / ' || X.ModeloProd";
    const QByteArray lot = QByteArray(product) + " || ' - ' || X.NumLote";
    const QByteArray unit = QByteArray(product) + " || ' - ' || X.NumSerieProd";
    const Link links[] = {
        {"Geral por Produto", "DOC_NORM_CERT_PRODUTO", "DOC_NORMATIVOS", "IdClasseProd", "DthEntDNCP", "Status_DNCP",
         "''"},
        {"Geral por Serviço", "DOC_NORM_CERT_SERVICO", "DOC_NORMATIVOS_SERV", "IdClasseServ", "DthEntDNCS",
         "Status_DNCS", "''"},
        {"Tipo", "DOC_NORM_TIPO", "DOC_NORMATIVOS", "IdClasseProd", "DthEntDNT", "Status_DNT", product},
        {"Unidade", "DOC_NORM_UNIDADE", "DOC_NORMATIVOS", "IdClasseProd", "DthEntDNU", "Status_DNU", unit.constData()},
        {"Lote", "DOC_NORM_LOTE", "DOC_NORMATIVOS", "IdClasseProd", "DthEntDNL", "Status_DNL", lot.constData()},
        {"Serviço", "DOC_NORM_SERV", "DOC_NORMATIVOS_SERV", "IdClasseServ", "DthEntDNS", "Status_DNS",
         "(select NomClasseServ from CLASSE_S C where C.IdClasseServ = X.IdClasseServ)"},
    };
    QStringList parts;
    for (const Link &l : links)
        parts << QStringLiteral("select '%1' as Tipo, D.NomeTitulo, X.%5 as DataEntrada, X.%6 as Status, %7 as Item "
                                "from %2 X, %3 D where D.IdClasseCertif = X.IdClasseCertif and D.%4 = X.%4 "
                                "and D.IdDocNorm = X.IdDocNorm and X.SiglaCertificador = ? and X.NumCertif = ?")
                     .arg(QString::fromUtf8(l.label), QLatin1String(l.table), QLatin1String(l.docs),
                          QLatin1String(l.classColumn), QLatin1String(l.entry), QLatin1String(l.status),
                          QString::fromUtf8(l.item));
    return parts.join(QStringLiteral(" union all ")) + QStringLiteral(" order by 2, 1, 5");
}

struct Events
{
    const char *table, *moment, *label;
    // The item the events belong to and the key columns it shares with
    // them besides the certificate's; none for events keyed by certificate.
    const char *item = nullptr, *itemKey = nullptr;
};

// The keys of unit, lot and service events begin with the item's number,
// so their indexes cannot find a certificate's events: a walk of the whole
// table for every certificate, growing with the register. Reached through
// the items, which are keyed by certificate, the walk is an index search.
const Events EventTables[] = {
    {"STATUS_C", "DthStatusCertificado", "Certificados"},
    {"EVENTO_EMP", "DthStatusEmpresa", "Emp. Envolvidas"},
    {"STATUS_T", "DthStatusProduto", "Produto"},
    {"STATUS_U", "DthStatusUnidade", "Unidade", "UNIDADE", "NumSerieProd MarcaProd ModeloProd Importado"},
    {"STATUS_L", "DthStatus_L", "Lote", "LOTE", "NumLote MarcaProd ModeloProd Importado"},
    {"STATUS_S", "DthStatusServico", "Serviço", "SERVICO", "IdClasseServ CodigoPais IdEmpresa"},
};

// " and X.<c> = P.<c>" for the certificate's and the item's key columns.
QString itemJoin(const Events &e)
{
    QString join;
    const QStringList columns = QStringList{QStringLiteral("SiglaCertificador"), QStringLiteral("NumCertif")} +
        QString::fromLatin1(e.itemKey).split(QLatin1Char(' '));
    for (const QString &column : columns)
        join += QStringLiteral(" and X.%1 = P.%1").arg(column);
    return join;
}

// throughItems: events found through their items (exact only when every
// event has its item, see eventsHaveTheirItems).
QString logSql(bool throughItems)
{
    QStringList parts;
    for (const Events &e : EventTables) {
        const bool viaItem = throughItems && e.item;
        const QString from = viaItem
            ? QStringLiteral("from %1 P, %2 X where P.SiglaCertificador = ? and P.NumCertif = ?")
                    .arg(QLatin1String(e.item), QLatin1String(e.table)) +
                itemJoin(e)
            : QStringLiteral("from %1 X where X.SiglaCertificador = ? and X.NumCertif = ?").arg(QLatin1String(e.table));
        parts << QStringLiteral("select X.%1 as DataEvento, X.Evento, X.Justificativa, X.HistoricoSis,"
                                " X.DthUltAtualiz, X.SeqEvento, '%2' as Referente ")
                     .arg(QLatin1String(e.moment), QString::fromUtf8(e.label)) +
                from;
    }
    return parts.join(QStringLiteral(" union all ")) + QStringLiteral(" order by DthUltAtualiz, SeqEvento");
}

// Whether every unit, lot and service event still has its item; one walk of
// each event table a report.
bool eventsHaveTheirItems(Database &db)
{
    for (const Events &e : EventTables) {
        if (!e.item)
            continue;
        const QString orphan = QStringLiteral("select 1 from %1 X where not exists (select 1 from %2 P where 1 = 1")
                                   .arg(QLatin1String(e.table), QLatin1String(e.item)) +
            itemJoin(e) + QStringLiteral(") limit 1");
        if (db.exec(orphan).next())
            return false;
    }
    return true;
}

QVariantList repeated(const QVariantList &values, int times)
{
    QVariantList out;
    for (int i = 0; i < times; ++i)
        out += values;
    return out;
}

// A statement compiled on its first run and run again with new values for
// every certificate: compiling the unions anew each time cost more than
// running them. The values are keys (texts), bound as Database::exec binds
// them.
class Rerun
{
public:
    Rerun(Database &db, const QString &sql)
        : m_db(db),
          m_sql(sql)
    { }

    QSqlQuery &run(const QVariantList &params)
    {
        if (!m_query) {
            m_query = m_db.exec(m_sql, params);
            return *m_query;
        }
        for (int i = 0; i < params.size(); ++i)
            m_query->bindValue(i, params.at(i));
        if (!m_query->exec())
            throw DbError(m_query->lastError());
        return *m_query;
    }

private:
    Database &m_db;
    QString m_sql;
    std::optional<QSqlQuery> m_query;
};

class MirrorWriter
{
public:
    MirrorWriter(Database &db, BandedReport &report, bool withLog)
        : m_r(report),
          m_companies(db, CompaniesSql),
          m_products(db, ProductsSql),
          m_services(db, ServicesSql),
          m_documents(db, documentsSql()),
          m_log(db, logSql(withLog && eventsHaveTheirItems(db)))
    { }

    void certificate(const QSqlQuery &c, bool withLog)
    {
        m_key = {c.value(QStringLiteral("SiglaCertificador")), c.value(QStringLiteral("NumCertif"))};
        general(c);
        companies();
        services();
        documents();
        if (withLog)
            log();
    }

private:
    // The same few moments (a certificate's entry dates) come back row after
    // row; reading one builds a local date-time, the costliest step of a row.
    QString date(const QVariant &stored)
    {
        if (stored.typeId() != QMetaType::QString)
            return F::date(stored);
        const QString key = stored.toString();
        auto it = m_dates.constFind(key);
        if (it != m_dates.constEnd())
            return *it;
        if (m_dates.size() >= 4096)
            m_dates.clear();
        return *m_dates.insert(key, F::date(stored));
    }

    void general(const QSqlQuery &c)
    {
        m_r.addSection(QStringLiteral("Dados Gerais"));
        m_r.addFields({{QStringLiteral("Sigla Certificador:"), text(c, "SiglaCertificador")},
                       {QStringLiteral("Nº Certificado:"), text(c, "NumCertif")},
                       {QStringLiteral("Status Certificado:"), F::status(text(c, "StatusCertificado"))},
                       {QStringLiteral("Data Emissão:"), date(c.value(QStringLiteral("DataEmissao")))},
                       {QStringLiteral("Data Validade:"), date(c.value(QStringLiteral("DataValid")))},
                       {QStringLiteral("Classe do Certificado"), text(c, "NomClasseCertif")},
                       {QStringLiteral("Classe de Produto"), text(c, "NomClasseProd")},
                       {QStringLiteral("Signatários"), text(c, "Signatarios")},
                       {QStringLiteral("Lab. Ensaio"), text(c, "LabEnsaio")},
                       {QStringLiteral("Num. Rel. Ensaio"), text(c, "NumRelEnsaio")}});
    }

    static QString address(const QSqlQuery &q)
    {
        return F::Joiner()
            .add(QString(), text(q, "EndLogr"))
            .add(QStringLiteral(", "), text(q, "EndNum"))
            .add(QStringLiteral("/"), text(q, "EndCompl"))
            .add(QStringLiteral("   "), text(q, "EndBairro"))
            .add(QStringLiteral("  CEP "), text(q, "EndCEP"))
            .add(QStringLiteral(" - "), text(q, "EndCidade"))
            .add(QStringLiteral(", "), text(q, "SiglaUF"))
            .add(QStringLiteral(" - Tel: "), text(q, "Telefone"))
            .add(QStringLiteral("  Fax: "), text(q, "Fax"))
            .add(QStringLiteral("  Email: "), text(q, "Email"))
            .text();
    }

    static bool naturalPerson(const QSqlQuery &q) { return text(q, "TipoPessoa") == QLatin1String("2"); }
    static QString identifier(const QSqlQuery &q)
    {
        return naturalPerson(q) ? TaxId::cpfDisplay(text(q, "CPF")) : TaxId::cnpjMask(text(q, "CGC"), true);
    }
    static QString name(const QSqlQuery &q)
    {
        return naturalPerson(q) ? text(q, "NomPessoaFisica") : text(q, "RazSocialEmp");
    }

    void companies()
    {
        QSqlQuery &q = m_companies.run(m_key);
        bool first = true;
        while (q.next()) {
            if (first)
                m_r.addSection(QStringLiteral("Empresas Certificadas"));
            else
                m_r.addSpacer(2);
            first = false;
            m_r.addFields({{QStringLiteral("País"), text(q, "NomePais")},
                           {QStringLiteral("CNPJ/CPF"), identifier(q)},
                           {QStringLiteral("Razão Social/Nome Pessoa Física"), name(q)},
                           {QStringLiteral("Nome Fantasia"), text(q, "NomFantasia")},
                           {QStringLiteral("Papel da Empresa"), text(q, "PapelEmp")},
                           {QStringLiteral("Status"), F::status(text(q, "StatusEmpresa"))},
                           {QStringLiteral("Endereço:"), address(q)},
                           {QStringLiteral("Dt Ent no Certificado"), date(q.value(QStringLiteral("DthEntEmpresa")))}});
            products(q.value(QStringLiteral("CodigoPais")), q.value(QStringLiteral("IdEmpresa")));
        }
    }

    static QString installationPlace(const QSqlQuery &q)
    {
        return F::Joiner()
            .add(QString(), text(q, "LocalInstalacao"))
            .add(QStringLiteral(", "), text(q, "EndBairro"))
            .add(QStringLiteral(", "), text(q, "EndCidade"))
            .add(QStringLiteral(" - "), text(q, "SiglaUF"))
            .add(QStringLiteral(" CEP: "), text(q, "EndCEP"))
            .text();
    }

    void products(const QVariant &country, const QVariant &company)
    {
        QSqlQuery &q = m_products.run(repeated(m_key + QVariantList{country, company}, 3));
        bool first = true;
        while (q.next()) {
            if (first) {
                m_r.addGroupHeader(QStringLiteral("Produtos Certificados"));
                m_r.setColumns({{QStringLiteral("Marca / Modelo"), 4.2},
                                {QStringLiteral("Código EANUPC"), 2},
                                {QStringLiteral("Importado"), 1.1, Qt::AlignHCenter},
                                {QStringLiteral("Dt Ent no Certificado"), 1.9, Qt::AlignHCenter},
                                {QStringLiteral("Status"), 1.2}});
                first = false;
            }
            m_r.addRow({text(q, "MarcaProd") + QStringLiteral(" / ") + text(q, "ModeloProd"), text(q, "CodEANUPC"),
                        F::imported(q.value(QStringLiteral("Importado"))),
                        date(q.value(QStringLiteral("DthEntCertif"))), F::status(text(q, "Status"))});
            Fields details;
            const QString kind = text(q, "Tipo_Produto");
            if (kind == QLatin1String("LOTE"))
                details << qMakePair(QStringLiteral("Nº. Lote:"), text(q, "Numero_Produto"))
                        << qMakePair(QStringLiteral("Qtd. Lote:"), text(q, "QuantLote"))
                        << qMakePair(QStringLiteral("Dt. Fabricação:"), date(q.value(QStringLiteral("DataFabrLote"))))
                        << qMakePair(QStringLiteral("Dt. Validade:"), date(q.value(QStringLiteral("DataValLote"))))
                        << qMakePair(QStringLiteral("Proforma Invoice:"), text(q, "NumProfInvoice"));
            else if (kind == QLatin1String("UNIDADE"))
                details << qMakePair(QStringLiteral("Nº. Série:"), text(q, "Numero_Produto"))
                        << qMakePair(QStringLiteral("Local Instalação:"), installationPlace(q))
                        << qMakePair(QStringLiteral("Observações"), text(q, "Observacoes"));
            const QString description = text(q, "DescrProd");
            if (!description.isEmpty())
                details << qMakePair(QStringLiteral("Descrição do Produto:"), description);
            if (!details.isEmpty())
                m_r.addFields(details, DetailIndent);
        }
        if (!first)
            m_r.endColumns();
    }

    void services()
    {
        QSqlQuery &q = m_services.run(m_key);
        bool first = true;
        while (q.next()) {
            if (first) {
                m_r.addSection(QStringLiteral("Serviços Certificados"));
                m_r.setColumns({{QStringLiteral("Classe do Serviço"), 3},
                                {QStringLiteral("Razão Social da Empresa"), 3.4},
                                {QStringLiteral("CNPJ"), 2},
                                {QStringLiteral("Status"), 1.1}});
                first = false;
            }
            m_r.addRow({text(q, "NomClasseServ"), name(q), identifier(q), F::status(text(q, "StatusServico"))});
            m_r.addFields({{QStringLiteral("País"), text(q, "NomePais")},
                           {QStringLiteral("Dt Ent no Certificado"), date(q.value(QStringLiteral("DthEntCertif")))},
                           {QStringLiteral("Observações"), text(q, "Observacoes")}},
                          DetailIndent);
        }
        if (!first)
            m_r.endColumns();
    }

    void documents()
    {
        QSqlQuery &q = m_documents.run(repeated(m_key, 6));
        bool first = true;
        while (q.next()) {
            if (first) {
                m_r.addSection(QStringLiteral("Documentos Normativos"));
                m_r.setColumns({{QStringLiteral("Titulo Documento"), 3.6},
                                {QStringLiteral("Tipo"), 2.9},
                                {QStringLiteral("Data de Entrada"), 1.5, Qt::AlignHCenter},
                                {QStringLiteral("Status"), 1.2}});
                first = false;
            }
            const QString item = text(q, "Item");
            m_r.addRow({text(q, "NomeTitulo"),
                        item.isEmpty() ? text(q, "Tipo") : text(q, "Tipo") + QLatin1Char('\n') + item,
                        date(q.value(QStringLiteral("DataEntrada"))), F::status(text(q, "Status"))});
        }
        if (!first)
            m_r.endColumns();
    }

    void log()
    {
        QSqlQuery &q = m_log.run(repeated(m_key, 6));
        bool first = true;
        while (q.next()) {
            if (first) {
                m_r.addSection(QStringLiteral("Log de Eventos"));
                m_r.setColumns({{QStringLiteral("Data Evento"), 1.3, Qt::AlignHCenter},
                                {QStringLiteral("Evento"), 1.6},
                                {QStringLiteral("Justificativa"), 3.6},
                                {QStringLiteral("Fonte"), 1},
                                {QStringLiteral("Data Registro no Sistema"), 1.5, Qt::AlignHCenter},
                                {QStringLiteral("Referente a"), 1.5}});
                first = false;
            }
            m_r.addRow({date(q.value(QStringLiteral("DataEvento"))), F::event(text(q, "Evento")),
                        text(q, "Justificativa"), F::origin(text(q, "HistoricoSis")),
                        date(q.value(QStringLiteral("DthUltAtualiz"))), text(q, "Referente")});
        }
        if (!first)
            m_r.endColumns();
    }

    BandedReport &m_r;
    QVariantList m_key;
    Rerun m_companies, m_products, m_services, m_documents, m_log;
    QHash<QString, QString> m_dates;
};

}

QString CertificateMirrorReport::title()
{
    return QStringLiteral("Espelho dos Certificados com Log de Evento");
}

BandedReport CertificateMirrorReport::header(const CertificateFilter &filter, const QString &userName)
{
    BandedReport report(title());
    report.setUserName(userName);
    report.addHeaderLine(CertificateSelection::description(filter));
    return report;
}

int CertificateMirrorReport::write(Database &db, const CertificateFilter &filter, bool withLog, BandedReport &report,
                                   int offset, int limit)
{
    CertificateSelection::Statement s = CertificateSelection::build(filter);
    if (offset > 0 || limit >= 0) {
        s.sql += QStringLiteral(" limit ? offset ?");
        s.params << (limit >= 0 ? limit : -1) << qMax(0, offset);
    }
    QSqlQuery certificates = db.exec(s.sql, s.params);
    MirrorWriter writer(db, report, withLog);
    int written = 0;
    while (certificates.next()) {
        if (written > 0)
            report.addPageBreak();
        ++written;
        writer.certificate(certificates, withLog);
    }
    return written;
}

BandedReport CertificateMirrorReport::build(Database &db, const CertificateFilter &filter, bool withLog,
                                            const QString &userName)
{
    BandedReport report = header(filter, userName);
    write(db, filter, withLog, report);
    return report;
}

bool CertificateMirrorReport::exportPdf(Database &db, const CertificateFilter &filter, bool withLog,
                                        const QString &userName, const QString &path, QString *why)
{
    BandedReport report = header(filter, userName);
    return report.exportPdfStreamed(
        path, [&](BandedReport &into) { write(db, filter, withLog, into); }, why);
}

CertificateMirrorPages::CertificateMirrorPages(Database &db, const CertificateFilter &filter, bool withLog,
                                               const QString &userName, int blockSize)
    : m_db(db),
      m_filter(filter),
      m_withLog(withLog),
      m_userName(userName),
      m_blockSize(qMax(1, blockSize)),
      m_count(CertificateSelection::count(db, filter))
{ }

int CertificateMirrorPages::blockCount() const
{
    return qMax(1, (m_count + m_blockSize - 1) / m_blockSize);
}

QString CertificateMirrorPages::blockLabel(int block) const
{
    const int first = block * m_blockSize;
    const int last = qMin(m_count, first + m_blockSize);
    return QStringLiteral("Certificados %1 a %2 de %3")
        .arg(CertificateSelection::countText(qMin(first + 1, last)), CertificateSelection::countText(last),
             CertificateSelection::countText(m_count));
}

int CertificateMirrorPages::renderBlock(int block, QPagedPaintDevice &device, int firstPage)
{
    BandedReport report = CertificateMirrorReport::header(m_filter, m_userName);
    return report.renderStreamed(
        device,
        [&](BandedReport &into) {
            CertificateMirrorReport::write(m_db, m_filter, m_withLog, into, block * m_blockSize, m_blockSize);
        },
        firstPage);
}

int CertificateMirrorPages::render(QPagedPaintDevice &device)
{
    BandedReport report = CertificateMirrorReport::header(m_filter, m_userName);
    return report.renderStreamed(
        device, [&](BandedReport &into) { CertificateMirrorReport::write(m_db, m_filter, m_withLog, into); });
}

bool CertificateMirrorPages::exportPdf(const QString &path, QString *why)
{
    return CertificateMirrorReport::exportPdf(m_db, m_filter, m_withLog, m_userName, path, why);
}
