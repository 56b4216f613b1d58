// Cached statements of a server transaction sent through the client
// library's pipeline: a write does not wait for its answer, a read waits for
// its own and for those of the writes sent before it, in one round trip.
#include "base/moments.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/placeholders.h"
#include "db/serverpipeline.h"

#include <libpq-fe.h>

namespace {

// The server's type numbers of the columns read here. They read as the
// file's engine gives its values, which every caller of a cached statement
// takes already: integers as qint64, reals as double, moments as their
// stored text, texts as QString, null as a null text. A read giving any
// other type (bytes) runs again through the driver.
constexpr Oid BoolType = 16;
constexpr Oid BytesType = 17;
constexpr Oid BigIntType = 20;
constexpr Oid SmallIntType = 21;
constexpr Oid IntType = 23;
constexpr Oid RealType = 700;
constexpr Oid DoubleType = 701;
constexpr Oid DateType = 1082;
constexpr Oid MomentType = 1114;
constexpr Oid NumericType = 1700;

enum class Kind { Integer, Real, Moment, Text, Other };

Kind kindOf(Oid type)
{
    switch (type) {
    case BoolType:
    case BigIntType:
    case SmallIntType:
    case IntType: return Kind::Integer;
    case RealType:
    case DoubleType:
    case NumericType: return Kind::Real;
    case DateType:
    case MomentType: return Kind::Moment;
    case BytesType: return Kind::Other;
    default: return Kind::Text; // texts of every kind (citext too) read as text
    }
}

bool readable(const PGresult *rows)
{
    for (int c = 0; c < PQnfields(rows); ++c)
        if (kindOf(PQftype(rows, c)) == Kind::Other)
            return false;
    return true;
}

qint64 integerOf(const char *text)
{
    if (text[0] == 't')
        return 1;
    if (text[0] == 'f')
        return 0;
    return QByteArray::fromRawData(text, qsizetype(qstrlen(text))).toLongLong();
}

// Statements that answer with a count only.
bool writes(const QString &sql)
{
    const QString head = sql.trimmed().left(6);
    const bool changing = head.compare(QLatin1String("insert"), Qt::CaseInsensitive) == 0 ||
        head.compare(QLatin1String("update"), Qt::CaseInsensitive) == 0 ||
        head.compare(QLatin1String("delete"), Qt::CaseInsensitive) == 0;
    return changing && !sql.contains(QLatin1String("returning"), Qt::CaseInsensitive);
}

}

bool Database::pipelining() const
{
    return m_kind == DbEngine::Postgres && m_serverTransaction && !m_serverTransactionFailed && !m_statementUndo &&
        !m_serverLost;
}

ServerPipeline &Database::pipeline() const
{
    if (!m_pipeline)
        m_pipeline = std::make_unique<ServerPipeline>();
    return *m_pipeline;
}

DbError Database::pipelineFailure(const QString &message, const QString &state, bool lost, bool guessMissed) const
{
    if (lost) {
        // The server undoes an open transaction whose session ends.
        m_serverTransaction = m_serverTransactionFailed = false;
        m_serverLost = true;
        return DbError::connectionLost(describe(), false);
    }
    // Sent without a savepoint: the transaction can only be undone now.
    m_serverTransactionFailed = true;
    m_failedWithoutUndo = true;
    m_guessMissed = m_guessMissed || guessMissed;
    DbError e = DbError::withState(message, state);
    e.setFailedWithoutStatementUndo();
    return e;
}

bool Database::writesPending() const
{
    return m_pipeline && m_pipeline->pending();
}

void Database::waitForWrites() const
{
    if (!m_pipeline || !m_pipeline->pending())
        return;
    const auto failure = m_pipeline->sync(serverConnection());
    if (failure)
        throw pipelineFailure(failure->message, failure->state, failure->lost, failure->guessMissed);
}

void Database::Statement::dropRows()
{
    if (m_rows)
        PQclear(m_rows);
    m_rows = nullptr;
    m_rowIndex = 0;
}

void Database::Statement::guessNoRow()
{
    if (m_query && m_owner->pipelining()) {
        dropRows();
        m_pipedLast = false;
        if (pipelineRun(true))
            return;
    }
    step();
}

