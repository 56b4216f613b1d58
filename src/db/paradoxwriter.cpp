#include "base/cp1252.h"
#include "base/filereasons.h"
#include "base/moments.h"
#include "db/dberror.h"
#include "db/paradoxformat.h"
#include "db/paradoxtable.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <cmath>
#include <cstring>

using namespace ParadoxFormat;

namespace {


// "yyyy-MM-dd", "yyyy-MM-ddTHH:mm:ss" and "...ss.zzz", the stored forms,
// read without the general parser (delta tables hold millions of them).
QDateTime toMoment(const QVariant &v, bool *ok);

template <typename C> bool fastMomentChars(const C *c, int n, qint64 *julianDay, int *msOfDay)
{
    if (n != 10 && n != 19 && n != 23)
        return false;
    auto num = [&](int from, int len, int *v) {
        int r = 0;
        for (int i = from; i < from + len; ++i) {
            const unsigned ch = unsigned(c[i]);
            if (ch < '0' || ch > '9')
                return false;
            r = r * 10 + (ch - '0');
        }
        *v = r;
        return true;
    };
    int y, mo, d, h = 0, mi = 0, se = 0, ms = 0;
    if (c[4] != C('-') || c[7] != C('-') || !num(0, 4, &y) || !num(5, 2, &mo) || !num(8, 2, &d))
        return false;
    if (n >= 19) {
        if ((c[10] != C('T') && c[10] != C(' ')) || c[13] != C(':') || c[16] != C(':') || !num(11, 2, &h) ||
            !num(14, 2, &mi) || !num(17, 2, &se))
            return false;
        if (n == 23 && (c[19] != C('.') || !num(20, 3, &ms)))
            return false;
    }
    if (!QDate::isValid(y, mo, d) || h > 23 || mi > 59 || se > 59)
        return false;
    *julianDay = QDate(y, mo, d).toJulianDay();
    *msOfDay = ((h * 60 + mi) * 60 + se) * 1000 + ms;
    return true;
}

bool fastMoment(const QString &s, qint64 *julianDay, int *msOfDay)
{
    return fastMomentChars(reinterpret_cast<const char16_t *>(s.constData()), int(s.size()), julianDay, msOfDay);
}

// A date or moment as its day number and milliseconds into the day.
bool toDayAndTime(const QVariant &v, qint64 *julianDay, int *msOfDay)
{
    if (v.typeId() == QMetaType::QString && fastMoment(v.toString(), julianDay, msOfDay))
        return true;
    bool ok = false;
    const QDateTime m = toMoment(v, &ok);
    if (!ok)
        return false;
    *julianDay = m.date().toJulianDay();
    *msOfDay = m.time().msecsSinceStartOfDay();
    return true;
}

QDateTime toMoment(const QVariant &v, bool *ok)
{
    // Read field by field: a moment parsed in the local zone is lost where
    // summer time skips its midnight.
    QDateTime dt = Moments::fromValue(v);
    if (!dt.isValid() && v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        const QDate d = QDate::fromString(s.left(10), QStringLiteral("dd/MM/yyyy"));
        if (s.size() == 10)
            dt = Moments::wallClock(d);
        else if (s.size() == 19 && s.at(10) == QLatin1Char(' ')) {
            const QTime t = QTime::fromString(s.mid(11), QStringLiteral("HH:mm:ss"));
            if (t.isValid())
                dt = Moments::wallClock(d, t);
        }
    }
    *ok = dt.isValid();
    return dt;
}

QString describe(const QVariant &v)
{
    return v.toString().left(40);
}

void encodeValue(const Field &f, const QVariant &v, char *out, int column)
{
    std::memset(out, 0, size_t(f.size));
    if (v.isNull() || !v.isValid())
        return;
    auto bad = [&](const char *what) {
        throw AppError(QStringLiteral("Campo %1 (coluna %2): o valor \"%3\" não é %4.")
                           .arg(f.name)
                           .arg(column + 1)
                           .arg(describe(v), QString::fromUtf8(what)));
    };
    bool ok = true;
    switch (f.type) {
    case FieldType::Alpha:
    case FieldType::Memo: {
        // Converted here, character by character: pxlib would turn a whole
        // value NULL for one unknown character, and crash on a long one.
        const QString text = v.toString();
        const QChar *c = text.constData();
        int o = 0;
        for (qsizetype i = 0; i < text.size() && o < f.size; ++i) {
            const char16_t u = c[i].unicode();
            if (u < 0x80) {
                out[o++] = char(u);
                continue;
            }
            char32_t cp = u;
            if (QChar::isHighSurrogate(u) && i + 1 < text.size() && c[i + 1].isLowSurrogate())
                cp = QChar::surrogateToUcs4(u, c[++i].unicode()); // one character, one byte
            unsigned char byte = '?';
            Cp1252::encodeChar(cp, &byte);
            out[o++] = char(byte);
        }
        return;
    }
    case FieldType::Short: {
        const qlonglong n = v.toLongLong(&ok);
        if (!ok || n < -32767 || n > 32767)
            bad("um inteiro curto");
        putBigEndian(out, quint16(qint16(n)) ^ 0x8000u, 2);
        return;
    }
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Time: {
        const qlonglong n = v.toLongLong(&ok);
        if (!ok || n < -2147483647LL || n > 2147483647LL)
            bad("um inteiro");
        putBigEndian(out, quint32(qint32(n)) ^ 0x80000000u, 4);
        return;
    }
    case FieldType::Number:
    case FieldType::Currency: {
        const double d = v.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            bad("um número");
        putDouble(out, d);
        return;
    }
    case FieldType::Logical: {
        bool b;
        if (v.typeId() == QMetaType::Bool) {
            b = v.toBool();
        } else {
            const QString s = v.toString().trimmed().toLower();
            if (s == QLatin1String("true") || s == QLatin1String("sim"))
                b = true;
            else if (s == QLatin1String("false") || s == QLatin1String("não"))
                b = false;
            else {
                const qlonglong n = s.toLongLong(&ok);
                if (!ok)
                    bad("um valor lógico");
                b = n != 0;
            }
        }
        out[0] = char(b ? 0x81 : 0x80);
        return;
    }
    case FieldType::Date: {
        qint64 day;
        int ms;
        if (!toDayAndTime(v, &day, &ms))
            bad("uma data");
        putBigEndian(out, quint32(qint32(day - kJulianOffset)) ^ 0x80000000u, 4);
        return;
    }
    case FieldType::Timestamp: {
        qint64 day;
        int ms;
        if (!toDayAndTime(v, &day, &ms))
            bad("uma data e hora");
        putDouble(out, double(day - kJulianOffset) * kMsPerDay + double(ms));
        return;
    }
    }
}

// The common cases of a value straight from the engine: plain ASCII text,
// integers and moments stored as ISO text. False for anything else, which
// then goes through encodeValue (its conversions and its errors).
bool encodeCell(const Field &f, const Database::Statement::Cell &c, char *out)
{
    using Cell = Database::Statement::Cell;
    switch (c.type) {
    case Cell::Null: std::memset(out, 0, size_t(f.size)); return true;
    case Cell::Integer:
        switch (f.type) {
        case FieldType::Short:
            if (c.integer < -32767 || c.integer > 32767)
                return false;
            putBigEndian(out, quint16(qint16(c.integer)) ^ 0x8000u, 2);
            return true;
        case FieldType::Long:
        case FieldType::AutoInc:
        case FieldType::Time:
            if (c.integer < -2147483647LL || c.integer > 2147483647LL)
                return false;
            putBigEndian(out, quint32(qint32(c.integer)) ^ 0x80000000u, 4);
            return true;
        case FieldType::Logical: out[0] = char(c.integer != 0 ? 0x81 : 0x80); return true;
        default: return false;
        }
    case Cell::Text:
        switch (f.type) {
        case FieldType::Alpha:
        case FieldType::Memo: {
            for (int i = 0; i < c.size; ++i)
                if (static_cast<unsigned char>(c.text[i]) >= 0x80)
                    return false;
            const int n = qMin(c.size, f.size);
            std::memcpy(out, c.text, size_t(n));
            std::memset(out + n, 0, size_t(f.size - n));
            return true;
        }
        case FieldType::Date:
        case FieldType::Timestamp: {
            qint64 day;
            int ms;
            if (!fastMomentChars(c.text, c.size, &day, &ms))
                return false;
            if (f.type == FieldType::Date)
                putBigEndian(out, quint32(qint32(day - kJulianOffset)) ^ 0x80000000u, 4);
            else
                putDouble(out, double(day - kJulianOffset) * kMsPerDay + double(ms));
            return true;
        }
        default: return false;
        }
    case Cell::Real:
    case Cell::Blob: return false;
    }
    return false;
}

} // namespace

