#pragma once
#include <QString>
#include <optional>

class Database;

// The event log of remittances (CONTROLE) and the log of TXT files handed to
// a transfer mode (CONTROLE_TXT).
namespace ControleLog {

// Widths of the columns the callers fill with free text.
constexpr int ObsWidth = 100;
constexpr int UsuarioWidth = 30;

// Appends one event row stamped with the clock; the remark and the user are
// cut to their columns. Raises DbError.
void append(Database &db, const QString &number, const QString &type, const QString &event,
            const QString &user, const QString &obs = QString());

// The newest event of one remittance (the type is the newest non-empty one).
struct State
{
    QString number;
    QString type;
    QString event;
};
// Events of the same moment are told apart by the order they were written.
std::optional<State> stateOf(Database &db, const QString &number);

// The state of the newest remittance (the one of the newest event).
std::optional<State> newest(Database &db);

// One row of CONTROLE_TXT; false on any database error (never raises).
bool insertTxt(Database &db, const QString &fileName, const QString &obs, const QString &user, bool sent);

}
