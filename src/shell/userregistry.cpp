#include "shell/userregistry.h"

#include "base/messenger.h"
#include "base/textutil.h"
#include "db/database.h"
#include "db/dberror.h"
#include "shell/passwordrules.h"

bool UserRegistry::isAdministrator(const QString &sigla)
{
    return TextUtil::trimBlanks(sigla).compare(QLatin1String("admin"), Qt::CaseInsensitive) == 0;
}

bool UserRegistry::mayInclude(const QString &certifierCode)
{
    if (TextUtil::trimBlanks(certifierCode).isEmpty()) {
        m_messenger.plain(UserRegistryTexts::NotConfigured, UserRegistryTexts::EditError);
        return false;
    }
    return true;
}

UserRecord UserRegistry::newRecord(const QString &certifierCode)
{
    UserRecord u;
    u.certificador = TextUtil::trimBlanks(certifierCode);
    return u;
}

bool UserRegistry::remove(const QString &sigla)
{
    if (isAdministrator(sigla)) {
        m_messenger.plain(UserRegistryTexts::AdminNotDeleted, UserRegistryTexts::DeleteError);
        return false;
    }
    if (!m_messenger.confirm(UserRegistryTexts::DeleteQuestion, UserRegistryTexts::DeleteCaption))
        return false;
    Transaction tx(m_db);
    UserStore(m_db).remove(sigla);
    tx.commit();
    return true;
}

void UserRegistry::checkWidths(const UserRecord &user) const
{
    if (user.sigla.size() > UserStore::SiglaWidth)
        throw AppError(UserRegistryTexts::SiglaTooLong);
    if (user.nome.size() > UserStore::NomeWidth)
        throw AppError(UserRegistryTexts::NameTooLong);
}

UserRegistry::Outcome UserRegistry::saveNew(UserRecord user, const QString &password, const QString &confirmation)
{
    user.sigla = TextUtil::trimBlanks(user.sigla);
    if (user.sigla.isEmpty()) {
        m_messenger.plain(UserRegistryTexts::SiglaEmpty, UserRegistryTexts::EditError);
        return Outcome::SiglaEmpty;
    }
    // Blank-only passwords count as empty: they would be stored empty.
    if (password != confirmation || TextUtil::trimBlanks(password).isEmpty()) {
        m_messenger.error(UserRegistryTexts::PasswordsDiffer);
        return Outcome::PasswordsRefused;
    }
    if (!PasswordRules::acceptable(password, m_messenger))
        return Outcome::PasswordsRefused;
    user.senha = PasswordRules::encode(password);
    if (TextUtil::trimBlanks(user.nome).isEmpty())
        user.nome = user.sigla;
    checkWidths(user);
    try {
        Transaction tx(m_db);
        UserStore(m_db).insert(user);
        tx.commit();
    } catch (const DbError &e) {
        // Only a clash of codes means the user exists; anything else is a
        // failed write and is not passed off as a duplicate.
        if (e.isKeyViolation())
            m_messenger.error(user.sigla.isEmpty() ? UserRegistryTexts::NoSigla : UserRegistryTexts::Duplicate);
        else
            m_messenger.error(UserRegistryTexts::WriteError);
        return Outcome::Discarded;
    }
    return Outcome::Saved;
}

UserRegistry::Outcome UserRegistry::saveChanged(const QString &originalSigla, UserRecord user)
{
    user.sigla = TextUtil::trimBlanks(user.sigla);
    UserStore store(m_db);
    const std::optional<UserRecord> stored = store.find(originalSigla);
    if (stored && isAdministrator(stored->sigla)) {
        user.sigla = stored->sigla;
        user.rights = stored->rights;
    }
    if (user.sigla.isEmpty()) {
        m_messenger.plain(UserRegistryTexts::SiglaEmpty, UserRegistryTexts::EditError);
        return Outcome::SiglaEmpty;
    }
    // The password is changed only through the password change dialog.
    if (stored)
        user.senha = stored->senha;
    checkWidths(user);
    Transaction tx(m_db);
    store.update(originalSigla, user);
    tx.commit();
    return Outcome::Saved;
}
