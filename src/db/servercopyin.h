#pragma once
#include "db/database.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct pg_conn;

// Rows streamed into a server table in the server's bulk form (COPY ... FROM
// STDIN, text format) on the connection of db, inside its open transaction:
// several times faster than statements, which the server parses and plans
// row by row. Values go in row by row, column by column.
class ServerCopyIn
{
public:
    // Raises DbError when the server refuses to start.
    ServerCopyIn(Database &db, const QString &table, const QStringList &columns);
    // A copy not finished is abandoned: the server refuses the table's rows.
    ~ServerCopyIn();
    ServerCopyIn(const ServerCopyIn &) = delete;
    ServerCopyIn &operator=(const ServerCopyIn &) = delete;

    void add(const Database::Statement::Cell &value);
    void endRow();
    // Sends what is left and waits for the server's verdict. Raises DbError.
    void finish();

private:
    void flush();
    [[noreturn]] void fail(const QString &why);
    pg_conn *m_conn = nullptr;
    QByteArray m_buffer;
    bool m_firstInRow = true;
    bool m_open = false;
};
