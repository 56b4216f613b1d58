#include "shell/serverrepair.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"

#include <QSqlQuery>

namespace ServerRepair {

void vacuumAnalyze(Database &db)
{
    if (db.inTransaction())
        throw DbError(QStringLiteral("A compactação no servidor não pode ser feita dentro de uma transação."));
    db.execute(QStringLiteral("VACUUM ANALYZE"));
}

namespace {

// The columns of the table's primary key on the server, in order (lower case).
QStringList serverKey(const Database &db, const QString &table)
{
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT a.attname FROM pg_catalog.pg_constraint c "
                       "JOIN pg_catalog.pg_class t ON t.oid = c.conrelid "
                       "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace "
                       "CROSS JOIN LATERAL unnest(c.conkey) WITH ORDINALITY AS k(attnum, ord) "
                       "JOIN pg_catalog.pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.attnum "
                       "WHERE n.nspname = current_schema() AND t.relname = lower(?) AND c.contype = 'p' "
                       "ORDER BY k.ord"),
        {table});
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList lower(QStringList names)
{
    for (QString &n : names)
        n = n.toLower();
    return names;
}

void checkTable(Database &db, const Schema::Table &t, QStringList &problems)
{
    if (!db.tableExists(t.name)) {
        problems << QStringLiteral("Tabela %1: não existe no servidor.").arg(t.name);
        return;
    }
    if (t.key.isEmpty())
        return;
    const QString key = t.key.join(QStringLiteral(", "));
    if (serverKey(db, t.name) != lower(t.key))
        problems << QStringLiteral("Tabela %1: o servidor não mantém a chave primária (%2).").arg(t.name, key);
    const int repeated = db.scalar(QStringLiteral(
                                       "SELECT count(*) FROM (SELECT 1 FROM %1 GROUP BY %2 HAVING count(*) > 1) AS d")
                                       .arg(t.name, key))
                             .toInt();
    if (repeated > 0)
        problems << QStringLiteral("Tabela %1: %2 valor(es) da chave (%3) em mais de uma linha.")
                        .arg(t.name)
                        .arg(repeated)
                        .arg(key);
    const int incomplete = db.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NULL")
                                         .arg(t.name, t.key.join(QStringLiteral(" IS NULL OR "))))
                               .toInt();
    if (incomplete > 0)
        problems << QStringLiteral("Tabela %1: %2 linha(s) com a chave (%3) incompleta.")
                        .arg(t.name)
                        .arg(incomplete)
                        .arg(key);
}

}

QStringList keyProblems(Database &db)
{
    QStringList problems;
    // The plans may not lean on the indexes (settings undone with the transaction).
    Transaction tx(db);
    for (const char *setting : {"enable_indexscan", "enable_indexonlyscan", "enable_bitmapscan"})
        db.scalar(QStringLiteral("SELECT set_config('%1', 'off', true)").arg(QLatin1String(setting)));
    db.scalar(QStringLiteral("SELECT set_config('enable_seqscan', 'on', true)"));
    for (const Schema::Table &t : Schema::tables())
        checkTable(db, t, problems);
    tx.rollback();
    return problems;
}

}
