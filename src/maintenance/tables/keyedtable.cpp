#include "maintenance/tables/keyedtable.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/tables/referencechange.h"
#include "register/statusevents.h"

#include <QDateTime>
#include <QSqlQuery>

namespace KeyedTable {

namespace {

const QString SaveCaption = QStringLiteral("Erro de gravação");

QString matching(const QStringList &columns)
{
    return columns.join(QStringLiteral(" = ? AND ")) + QStringLiteral(" = ?");
}

}

int rowOf(const Database &db, const Table &table, const QVariantList &key)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table.name, matching(table.key)), key)
            .toInt() == 0)
        return -1;
    return db
        .scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE (%2) < (%3)")
                    .arg(table.name, table.key.join(QStringLiteral(", ")),
                         QStringList(table.key.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                key)
        .toInt();
}

bool namedIn(const Database &db, const QStringList &tables, const QStringList &keyColumns, const QVariantList &key)
{
    for (const QString &table : tables)
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, matching(keyColumns)), key)
                .toInt() > 0)
            return true;
    return false;
}

QList<CertificateKey> certificatesOf(const Database &db, const QStringList &tables, const QStringList &keyColumns,
                                     const QVariantList &key)
{
    QStringList selects;
    QVariantList values;
    for (const QString &table : tables) {
        selects
            << QStringLiteral("SELECT SiglaCertificador, NumCertif FROM %1 WHERE %2").arg(table, matching(keyColumns));
        values << key;
    }
    QSqlQuery q = db.exec(selects.join(QStringLiteral(" UNION ")) + QStringLiteral(" ORDER BY 1, 2"), values);
    QList<CertificateKey> out;
    while (q.next()) {
        const CertificateKey k{q.value(0).toString(), q.value(1).toString()};
        if (out.isEmpty() || !out.last().sameAs(k))
            out << k;
    }
    return out;
}

bool remove(Database &db, Messenger &m, const Table &table, const QVariantList &key, const RemoveTexts &texts,
            const std::function<bool()> &inUse)
{
    if (!m.confirm(texts.confirm))
        return false;
    if (inUse()) {
        m.error(texts.related, texts.relatedCaption);
        return false;
    }
    Transaction tx(db);
    db.execute(QStringLiteral("delete from %1 where %2").arg(table.name, matching(table.key)), key);
    tx.commit();
    return true;
}

bool write(Database &db, Messenger &m, const Table &table, const Write &w)
{
    const QDateTime now = QDateTime::currentDateTime();
    try {
        Transaction tx(db);
        if (w.mayWrite && !w.mayWrite())
            return false;
        if (!w.editing) {
            db.execute(QStringLiteral("insert into %1 (%2, DthUltAtualiz, UsuResp) values (%3?, ?)")
                           .arg(table.name, w.columns.join(QStringLiteral(", ")),
                                QStringLiteral("?, ").repeated(w.columns.size())),
                       w.values + QVariantList{now, w.userCode});
        } else {
            db.execute(QStringLiteral("update %1 set %2, DthUltAtualiz = ?, UsuResp = ? where %3")
                           .arg(table.name, matching(w.columns).replace(QStringLiteral(" AND "), QStringLiteral(", ")),
                                matching(table.key)),
                       w.values + QVariantList{now, w.userCode} + *w.editing);
        }
        if (w.changed)
            ReferenceChange::markChanged(db, w.changed(), w.justification, w.userCode);
        tx.commit();
    } catch (const DbError &e) {
        if (e.endsOperation())
            throw;
        if (e.isKeyViolation())
            m.error(w.duplicate, QStringLiteral("Erro de chave duplicada"));
        else
            m.error(DbErrors::writeFailure(e,
                                           QStringLiteral("Erro genérico de gravação no Banco de Dados !!! As "
                                                          "alterações não foram efetuadas.")),
                    SaveCaption);
        return false;
    } catch (const StatusEvents::SeqEventoEsgotado &e) {
        m.error(e.message(), SaveCaption);
        return false;
    }
    return true;
}

}
