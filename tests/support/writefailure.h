#pragma once
// Makes the engine refuse some writes of a table, to see an operation fail
// half-way and leave nothing behind. The same rule on both engines: a trigger
// that raises `message` when `condition` holds for the row (the row named
// "new", as in "new.NumCertif = 'C-2'"; "1 = 1" for every row).
#include <QString>

class Database;

namespace WriteFailure {

enum class On { Insert, Delete };

void arm(Database &db, const QString &table, On on, const QString &condition, const QString &message);
void disarm(Database &db, const QString &table, On on);

// The first column of every row of `sql`, joined by commas, for comparing
// the contents of a table before and after.
QString joined(Database &db, const QString &sql);

}
