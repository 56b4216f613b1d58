#pragma once
#include "shell/loginstate.h"

#include <QString>
#include <optional>

class Database;
class Messenger;

namespace LoginTexts {
inline const QString Missing = QStringLiteral("Entre com login e senha para acessar o sistema.");
inline const QString Denied = QStringLiteral("Login e/ou senha inválidos.  Acesso negado ao sistema.");
inline const QString CurrentMismatch = QStringLiteral("A Senha atual não confere.");
inline const QString NewMismatch = QStringLiteral("Senhas não conferem.  A alteração não foi feita.");
}

namespace LoginService {

// "Ok" of the login dialog: the login state of the user, or nothing after
// telling why (error box). Raises DbError.
std::optional<LoginState> login(Database &db, const QString &login, const QString &password, Messenger &messenger);

// "Ok" of the password change dialog for the logged-in user: true when the
// new password was stored. Raises DbError.
bool changePassword(Database &db, const QString &userCode, const QString &current, const QString &newPassword,
                    const QString &confirmation, Messenger &messenger);

}
