#pragma once
#include "register/certificatekey.h"
#include "register/statusevents.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

class Database;

// Whether the regulator may already hold a certificate or one of its items.
// What it may hold is never deleted, and changing it needs a justification.
// It may hold what was approved (an "APR" event), what it accepted (a row of
// the replica), and what a TXT import wrote: those files are the ones already
// delivered to it. Deletion, item and company removal, the justification
// asked on a change and the approval list all ask here.
namespace RegulatorHolding {

// The certificate: an "APR" event, a replica row, or any row of an imported
// file under its key.
bool certificate(Database &db, const CertificateKey &key);
// The same as an SQL condition over a CERTIFIC row named `alias`.
QString certificateCondition(const QString &alias);

// A company, product type, lot, unit or service of a certificate, named by
// its event table (Evento_Emp, Status_T, Status_L, Status_U, Status_S) and
// its key: a replica row, an imported row, or an approval of the certificate
// at or after the item's own inclusion event (an approved certificate whose
// item has no inclusion event keeps it too). Raises AppError for another table.
bool item(Database &db, StatusEvents::Table events, const StatusEvents::ItemKey &key);

// The item table of an event table ("EMP_CERT", "TIPO", ...); empty for the
// certificate's and the normative documents' event tables.
QString itemTable(StatusEvents::Table events);

// Records a row an import wrote to one of CERTIFIC, EMP_CERT, TIPO, LOTE,
// UNIDADE and SERVICO (`row`: column name, any case, to value); rows of other
// tables are not recorded. Written inside the import's transaction.
bool recordedOnImport(const QString &table);
void recordImported(Database &db, const QString &table, const QVariantMap &row, const QString &fileName);

// The same for the many rows of an import: where each value of the record
// comes from is worked out once for a table and its row's columns (names in
// the row's order), then every row of that shape passes its values only.
struct ImportMarkPlan
{
    QString table; // as the schema spells it
    // Per mark column: index into the row's values; NotKey when the column is
    // not of the table's key, Missing when it is but the row lacks it.
    enum : int { NotKey = -1, Missing = -2 };
    QList<int> source;
    QList<bool> number; // per mark column: held as a number
};
// nullptr when rows of the table are not recorded.
std::shared_ptr<const ImportMarkPlan> importMarkPlan(const QString &table, const QStringList &columns);
// values: the row's values in the order of the columns the plan was made for.
void recordImported(Database &db, const ImportMarkPlan &plan, const QStringList &values, const QString &fileName);
// An imported item whose key was edited stays imported under its new key.
void rekeyImported(Database &db, StatusEvents::Table events, const StatusEvents::ItemKey &oldKey,
                   const StatusEvents::ItemKey &newKey);

}
