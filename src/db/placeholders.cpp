#include "db/placeholders.h"

namespace Placeholders {

QString numbered(const QString &sql, std::vector<Parameter> &parameters)
{
    QString out;
    out.reserve(sql.size());
    QChar quote;
    int questionMarks = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('?')) {
            parameters.push_back({QString(), questionMarks++});
            out += QLatin1Char('$') + QString::number(parameters.size());
            continue;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() && (sql.at(i + 1).isLetter() || sql.at(i + 1) == u'_') &&
                   (i == 0 || sql.at(i - 1) != u':')) {
            qsizetype end = i + 1;
            while (end < sql.size() && (sql.at(end).isLetterOrNumber() || sql.at(end) == u'_'))
                ++end;
            const QString name = sql.mid(i + 1, end - i - 1);
            size_t at = 0;
            while (at < parameters.size() && parameters[at].name != name)
                ++at;
            if (at == parameters.size())
                parameters.push_back({name, -1});
            out += QLatin1Char('$') + QString::number(at + 1);
            i = end - 1;
            continue;
        }
        out += c;
    }
    return out;
}

bool any(const QString &sql)
{
    std::vector<Parameter> parameters;
    numbered(sql, parameters);
    return !parameters.empty();
}

}
