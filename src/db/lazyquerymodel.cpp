#include "db/lazyquerymodel.h"

#include "db/database.h"
#include "db/dberror.h"

#include <QSqlError>
#include <QSqlQuery>
#include <functional>
#include <utility>

namespace {
// Rows a block of a server's list brings.
constexpr int ServerBlock = 256;
}

LazyQueryModel::LazyQueryModel(QObject *parent)
    : QSqlQueryModel(parent)
{ }

LazyQueryModel::~LazyQueryModel()
{
    closeLazily();
}

void LazyQueryModel::openLazily(Database &db, const QString &sql, const QVariantMap &named)
{
    closeLazily();
    if (db.onServer())
        return openOnServer(db, sql, named, {});
    openOnFile(db, sql, [&](QSqlQuery &q) {
        for (auto it = named.cbegin(); it != named.cend(); ++it)
            q.bindValue(QLatin1Char(':') + it.key(), it.value());
    });
}

void LazyQueryModel::openLazily(Database &db, const QString &sql, const QVariantList &positional)
{
    closeLazily();
    if (db.onServer())
        return openOnServer(db, sql, {}, positional);
    openOnFile(db, sql, [&](QSqlQuery &q) {
        for (int i = 0; i < positional.size(); ++i)
            q.bindValue(i, positional.at(i));
    });
}

void LazyQueryModel::openOnFile(Database &db, const QString &sql, const std::function<void(QSqlQuery &)> &bind)
{
    // Not forward-only: the view moves back and forth over what was fetched.
    QSqlQuery q(db.handle());
    if (!q.prepare(sql))
        throw DbError(q.lastError());
    bind(q);
    if (!q.exec())
        throw DbError(q.lastError());
    // Fetches the first block only; the rest comes with fetchMore().
    setQuery(std::move(q));
    if (lastError().isValid()) {
        const QSqlError e = lastError();
        closeLazily();
        throw DbError(e);
    }
}

void LazyQueryModel::openOnServer(Database &db, const QString &sql, const QVariantMap &named,
                                  const QVariantList &positional)
{
    beginResetModel();
    m_db = &db;
    try {
        m_cursor = positional.isEmpty() ? db.openCursor(sql, named) : db.openCursor(sql, positional);
        QSqlQuery first = db.fetchCursor(m_cursor, ServerBlock);
        m_record = first.record();
        while (first.next())
            m_rows << first.record();
        m_done = m_rows.size() < ServerBlock;
    } catch (...) {
        endResetModel();
        closeLazily();
        throw;
    }
    endResetModel();
}

void LazyQueryModel::closeLazily()
{
    const QString cursor = std::exchange(m_cursor, QString());
    Database *db = std::exchange(m_db, nullptr);
    if (db) {
        beginResetModel();
        m_rows.clear();
        m_record = QSqlRecord();
        m_done = false;
        endResetModel();
    }
    clear();
    if (db && !cursor.isEmpty()) {
        try {
            db->closeCursor(cursor);
        } catch (const DbError &) {
            // left to the end of the session
        }
    }
}

QSqlRecord LazyQueryModel::queryColumns() const
{
    return m_db ? m_record : record();
}

QVariant LazyQueryModel::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0)
        return {};
    if (m_db)
        return m_rows.at(row).value(column);
    // Any column of the query, also one a subclass does not show.
    return QSqlQueryModel::data(createIndex(row, column), Qt::DisplayRole);
}

int LazyQueryModel::rowCount(const QModelIndex &parent) const
{
    if (m_db)
        return parent.isValid() ? 0 : int(m_rows.size());
    return QSqlQueryModel::rowCount(parent);
}

int LazyQueryModel::columnCount(const QModelIndex &parent) const
{
    if (m_db)
        return parent.isValid() ? 0 : m_record.count();
    return QSqlQueryModel::columnCount(parent);
}

QVariant LazyQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (m_db && orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_record.count())
        return m_record.fieldName(section);
    return QSqlQueryModel::headerData(section, orientation, role);
}

bool LazyQueryModel::canFetchMore(const QModelIndex &parent) const
{
    if (m_db)
        return !parent.isValid() && !m_done;
    return QSqlQueryModel::canFetchMore(parent);
}

void LazyQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!m_db) {
        QSqlQueryModel::fetchMore(parent);
        return;
    }
    if (parent.isValid() || m_done)
        return;
    QList<QSqlRecord> more;
    try {
        QSqlQuery q = m_db->fetchCursor(m_cursor, ServerBlock);
        while (q.next())
            more << q.record();
    } catch (const DbError &) {
        // A view asks for more as it scrolls, with no one to tell: the list
        // stops where it is (a lost connection is told at the next action).
        m_done = true;
        return;
    }
    m_done = more.size() < ServerBlock;
    if (more.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + more.size() - 1));
    m_rows << more;
    endInsertRows();
}

QVariant LazyQueryModel::data(const QModelIndex &index, int role) const
{
    if (!m_db)
        return QSqlQueryModel::data(index, role);
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.row(), index.column());
}
