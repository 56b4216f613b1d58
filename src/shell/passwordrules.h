#pragma once
#include <QString>

class Messenger;

// How passwords are checked, stored and compared. A password is kept trimmed:
// login compares trimmed text, so blanks around a stored password could never
// match.
namespace PasswordRules {

constexpr int MaxLength = 10;

inline const QString TooLong = QStringLiteral("A senha deve ter no máximo 10 caracteres.");
inline const QString BadCharacters = QStringLiteral(
    "A senha contém caracteres que não podem ser gravados. Escolha outra senha.");

// Encoded form to store in SenhaUsu (of the trimmed text).
QString encode(const QString &password);
QString decode(const QString &stored);
// True when the trimmed password can be stored and matched at login later:
// at most 10 characters, and every character survives the codec. Tells the
// user otherwise (error box).
bool acceptable(const QString &password, Messenger &messenger);

}
