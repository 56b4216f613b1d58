#pragma once
#include <QString>

class Database;
class TDataStruct;

// The history rows that accompany every imported record.
namespace PostImport {

// After a record was inserted: the inclusion row ("INC", "Historico gerado
// pelo sistema", HistoricoSis "2") in the record's status table, carrying the
// record's key, audit values and status date. Records without a status table
// need none (true). False when the row could not be written.
bool writeAutomaticStatusRow(Database &db, const TDataStruct &record, const QString &logDir);

// After every successful write: the CTR_HISTORICO row that pairs a changed
// item with the history row that must justify it ("0" while unjustified,
// "1" once a history row of the item was written). False on a failed write.
bool writeHistoryControlRow(Database &db, const TDataStruct &record, bool inserted, const QString &logDir);

}
