#include "register/itemkey.h"

namespace StatusEvents {

ItemKey::ItemKey(std::initializer_list<Entry> entries)
{
    for (const Entry &e : entries)
        insert(e.first, e.second);
}

ItemKey ItemKey::fromRow(const QVariantMap &row)
{
    ItemKey key;
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        key.insert(it.key(), it.value());
    return key;
}

QVariantMap ItemKey::toRow() const
{
    QVariantMap row;
    for (const Entry &e : m_entries)
        row.insert(e.first, e.second);
    return row;
}

qsizetype ItemKey::indexOf(const QString &column) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        if (m_entries.at(i).first.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void ItemKey::insert(const QString &column, const QVariant &value)
{
    const qsizetype i = indexOf(column);
    if (i < 0)
        m_entries.append({column, value});
    else
        m_entries[i].second = value;
}

void ItemKey::remove(const QString &column)
{
    const qsizetype i = indexOf(column);
    if (i >= 0)
        m_entries.removeAt(i);
}

QVariant ItemKey::value(const QString &column) const
{
    const qsizetype i = indexOf(column);
    return i < 0 ? QVariant() : m_entries.at(i).second;
}

ItemKey ItemKey::restrictedTo(const QStringList &columns) const
{
    ItemKey out;
    for (const QString &column : columns) {
        const qsizetype i = indexOf(column);
        if (i >= 0)
            out.m_entries.append({column, m_entries.at(i).second});
    }
    return out;
}

QString ItemKey::condition(const QStringList &columns, const QString &alias)
{
    QStringList parts;
    for (const QString &column : columns)
        parts << alias + column + QStringLiteral(" = ?");
    return parts.join(QStringLiteral(" AND "));
}

QVariantList ItemKey::values(const QStringList &columns) const
{
    QVariantList out;
    for (const QString &column : columns)
        out << value(column);
    return out;
}

ItemKey certificateKey(const QString &sigla, const QString &numCertif)
{
    return {{QStringLiteral("SiglaCertificador"), sigla}, {QStringLiteral("NumCertif"), numCertif}};
}

}
