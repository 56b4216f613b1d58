#include "db/paradoxtable.h"
#include "db/dberror.h"
#include "base/cp1252.h"

#include <QDate>
#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <cmath>
#include <cstdio>
#include <cstring>

extern "C" {
#include <paradox.h>
}

namespace Paradox {

int byteSize(FieldType type, int alphaSize)
{
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Memo:
        return alphaSize;
    case FieldType::Short:
        return 2;
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoInc:
        return 4;
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Timestamp:
        return 8;
    case FieldType::Logical:
        return 1;
    }
    return 0;
}

Field fieldFor(const Schema::Field &c)
{
    using ST = Schema::FieldType;
    Field f;
    f.name = c.name;
    switch (c.type) {
    case ST::Text:
        f.type = FieldType::Alpha;
        f.size = qBound(1, c.size, 255);
        return f;
    case ST::Memo:
        f.type = FieldType::Alpha;
        f.size = 255;
        return f;
    case ST::SmallInt:
        f.type = FieldType::Short;
        break;
    case ST::Integer:
    case ST::AutoInc:
        f.type = FieldType::Long;
        break;
    case ST::Float:
        f.type = FieldType::Number;
        break;
    case ST::Date:
        f.type = FieldType::Date;
        break;
    case ST::DateTime:
        f.type = FieldType::Timestamp;
        break;
    case ST::Boolean:
        f.type = FieldType::Logical;
        break;
    }
    f.size = byteSize(f.type, 0);
    return f;
}

QList<Field> fieldsFor(const Schema::Table &table)
{
    QList<Field> out;
    for (const Schema::Field &c : table.fields)
        out << fieldFor(c);
    return out;
}

} // namespace Paradox

namespace {

using Paradox::Field;
using Paradox::FieldType;

// Days are counted from 0001-01-01 = 1.
constexpr qint64 kJulianOffset = 1721425;
constexpr double kMsPerDay = 86400000.0;

bool knownType(int t)
{
    switch (static_cast<FieldType>(t)) {
    case FieldType::Alpha:
    case FieldType::Date:
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Logical:
    case FieldType::Memo:
    case FieldType::Time:
    case FieldType::Timestamp:
    case FieldType::AutoInc:
        return true;
    }
    return false;
}

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw AppError(QStringLiteral("Tabela Paradox %1: %2").arg(QDir::toNativeSeparators(path), why));
}

[[noreturn]] void damaged(const QString &path, const QString &why)
{
    fail(path, QStringLiteral("o arquivo está danificado ou incompleto (%1).").arg(why));
}

quint16 le16(const uchar *p) { return quint16(p[0] | (p[1] << 8)); }
quint32 le32(const uchar *p) { return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24); }

// --- values -----------------------------------------------------------

void putBigEndian(char *out, quint64 v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = char(v & 0xFF);
        v >>= 8;
    }
}

quint64 getBigEndian(const char *in, int bytes)
{
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | uchar(in[i]);
    return v;
}

void putDouble(char *out, double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, 8);
    // Positive values get the sign bit set, negative ones are inverted,
    // so that the bytes sort as the numbers do (and zero is not NULL).
    bits = (bits & 0x8000000000000000ULL) ? ~bits : (bits | 0x8000000000000000ULL);
    putBigEndian(out, bits, 8);
}

double getDouble(const char *in)
{
    quint64 bits = getBigEndian(in, 8);
    bits = (bits & 0x8000000000000000ULL) ? (bits & ~0x8000000000000000ULL) : ~bits;
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

bool allZero(const char *p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

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
        if ((c[10] != C('T') && c[10] != C(' ')) || c[13] != C(':') ||
            c[16] != C(':') || !num(11, 2, &h) || !num(14, 2, &mi) || !num(17, 2, &se))
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
    *ok = true;
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.toDateTime();
    case QMetaType::QDate:
        return QDateTime(v.toDate(), QTime(0, 0));
    default:
        break;
    }
    const QString s = v.toString().trimmed();
    QDateTime dt = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime::fromString(s, Qt::ISODate);
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(s.left(10), Qt::ISODate);
        if (d.isValid() && s.size() == 10)
            dt = QDateTime(d, QTime(0, 0));
    }
    if (!dt.isValid())
        dt = QDateTime::fromString(s, QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(s, QStringLiteral("dd/MM/yyyy"));
        if (d.isValid())
            dt = QDateTime(d, QTime(0, 0));
    }
    *ok = dt.isValid();
    return dt;
}

