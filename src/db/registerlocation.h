#pragma once
#include "db/serveraddress.h"

#include <QString>
#include <optional>

class Database;

// Where the program folder's register lives: its own file db/bdocc.mdb (the
// default), or a server database named in db/conexao.ini. The file holds the
// address alone, never a password.
namespace RegisterLocation {

// The program folder's connection file (db/conexao.ini).
QString configFile();
// The server the program folder points at; none when it keeps its own file.
// Raises AppError when the connection file cannot be read or holds no
// valid address.
std::optional<ServerAddress> server();
// Points the program folder at a server (the folder "db" is made when
// missing); refuses a folder that already has a connection file. Raises
// AppError.
void writeServer(const ServerAddress &address);
// Opens the program folder's register on db. Raises DbError (AppError
// problems of the connection file come as DbError, as any failure to open).
void open(Database &db);
// Says which register the program folder opens, in a few words: the file, or
// "servidor HOST:PORT/NAME".
QString describe();

}
