#include "db/database.h"
#include "db/dberror.h"
#include "db/placeholders.h"
#include "db/serverpipeline.h"

#include <QSqlQuery>
#include <atomic>
#include <libpq-fe.h>
#include <optional>
#include <vector>

QString Database::openCursor(const QString &sql, const QVariantMap &named) const
{
    return declareCursor(sql, named, {});
}

QString Database::openCursor(const QString &sql, const QVariantList &positional) const
{
    return declareCursor(sql, {}, positional);
}

QString Database::declareCursor(const QString &sql, const QVariantMap &named, const QVariantList &positional) const
{
    reviveServer();
    if (m_kind != DbEngine::Postgres || !isOpen())
        throw notOpen();
    PGconn *conn = serverConnection();
    if (!conn)
        throw notOpen();
    waitForWrites();
    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("corvane_lista_%1").arg(++serial);
    std::vector<Placeholders::Parameter> parameters;
    const QByteArray text = (QStringLiteral("DECLARE ") + name + QStringLiteral(" NO SCROLL CURSOR WITH HOLD FOR ") +
                             Placeholders::numbered(sql, parameters))
                                .toUtf8();
    std::vector<std::optional<QByteArray>> values;
    std::vector<const char *> pointers;
    for (const Placeholders::Parameter &p : parameters) {
        if (p.position >= 0) {
            values.push_back(p.position < positional.size()
                                 ? ServerPipeline::parameterText(bound(positional.at(p.position)))
                                 : std::nullopt);
            continue;
        }
        auto it = named.constFind(p.name);
        if (it == named.cend())
            it = named.constFind(QLatin1Char(':') + p.name);
        values.push_back(it == named.cend() ? std::nullopt : ServerPipeline::parameterText(bound(*it)));
    }
    for (const auto &value : values)
        pointers.push_back(value ? value->constData() : nullptr);
    PGresult *r = PQexecParams(conn, text.constData(), int(pointers.size()), nullptr, pointers.data(), nullptr, nullptr,
                               0);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    const QString state = QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE));
    const QString message = QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY));
    PQclear(r);
    if (ok)
        return name;
    if (PQstatus(conn) != CONNECTION_OK) {
        m_serverLost = true;
        throw DbError::connectionLost(describe(), false);
    }
    throw DbError::withState(message.isEmpty() ? QString::fromUtf8(PQerrorMessage(conn)).trimmed() : message, state);
}

QSqlQuery Database::fetchCursor(const QString &name, int rows) const
{
    return exec(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(rows).arg(name));
}

void Database::closeCursor(const QString &name) const
{
    if (m_kind == DbEngine::Postgres && isOpen())
        exec(QStringLiteral("CLOSE ") + name);
}
