#pragma once
#include "base/apperror.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class Database;

// Steps that must not overlap on one register. A step that depends on state
// reads it inside the write transaction that records it (the engine's write
// lock serialises those). Work that outlives a transaction (a transfer, an
// unpack) holds a marker row naming its owner and start; while a live owner
// holds it, the other steps of the same kind wait a few seconds and refuse.
// A marker whose owner is gone is taken over with a line in the error log.
// On a database server the marker row maps onto a row lock or an advisory
// lock; the rule stays the same.
namespace RegisterStep {

// What a marker guards: the remittance cycle, or the reference tables.
inline QString remittances()
{
    return QStringLiteral("REMESSA");
}
inline QString referenceTables()
{
    return QStringLiteral("TABELAS");
}

// A step refused for the state of the register; message() is for the user.
class Refused : public AppError
{
public:
    using AppError::AppError;
};

constexpr int WaitMs = 5000;
// A marker of another workstation cannot be probed; past this age it is
// taken as abandoned (every transfer gives up long before).
constexpr qint64 AbandonedAfterSecs = 3600;

struct Holder
{
    QString step; // e.g. "Transferência"
    QString owner; // host and process
    QDateTime start; // UTC
};

// The text of a refusal because another step holds the register.
QString busyText(const Holder &holder);
QString busyText(); // when the engine's lock is what refused

// Inside an owned write transaction: refuses (Refused) while another live
// step holds the resource's marker; a dead one is released first. Markers
// this process holds do not count.
void enter(Database &db, const QString &resource = remittances());

// Runs work inside one write transaction once enter() lets it through,
// retrying for up to WaitMs while another step holds the marker. A busy
// engine lock ends as Refused too. Any exception rolls everything back.
void run(Database &db, const std::function<void()> &work, const QString &resource = remittances());

// Held by work that outlives a transaction; released by release() or on
// destruction, in a transaction of its own.
class Marker
{
public:
    Marker(Database &db, const QString &step, const QString &resource = remittances());
    ~Marker();
    Marker(const Marker &) = delete;
    Marker &operator=(const Marker &) = delete;

    // Takes the marker inside run(), after check (which raises Refused to
    // refuse) has passed in the same transaction.
    void take(const std::function<void()> &check = {});
    void release();
    bool held() const { return m_held; }

private:
    Database &m_db;
    QString m_step, m_resource, m_token;
    bool m_held = false;
};

// The holder of a resource's marker, if any (dead or alive).
std::optional<Holder> holder(Database &db, const QString &resource = remittances());

}
