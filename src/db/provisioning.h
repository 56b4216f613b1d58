#pragma once
#include <QString>

class Database;

// Creating a new local database: every table of the schema, the first
// administrator and, on request, demo data.
namespace Provisioning {

struct Options
{
    QString adminPassword;   // 1 to 10 characters, trimmed
    bool demo = false;
};

// Creates the file with the whole schema; refuses an existing file.
// Raises AppError (bad options, file exists) or DbError.
void createDatabase(const QString &path, const Options &options);

// The pieces, on an open, empty database.
void createSchema(Database &db);
void addAdministrator(Database &db, const QString &password);
// programDir: folders of the demo configuration are laid under it.
void addDemoData(Database &db, const QString &programDir);

}
