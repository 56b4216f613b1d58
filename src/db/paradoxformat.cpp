#include "db/paradoxformat.h"
#include "db/dberror.h"

#include <QDir>
#include <QFile>

#include <cstring>

namespace Paradox {

int byteSize(FieldType type, int alphaSize)
{
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Memo: return alphaSize;
    case FieldType::Short: return 2;
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoInc: return 4;
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Timestamp: return 8;
    case FieldType::Logical: return 1;
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
    case ST::SmallInt: f.type = FieldType::Short; break;
    case ST::Integer:
    case ST::AutoInc: f.type = FieldType::Long; break;
    case ST::Float: f.type = FieldType::Number; break;
    case ST::Date: f.type = FieldType::Date; break;
    case ST::DateTime: f.type = FieldType::Timestamp; break;
    case ST::Boolean: f.type = FieldType::Logical; break;
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

namespace ParadoxFormat {

namespace {

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
    case FieldType::AutoInc: return true;
    }
    return false;
}

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

} // namespace

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw AppError(QStringLiteral("Tabela Paradox %1: %2").arg(QDir::toNativeSeparators(path), why));
}

[[noreturn]] void damaged(const QString &path, const QString &why)
{
    fail(path, QStringLiteral("o arquivo está danificado ou incompleto (%1).").arg(why));
}

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
    out.firstBlock = le16(h + 0x0E);
    out.lastBlock = le16(h + 0x10);
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
    out.perBlock = (out.blockSize - 6) / out.recordSize;
    if (out.numRecords > qint64(out.fileBlocks) * out.perBlock || out.firstBlock > out.fileBlocks ||
        out.lastBlock > out.fileBlocks || (out.numRecords > 0 && out.firstBlock < 1))
        damaged(path, QStringLiteral("contagem de registros inconsistente"));
    return out;
}

pxdoc_t *newDoc(QString *lastError)
{
    static Boot boot;
    pxdoc_t *px = PX_new3(onPxError, nullptr, nullptr, nullptr, lastError);
    if (!px)
        throw AppError(QStringLiteral("Tabela Paradox: memória insuficiente."));
    return px;
}

void deleteAfterFailedOpen(pxdoc_t *px)
{
    if (!px)
        return;
    px->px_indexdata = nullptr;
    px->px_indexdatalen = 0;
    PX_delete(px);
}

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace ParadoxFormat
