#include "remessa/remessacontrol.h"
#include "base/apppaths.h"
#include "base/moments.h"
#include "db/database.h"
#include "db/retry.h"
#include "remessa/registerstep.h"
#include "shell/configlocal.h"

#include <QDir>
#include <QFile>

namespace RemessaControl {

bool Offer::allows(Step step) const
{
    switch (step) {
    case Step::Prepare: return prepare;
    case Step::Transfer: return transfer;
    case Step::Receive: return receive;
    case Step::Cancel: return cancel;
    }
    return false;
}

QString statusText(const QString &event)
{
    if (event == QLatin1String("PR"))
        return QStringLiteral("Aguardando Transferência");
    if (event == QLatin1String("TR"))
        return QStringLiteral("Aguardando Resultado");
    if (event == QLatin1String("OK") || event == QLatin1String("NO"))
        return QStringLiteral("Finalizada");
    return QString();
}

QString eventDescription(const QString &event)
{
    if (event == QLatin1String("PR"))
        return QStringLiteral("Remessa Preparada");
    if (event == QLatin1String("TR"))
        return QStringLiteral("Enviada para o Quelora");
    if (event == QLatin1String("OK"))
        return QStringLiteral("Finalizada - OK");
    if (event == QLatin1String("NO"))
        return QStringLiteral("Finalizada - Erro");
    return QString();
}

QString typeText(const QString &type)
{
    if (type == QLatin1String("C"))
        return QStringLiteral("Parcial");
    if (type == QLatin1String("T"))
        return QStringLiteral("Completa");
    return type;
}

QString packageName(const QString &type, const QString &acronym, const QString &number)
{
    return Remittance::packageNameFor(type, acronym, number);
}

Offer offered(const Remittance *selected, bool noEvents)
{
    Offer o;
    if (selected && selected->newest) {
        if (selected->event == QLatin1String("PR")) {
            o.transfer = o.cancel = true;
        } else if (selected->event == QLatin1String("TR")) {
            o.receive = true;
        } else {
            o.prepare = true;
        }
    }
    if (noEvents) {
        o.prepare = true;
        o.cancel = false;
    }
    return o;
}

Offer allowedNow(const std::optional<Remittance> &newest)
{
    return newest ? offered(&*newest, false) : offered(nullptr, true);
}

QString refusal(Step step, const std::optional<Remittance> &newest)
{
    if (allowedNow(newest).allows(step))
        return QString();
    if (!newest)
        return QStringLiteral("Não há remessa preparada.");
    const QString n = newest->number;
    const QString state = newest->event == QLatin1String("PR") ? QStringLiteral("aguarda transferência")
        : newest->event == QLatin1String("TR")                 ? QStringLiteral("aguarda o resultado do Quelora")
                                                               : QStringLiteral("já foi finalizada");
    switch (step) {
    case Step::Prepare:
        return QStringLiteral("A remessa %1 %2: uma nova remessa só pode ser preparada depois que ela for finalizada.")
            .arg(n, state);
    case Step::Transfer: return QStringLiteral("A remessa %1 %2: não há arquivo a transferir.").arg(n, state);
    case Step::Receive: return QStringLiteral("A remessa %1 %2: não há resultado a receber.").arg(n, state);
    case Step::Cancel: return QStringLiteral("A remessa %1 %2 e não pode ser cancelada.").arg(n, state);
    }
    return QString();
}

namespace {
// Newest event first. Events written within the same millisecond keep the
// order in which they can happen: later remittances have higher numbers,
// and a remittance is prepared, then transferred, then settled.
QString newestFirst()
{
    return QStringLiteral("DataHoraEvento DESC, NumeroRemessa DESC, "
                          "CASE Evento WHEN 'PR' THEN 0 WHEN 'TR' THEN 1 ELSE 2 END DESC");
}
}

QList<Remittance> remittances(const Database &db)
{
    QList<Remittance> out;
    QSqlQuery q = db.exec(QStringLiteral("SELECT DataHoraEvento, NumeroRemessa, TipoRemessa, Evento FROM CONTROLE "
                                         "ORDER BY ") +
                          newestFirst());
    QString current;
    bool first = true;
    while (q.next()) {
        const QString number = q.value(1).toString();
        if (!first && number == current)
            continue;
        Remittance r;
        r.number = number;
        r.event = q.value(3).toString();
        r.type = q.value(2).toString();
        r.status = statusText(r.event);
        r.newest = first;
        out << r;
        current = number;
        first = false;
    }
    return out;
}

std::optional<Remittance> newest(const Database &db)
{
    const QList<Remittance> all = remittances(db);
    if (all.isEmpty())
        return std::nullopt;
    return all.first();
}

QList<Remittance> rebuild(Database &db)
{
    const QList<Remittance> all = remittances(db);
    DbRetry::run(db, [&] {
        db.execute(QStringLiteral("DELETE FROM Controle_Temp"));
        for (const Remittance &r : all)
            db.execute(QStringLiteral("INSERT INTO Controle_Temp (NumeroRemessa, Status, Evento, Ultima, TipoRemessa) "
                                      "VALUES (?, ?, ?, ?, ?)"),
                       {r.number, r.status, r.event, r.newest ? QStringLiteral("S") : QString(),
                        r.type.isEmpty() ? QVariant() : QVariant(r.type)});
    });
    return all;
}

namespace {
QList<Event> readEvents(QSqlQuery &q)
{
    QList<Event> out;
    while (q.next()) {
        Event e;
        e.moment = Moments::fromValue(q.value(0));
        e.number = q.value(1).toString();
        e.type = q.value(2).toString();
        e.event = q.value(3).toString();
        e.user = q.value(4).toString();
        e.remark = q.value(5).toString();
        out << e;
    }
    return out;
}
}

QList<Event> events(const Database &db, const QString &number)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT DataHoraEvento, NumeroRemessa, TipoRemessa, Evento, Usuario, Obs "
                                         "FROM CONTROLE WHERE NumeroRemessa = ? ORDER BY ") +
                              newestFirst(),
                          {number});
    return readEvents(q);
}

