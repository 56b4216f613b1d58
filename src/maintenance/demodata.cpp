#include "maintenance/demodata.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/provisioning.h"
#include "db/schema.h"
#include "db/tableops.h"
#include "register/statusevents.h"

namespace {

struct DemoTable
{
    const char *table;
    const char *eventTable;
    const char *status; // status column of the item
    const char *moment; // status moment column of the item
    const char *origin; // HistoricoSis of the rows the system writes for it
};

// Normative-document links are written by their own window, which marks its
// rows "02".
const DemoTable kinds[] = {
    {"CERTIFIC", "STATUS_C", "StatusCertificado", "DthStatusCertificado", "2"},
    {"EMP_CERT", "EVENTO_EMP", "StatusEmpresa", "DthStatusEmpresa", "2"},
    {"TIPO", "STATUS_T", "StatusProduto", "DthStatusProduto", "2"},
    {"LOTE", "STATUS_L", "StatusLote", "DthStatusLote", "2"},
    {"UNIDADE", "STATUS_U", "StatusUnidade", "DthStatusUnidade", "2"},
    {"SERVICO", "STATUS_S", "StatusServico", "DthStatusServico", "2"},
    {"DOC_NORM_CERT_PRODUTO", "STATUS_DNCP", "Status_DNCP", "DthStatusDNCP", "02"},
    {"DOC_NORM_CERT_SERVICO", "STATUS_DNCS", "Status_DNCS", "DthStatusDNCS", "02"},
    {"DOC_NORM_TIPO", "STATUS_DNT", "Status_DNT", "DthStatusDNT", "02"},
    {"DOC_NORM_LOTE", "STATUS_DNL", "Status_DNL", "DthStatusDNL", "02"},
    {"DOC_NORM_UNIDADE", "STATUS_DNU", "Status_DNU", "DthStatusDNU", "02"},
    {"DOC_NORM_SERV", "STATUS_DNS", "Status_DNS", "DthStatusDNS", "02"},
};

const DemoTable &kindOf(const QString &table)
{
    for (const DemoTable &k : kinds)
        if (table.compare(QLatin1String(k.table), Qt::CaseInsensitive) == 0)
            return k;
    throw AppError(QStringLiteral("%1 não é uma tabela de itens de certificado.").arg(table));
}

const Schema::Table &declared(const QString &table)
{
    const Schema::Table *t = Schema::table(table);
    if (!t)
        throw AppError(QStringLiteral("A tabela %1 não existe.").arg(table));
    return *t;
}

QVariant valueOf(const QVariantMap &values, const QString &column)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        if (it.key().compare(column, Qt::CaseInsensitive) == 0)
            return it.value();
    throw AppError(QStringLiteral("Falta o valor da coluna %1.").arg(column));
}

// The event table's status and status moment columns follow HistoricoSis.
QPair<QString, QString> eventStatusColumns(const Schema::Table &events)
{
    const int h = events.indexOf(QStringLiteral("HistoricoSis"));
    return {events.fields.at(h + 1).name, events.fields.at(h + 2).name};
}

QString checkDigits(const QString &base, const QList<int> &weights1, const QList<int> &weights2, bool cnpj)
{
    QString s = base;
    for (const QList<int> *weights : {&weights1, &weights2}) {
        int sum = 0;
        for (int i = 0; i < weights->size(); ++i)
            sum += s.at(i).digitValue() * weights->at(i);
        int d = cnpj ? sum % 11 : (sum * 10) % 11;
        d = cnpj ? (d < 2 ? 0 : 11 - d) : (d == 10 ? 0 : d);
        s += QString::number(d);
    }
    return s;
}

} // namespace

