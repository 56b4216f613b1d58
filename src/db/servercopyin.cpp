#include "db/servercopyin.h"

#include "db/dberror.h"

#include <libpq-fe.h>

namespace {
// Sent in pieces of about this size: large enough that the calls cost
// nothing, small enough to keep the memory flat.
constexpr qsizetype Chunk = 1 << 20;

PGconn *connectionOf(Database &db)
{
    PGconn *conn = db.serverConnection();
    if (!conn)
        throw DbError(QStringLiteral("O banco de dados do servidor não está aberto."));
    return conn;
}

QString serverMessage(const char *text)
{
    return QString::fromUtf8(text).trimmed();
}
}

ServerCopyIn::ServerCopyIn(Database &db, const QString &table, const QStringList &columns)
    : m_conn(connectionOf(db))
{
    QStringList quoted;
    for (const QString &c : columns)
        quoted << QLatin1Char('"') + c.toLower() + QLatin1Char('"');
    const QByteArray sql =
        QStringLiteral("COPY \"%1\" (%2) FROM STDIN").arg(table.toLower(), quoted.join(QLatin1String(", "))).toUtf8();
    PGresult *r = PQexec(m_conn, sql.constData());
    const bool started = PQresultStatus(r) == PGRES_COPY_IN;
    const QString why = serverMessage(PQresultErrorMessage(r));
    PQclear(r);
    if (!started)
        throw DbError(why);
    m_open = true;
    m_buffer.reserve(Chunk + 4096);
}

ServerCopyIn::~ServerCopyIn()
{
    if (!m_open)
        return;
    PQputCopyEnd(m_conn, "abandonada");
    while (PGresult *r = PQgetResult(m_conn))
        PQclear(r);
}

void ServerCopyIn::add(const Database::Statement::Cell &value)
{
    if (!m_firstInRow)
        m_buffer += '\t';
    m_firstInRow = false;
    switch (value.type) {
    case Database::Statement::Cell::Null: m_buffer += "\\N"; break;
    case Database::Statement::Cell::Integer: m_buffer += QByteArray::number(value.integer); break;
    case Database::Statement::Cell::Real: m_buffer += QByteArray::number(value.real, 'g', 17); break;
    case Database::Statement::Cell::Text:
    case Database::Statement::Cell::Blob:
        for (int i = 0; i < value.size; ++i) {
            const char ch = value.text[i];
            switch (ch) {
            case '\\': m_buffer += "\\\\"; break;
            case '\t': m_buffer += "\\t"; break;
            case '\n': m_buffer += "\\n"; break;
            case '\r': m_buffer += "\\r"; break;
            default: m_buffer += ch;
            }
        }
        break;
    }
}

void ServerCopyIn::endRow()
{
    m_buffer += '\n';
    m_firstInRow = true;
    if (m_buffer.size() >= Chunk)
        flush();
}

void ServerCopyIn::flush()
{
    if (m_buffer.isEmpty())
        return;
    if (PQputCopyData(m_conn, m_buffer.constData(), int(m_buffer.size())) != 1)
        fail(serverMessage(PQerrorMessage(m_conn)));
    m_buffer.clear();
}

void ServerCopyIn::finish()
{
    flush();
    m_open = false;
    if (PQputCopyEnd(m_conn, nullptr) != 1)
        fail(serverMessage(PQerrorMessage(m_conn)));
    QString why;
    while (PGresult *r = PQgetResult(m_conn)) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK && why.isEmpty())
            why = serverMessage(PQresultErrorMessage(r));
        PQclear(r);
    }
    if (!why.isEmpty())
        throw DbError(why);
}

void ServerCopyIn::fail(const QString &why)
{
    throw DbError(why.isEmpty() ? QStringLiteral("A conexão com o servidor foi perdida.") : why);
}
