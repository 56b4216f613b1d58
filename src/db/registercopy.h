#pragma once
#include "db/registertables.h"

#include <QList>
#include <QString>
#include <functional>

class Database;
struct ServerAddress;

// A whole register copied from one engine to the other, table by table in
// one transaction of the destination, and proved by comparing every table's
// row count and digest on both sides before that transaction commits.
namespace RegisterCopy {

// Fills an empty server database with the register of file (tables of the
// declaration and any other the file holds); refuses a database that holds
// anything. beforeCommit runs once every table matched, inside the
// transaction: what it raises undoes the copy too. Returns the sums of the
// tables. Raises AppError naming the table that failed or did not match, or
// DbError; the server database is left empty then.
QList<RegisterTables::Sum> toServer(Database &file, const ServerAddress &address,
                                    const std::function<void()> &beforeCommit = {});

// Writes the register of source (either engine) into a new file at path;
// refuses an existing file. The source is read as one moment of it. Returns
// the sums. Raises AppError or DbError; no file is left then.
QList<RegisterTables::Sum> toFile(Database &source, const QString &path);

// Replaces the whole content of a server register by that of a file: every
// table emptied, then the file's rows copied and proved, in one transaction
// of the server (other workstations see the old content or the new, never a
// mix). Returns the sums. Raises AppError or DbError; nothing changed then.
QList<RegisterTables::Sum> replaceOnServer(Database &server, const QString &file);

// The sums of every table of db.
QList<RegisterTables::Sum> sums(Database &db);

// Raises AppError naming the first table whose count or digest differs
// between the two sides (compared table by table, names regardless of case).
void compare(const QList<RegisterTables::Sum> &from, const QList<RegisterTables::Sum> &to);

}
