#include "import/documentchecks.h"

#include <QList>

namespace DocumentChecks {

namespace {

int checkDigit(const QList<int> &digits, const QList<int> &weights)
{
    int sum = 0;
    for (int i = 0; i < weights.size(); ++i)
        sum += digits.at(i) * weights.at(i);
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

}

bool cnpjValid(const QString &text)
{
    if (text == QLatin1String("00.000.000/0000-00"))
        return false;
    QList<int> d;
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            d << c.digitValue();
    if (d.size() != 14)
        return false;
    return checkDigit(d, {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2}) == d.at(12) &&
           checkDigit(d, {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2}) == d.at(13);
}

// A text that is not 11 plain digits is simply invalid (never a conversion error).
bool cpfValid(const QString &text)
{
    if (text.size() != 11)
        return false;
    QList<int> c;
    for (QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
        c << ch.digitValue();
    }
    auto dv = [](int sum) {
        const int v = 11 - sum % 11;
        return v >= 10 ? 0 : v;
    };
    int s1 = 0;
    for (int i = 0; i < 9; ++i)
        s1 += c.at(i) * (10 - i);
    const int dv1 = dv(s1);
    int s2 = 0;
    for (int i = 0; i < 9; ++i)
        s2 += c.at(i) * (11 - i);
    s2 += 2 * dv1;
    const int dv2 = dv(s2);
    return dv1 == c.at(9) && dv2 == c.at(10);
}

}
