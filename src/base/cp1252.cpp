#include "base/cp1252.h"

#include <QList>

namespace {
// 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}

namespace Cp1252 {

char32_t decodeByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHigh[byte - 0x80];
    return byte;
}

bool encodeChar(char32_t cp, unsigned char *byte)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        *byte = static_cast<unsigned char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == cp) {
            *byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

QString toUnicode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out.append(QChar(static_cast<char16_t>(decodeByte(static_cast<unsigned char>(c)))));
    return out;
}

QByteArray fromUnicode(const QString &text, bool *lossless)
{
    QByteArray out;
    out.reserve(text.size());
    bool all = true;
    for (char32_t cp : text.toUcs4()) {
        unsigned char b = 0;
        if (!encodeChar(cp, &b)) {
            b = '?';
            all = false;
        }
        out.append(static_cast<char>(b));
    }
    if (lossless)
        *lossless = all;
    return out;
}

bool canEncode(const QString &text)
{
    return firstUnencodable(text).isEmpty();
}

QString firstUnencodable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80)
            continue;
        char32_t cp = c.unicode();
        qsizetype width = 1;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(c, text.at(i + 1));
            width = 2;
        }
        unsigned char b = 0;
        if (!encodeChar(cp, &b))
            return text.mid(i, width);
        i += width - 1;
    }
    return QString();
}

QString fieldProblem(const QString &fieldName, const QString &text)
{
    const QString c = firstUnencodable(text);
    if (c.isEmpty())
        return QString();
    return QStringLiteral("O campo %1 contém o caractere \"%2\", que não existe no Windows-1252 e não pode ser "
                          "enviado ao Quelora. Corrija o texto.")
        .arg(fieldName, c);
}

}
