#include "db/retry.h"

#include "db/database.h"
#include "db/dberror.h"

#include <QThread>

namespace DbRetry {

QString gaveUpMessage(const QString &where, int attempts)
{
    return QStringLiteral("A operação colidiu %1 vezes com a de outro posto de trabalho no %2 e não foi gravada. "
                          "Tente novamente.")
        .arg(attempts)
        .arg(where);
}

void run(Database &db, const std::function<void()> &work, int attempts)
{
    if (db.inTransaction()) {
        work();
        return;
    }
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction tx(db);
            work();
            tx.commit();
            return;
        } catch (const DbError &e) {
            if (!e.isConflict())
                throw;
            if (attempt >= attempts)
                throw DbError::withState(gaveUpMessage(db.describe(), attempts), e.sqlState());
        }
        // The other side usually needs a moment to finish; waiting a little
        // longer each time keeps two retrying sides from meeting again.
        QThread::msleep(10 * attempt);
    }
}

}
