#pragma once
#include "db/paradoxtable.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

extern "C" {
#include <paradox.h>
}

// What the Paradox reader and writer share: the header as it is checked
// before pxlib sees a file, the byte order of stored numbers and the
// pxlib documents' set-up and tear-down.
namespace ParadoxFormat {

using Paradox::Field;
using Paradox::FieldType;

// Days are counted from 0001-01-01 = 1.
constexpr qint64 kJulianOffset = 1721425;
constexpr double kMsPerDay = 86400000.0;

[[noreturn]] void fail(const QString &path, const QString &why);
// The "damaged or incomplete file" refusal every broken structure ends in.
[[noreturn]] void damaged(const QString &path, const QString &why);

inline quint16 le16(const uchar *p)
{
    return quint16(p[0] | (p[1] << 8));
}
inline quint32 le32(const uchar *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

void putBigEndian(char *out, quint64 v, int bytes);
quint64 getBigEndian(const char *in, int bytes);
// Numbers are stored so that their bytes sort as the values do.
void putDouble(char *out, double d);
double getDouble(const char *in);

// Structure read from the file's header, checked before pxlib sees it.
struct Header
{
    int recordSize = 0;
    int headerSize = 0;
    int blockSize = 0;
    qint64 numRecords = 0;
    int fileBlocks = 0;
    int firstBlock = 0;
    int lastBlock = 0;
    int perBlock = 0; // records a block holds
    QList<Field> fields;
};

// Raises the "damaged" AppError for any header the file's size and its
// own counts contradict.
Header checkHeader(const QString &path);

pxdoc_t *newDoc(QString *lastError);
// Deletes a document whose opening failed. pxlib frees its block list on
// some of those paths but leaves the pointer behind, so it is dropped here
// first: deleting it again would free it twice.
void deleteAfterFailedOpen(pxdoc_t *px);

QByteArray nativePath(const QString &path);

}
