#pragma once

class Database;

// How many copies of the database db/copias/ keeps, edited with the
// directories. Kept in a table of its own, CONFIG_COPIAS, beside
// CONFIG_LOCAL: CONFIG_LOCAL travels to the regulator in every remittance
// and must keep its columns. A database from before the setting has no
// such table and reads the default; saving creates it.
namespace CopySettings {

inline constexpr int Minimum = 1;
inline constexpr int Maximum = 365;

// Raises DbError.
int keep(const Database &db);
// Clamped to Minimum..Maximum. Raises DbError.
void setKeep(Database &db, int copies);

}
