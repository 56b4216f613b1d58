#pragma once
#include "remessa/remittance.h"
#include "remessa/workingvalues.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class Database;

// The event log of remittances (CONTROLE) and the rule of which step each
// state allows. The control window, the batch tool and the step services
// all ask here.
namespace RemessaControl {

using Remittance = ::Remittance;

struct Event
{
    QDateTime moment;
    QString number;
    QString type;
    QString event;
    QString user;
    QString remark;
};

enum class Step { Prepare, Transfer, Receive, Cancel };

struct Offer
{
    bool prepare = false;
    bool transfer = false;
    bool receive = false;
    bool cancel = false;
    bool allows(Step step) const;
};

QString statusText(const QString &event); // "Aguardando Transferência", ...
QString eventDescription(const QString &event); // "Remessa Preparada", ...; "" for others
QString typeText(const QString &type); // "Parcial" / "Completa"
// "OC-" (partial) or "OT-" (complete) + acronym + number + ".zip"; empty for another type.
QString packageName(const QString &type, const QString &acronym, const QString &number);

// The steps offered with this row selected: only the newest remittance has
// any; PR allows transfer and cancel, TR the result, anything else a new
// preparation; with no event at all only the preparation.
Offer offered(const Remittance *selected, bool noEvents);
// The steps allowed now, judged on the newest remittance.
Offer allowedNow(const std::optional<Remittance> &newest);
// Why a step is not allowed now ("" when it is).
QString refusal(Step step, const std::optional<Remittance> &newest);

// Remittances, newest first, one per run of consecutive events of the same
// number in the time-ordered log.
QList<Remittance> remittances(const Database &db);
std::optional<Remittance> newest(const Database &db);
// The same list written into Controle_Temp (the grid's table).
QList<Remittance> rebuild(Database &db);
QList<Event> events(const Database &db, const QString &number);
QList<Event> allEvents(const Database &db);

void appendEvent(Database &db, const QString &number, const QString &type, const QString &event, const QString &user,
                 const QString &remark = QString());

// Inside the writing transaction: the newest remittance when step is allowed
// now (and, given a number, on that remittance); else raises
// RegisterStep::Refused with the reason.
std::optional<Remittance> require(Database &db, Step step, const QString &number = QString());

// The highest remittance number ever given on this register. It lives
// apart from the event log, so clearing the history never lowers it.
QString lastNumber(Database &db);
void recordNumber(Database &db, const QString &number);

// Writes "NO" with "Remessa Cancelada pelo Usuário" and deletes the
// remittance's packages from the transfer folder. The replica stays. The
// state is checked when the event is written, and no transfer may be under
// way: otherwise RegisterStep::Refused.
void cancel(Database &db, const Remittance &remittance, const QString &user, const QString &transferDir,
            const QString &acronym);
// Deletes the log; the rows of keepNumber survive (the shown remittance when
// a preparation is not on offer) and, whatever is selected, those of the
// newest remittance while it waits for transfer or result. The last number
// is kept. Raises RegisterStep::Refused while another step runs.
void clearHistory(Database &db, const QString &keepNumber);

// Event texts and limits.
inline QString cancelRemark()
{
    return QStringLiteral("Remessa Cancelada pelo Usuário");
}
constexpr int RemarkWidth = 100;

}
