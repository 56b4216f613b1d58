#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <initializer_list>
#include <utility>

namespace StatusEvents {

// The key of an item of the register (certificate, company of a
// certificate, product, lot, unit, service, normative document ...): its
// columns and values, in the order given. Column names compare as the
// database compares them, without regard to case; a column given twice keeps
// its first place and its last value. A key may carry more columns than a
// table's key (a whole row of a tab): each statement takes the columns it
// names, in its own order, from values().
class ItemKey
{
public:
    using Entry = std::pair<QString, QVariant>;

    ItemKey() = default;
    ItemKey(std::initializer_list<Entry> entries);
    // Every column of a row read from the database, and back.
    static ItemKey fromRow(const QVariantMap &row);
    QVariantMap toRow() const;

    void insert(const QString &column, const QVariant &value);
    void remove(const QString &column);
    // NULL when the key has no such column.
    QVariant value(const QString &column) const;
    const QList<Entry> &entries() const { return m_entries; }

    // Only `columns`, spelt and ordered as there; those the key lacks are left out.
    ItemKey restrictedTo(const QStringList &columns) const;
    // "a = ? AND b = ?" over `columns` (each after `alias`, e.g. "s."), and
    // the values that bind to it, in the same order (NULL for a column the
    // key lacks). Every statement on an item's key is built from this pair.
    static QString condition(const QStringList &columns, const QString &alias = QString());
    QVariantList values(const QStringList &columns) const;

private:
    qsizetype indexOf(const QString &column) const;

    QList<Entry> m_entries;
};

ItemKey certificateKey(const QString &sigla, const QString &numCertif);

}