// --- writer -------------------------------------------------------------

// pxlib writes every record by walking the file's blocks again (tens of
// system calls per record, slower with each block), so a plain table gets
// its data blocks written here, in the layout pxlib reads: blocks of the
// header's size, each "next, previous, offset of the last record" and the
// records back to back, then the header's counts. pxlib only lays out the
// header; an encrypted table goes through pxlib record by record.
struct ParadoxWriter::Doc
{
    pxdoc_t *px = nullptr; // encrypted tables only
    QString lastError;
    QFile file;
    int headerSize = 0;
    int blockSize = 0;
    int recordSize = 0;
    int perBlock = 0;
    int fileBlocks = 0; // blocks already on disk, the current one included
    int blockNo = 0; // block being filled (0: none yet)
    int inBlock = 0; // records in it
    qint64 records = 0;
    QByteArray block;
    bool dirty = false;

    ~Doc()
    {
        if (px) {
            PX_close(px);
            PX_delete(px);
        }
    }

    static void put16(char *p, int v)
    {
        p[0] = char(v & 0xFF);
        p[1] = char((v >> 8) & 0xFF);
    }

    bool writeBlock(int next)
    {
        put16(block.data(), next);
        put16(block.data() + 4, (inBlock - 1) * recordSize);
        return file.seek(qint64(headerSize) + qint64(blockNo - 1) * blockSize) && file.write(block) == block.size();
    }

