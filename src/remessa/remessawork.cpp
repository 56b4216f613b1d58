#include "remessa/remessawork.h"

#include "shell/loginstate.h"

#include <QDir>

RemessaWork RemessaWork::from(const RemessaControl::WorkingValues &values, const LoginState &login,
                              const Remittance &remittance)
{
    RemessaWork w;
    static_cast<RemessaControl::WorkingValues &>(w) = values;
    w.userCode = login.userCode;
    w.userName = login.userName.isEmpty() ? login.userCode : login.userName;
    w.remittance = remittance.withPackage(values.transferDir, values.acronym);
    return w;
}

RemessaWork RemessaWork::from(const RemessaControl::WorkingValues &values, const LoginState &login,
                              const QString &number, const QString &type)
{
    Remittance r;
    r.number = number;
    r.type = type;
    return from(values, login, r);
}

QString RemessaWork::folder(const QString &path)
{
    QString f = QDir::fromNativeSeparators(path.trimmed()).left(100);
    if (!f.isEmpty() && !f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return f;
}
