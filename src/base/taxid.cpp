#include "base/taxid.h"
#include "base/apperror.h"
#include "base/messenger.h"
#include "base/textutil.h"

namespace {

const QString kCnpjCaption = QStringLiteral("Erro de validação do CNPJ");
const QString kCnpjCheckDigit = QStringLiteral("O CNPJ fornecido não é válido (dígito verificador não confere).");
const QString kCnpjLength = QStringLiteral("O CNPJ fornecido não é válido (forneça 14 dígitos).");

QString digitsOf(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out.append(c);
    }
    return out;
}

int digit(const QString &s, int i)
{
    return s.at(i).unicode() - '0';
}

int cnpjDigit(const QString &d, const int *weights, int count)
{
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += weights[i] * digit(d, i);
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

bool refuse(Messenger *m, const QString &text)
{
    if (m)
        m->error(text, kCnpjCaption);
    return false;
}

bool cpfDigits(const QString &text)
{
    int c[9];
    for (int i = 0; i < 9; ++i) {
        const QChar ch = i < text.size() ? text.at(i) : QChar();
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            throw AppError(
                QStringLiteral("'%1' não é um valor inteiro válido.").arg(ch.isNull() ? QString() : QString(ch)));
        c[i] = ch.unicode() - '0';
    }
    int s1 = 0;
    for (int i = 0; i < 9; ++i)
        s1 += (10 - i) * c[i];
    int dv1 = 11 - s1 % 11;
    if (dv1 >= 10)
        dv1 = 0;
    int s2 = 2 * dv1;
    for (int i = 0; i < 9; ++i)
        s2 += (11 - i) * c[i];
    int dv2 = 11 - s2 % 11;
    if (dv2 >= 10)
        dv2 = 0;
    return text.size() >= 11 && text.at(9) == QChar('0' + dv1) && text.at(10) == QChar('0' + dv2);
}

}

namespace TaxId {

QString cnpjMask(const QString &text, bool withMask)
{
    const QString d = digitsOf(text);
    if (!withMask || d.size() != 14)
        return d;
    return d.left(2) + QLatin1Char('.') + d.mid(2, 3) + QLatin1Char('.') + d.mid(5, 3) + QLatin1Char('/') +
        d.mid(8, 4) + QLatin1Char('-') + d.mid(12, 2);
}

QString cpfDisplay(const QString &text)
{
    if (text.size() <= 9)
        return text;
    return text.left(9) + QLatin1Char('-') + text.mid(9, 11);
}

bool cnpjCheck(const QString &text, Messenger *messenger)
{
    if (text == QLatin1String("00.000.000/0000-00"))
        return refuse(messenger, kCnpjCheckDigit);
    const QString d = digitsOf(text);
    if (d.size() != 14)
        return refuse(messenger, kCnpjLength);
    static const int w1[12] = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    static const int w2[13] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    if (cnpjDigit(d, w1, 12) != digit(d, 12) || cnpjDigit(d, w2, 13) != digit(d, 13))
        return refuse(messenger, kCnpjCheckDigit);
    return true;
}

bool cpfCheck(const QString &text)
{
    if (text.isEmpty() || text == QLatin1String("00000000000"))
        return false;
    return cpfDigits(text);
}

bool cpfCheckImport(const QString &text)
{
    if (TextUtil::trimBlanks(text).isEmpty())
        return false;
    return cpfDigits(text);
}

}
