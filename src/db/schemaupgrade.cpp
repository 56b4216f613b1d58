#include "db/schemaupgrade.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"

#include <QMap>
#include <QRegularExpression>
#include <QSqlQuery>

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

void applyOnServer(Database &db)
{
    const QString versions = QLatin1String(Schema::VersionTable);
    Transaction tx(db);
    // The first workstation to open the register brings it up to date; the
    // others wait here and find it done.
    db.execute(QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(versions));
    if (db.scalar(QStringLiteral("SELECT max(versao) FROM %1").arg(versions)).toInt() != OldServerVersion)
        return;
    static const QRegularExpression widthName(QStringLiteral("^[^ ]+\\.[^ ]+ (\\d+)$"));
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT r.relname, c.conname, a.attname FROM pg_catalog.pg_constraint c "
                       "JOIN pg_catalog.pg_class r ON r.oid = c.conrelid "
                       "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.conrelid AND a.attnum = c.conkey[1] "
                       "WHERE r.relnamespace = current_schema()::regnamespace AND c.contype = 'c' "
                       "AND cardinality(c.conkey) = 1 ORDER BY 1, 2"));
    QStringList domains;
    QMap<QString, QStringList> changes; // by table, made in one statement each
    const auto quoted = [](const QString &n) { return QLatin1Char('"') + n + QLatin1Char('"'); };
    while (q.next()) {
        const QString check = q.value(1).toString();
        const QRegularExpressionMatch m = widthName.match(check);
        if (!m.hasMatch())
            continue;
        domains << Schema::createWidthDomain(check, m.captured(1).toInt());
        changes[q.value(0).toString()] << QStringLiteral("DROP CONSTRAINT %1, ALTER COLUMN %2 TYPE %1")
                                              .arg(quoted(check), quoted(q.value(2).toString()));
    }
    for (const QString &sql : std::as_const(domains))
        db.execute(sql);
    for (auto c = changes.cbegin(); c != changes.cend(); ++c)
        db.execute(QStringLiteral("ALTER TABLE %1 %2").arg(quoted(c.key()), c.value().join(QLatin1String(", "))));
    db.execute(QStringLiteral("INSERT INTO %1 (versao) VALUES (?)").arg(versions), {Schema::ServerVersion});
    tx.commit();
}

}