    // Block numbers are 16 bits wide: one more block would wrap the chain.
    bool full() const { return (blockNo == 0 || inBlock == perBlock) && fileBlocks >= 0xFFFF; }

    bool startBlock()
    {
        // The block being closed points at the one about to be added, which
        // is the file's next block, not necessarily the one after it.
        if (blockNo > 0 && !writeBlock(fileBlocks + 1))
            return false;
        const int prev = blockNo;
        block.fill('\0', blockSize);
        blockNo = ++fileBlocks;
        put16(block.data() + 2, prev);
        inBlock = 0;
        return true;
    }

    bool add(const QByteArray &record)
    {
        if (blockNo == 0 || inBlock == perBlock)
            if (!startBlock())
                return false;
        std::memcpy(block.data() + 6 + inBlock * recordSize, record.constData(), size_t(recordSize));
        ++inBlock;
        ++records;
        dirty = true;
        return true;
    }

    bool finish()
    {
        if (!dirty)
            return true;
        if (!writeBlock(0))
            return false;
        char h[4];
        auto at = [&](qint64 offset, const char *data, int n) { return file.seek(offset) && file.write(data, n) == n; };
        const quint32 n = quint32(records);
        const char count[4] = {char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char((n >> 24) & 0xFF)};
        put16(h, fileBlocks);
        put16(h + 2, 1);
        bool ok = at(0x06, count, 4) && at(0x0A, h, 2) && at(0x0C, h, 2) && at(0x0E, h + 2, 2);
        put16(h + 2, fileBlocks);
        ok = ok && at(0x10, h + 2, 2) && at(0x3A, h, 2);
        dirty = false;
        return ok && file.flush();
    }
};

ParadoxWriter::~ParadoxWriter()
{
    if (m_doc && m_doc->file.isOpen())
        m_doc->finish();
}

namespace {
// pxlib's own words, unless the disk filled up under it.
QString pxReason(const QString &path, const QString &pxError)
{
    return FileReasons::isDiskFull(path) ? FileReasons::writeFailed(path) : pxError;
}

// The writer's view of a plain table: sizes and where its last block stands.
void openRaw(const QString &path, QFile &file)
{
    file.setFileName(path);
    if (!file.open(QIODevice::ReadWrite))
        fail(path,
             QStringLiteral("não foi possível abrir o arquivo para gravação (%1).")
                 .arg(FileReasons::writeFailed(path, file.errorString())));
}
}

