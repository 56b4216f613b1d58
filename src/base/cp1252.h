#pragma once
#include <QByteArray>
#include <QString>

// Windows-1252, the single-byte code page of the texts the system exchanges
// (codecs, Paradox tables, import files). Qt 6.4 has no converter for it.
// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control of the same value, as Windows does, so every
// byte round-trips.
namespace Cp1252 {

QString toUnicode(const QByteArray &bytes);
// Characters outside the code page become '?'; *lossless tells whether any did.
QByteArray fromUnicode(const QString &text, bool *lossless = nullptr);
bool canEncode(const QString &text);
// The first character of text that has no byte in the code page (a
// surrogate pair counts as one); empty when every one has.
QString firstUnencodable(const QString &text);
// Why a field's text cannot go to the regulator, naming the field and the
// first such character; empty when it fits.
QString fieldProblem(const QString &fieldName, const QString &text);
// One character; returns false (and leaves *byte alone) when it has no byte.
bool encodeChar(char32_t codePoint, unsigned char *byte);
char32_t decodeByte(unsigned char byte);

}