bool Database::Statement::pipelineRun(bool guessEmpty)
{
    PGconn *conn = m_owner->serverConnection();
    if (!conn)
        return false;
    if (!m_piped.known) {
        m_piped.known = true;
        const QString sql = m_query->lastQuery();
        std::vector<Placeholders::Parameter> parameters;
        m_piped.sql = Placeholders::numbered(sql, parameters);
        m_piped.parameters = int(parameters.size());
        // Values bind by their place: a name used twice would take one.
        m_piped.usable = true;
        for (size_t i = 0; i < parameters.size(); ++i)
            for (size_t j = 0; j < i; ++j)
                if (parameters[i].position < 0 && parameters[i].name == parameters[j].name)
                    m_piped.usable = false;
        m_piped.write = writes(sql);
    }
    if (!m_piped.usable || (!m_piped.write && !m_piped.readable))
        return false;
    const QVariantList values = m_query->boundValues();
    if (values.size() != m_piped.parameters)
        return false;
    std::vector<std::optional<QByteArray>> texts;
    texts.reserve(size_t(values.size()));
    for (const QVariant &v : values) {
        if (!ServerPipeline::sendable(v))
            return false;
        texts.push_back(ServerPipeline::parameterText(v));
    }

    ServerPipeline &pipe = m_owner->pipeline();
    try {
        if (m_piped.session != pipe.session() || m_piped.name.isEmpty()) {
            m_owner->waitForWrites(); // a statement is prepared outside a batch
            std::optional<ServerPipeline::Failure> failure;
            m_piped.name = pipe.prepared(conn, m_piped.sql, &failure);
            m_piped.session = pipe.session();
            if (failure) // the transaction can only be undone now
                throw m_owner->pipelineFailure(failure->message, failure->state, failure->lost);
            if (m_piped.name.isEmpty())
                return false;
        }
        const bool guess = guessEmpty && !m_piped.write;
        int slot = pipe.send(conn, m_piped.name, texts, guess);
        if (slot < 0 && pipe.pending()) {
            m_owner->waitForWrites(); // a full batch
            slot = pipe.send(conn, m_piped.name, texts, guess);
        }
        if (slot < 0)
            return false;
        m_piped.slot = slot;
        m_piped.batch = pipe.batch();
        if (m_tally && m_piped.write)
            pipe.countInto(slot, m_tally);
        m_pipedLast = true;
        m_row = false;
        if (m_piped.write || guess)
            return true;
        m_owner->waitForWrites();
        m_rows = pipe.takeRows(slot);
    } catch (...) {
        reset();
        throw;
    }
    if (m_rows && !readable(m_rows)) {
        // Read again through the driver, which types these columns its own
        // way; nothing was sent in between, so the answer is the same.
        m_piped.readable = false;
        dropRows();
        m_pipedLast = false;
        return false;
    }
    m_rowIndex = 0;
    m_row = m_rows && PQntuples(m_rows) > 0;
    return true;
}

bool Database::Statement::pipelineNext()
{
    m_row = ++m_rowIndex < PQntuples(m_rows);
    if (!m_row)
        dropRows();
    return m_row;
}

int Database::Statement::pipelineChanges() const
{
    const ServerPipeline &pipe = m_owner->pipeline();
    if (m_piped.batch != pipe.batch())
        return 0;
    if (pipe.pending())
        m_owner->waitForWrites();
    return pipe.changed(m_piped.slot);
}

QVariant Database::Statement::pipelineValue(int column) const
{
    if (column < 0 || column >= PQnfields(m_rows) || PQgetisnull(m_rows, m_rowIndex, column))
        return QVariant(QMetaType::fromType<QString>());
    const char *text = PQgetvalue(m_rows, m_rowIndex, column);
    switch (kindOf(PQftype(m_rows, column))) {
    case Kind::Integer: return integerOf(text);
    case Kind::Real: return QByteArray::fromRawData(text, qsizetype(qstrlen(text))).toDouble();
    case Kind::Moment: return Moments::storedText(Moments::fromValue(QString::fromLatin1(text)));
    default: return QString::fromUtf8(text, PQgetlength(m_rows, m_rowIndex, column));
    }
}

Database::Statement::Cell Database::Statement::pipelineCell(int column) const
{
    Cell c;
    if (column < 0 || column >= PQnfields(m_rows) || PQgetisnull(m_rows, m_rowIndex, column))
        return c;
    const char *text = PQgetvalue(m_rows, m_rowIndex, column);
    switch (kindOf(PQftype(m_rows, column))) {
    case Kind::Integer:
        c.type = Cell::Integer;
        c.integer = integerOf(text);
        return c;
    case Kind::Real:
        c.type = Cell::Real;
        c.real = QByteArray::fromRawData(text, qsizetype(qstrlen(text))).toDouble();
        return c;
    case Kind::Moment: {
        if (m_cellText.size() <= size_t(column))
            m_cellText.resize(size_t(column) + 1);
        m_cellText[size_t(column)] = pipelineValue(column).toString().toUtf8();
        c.type = Cell::Text;
        c.text = m_cellText[size_t(column)].constData();
        c.size = int(m_cellText[size_t(column)].size());
        return c;
    }
    default:
        c.type = Cell::Text;
        c.text = text;
        c.size = PQgetlength(m_rows, m_rowIndex, column);
        return c;
    }
}