std::unique_ptr<ParadoxWriter> ParadoxWriter::create(const QString &path, const QList<Paradox::Field> &fields,
                                                     const QString &password)
{
    if (fields.isEmpty() || fields.size() > 255)
        fail(path, QStringLiteral("número de campos inválido."));
    int recordSize = 0;
    for (const Field &f : fields) {
        const bool text = f.type == FieldType::Alpha || f.type == FieldType::Memo;
        if (f.name.isEmpty() || f.name.size() > 25 || (text && (f.size < 1 || f.size > 255)) ||
            (!text && f.size != Paradox::byteSize(f.type, 0)))
            fail(path, QStringLiteral("definição inválida do campo \"%1\".").arg(f.name));
        recordSize += f.size;
    }
    if (recordSize > 0x8000 - 6)
        fail(path, QStringLiteral("registro grande demais."));

    std::unique_ptr<ParadoxWriter> w(new ParadoxWriter);
    w->m_path = path;
    w->m_fields = fields;
    w->m_record.resize(recordSize);
    w->m_doc = std::make_unique<Doc>();
    pxdoc_t *px = newDoc(&w->m_doc->lastError);
    w->m_doc->px = px;
    // pxlib owns the array and the names once the file is created.
    auto *pf = static_cast<pxfield_t *>(px->malloc(px, sizeof(pxfield_t) * size_t(fields.size()), "fields"));
    for (int i = 0; i < fields.size(); ++i) {
        pf[i].px_fname = PX_strdup(px, Cp1252::fromUnicode(fields.at(i).name).constData());
        pf[i].px_ftype = char(fields.at(i).type);
        pf[i].px_flen = fields.at(i).size;
        pf[i].px_fdc = 0;
    }
    QFile::remove(path);
    if (PX_create_file(px, pf, int(fields.size()), nativePath(path).constData(), pxfFileTypNonIndexDB) < 0) {
        deleteAfterFailedOpen(px);
        w->m_doc->px = nullptr;
        fail(path, QStringLiteral("não foi possível criar o arquivo (%1).").arg(pxReason(path, w->m_doc->lastError)));
    }
    // The header names the table, not the folder it was written in.
    PX_set_tablename(px, Cp1252::fromUnicode(QFileInfo(path).fileName()).constData());
    PX_set_value(px, "codepage", 1252);
    if (!password.isEmpty()) {
        PX_set_parameter(px, "password", Cp1252::fromUnicode(password).constData());
        return w;
    }
    w->m_doc->px = nullptr;
    PX_close(px);
    PX_delete(px);
    const Header header = checkHeader(path);
    Doc &d = *w->m_doc;
    openRaw(path, d.file);
    d.headerSize = header.headerSize;
    d.blockSize = header.blockSize;
    d.recordSize = header.recordSize;
    d.perBlock = (header.blockSize - 6) / header.recordSize;
    return w;
}

std::unique_ptr<ParadoxWriter> ParadoxWriter::append(const QString &path)
{
    const Header header = checkHeader(path);
    // The fields with their names, and whether the blocks are encrypted.
    std::unique_ptr<ParadoxReader> reader = ParadoxReader::open(path);
    std::unique_ptr<ParadoxWriter> w(new ParadoxWriter);
    w->m_path = path;
    w->m_fields = reader->fields();
    w->m_record.resize(header.recordSize);
    w->m_rows = reader->rowCount();
    w->m_doc = std::make_unique<Doc>();
    Doc &d = *w->m_doc;
    if (reader->encrypted()) {
        reader.reset();
        pxdoc_t *px = newDoc(&d.lastError);
        d.px = px;
        if (PX_open_file(px, nativePath(path).constData()) < 0) {
            deleteAfterFailedOpen(px);
            d.px = nullptr;
            fail(path, QStringLiteral("não foi possível abrir o arquivo (%1).").arg(d.lastError));
        }
        return w;
    }
    reader.reset();
    openRaw(path, d.file);
    d.headerSize = header.headerSize;
    d.blockSize = header.blockSize;
    d.recordSize = header.recordSize;
    d.perBlock = (header.blockSize - 6) / header.recordSize;
    d.fileBlocks = header.fileBlocks;
    d.records = header.numRecords;
    const auto *h = reinterpret_cast<const uchar *>(d.file.map(0, 0x12));
    const int lastBlock = h ? le16(h + 0x10) : 0;
    if (h)
        d.file.unmap(const_cast<uchar *>(h));
    if (header.numRecords > 0 && lastBlock > 0) {
        // Keep filling the last block.
        d.file.seek(qint64(header.headerSize) + qint64(lastBlock - 1) * header.blockSize);
        d.block = d.file.read(header.blockSize);
        if (d.block.size() != header.blockSize)
            damaged(path, QStringLiteral("último bloco incompleto"));
        const auto *b = reinterpret_cast<const uchar *>(d.block.constData());
        d.blockNo = lastBlock;
        d.inBlock = le16(b + 4) / header.recordSize + 1;
        if (le16(b) != 0 || d.inBlock > d.perBlock)
            damaged(path, QStringLiteral("último bloco inconsistente"));
    }
    return w;
}

