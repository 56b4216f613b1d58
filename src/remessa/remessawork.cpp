#include "remessa/remessawork.h"

#include "remessa/remessacontrol.h"
#include "shell/loginstate.h"

#include <QDir>

RemessaWork RemessaWork::from(const RemessaControl::WorkingValues &values, const LoginState &login,
                              const QString &number, const QString &type)
{
    RemessaWork w;
    w.transferDir = values.transferDir;
    w.syncDir = values.syncDir;
    w.sigla = values.acronym;
    w.nomeOCC = values.occName;
    w.userCode = login.userCode;
    w.userName = login.userName.isEmpty() ? login.userCode : login.userName;
    w.number = number;
    w.type = type;
    return w;
}

QString RemessaWork::packageName() const
{
    return RemessaControl::packageName(type, sigla, number);
}

QString RemessaWork::folder(const QString &path)
{
    QString f = QDir::fromNativeSeparators(path.trimmed()).left(100);
    if (!f.isEmpty() && !f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return f;
}
