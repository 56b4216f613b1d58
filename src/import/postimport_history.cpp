#include "import/postimport_history.h"

#include "import/datastruct.h"
#include "import/descriptorfactory.h"

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

}

bool writeAutomaticStatusRow(Database &db, const TDataStruct &record, const QString &logDir)
{
    auto status = ImportDescriptors::createForStatusTable(record.statusTableName(), record.certifierAcronym(),
                                                          record.userCode());
    if (!status)
        return true;
    prepare(*status, record, logDir);
    status->setDatabase(&db);

    for (const TDataStructItem *r : record.items()) {
        for (TDataStructItem *s : status->items()) {
            // A sequence item always has a value once the database is known.
            if (s->sequence || !s->value.isEmpty())
                continue;
            if (sameName(s->name, r->name)) {
                s->value = r->trimmedValue();
                break;
            }
            if (sameName(s->name, QStringLiteral("EVENTO")))
                s->value = QStringLiteral("INC");
            else if (sameName(s->name, QStringLiteral("JUSTIFICATIVA")))
                s->value = QStringLiteral("Historico gerado pelo sistema");
            else if (sameName(s->name, QStringLiteral("HISTORICOSIS")))
                s->value = QStringLiteral("2");
            else if (startsWith(s->name, "STATUS"))
                s->value = QStringLiteral("A");
            else if (startsWith(s->name, "DTHSTATUS") && startsWith(r->name, "DTHSTATUS")) {
                s->value = r->trimmedValue();
                break;
            }
        }
    }
    return status->WriteRow(db).succeeded;
}

bool writeHistoryControlRow(Database &db, const TDataStruct &record, bool inserted, const QString &logDir)
{
    // A status record stands for itself.
    const QString statusTable = record.statusTableName().isEmpty() ? record.tableName() : record.statusTableName();
    auto carrier = ImportDescriptors::createForStatusTable(statusTable, record.certifierAcronym(), record.userCode());
    if (!carrier)
        return true;
    prepare(*carrier, record, logDir);

    for (TDataStructItem *s : carrier->items()) {
        if (s->sequence)
            continue; // CTR_HISTORICO has no event number
        for (const TDataStructItem *r : record.items()) {
            if (r->sequence || r->value.isEmpty())
                continue;
            if (s->name.compare(r->name, Qt::CaseInsensitive) == 0) {
                if (s->value.isEmpty())
                    s->value = r->trimmedValue();
                break;
            }
        }
    }

    auto history = ImportDescriptors::createHistoryControl(record.certifierAcronym(), record.userCode());
    prepare(*history, record, logDir);
    for (const TDataStructItem *s : carrier->items()) {
        if (s->sequence)
            continue;
        for (TDataStructItem *h : history->items()) {
            if (!h->value.isEmpty())
                continue;
            if (sameName(h->name, s->name)) {
                h->value = s->trimmedValue();
                break;
            }
            if (sameName(h->name, QStringLiteral("NomeTabela")))
                h->value = inserted ? record.parentTableName() : record.tableName();
            else if (sameName(h->name, QStringLiteral("TabelaHistorico")))
                h->value = inserted ? record.tableName() : record.statusTableName();
            else if (sameName(h->name, QStringLiteral("historico")))
                h->value = inserted ? QStringLiteral("1") : QStringLiteral("0");
        }
    }
    return history->WriteRow(db).succeeded;
}

}
