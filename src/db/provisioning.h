#pragma once
#include <QString>
#include <QStringList>

class Database;
struct ServerAddress;

// Creating a new local database: every table of the schema, the first
// administrator and, on request, demo data.
namespace Provisioning {

struct Options
{
    QString adminPassword; // 1 to 10 characters, trimmed
    bool demo = false;
    // Folder the demo configuration lays its working folders under; empty:
    // the folder holding the database's "db" folder.
    QString programDir;
};

// The administrator's code and name.
inline constexpr const char *AdminCode = "admin";
inline constexpr const char *AdminName = "Administrador";
// Certifier code of the demo data.
inline constexpr const char *DemoCertifier = "OCDEMO";

// The working folders the demo configuration names, under the program folder.
QStringList demoFolders();

// Trims the password and checks it can be stored and matched at login;
// returns the trimmed text or raises AppError with the reason.
QString checkedAdminPassword(const QString &password);

// Creates the file with the whole schema; refuses an existing file.
// Raises AppError (bad options, file exists) or DbError.
void createDatabase(const QString &path, const Options &options);

// Fills an existing, empty server database with the whole schema (in one
// transaction: a failure leaves it empty); refuses one that holds anything.
// Raises AppError or DbError.
void createOnServer(const ServerAddress &address, const Options &options);

// The pieces, on an open, empty database.
void createSchema(Database &db);
// The "admin" user with every right, tied to the configured certifier
// (empty when none is configured yet).
void addAdministrator(Database &db, const QString &password);
// programDir: folders of the demo configuration are laid under it.
void addDemoData(Database &db, const QString &programDir);

}
