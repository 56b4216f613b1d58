#pragma once
#include <QString>

class Database;

// A trigger that makes every write of one kind to a table fail with the
// message "barrado", in the SQL of the engine that keeps db (for tests of
// what a failed write leaves behind).
namespace RefusingTrigger {

// operation: "INSERT", "UPDATE" or "DELETE".
void add(Database &db, const QString &table, const QString &operation);

}
