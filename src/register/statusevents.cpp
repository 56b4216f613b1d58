#include "register/statusevents.h"
#include "base/moments.h"

#include "db/database.h"
#include "db/schema.h"
#include "db/tableops.h"


namespace StatusEvents {
namespace {

// What the statements of one table need, worked out once from the schema.
struct TableInfo
{
    Table table;
    QString name;
    const Schema::Table *schema = nullptr;
    QStringList keys; // item key columns
    QList<Schema::Field> keyFields;
    QString status;
    QString statusDate;
    QString insertSql;
    QString nextSql;
    QString holdSql; // on a server: takes the table's numbering
    QString keyCondition; // "a = ? AND b = ?", bound by keyValues()
};

const char *const Names[] = {"STATUS_C",    "EVENTO_EMP",  "STATUS_T",   "STATUS_L",   "STATUS_U",   "STATUS_S",
                             "STATUS_DNCP", "STATUS_DNCS", "STATUS_DNS", "STATUS_DNT", "STATUS_DNL", "STATUS_DNU"};

// The first key of the server's locks on event numbering (the second is the
// table): the text "SEQE" as a number, apart from other locks of the program.
constexpr int NumberingLock = 0x53455145;

QString param(const QString &column)
{
    return QLatin1Char(':') + column.toLower();
}

TableInfo build(Table table)
{
    TableInfo t;
    t.table = table;
    t.name = QLatin1String(Names[int(table)]);
    t.schema = Schema::table(t.name);
    Q_ASSERT(t.schema);
    for (const QString &k : t.schema->key) {
        if (k.compare(QLatin1String("SeqEvento"), Qt::CaseInsensitive) == 0)
            continue;
        t.keys << k;
        t.keyFields << *t.schema->field(k);
    }
    // Every event table ends: ..., HistoricoSis, status, status date, DthUltAtualiz, UsuResp.
    const int n = int(t.schema->fields.size());
    t.status = t.schema->fields.at(n - 4).name;
    t.statusDate = t.schema->fields.at(n - 3).name;

    QStringList cols = t.keys;
    cols << QStringLiteral("SeqEvento") << QStringLiteral("Evento") << QStringLiteral("Justificativa")
         << QStringLiteral("HistoricoSis") << t.status << t.statusDate << QStringLiteral("DthUltAtualiz")
         << QStringLiteral("UsuResp");
    QStringList params;
    for (const QString &c : cols)
        params << param(c);
    t.insertSql = QStringLiteral("Insert into %1 (%2) values (%3)")
                      .arg(t.name, cols.join(QStringLiteral(", ")), params.join(QStringLiteral(", ")));
    t.nextSql = QStringLiteral("select max(SeqEvento) as valor from ") + t.name;
    // A transaction-scoped lock of the server's, one per event table.
    t.holdSql = QStringLiteral("SELECT pg_advisory_xact_lock(%1, %2)").arg(NumberingLock).arg(int(table));
    t.keyCondition = ItemKey::condition(t.keys);
    return t;
}

const TableInfo &info(Table table)
{
    static const QList<TableInfo> all = [] {
        QList<TableInfo> out;
        for (Table t : allTables())
            out << build(t);
        return out;
    }();
    return all.at(int(table));
}

// The item's key values in the order of the table's key columns, fitted to
// their columns (integers as integers, texts within their widths).
QVariantList keyValues(const TableInfo &t, const ItemKey &key)
{
    QVariantList out;
    for (const Schema::Field &f : t.keyFields) {
        const QVariant v = key.value(f.name);
        if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()))
            throw AppError(
                QStringLiteral("Chave incompleta para a tabela %1: falta o valor de %2.").arg(t.name, f.name));
        out << TableOps::fitValue(t.name, f, v);
    }
    return out;
}

QVariant fitted(const TableInfo &t, const QString &column, const QVariant &value)
{
    return TableOps::fitValue(t.name, *t.schema->field(column), value);
}

QDateTime maxMoment(Database &db, const QString &sql, const QVariantList &params)
{
    return Moments::fromValue(db.scalar(sql, params));
}

}

SeqEventoEsgotado::SeqEventoEsgotado(const QString &table)
    : AppError(QStringLiteral("A tabela %1 atingiu o número máximo de eventos (%2). O evento não foi gravado.")
                   .arg(table)
                   .arg(MaxSeqEvento)),
      m_table(table)
{ }

QString failureText(const std::exception &e, const QString &generic)
{
    if (const auto *full = dynamic_cast<const SeqEventoEsgotado *>(&e))
        return full->message();
    return DbErrors::writeFailure(e, generic);
}

const QList<Table> &allTables()
{
    static const QList<Table> all{Table::Status_C,   Table::Evento_Emp, Table::Status_T,    Table::Status_L,
                                  Table::Status_U,   Table::Status_S,   Table::Status_DNCP, Table::Status_DNCS,
                                  Table::Status_DNS, Table::Status_DNT, Table::Status_DNL,  Table::Status_DNU};
    return all;
}

QString tableName(Table table)
{
    return info(table).name;
}