QString describe(const QVariant &v) { return v.toString().left(40); }

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
    case Cell::Null:
        std::memset(out, 0, size_t(f.size));
        return true;
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
        case FieldType::Logical:
            out[0] = char(c.integer != 0 ? 0x81 : 0x80);
            return true;
        default:
            return false;
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
        default:
            return false;
        }
    case Cell::Real:
    case Cell::Blob:
        return false;
    }
    return false;
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
    case FieldType::Short:
        return int(qint16(quint16(getBigEndian(p, 2) ^ 0x8000u)));
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Time:
        return int(qint32(quint32(getBigEndian(p, 4) ^ 0x80000000u)));
    case FieldType::Number:
    case FieldType::Currency:
        return getDouble(p);
    case FieldType::Logical:
        return uchar(p[0]) != 0x80;
    case FieldType::Date: {
        const qint32 days = qint32(quint32(getBigEndian(p, 4) ^ 0x80000000u));
        return QDate::fromJulianDay(qint64(days) + kJulianOffset);
    }
    case FieldType::Timestamp: {
        const double ms = getDouble(p);
        if (!std::isfinite(ms))
            return QVariant();
        const double days = std::floor(ms / kMsPerDay);
        const int rest = int(ms - days * kMsPerDay);
        return QDateTime(QDate::fromJulianDay(qint64(days) + kJulianOffset), QTime::fromMSecsSinceStartOfDay(rest));
    }
    }
    return QVariant();
}

// --- pxlib documents ----------------------------------------------------

struct Boot
{
    Boot() { PX_boot(); }
};

void onPxError(pxdoc_t *, int level, const char *msg, void *data)
{
    if (level == PX_Warning || !data)
        return;
    auto *last = static_cast<QString *>(data);
    if (last->isEmpty())
        *last = QString::fromLocal8Bit(msg);
}

// Structure read from the file's header, checked before pxlib sees it.
struct Header
{
    int recordSize = 0;
    int headerSize = 0;
    int blockSize = 0;
    qint64 numRecords = 0;
    int fileBlocks = 0;
    QList<Field> fields;
};

Header checkHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, QStringLiteral("não foi possível abrir o arquivo (%1).").arg(file.errorString()));
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(0x800);
    if (head.size() < 0x78)
        damaged(path, QStringLiteral("cabeçalho incompleto"));
    const auto *h = reinterpret_cast<const uchar *>(head.constData());
    Header out;
    out.recordSize = le16(h);
    out.headerSize = le16(h + 2);
    const int fileType = h[4];
    const int maxTableSize = h[5];
    out.numRecords = le32(h + 6);
    out.fileBlocks = le16(h + 0x0C);
    const int firstBlock = le16(h + 0x0E);
    const int lastBlock = le16(h + 0x10);
    const int numFields = le16(h + 0x21);
    const int versionId = h[0x39];
    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        damaged(path, QStringLiteral("não é uma tabela"));
    if (maxTableSize != 1 && maxTableSize != 2 && maxTableSize != 3 && maxTableSize != 4 && maxTableSize != 8 &&
        maxTableSize != 16 && maxTableSize != 32)
        damaged(path, QStringLiteral("tamanho de bloco inválido"));
    out.blockSize = maxTableSize * 0x400;
    const int infoOffset = versionId >= 5 ? 0x78 : 0x58;
    if (numFields < 1 || numFields > 255 || out.recordSize < 1 || out.recordSize > out.blockSize - 6)
        damaged(path, QStringLiteral("estrutura de registro inválida"));
    if (out.headerSize < infoOffset + 2 * numFields || out.headerSize > fileSize ||
        infoOffset + 2 * numFields > head.size())
        damaged(path, QStringLiteral("cabeçalho incompleto"));
    int sum = 0;
    for (int i = 0; i < numFields; ++i) {
        const int type = h[infoOffset + 2 * i];
        const int size = h[infoOffset + 2 * i + 1];
        if (!knownType(type) || size < 1)
            damaged(path, QStringLiteral("campo %1 de tipo %2 não suportado").arg(i + 1).arg(type));
        Field f;
        f.type = static_cast<FieldType>(type);
        f.size = size;
        out.fields << f;
        sum += size;
    }
    if (sum != out.recordSize)
        damaged(path, QStringLiteral("tamanho de registro inconsistente"));
    if (qint64(out.headerSize) + qint64(out.fileBlocks) * out.blockSize > fileSize)
        damaged(path, QStringLiteral("faltam blocos de dados"));
    const qint64 perBlock = (out.blockSize - 6) / out.recordSize;
    if (out.numRecords > qint64(out.fileBlocks) * perBlock || firstBlock > out.fileBlocks ||
        lastBlock > out.fileBlocks || (out.numRecords > 0 && firstBlock < 1))
        damaged(path, QStringLiteral("contagem de registros inconsistente"));
    return out;
}

// A file whose reads are counted while pxlib builds its block list: a
// block chain that loops would otherwise keep it reading forever.
struct BudgetFile
{
    FILE *raw = nullptr;
    qint64 budget = -1; // read calls left; -1 = unlimited
};

ssize_t budgetRead(void *cookie, char *buf, size_t size)
{
    auto *b = static_cast<BudgetFile *>(cookie);
    if (b->budget == 0)
        return 0;
    if (b->budget > 0)
        --b->budget;
    return ssize_t(std::fread(buf, 1, size, b->raw));
}

