#include "support/controls.h"

#include <cstdlib>

namespace Controls {

void missing(const QObject *owner, const QString &name, const char *type)
{
    const QString where = owner
        ? QStringLiteral("%1 \"%2\"").arg(QLatin1String(owner->metaObject()->className()), owner->objectName())
        : QStringLiteral("(nenhuma janela)");
    qFatal("no control \"%s\" (%s) in %s", qPrintable(name), type, qPrintable(where));
    std::abort();
}

}