std::optional<Table> tableByName(const QString &name)
{
    for (Table t : allTables())
        if (name.compare(QLatin1String(Names[int(t)]), Qt::CaseInsensitive) == 0)
            return t;
    return std::nullopt;
}

const QStringList &keyColumns(Table table)
{
    return info(table).keys;
}
QString statusColumn(Table table)
{
    return info(table).status;
}
QString statusDateColumn(Table table)
{
    return info(table).statusDate;
}

int followingSeqEvento(const QVariant &highest, const QString &table)
{
    if (highest.isNull() || !highest.isValid())
        return 1;
    bool ok = false;
    const qint64 max = highest.toLongLong(&ok);
    if (!ok)
        throw AppError(
            QStringLiteral("A tabela %1 guarda um número de evento inválido (%2).").arg(table, highest.toString()));
    if (max >= MaxSeqEvento)
        throw SeqEventoEsgotado(table);
    return int(max + 1);
}

QVariant highestSeqEvento(Database &db, Table table)
{
    const TableInfo &t = info(table);
    // Workstations sharing a server would otherwise read the same highest
    // number: the first to ask holds the table's numbering until its
    // transaction ends, and the next reads after that writer's rows. A file
    // has one writer at a time already.
    if (db.onServer()) {
        Database::Statement &hold = db.statement(t.holdSql);
        hold.exec();
        hold.reset();
    }
    Database::Statement &q = db.statement(t.nextSql);
    q.exec();
    const QVariant max = q.hasRow() ? q.value(0) : QVariant();
    q.reset();
    return max;
}

int nextSeqEvento(Database &db, Table table)
{
    return followingSeqEvento(highestSeqEvento(db, table), info(table).name);
}

int nextSeqEvento(Database &db, const QString &table)
{
    const std::optional<Table> t = tableByName(table);
    if (!t)
        throw AppError(QStringLiteral("%1 não é uma tabela de eventos.").arg(table));
    return nextSeqEvento(db, *t);
}

int insert(Database &db, Table table, const Event &event)
{
    const TableInfo &t = info(table);
    QVariantList values = keyValues(t, event.key);
    const int seq = nextSeqEvento(db, table);
    const QDateTime written = event.writtenAt.isValid() ? event.writtenAt : QDateTime::currentDateTime();
    const QString nullText; // a null string binds as NULL
    values << seq << fitted(t, QStringLiteral("Evento"), event.evento)
           << (event.justificativa.trimmed().isEmpty()
                   ? QVariant(nullText)
                   : fitted(t, QStringLiteral("Justificativa"), event.justificativa))
           << fitted(t, QStringLiteral("HistoricoSis"), event.historicoSis) << fitted(t, t.status, event.status)
           << (event.statusDate.isValid() ? QVariant(event.statusDate) : QVariant(QMetaType(QMetaType::QDateTime)))
           << written << fitted(t, QStringLiteral("UsuResp"), event.user);
    Database::Statement &q = db.statement(t.insertSql);
    q.exec(values);
    q.reset();
    return seq;
}

bool remove(Database &db, Table table, const ItemKey &key, int seqEvento)
{
    const TableInfo &t = info(table);
    return db.execute(QStringLiteral("Delete From %1 WHERE %2 AND SeqEvento = ?").arg(t.name, t.keyCondition),
                      keyValues(t, key) << seqEvento) > 0;
}

int removeItem(Database &db, Table table, const ItemKey &key)
{
    const TableInfo &t = info(table);
    return db.execute(QStringLiteral("Delete from %1 WHERE %2").arg(t.name, t.keyCondition), keyValues(t, key));
}

int removeCertificate(Database &db, const QString &sigla, const QString &numCertif)
{
    int removed = 0;
    for (Table table : allTables())
        removed += db.execute(
            QStringLiteral("Delete from %1 WHERE SiglaCertificador = ? AND NumCertif = ?").arg(tableName(table)),
            {sigla, numCertif});
    return removed;
}

int rekey(Database &db, Table table, const ItemKey &oldKey, const ItemKey &newKey)
{
    const TableInfo &t = info(table);
    QStringList sets;
    for (const QString &k : t.keys)
        sets << k + QStringLiteral(" = ?");
    return db.execute(
        QStringLiteral("Update %1 set %2 WHERE %3").arg(t.name, sets.join(QStringLiteral(", ")), t.keyCondition),
        keyValues(t, newKey) + keyValues(t, oldKey));
}

QDateTime inclusionTime(Database &db, Table table, const ItemKey &key)
{
    const TableInfo &t = info(table);
    return maxMoment(db,
                     QStringLiteral("Select max(DthUltAtualiz) as UltData from %1 where Evento = 'INC' and "
                                    "HistoricoSis in ('%3', '%4') and %2")
                         .arg(t.name, t.keyCondition, OrigemSistema, OrigemDocNormativo),
                     keyValues(t, key));
}

QDateTime lastApprovalTime(Database &db, const QString &sigla, const QString &numCertif)
{
    return maxMoment(db,
                     QStringLiteral("Select max(DthUltAtualiz) as UltData from Status_C where Evento = 'APR' and "
                                    "SiglaCertificador = :sigla and NumCertif = :num"),
                     {sigla, numCertif});
}

}
