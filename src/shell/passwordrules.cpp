#include "shell/passwordrules.h"

#include "base/codecs.h"
#include "base/messenger.h"
#include "base/textutil.h"

namespace PasswordRules {

QString encode(const QString &password)
{
    return Codecs::password(Codecs::Encode, TextUtil::trimBlanks(password));
}

QString decode(const QString &stored)
{
    return Codecs::password(Codecs::Decode, stored);
}

bool acceptable(const QString &password, Messenger &messenger)
{
    const QString p = TextUtil::trimBlanks(password);
    if (p.size() > MaxLength) {
        messenger.error(TooLong);
        return false;
    }
    // Characters outside the code page, or whose code becomes zero once
    // encoded, would be lost and the password could never be typed back.
    if (decode(encode(p)) != p) {
        messenger.error(BadCharacters);
        return false;
    }
    return true;
}

}
