#include "base/ftpaddress.h"

#include <QRegularExpression>

FtpAddress FtpAddress::split(const QString &address)
{
    FtpAddress out;
    static const QRegularExpression hostEnd(QStringLiteral("[/:\\\\]"));
    static const QRegularExpression sep(QStringLiteral("[/\\\\]"));
    const qsizetype cut = address.indexOf(hostEnd);
    out.host = cut < 0 ? address : address.left(cut);
    QString rest = cut < 0 ? QString() : address.mid(cut);

    if (rest.startsWith(QLatin1Char(':'))) {
        const qsizetype pathStart = rest.indexOf(sep, 1);
        out.port = pathStart < 0 ? rest.mid(1) : rest.mid(1, pathStart - 1);
        out.path = pathStart < 0 ? QString() : rest.mid(pathStart);
        out.path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    } else {
        out.port = QStringLiteral("21");
        // A folder under the login folder: drop the separators around it but
        // keep the ones inside, so "host/in/box" reaches in/box.
        rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
        qsizetype b = 0, e = rest.size();
        while (b < e && rest.at(b) == QLatin1Char('/'))
            ++b;
        while (e > b && rest.at(e - 1) == QLatin1Char('/'))
            --e;
        out.path = rest.mid(b, e - b);
    }
    out.port = out.port.trimmed();
    bool ok = false;
    out.port.toInt(&ok);
    if (!ok)
        out.port = QStringLiteral("21");
    if (out.path.isEmpty())
        out.path = QStringLiteral("/");
    return out;
}
