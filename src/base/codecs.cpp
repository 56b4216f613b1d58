#include "base/codecs.h"
#include "base/cp1252.h"

namespace {

// Texts longer than the buffer are cut to it: the buffer is all the old
// routine ever had room for.
QByteArray transform(Codecs::Mode mode, const QByteArray &in, int bufferSize, int step)
{
    QByteArray buf(bufferSize, '\0');
    const int n = qMin<qsizetype>(in.size(), bufferSize);
    for (int i = 0; i < n; ++i) {
        const int c = static_cast<unsigned char>(in.at(i));
        const int shift = step * i - 10;
        const int v = mode == Codecs::Encode ? c - shift : c + shift;
        buf[i] = static_cast<char>(((v % 256) + 256) % 256);
    }
    const qsizetype end = buf.indexOf('\0');
    return end < 0 ? buf : buf.left(end);
}

}

namespace Codecs {

QByteArray passwordBytes(Mode mode, const QByteArray &bytes)
{
    return transform(mode, bytes, 10, 3);
}
QByteArray confirmationBytes(Mode mode, const QByteArray &bytes)
{
    return transform(mode, bytes, 21, 1);
}

QString password(Mode mode, const QString &text)
{
    return Cp1252::toUnicode(passwordBytes(mode, Cp1252::fromUnicode(text)));
}

QString confirmation(Mode mode, const QString &text)
{
    return Cp1252::toUnicode(confirmationBytes(mode, Cp1252::fromUnicode(text)));
}

}
