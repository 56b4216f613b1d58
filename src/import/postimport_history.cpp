#include "import/postimport_history.h"

#include "import/datastruct.h"
#include "import/descriptorfactory.h"
#include "import/importsession.h"

#include <memory>
#include <typeinfo>
#include <vector>

namespace PostImport {

namespace {

bool sameName(const QString &a, const QString &b)
{
    return trimBlanks(a).compare(trimBlanks(b), Qt::CaseInsensitive) == 0;
}

bool startsWith(const QString &name, const char *prefix)
{
    return trimBlanks(name).startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

void prepare(TDataStruct &d, const TDataStruct &record, const QString &logDir)
{
    d.setLogDir(logDir);
    d.setMessenger(record.messenger());
    d.setSession(record.session());
}

// How the items of two descriptor classes pair up by name. The walks below
// compare names item by item for every record; the answers depend on the
// classes only, so an import works them out once (see ImportSession::derived).
using Matrix = std::vector<std::vector<char>>;

Matrix pairs(const TDataStruct &rows, const TDataStruct &columns, bool (*same)(const QString &, const QString &))
{
    Matrix m(size_t(rows.items().size()), std::vector<char>(size_t(columns.items().size())));
    for (int i = 0; i < rows.items().size(); ++i)
        for (int j = 0; j < columns.items().size(); ++j)
            m[size_t(i)][size_t(j)] = same(rows.items().at(i)->name, columns.items().at(j)->name);
    return m;
}

bool sameIgnoringCase(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

enum class StatusRole : char { Other, Evento, Justificativa, HistoricoSis, Status, DthStatus };

// The inclusion row: status item s against record item r.
struct AutomaticPlan
{
    Matrix same; // [s][r]: sameName
    std::vector<StatusRole> role; // of each status item
    std::vector<char> recordDthStatus; // record item named DTHSTATUS...
};

AutomaticPlan automaticPlan(const TDataStruct &status, const TDataStruct &record)
{
    AutomaticPlan plan;
    plan.same = pairs(status, record, sameName);
    for (const TDataStructItem *s : status.items()) {
        StatusRole role = StatusRole::Other;
        if (sameName(s->name, QStringLiteral("EVENTO")))
            role = StatusRole::Evento;
        else if (sameName(s->name, QStringLiteral("JUSTIFICATIVA")))
            role = StatusRole::Justificativa;
        else if (sameName(s->name, QStringLiteral("HISTORICOSIS")))
            role = StatusRole::HistoricoSis;
        else if (startsWith(s->name, "STATUS"))
            role = StatusRole::Status;
        else if (startsWith(s->name, "DTHSTATUS"))
            role = StatusRole::DthStatus;
        plan.role.push_back(role);
    }
    for (const TDataStructItem *r : record.items())
        plan.recordDthStatus.push_back(startsWith(r->name, "DTHSTATUS"));
    return plan;
}

enum class HistoryRole : char { Other, NomeTabela, TabelaHistorico, Historico };

// The history control row: the carrier (the status descriptor of the
// record's status table) takes values from the record, the history row from
// the carrier. The carrier only carries values between the two walks, so
// once the plan is known its values are kept in a plain list.
struct HistoryPlan
{
    bool hasCarrier = false;
    std::vector<char> carrierSequence; // of each carrier item
    Matrix carrierFromRecord; // [s][r]: names equal ignoring case
    Matrix historyFromCarrier; // [s][h]: sameName
    std::vector<HistoryRole> role; // of each history item
};

QString carrierTable(const TDataStruct &record)
{
    // A status record stands for itself.
    return record.statusTableName().isEmpty() ? record.tableName() : record.statusTableName();
}

HistoryPlan historyPlan(const TDataStruct &record)
{
    HistoryPlan p;
    auto carrier = ImportDescriptors::createForStatusTable(carrierTable(record), record.certifierAcronym(),
                                                           record.userCode());
    if (!carrier)
        return p;
    auto history = ImportDescriptors::createHistoryControl(record.certifierAcronym(), record.userCode());
    p.hasCarrier = true;
    for (const TDataStructItem *s : carrier->items())
        p.carrierSequence.push_back(s->sequence);
    p.carrierFromRecord = pairs(*carrier, record, sameIgnoringCase);
    p.historyFromCarrier = pairs(*carrier, *history, sameName);
    for (const TDataStructItem *h : history->items()) {
        HistoryRole role = HistoryRole::Other;
        if (sameName(h->name, QStringLiteral("NomeTabela")))
            role = HistoryRole::NomeTabela;
        else if (sameName(h->name, QStringLiteral("TabelaHistorico")))
            role = HistoryRole::TabelaHistorico;
        else if (sameName(h->name, QStringLiteral("historico")))
            role = HistoryRole::Historico;
        p.role.push_back(role);
    }
    return p;
}

template <typename T>
std::shared_ptr<const T> planFor(ImportSession *session, int tag, const TDataStruct &a, const TDataStruct &b,
                                 const std::function<T()> &build)
{
    if (session)
        return session->derived<T>(tag, typeid(a), typeid(b), build);
    return std::make_shared<const T>(build());
}

}

bool writeAutomaticStatusRow(Database &db, const TDataStruct &record, const QString &logDir)
{
    auto status = ImportDescriptors::createForStatusTable(record.statusTableName(), record.certifierAcronym(),
                                                          record.userCode());
    if (!status)
        return true;
    prepare(*status, record, logDir);
    status->setDatabase(&db);

    const auto plan = planFor<AutomaticPlan>(record.session(), 1, *status, record,
                                             [&] { return automaticPlan(*status, record); });
    const QList<TDataStructItem *> &statusItems = status->items();
    for (int ri = 0; ri < record.items().size(); ++ri) {
        const TDataStructItem *r = record.items().at(ri);
        for (int si = 0; si < statusItems.size(); ++si) {
            TDataStructItem *s = statusItems.at(si);
            // A sequence item always has a value once the database is known.
            if (s->sequence || !s->value.isEmpty())
                continue;
            if (plan->same[size_t(si)][size_t(ri)]) {
                s->value = r->trimmedValue();
                break;
            }
            const StatusRole role = plan->role[size_t(si)];
            if (role == StatusRole::Evento)
                s->value = QStringLiteral("INC");
            else if (role == StatusRole::Justificativa)
                s->value = QStringLiteral("Historico gerado pelo sistema");
            else if (role == StatusRole::HistoricoSis)
                s->value = QStringLiteral("2");
            else if (role == StatusRole::Status)
                s->value = QStringLiteral("A");
            else if (role == StatusRole::DthStatus && plan->recordDthStatus[size_t(ri)]) {
                s->value = r->trimmedValue();
                break;
            }
        }
    }
    return status->WriteRow(db).succeeded;
}

bool writeHistoryControlRow(Database &db, const TDataStruct &record, bool inserted, const QString &logDir)
{
    // The carrier and the pairings follow from the record's class.
    const auto plan = planFor<HistoryPlan>(record.session(), 2, record, record, [&] { return historyPlan(record); });
    if (!plan->hasCarrier)
        return true;

    const size_t carrierSize = plan->carrierSequence.size();
    std::vector<QString> carrier(carrierSize);
    for (size_t si = 0; si < carrierSize; ++si) {
        if (plan->carrierSequence[si])
            continue; // CTR_HISTORICO has no event number
        for (int ri = 0; ri < record.items().size(); ++ri) {
            const TDataStructItem *r = record.items().at(ri);
            if (r->sequence || r->value.isEmpty())
                continue;
            if (plan->carrierFromRecord[si][size_t(ri)]) {
                if (carrier[si].isEmpty())
                    carrier[si] = r->trimmedValue();
                break;
            }
        }
    }

    auto history = ImportDescriptors::createHistoryControl(record.certifierAcronym(), record.userCode());
    prepare(*history, record, logDir);
    const QList<TDataStructItem *> &historyItems = history->items();
    for (size_t si = 0; si < carrierSize; ++si) {
        if (plan->carrierSequence[si])
            continue;
        for (int hi = 0; hi < historyItems.size(); ++hi) {
            TDataStructItem *h = historyItems.at(hi);
            if (!h->value.isEmpty())
                continue;
            if (plan->historyFromCarrier[si][size_t(hi)]) {
                h->value = trimBlanks(carrier[si]);
                break;
            }
            switch (plan->role[size_t(hi)]) {
            case HistoryRole::NomeTabela: h->value = inserted ? record.parentTableName() : record.tableName(); break;
            case HistoryRole::TabelaHistorico:
                h->value = inserted ? record.tableName() : record.statusTableName();
                break;
            case HistoryRole::Historico: h->value = inserted ? QStringLiteral("1") : QStringLiteral("0"); break;
            case HistoryRole::Other: break;
            }
        }
    }
    return history->WriteRow(db).succeeded;
}

}
