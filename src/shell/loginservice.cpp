#include "shell/loginservice.h"

#include "base/messenger.h"
#include "base/textutil.h"
#include "db/database.h"
#include "shell/passwordrules.h"
#include "shell/userstore.h"

namespace LoginService {

std::optional<LoginState> login(Database &db, const QString &login, const QString &password, Messenger &messenger)
{
    const QString code = TextUtil::trimBlanks(login);
    const QString typed = TextUtil::trimBlanks(password);
    if (code.isEmpty() || typed.isEmpty()) {
        messenger.error(LoginTexts::Missing);
        return std::nullopt;
    }
    const std::optional<UserRecord> user = UserStore(db).find(code);
    // An unknown code and a wrong password get the same answer.
    if (!user || PasswordRules::decode(user->senha) != typed) {
        messenger.error(LoginTexts::Denied);
        return std::nullopt;
    }
    LoginState state;
    state.userCode = user->sigla.left(UserStore::SiglaWidth);
    state.userName = user->nome.isEmpty() ? user->sigla : user->nome;
    state.certifier = user->certificador;
    state.rights = user->rights;
    return state;
}

bool changePassword(Database &db, const QString &userCode, const QString &current, const QString &newPassword,
                    const QString &confirmation, Messenger &messenger)
{
    UserStore store(db);
    const std::optional<UserRecord> user = store.find(userCode);
    const QString typedCurrent = TextUtil::trimBlanks(current);
    if (typedCurrent.isEmpty() || !user || PasswordRules::encode(typedCurrent) != user->senha) {
        messenger.error(LoginTexts::CurrentMismatch);
        return false;
    }
    const QString typedNew = TextUtil::trimBlanks(newPassword);
    if (typedNew != TextUtil::trimBlanks(confirmation) || typedNew.isEmpty()) {
        messenger.error(LoginTexts::NewMismatch);
        return false;
    }
    if (!PasswordRules::acceptable(typedNew, messenger))
        return false;
    store.setPassword(user->sigla, PasswordRules::encode(typedNew));
    return true;
}

}