QByteArray ParadoxWriter::encodeRecord(const QList<Paradox::Field> &fields, const QVariantList &values)
{
    int size = 0;
    for (const Field &f : fields)
        size += f.size;
    QByteArray rec(size, '\0');
    char *p = rec.data();
    for (int i = 0; i < fields.size(); ++i) {
        encodeValue(fields.at(i), i < values.size() ? values.at(i) : QVariant(), p, i);
        p += fields.at(i).size;
    }
    return rec;
}

void ParadoxWriter::appendRow(const QVariantList &values)
{
    if (!m_doc || (!m_doc->px && !m_doc->file.isOpen()))
        fail(m_path, QStringLiteral("a tabela já foi fechada."));
    if (values.size() != m_fields.size())
        fail(m_path, QStringLiteral("a linha tem %1 valores para %2 campos.").arg(values.size()).arg(m_fields.size()));
    char *p = m_record.data();
    for (int i = 0; i < m_fields.size(); ++i) {
        encodeValue(m_fields.at(i), values.at(i), p, i);
        p += m_fields.at(i).size;
    }
    storeRecord();
}

void ParadoxWriter::appendRow(const Database::Statement &row)
{
    appendRow(row, nullptr, 0);
}

void ParadoxWriter::appendRow(const Database::Statement &row, const Database::Statement::Cell *cells, int count)
{
    if (!m_doc || (!m_doc->px && !m_doc->file.isOpen()))
        fail(m_path, QStringLiteral("a tabela já foi fechada."));
    char *p = m_record.data();
    for (int i = 0; i < m_fields.size(); ++i) {
        const Field &f = m_fields.at(i);
        // The rare value the cell cannot give is read again, as a QVariant.
        if (!encodeCell(f, i < count ? cells[i] : row.cell(i), p))
            encodeValue(f, row.value(i), p, i);
        p += f.size;
    }
    storeRecord();
}

void ParadoxWriter::storeRecord()
{
    if (m_doc->px) {
        // One write call for the whole life of the handle: mixing pxlib's
        // record calls on one document crashes it.
        if (PX_put_record(m_doc->px, m_record.data()) < 0)
            fail(m_path,
                 QStringLiteral("falha ao gravar o registro %1 (%2).")
                     .arg(m_rows + 1)
                     .arg(pxReason(m_path, m_doc->lastError)));
    } else if (m_doc->full()) {
        fail(m_path, QStringLiteral("a tabela não comporta mais registros (%1).").arg(m_rows));
    } else if (!m_doc->add(m_record)) {
        fail(m_path,
             QStringLiteral("falha ao gravar o registro %1 (%2).")
                 .arg(m_rows + 1)
                 .arg(FileReasons::writeFailed(m_path, m_doc->file.errorString())));
    }
    ++m_rows;
}

void ParadoxWriter::close()
{
    if (!m_doc)
        return;
    if (m_doc->file.isOpen()) {
        const bool ok = m_doc->finish();
        const QString why = ok ? QString() : FileReasons::writeFailed(m_path, m_doc->file.errorString());
        m_doc->file.close();
        if (!ok)
            fail(m_path, QStringLiteral("falha ao gravar (%1).").arg(why));
        return;
    }
    if (!m_doc->px)
        return;
    pxdoc_t *px = m_doc->px;
    m_doc->px = nullptr;
    PX_close(px);
    PX_delete(px);
    if (!m_doc->lastError.isEmpty())
        fail(m_path, QStringLiteral("falha ao gravar (%1).").arg(pxReason(m_path, m_doc->lastError)));
    if (QFileInfo(m_path).size() <= 0)
        fail(m_path, QStringLiteral("o arquivo não foi gravado."));
}
