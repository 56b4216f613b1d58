#include "register/sendabletext.h"
#include "base/cp1252.h"
#include "base/messenger.h"

namespace SendableText {

QString problem(const QList<Field> &fields)
{
    for (const Field &f : fields) {
        const QString p = Cp1252::fieldProblem(f.label, f.text);
        if (!p.isEmpty())
            return p;
    }
    return QString();
}

bool check(Messenger &messenger, const QList<Field> &fields)
{
    const QString p = problem(fields);
    if (p.isEmpty())
        return true;
    messenger.error(p, Caption);
    return false;
}

}
