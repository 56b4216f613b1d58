#pragma once
#include <QString>
#include <functional>

class Database;

// One whole operation on the register, run again when the server undid it
// for colliding with another workstation's.
namespace DbRetry {

// Runs beyond the first, at most, before the collision is told.
inline constexpr int Attempts = 5;

// Runs work in a transaction of db and commits it. When the server ends it
// with a serialization failure or a deadlock (DbError::isConflict()),
// everything is rolled back and work runs again from the start, up to
// `attempts` times in all; then DbError with a Portuguese message (and the
// conflict's code). Any other failure rolls back and passes through as it
// is; a lost connection is never run again (DbError::isConnectionLost()).
// work must therefore do nothing outside the database that it cannot do
// twice. Inside a transaction already open, work runs once within it: only
// whoever opened that one can run the whole again.
void run(Database &db, const std::function<void()> &work, int attempts = Attempts);

// The message of the last collision, naming the register.
QString gaveUpMessage(const QString &where, int attempts);

}
