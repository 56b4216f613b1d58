#include "support/refusingtrigger.h"

#include "db/database.h"

namespace RefusingTrigger {

void add(Database &db, const QString &table, const QString &operation)
{
    const QString name = QStringLiteral("recusa_%1_%2").arg(table, operation).toLower();
    if (!db.onServer()) {
        db.execute(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 BEGIN SELECT RAISE(ABORT, 'barrado'); END")
                       .arg(name, operation, table));
        return;
    }
    db.execute(QStringLiteral("CREATE OR REPLACE FUNCTION corvane_recusa() RETURNS trigger LANGUAGE plpgsql "
                              "AS $$ BEGIN RAISE EXCEPTION 'barrado'; END $$"));
    db.execute(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION corvane_recusa()")
                   .arg(name, operation, table));
}

}
