#include "remessa/remessawork.h"

#include "shell/configlocal.h"
#include "shell/loginstate.h"

#include <QDir>

RemessaWork RemessaWork::load(Database &db, const LoginState &login)
{
    RemessaWork w;
    if (const auto config = ConfigLocalStore::read(db)) {
        w.transferDir = folder(config->dirLocalTransf);
        w.syncDir = folder(config->dirLocalSincr);
        w.sigla = config->siglaCertificador.left(8);
        w.nomeOCC = config->nomeOCC.left(100);
    }
    w.userCode = login.userCode;
    w.userName = login.userName;
    return w;
}

QString RemessaWork::packageName(const QString &sigla, const QString &number, const QString &type)
{
    if (type.compare(QLatin1String("C"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("OC-") + sigla + number + QStringLiteral(".zip");
    if (type.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("OT-") + sigla + number + QStringLiteral(".zip");
    return QString();
}

QString RemessaWork::folder(const QString &path)
{
    QString f = QDir::fromNativeSeparators(path.trimmed()).left(100);
    if (!f.isEmpty() && !f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return f;
}
