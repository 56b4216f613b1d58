#pragma once
#include "db/engine.h"
#include "db/schema.h"

#include <QList>
#include <QString>
#include <QStringList>

// The four statements of each entry of the remittance table list, built from
// a short declaration per entry (scope kind and compared columns) beside the
// keys of the schema. Every statement binds the approval flag as its only
// parameter (none for the entries outside the approval scope).
namespace RemittanceQueries {

enum class Scope {
    Regular, // joined with CERTIFIC on the certificate key, approved only
    Certificate, // CERTIFIC itself; its exclusions ignore approval
    Company, // EMPRESA, in scope through EMP_CERT
    Product, // PRODUTO, in scope through TIPO, UNIDADE and LOTE
    Unscoped // CONFIG_LOCAL, SIGNATARIOS, USU_LOCAL
};

enum class Kind { Inclusion, Alteration, Exclusion, Complete };

struct Entry
{
    const Schema::RemittanceEntry *entry = nullptr; // name, message, keys
    const Schema::Table *source = nullptr;
    const Schema::Table *replica = nullptr;
    Scope scope = Scope::Regular;
    QStringList compared; // columns whose change makes a row altered
};

// The 29 entries, in list order.
const QList<Entry> &entries();

struct Statement
{
    QString sql;
    int approvalParams = 0; // placeholders, each bound to the approval flag (true)
};

// How a row of the regular scope is found approved: its certificate probed
// in CERTIFIC (the statement stands alone), or looked up in memory, in a
// KeyPairSet of approvedCertificates() that the caller keeps alive while
// the statement runs (no approval parameters then). Same rows, same order.
enum class Approval { Joined, InMemory };

// The approved certificates' keys, for the KeyPairSet of Approval::InMemory.
Statement approvedCertificates();

// A row "differs" when any compared column differs, NULL against a value
// included (null-safe): clearing a column must reach the regulator. The
// text is the engine's: on the file, rows come in the order the tables were
// written; the server's text asks for the nearest order it keeps (rows by
// their place in the table, merged rows by key), so that the walks below
// and these statements give the same rows in the same order.
// Approval::InMemory is for the file alone.
Statement statement(const Entry &entry, Kind kind, DbEngine engine, Approval approval = Approval::Joined);

// Inclusions and alterations in one walk over the entry's rows: each row's
// columns and, after them, 1 for an inclusion or 0 for an alteration. The
// inclusions come in the order of the inclusion statement, the alterations
// in that of the alteration statement. Empty sql when the replica's key does
// not pick at most one row for a source row (the two statements serve then).
Statement changes(const Entry &entry, DbEngine engine, Approval approval = Approval::Joined);

// The exclusions found without a walk of their own: the replica rows the
// change walk met carry a key present here, so only the rows it never met
// need the exclusion test. True for the entries whose exclusion statement
// walks the replica alone, in rowid order (all but companies and products).
bool exclusionsBySweep(const Entry &entry);
// The two below are for the file alone (they go by rowid).
// changes(), reporting the rowid of every replica row its join meets to
// RowidMarks::function(). Empty sql when exclusionsBySweep() is false.
Statement markingChanges(const Entry &entry, Approval approval = Approval::Joined);
// The exclusion statement restricted to a range of replica rowids, bound
// after the approval flags (first, last); rows in rowid order.
Statement exclusionsBetween(const Entry &entry, Approval approval = Approval::Joined);

}
