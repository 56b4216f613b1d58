#pragma once
#include <QString>

// The address of a register on a server: postgresql://USER@HOST:PORT/NAME.
// It never holds a password: the client library finds one by itself
// (PGPASSWORD, ~/.pgpass, a service file).
struct ServerAddress
{
    QString user;
    QString host;
    int port = 5432;
    QString name; // the database

    // Reads an address; raises AppError naming what is wrong, and refuses
    // one that carries a password.
    static ServerAddress parse(const QString &text);
    QString uri() const;
    // What the status bar shows: "HOST:PORT/NAME".
    QString shortText() const;
    bool operator==(const ServerAddress &) const = default;
};