QList<Event> allEvents(const Database &db)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT DataHoraEvento, NumeroRemessa, TipoRemessa, Evento, Usuario, Obs "
                                         "FROM CONTROLE ORDER BY ") +
                          newestFirst());
    return readEvents(q);
}

void appendEvent(Database &db, const QString &number, const QString &type, const QString &event, const QString &user,
                 const QString &remark)
{
    db.execute(QStringLiteral("INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento, Usuario, Obs) "
                              "VALUES (?, ?, ?, ?, ?, ?)"),
               {QDateTime::currentDateTime(), number.left(10), type.left(1), event.left(2), user.left(30),
                remark.isEmpty() ? QVariant() : QVariant(remark.left(RemarkWidth))});
}

void cancel(Database &db, const Remittance &remittance, const QString &user, const QString &transferDir,
            const QString &acronym)
{
    RegisterStep::run(db, [&] {
        require(db, Step::Cancel, remittance.number);
        appendEvent(db, remittance.number, remittance.type, QStringLiteral("NO"), user, cancelRemark());
    });
    // Whichever type the package had; a file already gone is no error.
    for (const QString &type : {QStringLiteral("C"), QStringLiteral("T")})
        QFile::remove(QDir(transferDir).filePath(packageName(type, acronym, remittance.number)));
}

std::optional<Remittance> require(Database &db, Step step, const QString &number)
{
    const std::optional<Remittance> last = newest(db);
    const QString why = refusal(step, last);
    if (!why.isEmpty())
        throw RegisterStep::Refused(why);
    if (!number.isEmpty() && last && last->number != number)
        throw RegisterStep::Refused(
            QStringLiteral("A remessa %1 não é mais a última: a lista de remessas mudou. Atualize-a e tente novamente.")
                .arg(number));
    return last;
}

namespace {
void ensureNumberTable(Database &db)
{
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS CONTROLE_NUMERO ("
                              "Id INTEGER NOT NULL PRIMARY KEY CHECK (Id = 1), UltimaRemessa VARCHAR(10))"));
}
}

QString lastNumber(Database &db)
{
    // Registers of earlier versions have only the log to go by.
    QString last = db.scalar(QStringLiteral("SELECT MAX(NumeroRemessa) FROM CONTROLE")).toString();
    if (db.tableExists(QStringLiteral("CONTROLE_NUMERO"))) {
        const QString kept =
            db.scalar(QStringLiteral("SELECT UltimaRemessa FROM CONTROLE_NUMERO WHERE Id = 1")).toString();
        last = qMax(last, kept);
    }
    return last;
}

void recordNumber(Database &db, const QString &number)
{
    const QString highest = qMax(lastNumber(db), number);
    if (highest.isEmpty())
        return;
    ensureNumberTable(db);
    db.execute(QStringLiteral("INSERT INTO CONTROLE_NUMERO (Id, UltimaRemessa) VALUES (1, ?) "
                              "ON CONFLICT (Id) DO UPDATE SET UltimaRemessa = excluded.UltimaRemessa"),
               {highest});
}

WorkingValues workingValues(const Database &db)
{
    WorkingValues w;
    const std::optional<ConfigLocal> c = ConfigLocalStore::read(db);
    if (!c)
        return w;
    auto folder = [](const QString &dir) {
        const QString d = AppPaths::resolve(dir.trimmed().left(100));
        return d.isEmpty() || d.endsWith(QLatin1Char('/')) || d.endsWith(QLatin1Char('\\')) ? d : d + QLatin1Char('/');
    };
    w.syncDir = folder(c->dirLocalSincr);
    w.transferDir = folder(c->dirLocalTransf);
    w.acronym = c->siglaCertificador.left(8);
    w.occName = c->nomeOCC.left(100);
    return w;
}

void clearHistory(Database &db, const QString &keepNumber)
{
    RegisterStep::run(db, [&] {
        QStringList keep;
        if (!keepNumber.isEmpty())
            keep << keepNumber;
        const std::optional<Remittance> last = newest(db);
        if (last && (last->event == QLatin1String("PR") || last->event == QLatin1String("TR")))
            keep << last->number;
        recordNumber(db, QString());
        if (keep.isEmpty())
            db.execute(QStringLiteral("DELETE FROM CONTROLE"));
        else if (keep.size() == 1)
            db.execute(QStringLiteral("DELETE FROM CONTROLE WHERE NumeroRemessa <> ?"), {keep.at(0)});
        else
            db.execute(QStringLiteral("DELETE FROM CONTROLE WHERE NumeroRemessa <> ? AND NumeroRemessa <> ?"),
                       {keep.at(0), keep.at(1)});
    });
}

}