namespace DemoData {

Writer::Writer(Database &db, const QString &user)
    : m_db(db),
      m_user(user)
{ }

void Writer::insert(const QString &table, const QVariantMap &values)
{
    const Schema::Table &t = declared(table);
    QVariantMap row = values;
    if (t.field(QStringLiteral("DthUltAtualiz")) && !row.contains(QStringLiteral("DthUltAtualiz")))
        row.insert(QStringLiteral("DthUltAtualiz"), QDateTime::currentDateTime());
    if (t.field(QStringLiteral("UsuResp")) && !row.contains(QStringLiteral("UsuResp")))
        row.insert(QStringLiteral("UsuResp"), m_user);
    QStringList cols, marks;
    QVariantList params;
    for (auto it = row.begin(); it != row.end(); ++it) {
        const Schema::Field *f = t.field(it.key());
        if (!f)
            throw AppError(QStringLiteral("A tabela %1 não tem a coluna %2.").arg(t.name, it.key()));
        cols << f->name;
        marks << QStringLiteral("?");
        params << TableOps::fitValue(t.name, *f, it.value());
    }
    m_db.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                     .arg(t.name, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                 params);
}

int Writer::nextSeq(const QString &eventTable) const
{
    return StatusEvents::nextSeqEvento(m_db, eventTable);
}

void Writer::addItem(const QString &table, QVariantMap values, const QDateTime &entry)
{
    const DemoTable &k = kindOf(table);
    values.insert(QLatin1String(k.status), QStringLiteral("A"));
    values.insert(QLatin1String(k.moment), entry);
    values.insert(QStringLiteral("DthUltAtualiz"), entry);
    if (table.compare(QLatin1String("CERTIFIC"), Qt::CaseInsensitive) == 0) {
        values.insert(QStringLiteral("Completo"), values.value(QStringLiteral("Completo"), false));
        values.insert(QStringLiteral("Aprovado"), false);
    }
    insert(table, values);

    const Schema::Table &events = declared(QLatin1String(k.eventTable));
    const auto [statusCol, momentCol] = eventStatusColumns(events);
    QVariantMap ev;
    for (const QString &col : events.key)
        if (col != QLatin1String("SeqEvento"))
            ev.insert(col, valueOf(values, col));
    ev.insert(QStringLiteral("SeqEvento"), nextSeq(events.name));
    ev.insert(QStringLiteral("Evento"), QStringLiteral("INC"));
    ev.insert(QStringLiteral("Justificativa"), QStringLiteral("Historico gerado pelo sistema"));
    ev.insert(QStringLiteral("HistoricoSis"), QLatin1String(k.origin));
    ev.insert(statusCol, QStringLiteral("A"));
    ev.insert(momentCol, entry);
    ev.insert(QStringLiteral("DthUltAtualiz"), entry);
    insert(events.name, ev);
}

void Writer::changeStatus(const QString &table, const QVariantMap &key, const QString &event, const QString &status,
                          const QString &justification, const QDateTime &moment)
{
    const DemoTable &k = kindOf(table);
    const Schema::Table &t = declared(table);
    QStringList where;
    QVariantList keyValues;
    for (const QString &col : t.key) {
        where << col + QStringLiteral(" = ?");
        keyValues << valueOf(key, col);
    }
    const bool approval = event == QLatin1String("APR");
    const int changed = m_db.execute(
        approval
            ? QStringLiteral("UPDATE %1 SET Aprovado = 1 WHERE %2").arg(t.name, where.join(QStringLiteral(" AND ")))
            : QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, DthUltAtualiz = ?, UsuResp = ? WHERE %4")
                  .arg(t.name, QLatin1String(k.status), QLatin1String(k.moment), where.join(QStringLiteral(" AND "))),
        approval ? keyValues : QVariantList{status, moment, moment, m_user} + keyValues);
    if (changed != 1)
        throw AppError(QStringLiteral("Item não encontrado em %1.").arg(t.name));
    // Every change but the approval itself takes the certificate out of the
    // next remittance until it is approved again.
    if (!approval)
        m_db.execute(QStringLiteral("UPDATE CERTIFIC SET Aprovado = 0 WHERE SiglaCertificador = ? AND NumCertif = ?"),
                     {valueOf(key, QStringLiteral("SiglaCertificador")), valueOf(key, QStringLiteral("NumCertif"))});

    const Schema::Table &events = declared(QLatin1String(k.eventTable));
    const auto [statusCol, momentCol] = eventStatusColumns(events);
    QVariantMap ev;
    for (const QString &col : events.key)
        if (col != QLatin1String("SeqEvento"))
            ev.insert(col, valueOf(key, col));
    ev.insert(QStringLiteral("SeqEvento"), nextSeq(events.name));
    ev.insert(QStringLiteral("Evento"), event);
    ev.insert(QStringLiteral("Justificativa"), justification.isEmpty() ? QVariant() : QVariant(justification));
    ev.insert(QStringLiteral("HistoricoSis"), QLatin1String(k.origin));
    ev.insert(statusCol, status);
    ev.insert(momentCol, moment);
    ev.insert(QStringLiteral("DthUltAtualiz"), moment);
    insert(events.name, ev);
}

void Writer::approve(const QString &numCertif, const QDateTime &moment)
{
    const QString status = m_db.scalar(QStringLiteral("SELECT StatusCertificado FROM CERTIFIC "
                                                      "WHERE SiglaCertificador = ? AND NumCertif = ?"),
                                       {m_certifier, numCertif})
                               .toString();
    changeStatus(QStringLiteral("CERTIFIC"),
                 {{QStringLiteral("SiglaCertificador"), m_certifier}, {QStringLiteral("NumCertif"), numCertif}},
                 QStringLiteral("APR"), status, QStringLiteral("Historico gerado pelo sistema"), moment);
}

QString cnpjFrom(const QString &twelveDigits)
{
    return checkDigits(twelveDigits, {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2}, {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2},
                       true);
}

QString cpfFrom(const QString &nineDigits)
{
    return checkDigits(nineDigits, {10, 9, 8, 7, 6, 5, 4, 3, 2}, {11, 10, 9, 8, 7, 6, 5, 4, 3, 2}, false);
}

} // namespace DemoData

namespace Provisioning {

void addDemoData(Database &db, const QString &programDir)
{
    Transaction tx(db);
    DemoData::Writer w(db, QString::fromLatin1(AdminCode));
    w.setCertifier(QString::fromLatin1(DemoCertifier));
    DemoData::addReferenceData(w);
    DemoData::addConfiguration(w, programDir);
    DemoData::addCertificates(w);
    tx.commit();
}

}
