#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

class Database;

// Copies of the database file kept in db/copias/, named
// "bdocc-yyyy-mm-dd-hhmmss.mdb". A copy is taken with the engine's online
// backup from the open connection, so programs writing meanwhile (an
// import) are neither stopped for long nor seen half-way. A register on a
// server is copied, table by table and proved, into such a file as well,
// read as one moment of the server while others go on writing. It is written under
// a temporary name ending in ".parcial", checked, and only then renamed: a
// copy cut short never looks complete, and the database is only read.
// Copies and their folder are readable by their owner only.
namespace DatabaseCopies {

inline constexpr int DefaultKeep = 10;

// AppPaths::dbDir() + "copias/".
QString defaultFolder();

// Copies the open database into folder (created when missing) and returns
// the copy's path. suffix, when given, is added to the name before ".mdb".
// The connection must not be inside a transaction. Raises DbError/AppError;
// on failure no file named like a copy is left.
QString make(Database &db, const QString &folder, const QDate &day, const QString &suffix = {});
// The copies in folder, oldest first (by the date and time in their names).
QStringList list(const QString &folder);
// Deletes the oldest copies beyond keep (at least one is kept); returns the
// deleted paths.
QStringList prune(const QString &folder, int keep);
// Whether folder holds no copy of the given day yet.
bool dueOn(const QString &folder, const QDate &day);
// The first start of a day: a copy, then the oldest beyond keep go.
// Returns the new copy's path, or an empty string when one existed.
QString makeDailyIfDue(Database &db, const QString &folder, const QDate &day, int keep);

// Raises DbError naming what is wrong unless file is an undamaged database
// of this system.
void check(const QString &file);

// Puts copy back as the database: refused (DbError/AppError, nothing
// changed) unless the copy passes check(); then the current database is
// kept as a copy in folder (suffix "antes-restauracao"), and the open
// database takes the copy's content in one transaction of the engine, so
// other programs that have it open see the restored content (on a server,
// every table emptied and refilled from the copy in one transaction). Returns the
// path of the copy of the replaced database.
QString restore(Database &db, const QString &copy, const QString &folder, const QDate &day);

}
