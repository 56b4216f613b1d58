#include "remessa/remittance.h"

#include <QDir>

QString Remittance::packageNameFor(const QString &type, const QString &acronym, const QString &number)
{
    if (type == QLatin1String("C"))
        return QStringLiteral("OC-") + acronym + number + QStringLiteral(".zip");
    if (type == QLatin1String("T"))
        return QStringLiteral("OT-") + acronym + number + QStringLiteral(".zip");
    return QString();
}

Remittance Remittance::withPackage(const QString &transferDir, const QString &acronym) const
{
    return withPackageNamed(transferDir, packageNameFor(type, acronym, number));
}

Remittance Remittance::withPackageNamed(const QString &transferDir, const QString &name) const
{
    Remittance r = *this;
    r.packageName = name;
    r.packagePath = name.isEmpty() || transferDir.isEmpty() ? QString() : QDir(transferDir).filePath(name);
    return r;
}
