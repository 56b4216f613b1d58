#include "shell/copysettings.h"

#include "db/database.h"
#include "shell/databasecopies.h"

namespace CopySettings {

int keep(const Database &db)
{
    if (!db.tableExists(QStringLiteral("CONFIG_COPIAS")))
        return DatabaseCopies::DefaultKeep;
    // Every row holds the same number (setKeep writes them all); a server
    // keeps no insertion order, so there any row will do.
    const QVariant v = db.scalar(db.onServer()
                                     ? QStringLiteral("SELECT QtdCopias FROM CONFIG_COPIAS ORDER BY QtdCopias LIMIT 1")
                                     : QStringLiteral("SELECT QtdCopias FROM CONFIG_COPIAS ORDER BY rowid LIMIT 1"));
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok && n >= Minimum ? qMin(n, Maximum) : DatabaseCopies::DefaultKeep;
}

void setKeep(Database &db, int copies)
{
    const int n = qBound(Minimum, copies, Maximum);
    Transaction tx(db);
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS CONFIG_COPIAS (QtdCopias INTEGER NOT NULL)"));
    if (db.execute(QStringLiteral("UPDATE CONFIG_COPIAS SET QtdCopias = ?"), {n}) == 0)
        db.execute(QStringLiteral("INSERT INTO CONFIG_COPIAS (QtdCopias) VALUES (?)"), {n});
    tx.commit();
}

}
