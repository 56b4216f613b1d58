#include "remessa/registerstep.h"

#include "base/errorlog.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/retry.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutex>
#include <QSet>
#include <QSysInfo>
#include <QThread>
#include <QUuid>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#endif

namespace RegisterStep {
namespace {

constexpr int PollMs = 200;

// Markers this process holds, by token: its own steps never wait on them.
QMutex heldMutex;
QSet<QString> &heldTokens()
{
    static QSet<QString> tokens;
    return tokens;
}
bool heldHere(const QString &token)
{
    QMutexLocker lock(&heldMutex);
    return heldTokens().contains(token);
}
void setHeld(const QString &token, bool held)
{
    QMutexLocker lock(&heldMutex);
    if (held)
        heldTokens().insert(token);
    else
        heldTokens().remove(token);
}

QString hostName()
{
    return QSysInfo::machineHostName();
}

bool processAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
#ifdef Q_OS_WIN
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!h)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return running;
#else
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#endif
}

void ensureTable(Database &db)
{
    // The resource name compares without regard to case on both engines.
    const QString key = db.onServer() ? QStringLiteral("Recurso citext NOT NULL PRIMARY KEY")
                                      : QStringLiteral("Recurso VARCHAR(10) NOT NULL COLLATE NOCASE PRIMARY KEY");
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS CONTROLE_ETAPA (%1, Etapa VARCHAR(40), "
                              "Dono VARCHAR(40), Maquina VARCHAR(100), Processo INTEGER, Inicio VARCHAR(30))")
                   .arg(key));
}

// The file's write lock already keeps one writer at a time; a server lets
// transactions write side by side, so the steps of one resource take a lock
// of the transaction, released when it ends. Waits as long as the file's
// lock would, then refuses as the file does.
void serialise(Database &db, const QString &resource)
{
    if (!db.onServer())
        return;
    const QString sql = QStringLiteral("SELECT pg_try_advisory_xact_lock(hashtext(?))");
    const QVariantList key{QStringLiteral("corvane-etapa-") + resource.toUpper()};
    const QDeadlineTimer deadline(DbErrors::BusyTimeoutMs);
    while (!db.scalar(sql, key).toBool()) {
        if (deadline.hasExpired())
            throw Refused(busyText());
        QThread::msleep(20);
    }
}

struct Row
{
    Holder holder;
    QString token;
    QString host;
    qint64 pid = 0;
};

std::optional<Row> readRow(Database &db, const QString &resource)
{
    if (!db.tableExists(QStringLiteral("CONTROLE_ETAPA")))
        return std::nullopt;
    QSqlQuery q = db.exec(QStringLiteral("SELECT Etapa, Dono, Maquina, Processo, Inicio FROM CONTROLE_ETAPA "
                                         "WHERE Recurso = ?"),
                          {resource});
    if (!q.next())
        return std::nullopt;
    Row r;
    r.holder.step = q.value(0).toString();
    r.token = q.value(1).toString();
    r.host = q.value(2).toString();
    r.pid = q.value(3).toLongLong();
    r.holder.owner = QStringLiteral("%1, processo %2").arg(r.host).arg(r.pid);
    r.holder.start = QDateTime::fromString(q.value(4).toString(), Qt::ISODateWithMs);
    return r;
}

enum class Liveness { Ours, Alive, Gone };

Liveness liveness(const Row &r)
{
    if (heldHere(r.token))
        return Liveness::Ours;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!r.holder.start.isValid() || r.holder.start.secsTo(now) > AbandonedAfterSecs)
        return Liveness::Gone;
    if (r.host.compare(hostName(), Qt::CaseInsensitive) != 0)
        return Liveness::Alive;
    // Our own process id under a token we no longer hold: left by an
    // earlier process that had the same id.
    if (r.pid == QCoreApplication::applicationPid())
        return Liveness::Gone;
    return processAlive(r.pid) ? Liveness::Alive : Liveness::Gone;
}

