#include "import/writtenrows.h"

namespace {

constexpr char Separator = '\x1f'; // not in a plain text

}

void WrittenRows::giveUp()
{
    m_state = State::GivenUp;
    m_rows = {};
    m_index.clear();
}

bool WrittenRows::fold(const Key &key, QByteArray *folded, quint64 *mask)
{
    if (key.values.size() > 64)
        return false;
    folded->clear();
    *mask = 0;
    for (size_t i = 0; i < key.values.size(); ++i) {
        const QString &v = key.values[i];
        if (!v.isEmpty()) {
            if (i < key.integer.size() && key.integer[i]) {
                bool ok = false;
                const qint64 n = v.toLongLong(&ok);
                if (!ok)
                    return false;
                *folded += QByteArray::number(n);
            } else {
                for (QChar c : v) {
                    const char16_t u = c.unicode();
                    if (u >= 0x80 || u < 0x20)
                        return false;
                    *folded += char(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
                }
            }
            *mask |= quint64(1) << i;
        }
        *folded += Separator;
    }
    return true;
}

size_t WrittenRows::digest(const QByteArray &folded, quint64 mask)
{
    // The tested values only, each with its place.
    size_t h = 0;
    qsizetype start = 0;
    for (int i = 0; start < folded.size(); ++i) {
        const qsizetype end = folded.indexOf(Separator, start);
        if (mask & (quint64(1) << i))
            h = qHashMulti(h, i, QByteArrayView(folded).sliced(start, end - start));
        start = end + 1;
    }
    return h;
}

QHash<size_t, int> &WrittenRows::indexFor(quint64 mask)
{
    auto it = m_index.find(mask);
    if (it != m_index.end())
        return *it;
    QHash<size_t, int> &index = m_index[mask];
    for (const Row &row : m_rows)
        if ((row.mask & mask) == mask)
            ++index[digest(row.folded, mask)];
    return index;
}

WrittenRows::Answer WrittenRows::find(const Key &key)
{
    if (m_state != State::Usable)
        return Answer::Ask;
    QByteArray folded;
    quint64 mask = 0;
    if (!fold(key, &folded, &mask) || mask == 0)
        return Answer::Ask;
    return indexFor(mask).contains(digest(folded, mask)) ? Answer::Ask : Answer::Missing;
}

void WrittenRows::inserted(const Key &key)
{
    if (m_state != State::Usable)
        return;
    Row row;
    if (!fold(key, &row.folded, &row.mask)) {
        giveUp();
        return;
    }
    for (auto it = m_index.begin(); it != m_index.end(); ++it)
        if ((row.mask & it.key()) == it.key())
            ++(*it)[digest(row.folded, it.key())];
    m_rows.push_back(std::move(row));
}
