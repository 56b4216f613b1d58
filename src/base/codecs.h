#pragma once
#include <QByteArray>
#include <QString>

// The two reversible character-offset transformations of the system: the
// password codec (user passwords, the version stamp of a remittance) and the
// confirmation codec (result codes typed by the user). Both work on the
// CP1252 bytes of the text; the result ends at the first zero byte.
namespace Codecs {

enum Mode { Encode = 0, Decode = 1 };

// Buffer of 10: encode (c - 3i + 10) mod 256, decode (c + 3i - 10) mod 256.
QString password(Mode mode, const QString &text);
// Buffer of 21: encode (c - i + 10) mod 256, decode (c + i - 10) mod 256.
QString confirmation(Mode mode, const QString &text);

// The same on raw bytes, for callers that store the single-byte form.
QByteArray passwordBytes(Mode mode, const QByteArray &bytes);
QByteArray confirmationBytes(Mode mode, const QByteArray &bytes);

}