int budgetSeek(void *cookie, off64_t *offset, int whence)
{
    auto *b = static_cast<BudgetFile *>(cookie);
    if (fseeko(b->raw, *offset, whence) != 0)
        return -1;
    *offset = ftello(b->raw);
    return 0;
}

int budgetClose(void *cookie)
{
    auto *b = static_cast<BudgetFile *>(cookie);
    const int rc = std::fclose(b->raw);
    b->raw = nullptr;
    return rc;
}

pxdoc_t *newDoc(QString *lastError)
{
    static Boot boot;
    pxdoc_t *px = PX_new3(onPxError, nullptr, nullptr, nullptr, lastError);
    if (!px)
        throw AppError(QStringLiteral("Tabela Paradox: memória insuficiente."));
    return px;
}

QByteArray nativePath(const QString &path) { return QFile::encodeName(path); }

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
    int fileBlocks = 0;   // blocks already on disk, the current one included
    int blockNo = 0;      // block being filled (0: none yet)
    int inBlock = 0;      // records in it
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

    bool startBlock()
    {
        if (blockNo > 0 && !writeBlock(blockNo + 1))
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
// The writer's view of a plain table: sizes and where its last block stands.
void openRaw(const QString &path, QFile &file)
{
    file.setFileName(path);
    if (!file.open(QIODevice::ReadWrite))
        fail(path, QStringLiteral("não foi possível abrir o arquivo para gravação (%1).").arg(file.errorString()));
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
        PX_delete(px);
        w->m_doc->px = nullptr;
        fail(path, QStringLiteral("não foi possível criar o arquivo (%1).").arg(w->m_doc->lastError));
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
            PX_delete(px);
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
    if (!m_doc || (!m_doc->px && !m_doc->file.isOpen()))
        fail(m_path, QStringLiteral("a tabela já foi fechada."));
    char *p = m_record.data();
    for (int i = 0; i < m_fields.size(); ++i) {
        const Field &f = m_fields.at(i);
        if (!encodeCell(f, row.cell(i), p))
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
            fail(m_path, QStringLiteral("falha ao gravar o registro %1 (%2).").arg(m_rows + 1).arg(m_doc->lastError));
    } else if (!m_doc->add(m_record)) {
        fail(m_path, QStringLiteral("falha ao gravar o registro %1 (%2).").arg(m_rows + 1).arg(m_doc->file.errorString()));
    }
    ++m_rows;
}

void ParadoxWriter::close()
{
    if (!m_doc)
        return;
    if (m_doc->file.isOpen()) {
        const bool ok = m_doc->finish();
        const QString why = m_doc->file.errorString();
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
        fail(m_path, QStringLiteral("falha ao gravar (%1).").arg(m_doc->lastError));
    if (QFileInfo(m_path).size() <= 0)
        fail(m_path, QStringLiteral("o arquivo não foi gravado."));
}

// --- reader -------------------------------------------------------------

struct ParadoxReader::Doc
{
    pxdoc_t *px = nullptr;
    FILE *fp = nullptr;
    BudgetFile budget;
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
    d.budget.raw = std::fopen(nativePath(path).constData(), "rb");
    if (!d.budget.raw)
        fail(path, QStringLiteral("não foi possível abrir o arquivo."));
    // pxlib reads whole blocks through the stream's buffer while it builds
    // its list: allow one read per kilobyte of every block, still bounded.
    d.budget.budget = qint64(header.fileBlocks) * (header.blockSize / 1024 + 4) + 64;
    cookie_io_functions_t io{budgetRead, nullptr, budgetSeek, budgetClose};
    d.fp = fopencookie(&d.budget, "rb", io);
    if (!d.fp) {
        std::fclose(d.budget.raw);
        fail(path, QStringLiteral("não foi possível abrir o arquivo."));
    }
    d.px = newDoc(&d.lastError);
    if (PX_open_fp(d.px, d.fp) < 0) {
        PX_delete(d.px);
        d.px = nullptr;
        damaged(path, d.lastError.isEmpty() ? QStringLiteral("blocos ilegíveis") : d.lastError);
    }
    d.budget.budget = -1;
    r->m_encrypted = d.px->px_head && d.px->px_head->px_encryption != 0;
    // The blocks pxlib found must hold exactly the rows the header counts.
    const auto *index = static_cast<const pxpindex_t *>(d.px->px_indexdata);
    qint64 counted = 0;
    const int perBlock = (header.blockSize - 6) / header.recordSize;
    for (int i = 0; index && i < d.px->px_indexdatalen; ++i) {
        if (index[i].blocknumber == 0 && index[i].numrecords == 0)
            continue;
        if (index[i].numrecords < 0 || index[i].numrecords > perBlock)
            damaged(path, QStringLiteral("bloco %1 inconsistente").arg(index[i].blocknumber));
        counted += index[i].numrecords;
    }
    if (header.numRecords > 0 && (!index || counted != header.numRecords))
        damaged(path, QStringLiteral("%1 registros nos blocos, %2 no cabeçalho").arg(counted).arg(header.numRecords));
    for (int i = 0; i < PX_get_num_fields(d.px); ++i) {
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
