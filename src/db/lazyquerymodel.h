#pragma once
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class Database;
class QSqlQuery;

// A query's rows read as a view scrolls, never the whole result at once. On
// the file the engine steps the query; on a server, whose driver would read
// a result whole, the rows come a block at a time from a cursor of the
// session, as they were when the list was opened.
class LazyQueryModel : public QSqlQueryModel
{
    Q_OBJECT
public:
    explicit LazyQueryModel(QObject *parent = nullptr);
    ~LazyQueryModel() override;

    // Raise DbError; the model is left empty then.
    void openLazily(Database &db, const QString &sql, const QVariantMap &named);
    void openLazily(Database &db, const QString &sql, const QVariantList &positional);
    void closeLazily();

    // The columns of the query, and a cell of a row read so far.
    QSqlRecord queryColumns() const;
    QVariant cell(int row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent = QModelIndex()) const override;
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void openOnServer(Database &db, const QString &sql, const QVariantMap &named, const QVariantList &positional);
    void openOnFile(Database &db, const QString &sql, const std::function<void(QSqlQuery &)> &bind);

    Database *m_db = nullptr; // set while rows come from a server's cursor
    QString m_cursor;
    QSqlRecord m_record;
    QList<QSqlRecord> m_rows;
    bool m_done = false;
};
