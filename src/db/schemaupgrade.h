#pragma once
#include <QStringList>

class Database;

// Databases made by an earlier version lack the tables added since; they are
// created when such a database is opened, so every version reads the same
// schema.
namespace SchemaUpgrade {

// The tables added after the first version, by name.
const QStringList &addedTables();

// Creates the added tables the open database lacks, in one transaction. A
// file that is no register (no CERTIFIC table) is left alone. Raises DbError.
void apply(Database &db);

// A server register of this version kept each text width as a check of its
// table.
inline constexpr int OldServerVersion = 1;

// Brings a server register of OldServerVersion to Schema::ServerVersion in
// one transaction: each width check becomes its column's domain. Another
// workstation doing the same meanwhile is waited for. Raises DbError.
void applyOnServer(Database &db);

}
