#include "db/serverpipeline.h"

#include <libpq-fe.h>

#include <algorithm>
#include <utility>

namespace {

// Past this many statements unanswered, the server's answers could fill the
// socket while this side still writes: the caller syncs first.
constexpr size_t MostInBatch = 256;
constexpr size_t FlushEvery = 8;
// Statement texts are few (a loop runs a handful); a caller that builds
// endless variants runs them the usual way past this.
constexpr int MostNames = 512;

ServerPipeline::Failure failureOf(pg_conn *conn, const PGresult *r)
{
    ServerPipeline::Failure f;
    if (r) {
        f.state = QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE));
        f.message = QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY));
    }
    if (f.message.isEmpty())
        f.message = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    f.lost = PQstatus(conn) != CONNECTION_OK;
    return f;
}

}

ServerPipeline::~ServerPipeline()
{
    clearSlots();
}

void ServerPipeline::clearSlots()
{
    for (Slot &s : m_slots)
        if (s.rows)
            PQclear(s.rows);
    m_slots.clear();
    m_answered = false;
}

void ServerPipeline::forget()
{
    clearSlots();
    m_names.clear();
    ++m_session;
}

QByteArray ServerPipeline::prepared(pg_conn *conn, const QString &sql, std::optional<Failure> *failure)
{
    const auto known = m_names.constFind(sql);
    if (known != m_names.cend())
        return *known;
    if (m_names.size() >= MostNames || pending())
        return {};
    const QByteArray name = "corvane_p" + QByteArray::number(m_names.size() + 1);
    PGresult *r = PQprepare(conn, name.constData(), sql.toUtf8().constData(), 0, nullptr);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    if (!ok)
        *failure = failureOf(conn, r);
    PQclear(r);
    if (!ok)
        return {};
    m_names.insert(sql, name);
    return name;
}

int ServerPipeline::send(pg_conn *conn, const QByteArray &name, const std::vector<std::optional<QByteArray>> &values,
                         bool guessEmpty)
{
    if (m_answered)
        clearSlots(); // the last batch's answers that nobody took
    if (m_slots.size() >= MostInBatch)
        return -1;
    if (m_slots.empty()) {
        // Only an idle session enters: one whose last answer was read whole.
        if (PQpipelineStatus(conn) != PQ_PIPELINE_OFF || PQtransactionStatus(conn) != PQTRANS_INTRANS ||
            PQisBusy(conn) || !PQenterPipelineMode(conn))
            return -1;
        ++m_batch;
    }
    std::vector<const char *> pointers;
    pointers.reserve(values.size());
    for (const auto &v : values)
        pointers.push_back(v ? v->constData() : nullptr);
    const bool sent = PQsendQueryPrepared(conn, name.constData(), int(pointers.size()), pointers.data(), nullptr,
                                          nullptr, 0) == 1;
    if (!sent && m_slots.empty()) {
        PQexitPipelineMode(conn);
        return -1;
    }
    // Handed over a few at a time, so the server works on them while more
    // are made here, instead of getting them all at the next wait.
    if (sent && m_slots.size() % FlushEvery == FlushEvery - 1)
        PQflush(conn);
    // A statement that could not be sent after others fails the batch at
    // sync(): the client library has its error by then.
    m_slots.push_back(Slot{});
    m_slots.back().guessEmpty = guessEmpty;
    if (!sent)
        m_slots.back().changed = -1;
    return int(m_slots.size()) - 1;
}

std::optional<ServerPipeline::Failure> ServerPipeline::sync(pg_conn *conn)
{
    if (m_slots.empty() || m_answered)
        return std::nullopt;
    m_answered = true;
    std::optional<Failure> first;
    for (const Slot &s : m_slots)
        if (s.changed < 0 && !first)
            first = failureOf(conn, nullptr);
    if (PQpipelineSync(conn) != 1) {
        const Failure f = failureOf(conn, nullptr);
        PQexitPipelineMode(conn);
        return first ? first : f;
    }
    // Each statement's answer is followed by an empty one; the sync's own
    // answer closes the batch.
    size_t slot = 0;
    for (;;) {
        PGresult *r = PQgetResult(conn);
        if (!r) {
            if (PQstatus(conn) != CONNECTION_OK || ++slot > m_slots.size()) {
                if (!first)
                    first = failureOf(conn, nullptr);
                first->lost = PQstatus(conn) != CONNECTION_OK;
                break;
            }
            continue;
        }
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_PIPELINE_SYNC) {
            PQclear(r);
            break;
        }
        if (slot < m_slots.size() && status == PGRES_TUPLES_OK && !m_slots[slot].rows) {
            m_slots[slot].rows = r;
            continue;
        }
        if (slot < m_slots.size() && status == PGRES_COMMAND_OK) {
            m_slots[slot].changed = QByteArray(PQcmdTuples(r)).toInt();
            if (m_slots[slot].tally)
                *m_slots[slot].tally += m_slots[slot].changed;
        } else if (status != PGRES_PIPELINE_ABORTED && status != PGRES_COMMAND_OK && !first)
            first = failureOf(conn, r);
        PQclear(r);
    }
    PQexitPipelineMode(conn);
    // A wrong guess comes first: what failed after it followed from it.
    for (const Slot &s : m_slots) {
        if (s.guessEmpty && s.rows && PQntuples(s.rows) > 0) {
            Failure f;
            f.message = QStringLiteral("uma linha dada como inexistente existe");
            f.guessMissed = true;
            return f;
        }
    }
    return first;
}

pg_result *ServerPipeline::takeRows(int slot)
{
    if (!m_answered || slot < 0 || size_t(slot) >= m_slots.size())
        return nullptr;
    return std::exchange(m_slots[size_t(slot)].rows, nullptr);
}

void ServerPipeline::countInto(int slot, std::shared_ptr<int> tally)
{
    if (!m_answered && slot >= 0 && size_t(slot) < m_slots.size())
        m_slots[size_t(slot)].tally = std::move(tally);
}

int ServerPipeline::changed(int slot) const
{
    if (!m_answered || slot < 0 || size_t(slot) >= m_slots.size())
        return 0;
    return std::max(0, m_slots[size_t(slot)].changed);
}

std::optional<QByteArray> ServerPipeline::parameterText(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::Bool: return QByteArray(v.toBool() ? "1" : "0");
    case QMetaType::Double: return QByteArray::number(v.toDouble(), 'g', 17);
    case QMetaType::QString:
        if (static_cast<const QString *>(v.constData())->isNull())
            return std::nullopt;
        break;
    default: break;
    }
    return v.toString().toUtf8();
}

bool ServerPipeline::sendable(const QVariant &v)
{
    return v.typeId() != QMetaType::QByteArray;
}
