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

}
