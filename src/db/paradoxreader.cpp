#include "base/cp1252.h"
#include "base/moments.h"
#include "db/dberror.h"
#include "db/paradoxformat.h"
#include "db/paradoxtable.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>
#include <cstring>
#include <vector>

using namespace ParadoxFormat;

namespace {

bool allZero(const char *p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

QVariant decodeValue(const Field &f, const char *p)
{
    if (allZero(p, f.size))
        return QVariant();
    switch (f.type) {
    case FieldType::Alpha:
    case FieldType::Memo: {
        // A memo keeps its first bytes in the record, then ten of reference.
        const int n = f.type == FieldType::Memo ? qMax(0, f.size - 10) : f.size;
        int len = 0;
        while (len < n && p[len])
            ++len;
        return Cp1252::toUnicode(QByteArray(p, len));
    }
    case FieldType::Short: return int(qint16(quint16(getBigEndian(p, 2) ^ 0x8000u)));
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Time: return int(qint32(quint32(getBigEndian(p, 4) ^ 0x80000000u)));
    case FieldType::Number:
    case FieldType::Currency: return getDouble(p);
    case FieldType::Logical: return uchar(p[0]) != 0x80;
    case FieldType::Date: {
        const qint32 days = qint32(quint32(getBigEndian(p, 4) ^ 0x80000000u));
        return QDate::fromJulianDay(qint64(days) + kJulianOffset);
    }
    case FieldType::Timestamp: {
        const double ms = getDouble(p);
        if (!std::isfinite(ms))
            return QVariant();
        const double days = std::floor(ms / kMsPerDay);
        // Further out than a date field's day count reaches: no moment any
        // table holds, and past what the conversions below can take.
        if (days < -2147483648.0 || days > 2147483647.0)
            return QVariant();
        const int rest = qBound(0, int(ms - days * kMsPerDay), int(kMsPerDay) - 1);
        return Moments::wallClock(QDate::fromJulianDay(qint64(days) + kJulianOffset),
                                  QTime::fromMSecsSinceStartOfDay(rest));
    }
    }
    return QVariant();
}

} // namespace

// The table file as pxlib reads it. While pxlib opens it, the header shows
// no first block and no records: pxlib would otherwise follow the block
// chain by itself, with no end if the chain loops. The chain is walked
// here instead (walkChain), on the same stream, so encrypted blocks are
// read exactly as pxlib reads them. Outside the unnamed namespace because
// ParadoxReader::Doc holds one.
struct ParadoxTableFile
{
    FILE *raw = nullptr;
    bool hideChain = false;
};

namespace {

ssize_t tableRead(void *cookie, char *buf, size_t size)
{
    auto *t = static_cast<ParadoxTableFile *>(cookie);
    const off64_t at = ftello(t->raw);
    const size_t n = std::fread(buf, 1, size, t->raw);
    if (t->hideChain && at >= 0) {
        // Record count (0x06, four bytes) and first block (0x0E, two bytes).
        for (const off64_t hidden : {0x06, 0x07, 0x08, 0x09, 0x0E, 0x0F})
            if (hidden >= at && hidden < at + off64_t(n))
                buf[hidden - at] = 0;
    }
    return ssize_t(n);
}

int tableSeek(void *cookie, off64_t *offset, int whence)
{
    auto *t = static_cast<ParadoxTableFile *>(cookie);
    if (fseeko(t->raw, *offset, whence) != 0)
        return -1;
    *offset = ftello(t->raw);
    return 0;
}

int tableClose(void *cookie)
{
    auto *t = static_cast<ParadoxTableFile *>(cookie);
    const int rc = std::fclose(t->raw);
    t->raw = nullptr;
    return rc;
}

// Follows the data blocks from the header's first one and gives pxlib the
// list it would have built. A sound chain names each block of the file at
// most once and no block past the file's count, so it ends within
// fileBlocks steps; anything else is refused.
void walkChain(pxdoc_t *px, const Header &header, const QString &path)
{
    auto *index = static_cast<pxpindex_t *>(px->px_indexdata);
    if (header.fileBlocks > 0 && !index)
        damaged(path, QStringLiteral("lista de blocos não alocada"));
    std::vector<bool> seen(size_t(header.fileBlocks) + 1, false);
    int listed = 0;
    qint64 counted = 0;
    for (int block = header.firstBlock; block != 0;) {
        if (block > header.fileBlocks)
            damaged(path, QStringLiteral("bloco %1 além dos %2 do arquivo").arg(block).arg(header.fileBlocks));
        if (seen[size_t(block)])
            damaged(path, QStringLiteral("a sequência de blocos volta ao bloco %1").arg(block));
        seen[size_t(block)] = true;
        uchar head[6];
        const long at = long(header.headerSize) + long(block - 1) * header.blockSize;
        if (px->seek(px, px->px_stream, at, SEEK_SET) < 0 ||
            px->read(px, px->px_stream, sizeof head, head) != sizeof head)
            damaged(path, QStringLiteral("bloco %1 ilegível").arg(block));
        // Bytes in use past the first record: minus one record when empty.
        const int records = qint16(le16(head + 4)) / header.recordSize + 1;
        if (records < 0 || records > header.perBlock)
            damaged(path, QStringLiteral("bloco %1 inconsistente").arg(block));
        pxpindex_t &entry = index[listed++];
        entry.data = nullptr;
        entry.blocknumber = block;
        entry.numrecords = records;
        entry.dummy = 0;
        entry.myblocknumber = 0;
        entry.level = 1;
        counted += records;
        block = le16(head);
    }
    px->px_indexdatalen = listed;
    // The blocks must hold exactly the rows the header counts.
    if (header.numRecords > 0 && counted != header.numRecords)
        damaged(path, QStringLiteral("%1 registros nos blocos, %2 no cabeçalho").arg(counted).arg(header.numRecords));
}

} // namespace

struct ParadoxReader::Doc
{
    pxdoc_t *px = nullptr;
    FILE *fp = nullptr;
    ParadoxTableFile file;
    QString lastError;
    ~Doc()
    {
        if (px) {
            PX_close(px);
            PX_delete(px);
        }
        if (fp)
            std::fclose(fp);
    }
};

ParadoxReader::~ParadoxReader() = default;

std::unique_ptr<ParadoxReader> ParadoxReader::open(const QString &path)
{
    const Header header = checkHeader(path);
    std::unique_ptr<ParadoxReader> r(new ParadoxReader);
    r->m_path = path;
    r->m_doc = std::make_unique<Doc>();
    Doc &d = *r->m_doc;
    d.file.raw = std::fopen(nativePath(path).constData(), "rb");
    if (!d.file.raw)
        fail(path, QStringLiteral("não foi possível abrir o arquivo."));
    d.file.hideChain = true;
    cookie_io_functions_t io{tableRead, nullptr, tableSeek, tableClose};
    d.fp = fopencookie(&d.file, "rb", io);
    if (!d.fp) {
        std::fclose(d.file.raw);
        fail(path, QStringLiteral("não foi possível abrir o arquivo."));
    }
    d.px = newDoc(&d.lastError);
    if (PX_open_fp(d.px, d.fp) < 0) {
        deleteAfterFailedOpen(d.px);
        d.px = nullptr;
        damaged(path, d.lastError.isEmpty() ? QStringLiteral("cabeçalho ilegível") : d.lastError);
    }
    d.file.hideChain = false;
    pxhead_t *ph = d.px->px_head;
    ph->px_numrecords = int(header.numRecords);
    ph->px_firstblock = unsigned(header.firstBlock);
    d.px->last_position = int(header.numRecords) - 1;
    walkChain(d.px, header, path);
    r->m_encrypted = ph->px_encryption != 0;
    for (int i = 0; i < PX_get_num_fields(d.px) && i < header.fields.size(); ++i) {
        const pxfield_t *pf = PX_get_field(d.px, i);
        Field f = header.fields.at(i);
        f.name = Cp1252::toUnicode(QByteArray(pf->px_fname ? pf->px_fname : ""));
        r->m_fields << f;
    }
    r->m_count = int(header.numRecords);
    r->m_record.resize(header.recordSize);
    return r;
}

QStringList ParadoxReader::fieldNames() const
{
    QStringList out;
    for (const Field &f : m_fields)
        out << f.name;
    return out;
}

QVariantList ParadoxReader::decodeRecord(const QList<Paradox::Field> &fields, const char *record)
{
    QVariantList out;
    out.reserve(fields.size());
    for (const Field &f : fields) {
        out << decodeValue(f, record);
        record += f.size;
    }
    return out;
}

bool ParadoxReader::next()
{
    if (m_pos + 1 >= m_count) {
        m_pos = m_count;
        m_values.clear();
        return false;
    }
    ++m_pos;
    int deleted = 0;
    pxdatablockinfo_t info;
    if (!PX_get_record2(m_doc->px, m_pos, m_record.data(), &deleted, &info))
        damaged(m_path, QStringLiteral("registro %1 ilegível").arg(m_pos + 1));
    m_values = decodeRecord(m_fields, m_record.constData());
    return true;
}

QVariant ParadoxReader::value(const QString &fieldName) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return m_values.value(i);
    return QVariant();
}

QVariantMap ParadoxReader::row() const
{
    QVariantMap out;
    for (int i = 0; i < m_fields.size(); ++i)
        out.insert(m_fields.at(i).name, m_values.value(i));
    return out;
}
