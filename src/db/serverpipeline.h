#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

// Statements of a server session sent one after another without waiting for
// each answer (the client library's pipeline), then answered together: a
// loop of small writes then costs one round trip instead of one a
// statement. The statements are prepared once per session under names of
// their own.
class ServerPipeline
{
public:
    struct Failure
    {
        QString message;
        QString state; // the server's SQLSTATE; empty when the client library failed
        bool lost = false; // the session is gone
        bool guessMissed = false; // a read sent as sure to give no row gave one
    };

    ServerPipeline() = default;
    ~ServerPipeline();
    ServerPipeline(const ServerPipeline &) = delete;
    ServerPipeline &operator=(const ServerPipeline &) = delete;

    // The name sql (with $1, $2, ...) is prepared under on this session,
    // preparing it now when new; empty, with *failure set, when it cannot
    // be. Only outside a batch.
    QByteArray prepared(pg_conn *conn, const QString &sql, std::optional<Failure> *failure);
    // Sends a prepared statement with its values (text, or none for null).
    // Its number in the batch, or -1 when the connection cannot take it
    // now (it is then run the usual way; nothing was sent).
    // guessEmpty: a read whose caller went on as if it gave no row; one that
    // gives a row fails the batch at sync().
    int send(pg_conn *conn, const QByteArray &name, const std::vector<std::optional<QByteArray>> &values,
             bool guessEmpty = false);
    // Statements sent and not yet answered.
    bool pending() const { return !m_slots.empty() && !m_answered; }
    // Waits for the answers of everything sent; the first failure, if any
    // (the server refuses all that follows it in the batch).
    std::optional<Failure> sync(pg_conn *conn);
    // After sync(): the rows a statement of the batch gave (the caller
    // frees them with PQclear), and the rows it changed.
    pg_result *takeRows(int slot);
    // The rows the slot's statement changes are added to *tally when its
    // answer comes.
    void countInto(int slot, std::shared_ptr<int> tally);
    int changed(int slot) const;
    // Increases with every batch sent: a slot is valid in its batch only.
    quint64 batch() const { return m_batch; }
    // A new session: names prepared on the old one are unknown there.
    void forget();
    // Changes with forget(): a name kept by a caller is valid while unchanged.
    quint64 session() const { return m_session; }

    // A value as the server reads a parameter of unstated type (the type the
    // statement gives it); none for null.
    static std::optional<QByteArray> parameterText(const QVariant &v);
    // Whether the server can take the value as text (a byte array cannot).
    static bool sendable(const QVariant &v);

private:
    struct Slot
    {
        pg_result *rows = nullptr;
        int changed = 0;
        bool guessEmpty = false;
        std::shared_ptr<int> tally; // takes changed when the answer comes
    };
    void clearSlots();
    QHash<QString, QByteArray> m_names;
    std::vector<Slot> m_slots;
    bool m_answered = false;
    quint64 m_batch = 0;
    quint64 m_session = 1;
};
