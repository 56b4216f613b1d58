#include "remessa/controlelog.h"

#include "db/database.h"

#include <QDateTime>
#include <QSqlQuery>
#include <exception>

namespace ControleLog {

void append(Database &db, const QString &number, const QString &type, const QString &event, const QString &user,
            const QString &obs)
{
    db.execute(QStringLiteral("INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento, Usuario, Obs) "
                              "VALUES (?, ?, ?, ?, ?, ?)"),
               {QDateTime::currentDateTime(), number, type, event, user.left(UsuarioWidth),
                obs.isEmpty() ? QVariant() : QVariant(obs.left(ObsWidth))});
}

std::optional<State> stateOf(Database &db, const QString &number)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT Evento, TipoRemessa FROM CONTROLE WHERE NumeroRemessa = ? "
                                         "ORDER BY DataHoraEvento DESC, rowid DESC"),
                          {number});
    if (!q.next())
        return std::nullopt;
    State s;
    s.number = number;
    s.event = q.value(0).toString();
    s.type = q.value(1).toString();
    while (s.type.isEmpty() && q.next())
        s.type = q.value(1).toString();
    return s;
}

std::optional<State> newest(Database &db)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT NumeroRemessa FROM CONTROLE ORDER BY DataHoraEvento DESC, rowid DESC "
                                         "LIMIT 1"));
    if (!q.next())
        return std::nullopt;
    return stateOf(db, q.value(0).toString());
}

bool insertTxt(Database &db, const QString &fileName, const QString &obs, const QString &user, bool sent)
{
    try {
        db.execute(QStringLiteral("INSERT INTO CONTROLE_TXT(DATAHORAEVENTO,NOMEARQUIVO,OBS,USURESP,ENVIADOQUELORA) "
                                  "VALUES(?,?,?,?,?)"),
                   {QDateTime::currentDateTime(), fileName, obs, user, sent ? QStringLiteral("S") : QStringLiteral("N")});
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

}
