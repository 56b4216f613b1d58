#include "db/serveraddress.h"

#include "base/apperror.h"

#include <QUrl>

ServerAddress ServerAddress::parse(const QString &text)
{
    const QString t = text.trimmed();
    const auto bad = [&t](const QString &why) {
        return AppError(QStringLiteral("Endereço de servidor inválido (%1): %2").arg(t, why));
    };
    const QUrl url(t, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres")))
        throw bad(QStringLiteral("use postgresql://USUARIO@SERVIDOR:PORTA/BANCO"));
    if (!url.password().isEmpty())
        throw bad(QStringLiteral("a senha não pode fazer parte do endereço; use PGPASSWORD ou ~/.pgpass"));
    if (url.hasQuery() || url.hasFragment())
        throw bad(QStringLiteral("o endereço não aceita parâmetros"));
    ServerAddress a;
    a.user = url.userName();
    a.host = url.host();
    a.port = url.port(5432);
    a.name = url.path().mid(1);
    if (a.host.isEmpty())
        throw bad(QStringLiteral("falta o servidor"));
    if (a.name.isEmpty() || a.name.contains(QLatin1Char('/')))
        throw bad(QStringLiteral("falta o nome do banco de dados"));
    return a;
}

QString ServerAddress::uri() const
{
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    url.setHost(host);
    url.setPort(port);
    url.setPath(QLatin1Char('/') + name);
    return url.toString();
}

QString ServerAddress::shortText() const
{
    return QStringLiteral("%1:%2/%3").arg(host).arg(port).arg(name);
}
