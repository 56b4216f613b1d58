#include "support/writefailure.h"

#include "db/database.h"

#include <QSqlQuery>
#include <QStringList>

namespace WriteFailure {

namespace {

QString verb(On on)
{
    return on == On::Insert ? QStringLiteral("insert") : QStringLiteral("delete");
}

QString triggerName(const QString &table, On on)
{
    return QStringLiteral("falha_%1_%2").arg(verb(on), table.toLower());
}

QString literal(const QString &text)
{
    QString s = text;
    s.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

}

void arm(Database &db, const QString &table, On on, const QString &condition, const QString &message)
{
    const QString name = triggerName(table, on);
    if (!db.onServer()) {
        db.execute(QStringLiteral("create trigger %1 before %2 on %3 when %4 begin select raise(abort, %5); end")
                       .arg(name, verb(on), table, condition, literal(message)));
        return;
    }
    // A row trigger of the server hands on the row it lets through.
    const QString row = on == On::Insert ? QStringLiteral("new") : QStringLiteral("old");
    db.execute(QStringLiteral("create function %1() returns trigger language plpgsql as $$ begin if %2 then "
                              "raise exception %3; end if; return %4; end $$")
                   .arg(name, condition, literal(message), row));
    db.execute(QStringLiteral("create trigger %1 before %2 on %3 for each row execute function %1()")
                   .arg(name, verb(on), table));
}

void disarm(Database &db, const QString &table, On on)
{
    const QString name = triggerName(table, on);
    if (!db.onServer()) {
        db.execute(QStringLiteral("drop trigger %1").arg(name));
        return;
    }
    db.execute(QStringLiteral("drop trigger %1 on %2").arg(name, table));
    db.execute(QStringLiteral("drop function %1()").arg(name));
}

QString joined(Database &db, const QString &sql)
{
    QStringList values;
    QSqlQuery q = db.exec(sql);
    while (q.next())
        values << q.value(0).toString();
    return values.join(QLatin1Char(','));
}

}
