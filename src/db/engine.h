#pragma once

// The two engines a register lives on: a file of its own (the default) or a
// server database shared by several workstations.
enum class DbEngine { Sqlite, Postgres };
