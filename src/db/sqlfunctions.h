#pragma once
struct sqlite3;

// SQL functions the system's statements rely on, registered on each
// connection: UCASE (Unicode-aware upper case), "ISNULL"(x) (ISNULL is an
// SQLite keyword, so statements must quote the name) and the functions of
// the rowid marks and key pair sets (db/rowidmarks.h, db/keypairset.h).
namespace SqlFunctions {
void registerAll(sqlite3 *handle);
}
