#pragma once
// The engine a test run keeps its registers on. CTest runs the tests that
// touch the database twice: as they are (a file each) and with
// CORVANE_TEST_ENGINE=postgresql, on a throwaway server of the run's (its
// address in $CORVANE_TEST_PG_DIR/address) or, when run by hand, one this
// process starts and stops.
#include "db/engine.h"
#include "db/serveraddress.h"

#include <QString>

class Database;

namespace TestDb {

DbEngine engine();
bool onServer();
// "sqlite" or "postgresql", for messages.
QString name();
// The server of this run (its maintenance database "postgres").
ServerAddress server();
// A new, empty database on the server, never handed out before.
ServerAddress freshDatabase();
// Opens db on a new, empty register location: a file `name`.db made under
// dir, or a fresh server database holding what the server needs before any
// table (the case-blind text type, the SQL functions). No table is made.
void createEmpty(Database &db, const QString &dir, const QString &name);

}