// The busy holder, after releasing a dead one.
std::optional<Holder> busyHolder(Database &db, const QString &resource)
{
    const std::optional<Row> r = readRow(db, resource);
    if (!r)
        return std::nullopt;
    switch (liveness(*r)) {
    case Liveness::Ours: return std::nullopt;
    case Liveness::Alive: return r->holder;
    case Liveness::Gone: break;
    }
    db.execute(QStringLiteral("DELETE FROM CONTROLE_ETAPA WHERE Recurso = ?"), {resource});
    ErrorLog::append(
        QStringLiteral("Marca da etapa \"%1\" (%2, iniciada em %3 UTC) retomada: o processo dono "
                       "não está mais em execução.")
            .arg(r->holder.step, r->holder.owner, r->holder.start.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))),
        QStringLiteral("RegisterStep"));
    return std::nullopt;
}

class Busy : public Refused
{
public:
    explicit Busy(const Holder &h)
        : Refused(busyText(h))
    { }
};

} // namespace

QString busyText(const Holder &h)
{
    return QStringLiteral("Outra operação (%1) está em andamento neste cadastro desde %2 UTC (%3). "
                          "Aguarde o seu término e tente novamente.")
        .arg(h.step, h.start.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")), h.owner);
}

QString busyText()
{
    return QStringLiteral("Outra operação está em andamento neste cadastro. Aguarde o seu término e tente novamente.");
}

void enter(Database &db, const QString &resource)
{
    serialise(db, resource);
    if (const std::optional<Holder> h = busyHolder(db, resource))
        throw Busy(*h);
}

void run(Database &db, const std::function<void()> &work, const QString &resource)
{
    // Inside a caller's transaction there is nothing to release while waiting.
    if (db.inTransaction()) {
        enter(db, resource);
        work();
        return;
    }
    const QDeadlineTimer deadline(WaitMs);
    for (;;) {
        try {
            DbRetry::run(db, [&] {
                enter(db, resource);
                work();
            });
            return;
        } catch (const Busy &) {
            if (deadline.hasExpired())
                throw;
        } catch (const DbError &e) {
            if (e.isBusy())
                throw Refused(busyText());
            throw;
        }
        QThread::msleep(PollMs);
    }
}

std::optional<Holder> holder(Database &db, const QString &resource)
{
    const std::optional<Row> r = readRow(db, resource);
    return r ? std::optional<Holder>(r->holder) : std::nullopt;
}

Marker::Marker(Database &db, const QString &step, const QString &resource)
    : m_db(db),
      m_step(step),
      m_resource(resource),
      m_token(QUuid::createUuid().toString(QUuid::WithoutBraces))
{ }

Marker::~Marker()
{
    try {
        release();
    } catch (...) { }
}

void Marker::take(const std::function<void()> &check)
{
    if (m_held)
        return;
    run(
        m_db,
        [&] {
            // Another marker of this same process is no less busy.
            if (const std::optional<Row> r = readRow(m_db, m_resource); r && r->token != m_token && heldHere(r->token))
                throw Busy(r->holder);
            if (check)
                check();
            ensureTable(m_db);
            m_db.execute(
                QStringLiteral("INSERT INTO CONTROLE_ETAPA (Recurso, Etapa, Dono, Maquina, Processo, Inicio) "
                               "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (Recurso) DO UPDATE SET Etapa = excluded.Etapa, "
                               "Dono = excluded.Dono, Maquina = excluded.Maquina, Processo = excluded.Processo, "
                               "Inicio = excluded.Inicio"),
                {m_resource, m_step, m_token, hostName(), QCoreApplication::applicationPid(),
                 QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)});
        },
        m_resource);
    m_held = true;
    setHeld(m_token, true);
}

void Marker::release()
{
    if (!m_held)
        return;
    m_held = false;
    setHeld(m_token, false);
    // A release that fails leaves a marker whose owner will be gone: the
    // next step takes it over.
    try {
        DbRetry::run(m_db, [&] {
            m_db.execute(QStringLiteral("DELETE FROM CONTROLE_ETAPA WHERE Recurso = ? AND Dono = ?"),
                         {m_resource, m_token});
        });
    } catch (const std::exception &e) {
        ErrorLog::append(QStringLiteral("A marca da etapa \"%1\" não pôde ser liberada: %2")
                             .arg(m_step, QString::fromUtf8(e.what())),
                         DbErrors::className(e));
    }
}

}
