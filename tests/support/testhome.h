#pragma once
#include "db/serveraddress.h"

#include <QString>
#include <QTemporaryDir>
#include <optional>

class Database;

// A throw-away program folder with a fresh database (admin password "admin"),
// made the program folder for the rest of the test. With the server engine
// (support/testdb.h) the folder points at a fresh server database instead,
// and dbPath() names no file.
class TestHome
{
public:
    explicit TestHome(bool demo = false, const QString &adminPassword = QStringLiteral("admin"));
    ~TestHome();
    QString dir() const { return m_dir.path(); }
    QString dbPath() const;
    bool isValid() const { return m_dir.isValid(); }
    // Opens this folder's register on db, whichever engine keeps it.
    void open(Database &db) const;

private:
    QTemporaryDir m_dir;
    std::optional<ServerAddress> m_server;
};
