#pragma once
// A Paradox table read by pxlib's own field getters, not by the system's
// wrapper: the independent reader the tests hold written tables against.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>
#include <QVariant>

#include <cstdio>

extern "C" {
#include <paradox.h>
}

struct PxlibTable
{
    struct Field
    {
        QString name;
        int type = 0;
        int size = 0;
    };
    bool ok = false;
    QList<Field> fields;
    QList<QVariantList> rows;

    int indexOf(const QString &name) const
    {
        for (int i = 0; i < fields.size(); ++i)
            if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
};

// Text comes back as Latin-1 of its bytes (the tables hold CP1252); NULL is
// told by all-zero bytes, as pxlib's own flags miss NULL numbers and dates.
inline PxlibTable readWithPxlib(const QString &path)
{
    PxlibTable t;
    PX_boot();
    pxdoc_t *px = PX_new();
    FILE *fp = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!fp || PX_open_fp(px, fp) < 0) {
        if (fp)
            std::fclose(fp);
        PX_delete(px);
        return t;
    }
    for (int i = 0; i < PX_get_num_fields(px); ++i) {
        const pxfield_t *f = PX_get_field(px, i);
        t.fields.append({QString::fromLatin1(f->px_fname), int(uchar(f->px_ftype)), f->px_flen});
    }
    QByteArray rec(PX_get_recordsize(px), '\0');
    for (int r = 0; r < PX_get_num_records(px); ++r) {
        if (!PX_get_record(px, r, rec.data()))
            break;
        QVariantList row;
        char *p = rec.data();
        for (const PxlibTable::Field &f : t.fields) {
            bool zero = true;
            for (int i = 0; i < f.size; ++i)
                zero = zero && p[i] == 0;
            QVariant v;
            if (!zero) {
                switch (f.type) {
                case pxfAlpha: {
                    char *s = nullptr;
                    if (PX_get_data_alpha(px, p, f.size, &s) > 0 && s) {
                        v = QString::fromLatin1(s);
                        px->free(px, s);
                    }
                    break;
                }
                case pxfShort: {
                    short s = 0;
                    PX_get_data_short(px, p, f.size, &s);
                    v = int(s);
                    break;
                }
                case pxfLong:
                case pxfAutoInc: {
                    long l = 0;
                    PX_get_data_long(px, p, f.size, &l);
                    v = qlonglong(l);
                    break;
                }
                case pxfDate: {
                    long l = 0;
                    PX_get_data_long(px, p, f.size, &l);
                    v = QDate::fromJulianDay(l + 1721425);
                    break;
                }
                case pxfTimestamp: {
                    double d = 0;
                    PX_get_data_double(px, p, f.size, &d);
                    const qint64 ms = qint64(d);
                    v = QDateTime(QDate::fromJulianDay(ms / 86400000 + 1721425),
                                  QTime::fromMSecsSinceStartOfDay(int(ms % 86400000)));
                    break;
                }
                case pxfNumber: {
                    double d = 0;
                    PX_get_data_double(px, p, f.size, &d);
                    v = d;
                    break;
                }
                case pxfLogical: {
                    char c = 0;
                    PX_get_data_byte(px, p, f.size, &c);
                    v = c != 0;
                    break;
                }
                default: v = QByteArray(p, f.size);
                }
            }
            row << v;
            p += f.size;
        }
        t.rows << row;
    }
    t.ok = true;
    PX_close(px);
    PX_delete(px);
    std::fclose(fp);
    return t;
}
