#include "db/schemaupgrade.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"

namespace SchemaUpgrade {

const QStringList &addedTables()
{
    static const QStringList names{QStringLiteral("ITEM_IMPORTADO")};
    return names;
}

namespace {

bool hasTable(Database &db, const QString &name)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? "
                                    "COLLATE NOCASE"),
                     {name})
               .toInt() > 0;
}

}

void apply(Database &db)
{
    if (!hasTable(db, QStringLiteral("CERTIFIC")))
        return;
    QStringList missing;
    for (const QString &name : addedTables())
        if (!hasTable(db, name))
            missing << name;
    if (missing.isEmpty())
        return;
    Transaction tx(db);
    // Another program may have added them since the look above.
    for (const QString &name : std::as_const(missing))
        if (!hasTable(db, name))
            for (const QString &sql : Schema::createStatements(*Schema::table(name)))
                db.execute(sql);
    tx.commit();
}

}
