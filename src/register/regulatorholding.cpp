#include "register/regulatorholding.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"

#include <QDateTime>

namespace RegulatorHolding {

namespace {

const QString Imported = QStringLiteral("ITEM_IMPORTADO");

// The key of ITEM_IMPORTADO after NomeTabela: every column an item key of
// the recorded tables may use.
const QStringList &markColumns()
{
    static const QStringList columns = [] {
        QStringList out = Schema::table(Imported)->key;
        out.removeFirst(); // NomeTabela
        return out;
    }();
    return columns;
}

bool isNumber(const QString &column)
{
    return Schema::table(Imported)->field(column)->type != Schema::FieldType::Text;
}

// The tables whose rows an import records; nullptr for any other.
const Schema::Table *recordedTable(const QString &table)
{
    static const QStringList recorded{QStringLiteral("CERTIFIC"), QStringLiteral("EMP_CERT"),
                                      QStringLiteral("TIPO"),     QStringLiteral("LOTE"),
                                      QStringLiteral("UNIDADE"),  QStringLiteral("SERVICO")};
    return recorded.contains(table, Qt::CaseInsensitive) ? Schema::table(table) : nullptr;
}

// NomeTabela and the mark's key values of an item of `table`: its own key
// columns from `key`, '' or 0 in the others.
QVariantList markKey(const Schema::Table &table, const StatusEvents::ItemKey &key)
{
    QVariantList out{table.name};
    for (const QString &column : markColumns()) {
        const bool used = table.key.contains(column, Qt::CaseInsensitive);
        const QVariant v = used ? key.value(column) : QVariant();
        if (used && (v.isNull() || v.toString().trimmed().isEmpty()))
            throw AppError(QStringLiteral("%1.%2 em branco.").arg(table.name, column));
        if (isNumber(column))
            out << (used ? v.toInt() : 0);
        else
            out << (used ? v.toString().trimmed() : QString(QLatin1String("")));
    }
    return out;
}

QString markCondition(const QString &alias = QString())
{
    QStringList cond{alias + QStringLiteral("NomeTabela = ?")};
    for (const QString &column : markColumns())
        cond << alias + column + QStringLiteral(" = ?");
    return cond.join(QStringLiteral(" AND "));
}

bool exists(Database &db, const QString &sql, const QVariantList &params)
{
    return db.scalar(QStringLiteral("SELECT EXISTS (%1)").arg(sql), params).toInt() != 0;
}

}

bool certificate(Database &db, const CertificateKey &key)
{
    return exists(db,
                  QStringLiteral("SELECT 1 FROM CERTIFIC c WHERE c.SiglaCertificador = ? AND c.NumCertif = ? AND %1")
                      .arg(certificateCondition(QStringLiteral("c"))),
                  {key.sigla, key.numero});
}

QString certificateCondition(const QString &alias)
{
    auto sameCertificate = [&alias](const char *other) {
        return QStringLiteral("%1.SiglaCertificador = %2.SiglaCertificador AND %1.NumCertif = %2.NumCertif")
            .arg(QLatin1String(other), alias);
    };
    return QStringLiteral("(EXISTS (SELECT 1 FROM STATUS_C s WHERE %1 AND s.Evento = 'APR') "
                          "OR EXISTS (SELECT 1 FROM REP_CERTIFIC r WHERE %2) "
                          "OR EXISTS (SELECT 1 FROM ITEM_IMPORTADO i WHERE %3))")
        .arg(sameCertificate("s"), sameCertificate("r"), sameCertificate("i"));
}

QString itemTable(StatusEvents::Table events)
{
    using T = StatusEvents::Table;
    switch (events) {
    case T::Evento_Emp: return QStringLiteral("EMP_CERT");
    case T::Status_T: return QStringLiteral("TIPO");
    case T::Status_L: return QStringLiteral("LOTE");
    case T::Status_U: return QStringLiteral("UNIDADE");
    case T::Status_S: return QStringLiteral("SERVICO");
    default: return {};
    }
}

bool item(Database &db, StatusEvents::Table events, const StatusEvents::ItemKey &key)
{
    const QString name = itemTable(events);
    if (name.isEmpty())
        throw AppError(QStringLiteral("%1 não é uma tabela de eventos de itens.").arg(StatusEvents::tableName(events)));
    const Schema::Table &table = *recordedTable(name);

    if (exists(db,
               QStringLiteral("SELECT 1 FROM REP_%1 WHERE %2").arg(name, StatusEvents::ItemKey::condition(table.key)),
               key.values(table.key)))
        return true;
    if (exists(db, QStringLiteral("SELECT 1 FROM ITEM_IMPORTADO WHERE ") + markCondition(), markKey(table, key)))
        return true;

    const QString sigla = key.value(QStringLiteral("SiglaCertificador")).toString();
    const QString numero = key.value(QStringLiteral("NumCertif")).toString();
    const QDateTime approved = StatusEvents::lastApprovalTime(db, sigla, numero);
    if (!approved.isValid())
        return false;
    const QDateTime included = StatusEvents::inclusionTime(db, events, key);
    return !included.isValid() || approved >= included;
}

bool recordedOnImport(const QString &table)
{
    return recordedTable(table) != nullptr;
}

namespace {

const QString &recordSql()
{
    static const QString sql = [] {
        QStringList columns{QStringLiteral("NomeTabela")};
        columns += markColumns();
        columns << QStringLiteral("NomeArquivo") << QStringLiteral("DthImportacao");
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        // An item the file writes twice, or a later file writes again, keeps
        // its first record.
        return QStringLiteral("INSERT INTO ITEM_IMPORTADO (%1) VALUES (%2) ON CONFLICT DO NOTHING")
            .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    }();
    return sql;
}

void insertMark(Database &db, QVariantList &values, const QString &fileName)
{
    static const int nameSize = Schema::table(Imported)->field(QStringLiteral("NomeArquivo"))->size;
    values << fileName.left(nameSize) << QDateTime::currentDateTime();
    Database::Statement &insert = db.statement(recordSql());
    insert.exec(values);
    insert.reset();
}

}

void recordImported(Database &db, const QString &table, const QVariantMap &row, const QString &fileName)
{
    const Schema::Table *t = recordedTable(table);
    if (!t)
        return;
    QVariantList values = markKey(*t, StatusEvents::ItemKey::fromRow(row));
    insertMark(db, values, fileName);
}

std::shared_ptr<const ImportMarkPlan> importMarkPlan(const QString &table, const QStringList &columns)
{
    const Schema::Table *t = recordedTable(table);
    if (!t)
        return nullptr;
    // The row's values are found as recordImported finds them in a row map.
    QVariantMap positions;
    for (int i = 0; i < columns.size(); ++i)
        positions.insert(columns.at(i), i);
    const StatusEvents::ItemKey byName = StatusEvents::ItemKey::fromRow(positions);
    auto plan = std::make_shared<ImportMarkPlan>();
    plan->table = t->name;
    for (const QString &column : markColumns()) {
        int source = ImportMarkPlan::NotKey;
        if (t->key.contains(column, Qt::CaseInsensitive)) {
            const QVariant at = byName.value(column);
            source = at.isNull() ? ImportMarkPlan::Missing : at.toInt();
        }
        plan->source << source;
        plan->number << isNumber(column);
    }
    return plan;
}

void recordImported(Database &db, const ImportMarkPlan &plan, const QStringList &values, const QString &fileName)
{
    QVariantList mark{plan.table};
    mark.reserve(plan.source.size() + 3);
    for (int k = 0; k < plan.source.size(); ++k) {
        const int source = plan.source.at(k);
        if (source == ImportMarkPlan::NotKey) {
            mark << (plan.number.at(k) ? QVariant(0) : QVariant(QString(QLatin1String(""))));
            continue;
        }
        const QVariant v = source >= 0 ? QVariant(values.at(source)) : QVariant();
        const QString text = v.toString().trimmed();
        if (v.isNull() || text.isEmpty())
            throw AppError(QStringLiteral("%1.%2 em branco.").arg(plan.table, markColumns().at(k)));
        if (plan.number.at(k))
            mark << v.toInt();
        else
            mark << text;
    }
    insertMark(db, mark, fileName);
}

void rekeyImported(Database &db, StatusEvents::Table events, const StatusEvents::ItemKey &oldKey,
                   const StatusEvents::ItemKey &newKey)
{
    const QString name = itemTable(events);
    if (name.isEmpty())
        return;
    const Schema::Table &table = *recordedTable(name);
    QStringList sets;
    for (const QString &column : markColumns())
        sets << column + QStringLiteral(" = ?");
    const QVariantList newMark = markKey(table, newKey);
    const QVariantList oldMark = markKey(table, oldKey);
    QVariantList values = newMark;
    values.removeFirst(); // NomeTabela stays
    // The item keeps its old record when its new key already has one (the
    // row itself aside: a key edited in case only is no conflict).
    const QString other = QStringLiteral("SELECT 1 FROM ITEM_IMPORTADO o WHERE %1 AND NOT (%2)")
                              .arg(markCondition(QStringLiteral("o.")), markCondition(QStringLiteral("o.")));
    db.execute(QStringLiteral("UPDATE ITEM_IMPORTADO SET %1 WHERE %2 AND NOT EXISTS (%3)")
                   .arg(sets.join(QStringLiteral(", ")), markCondition(), other),
               values + oldMark + newMark + oldMark);
}

}
