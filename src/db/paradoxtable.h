#pragma once
#include "db/database.h"
#include "db/schema.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <memory>

// Paradox tables: the form in which data travels to and from the regulator
// (delta tables of a remittance, reference-table updates). One wrapper over
// pxlib that never lets its weak spots through: values are converted to
// CP1252 and cut to the field width here, records are built byte by byte,
// a damaged file is refused before pxlib walks it, and failures are raised
// as AppError with a message naming the file.
namespace Paradox {

// The password the engine always used for the tables it exchanged.
inline QString enginePassword()
{
    return QStringLiteral("vortekamsil");
}

enum class FieldType : char {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C,
    Time = 0x14,
    Timestamp = 0x15,
    AutoInc = 0x16,
};

struct Field
{
    QString name;
    FieldType type = FieldType::Alpha;
    int size = 0; // bytes in the record
    bool operator==(const Field &o) const { return name == o.name && type == o.type && size == o.size; }
};

// The field a column of the schema becomes: text -> alpha of its width,
// small integer -> short, integer and auto-increment -> long, float ->
// number, date -> date, date-time -> timestamp, boolean -> logical.
Field fieldFor(const Schema::Field &column);
QList<Field> fieldsFor(const Schema::Table &table);
// Bytes a field of this type takes (alpha and memo: the size given).
int byteSize(FieldType type, int alphaSize);

}

// Writes a Paradox table row by row; nothing is held beyond one record.
class ParadoxWriter
{
public:
    ~ParadoxWriter();
    ParadoxWriter(const ParadoxWriter &) = delete;
    ParadoxWriter &operator=(const ParadoxWriter &) = delete;

    // A new table (an existing file of that name is replaced). With a
    // password the data blocks are encrypted.
    static std::unique_ptr<ParadoxWriter> create(const QString &path, const QList<Paradox::Field> &fields,
                                                 const QString &password = QString());
    // An existing table, its rows kept, new rows added after them.
    static std::unique_ptr<ParadoxWriter> append(const QString &path);

    const QList<Paradox::Field> &fields() const { return m_fields; }
    // Values by position, one per field. A null value is written as NULL;
    // text is converted to CP1252 and cut to the field's width in bytes.
    // A value that is not a number/date where one is due raises AppError.
    void appendRow(const QVariantList &values);
    // The first fields().size() columns of the statement's current row,
    // written exactly as appendRow(values) would write them.
    void appendRow(const Database::Statement &row);
    // The same, with the first `count` columns already read as cells, so a
    // caller that has looked at them does not read them again.
    void appendRow(const Database::Statement &row, const Database::Statement::Cell *cells, int count);
    int rowCount() const { return m_rows; }
    // Writes the header and releases the file; raised errors name the file.
    void close();

    // The record bytes of one row, exactly as stored (for tests and readers).
    static QByteArray encodeRecord(const QList<Paradox::Field> &fields, const QVariantList &values);

private:
    ParadoxWriter() = default;
    void storeRecord();
    struct Doc;
    std::unique_ptr<Doc> m_doc;
    QString m_path;
    QList<Paradox::Field> m_fields;
    QByteArray m_record;
    int m_rows = 0;
};

// Reads a Paradox table, plain or encrypted, row by row.
class ParadoxReader
{
public:
    ~ParadoxReader();
    ParadoxReader(const ParadoxReader &) = delete;
    ParadoxReader &operator=(const ParadoxReader &) = delete;

    // Checks the file's structure before anything walks it: a damaged or
    // truncated file raises AppError ("... está danificada ...").
    static std::unique_ptr<ParadoxReader> open(const QString &path);

    const QList<Paradox::Field> &fields() const { return m_fields; }
    QStringList fieldNames() const;
    int rowCount() const { return m_count; }
    bool encrypted() const { return m_encrypted; }

    // Moves to the next row; false after the last one.
    bool next();
    // The current row's values (NULL as a null QVariant; text as QString,
    // short/long as int, number as double, date as QDate, timestamp as
    // QDateTime, logical as bool).
    const QVariantList &values() const { return m_values; }
    QVariant value(int index) const { return m_values.value(index); }
    QVariant value(const QString &fieldName) const; // case-insensitive; invalid when absent
    QVariantMap row() const; // field name -> value

    static QVariantList decodeRecord(const QList<Paradox::Field> &fields, const char *record);

private:
    ParadoxReader() = default;
    struct Doc;
    std::unique_ptr<Doc> m_doc;
    QString m_path;
    QList<Paradox::Field> m_fields;
    QVariantList m_values;
    QByteArray m_record;
    int m_count = 0;
    int m_pos = -1;
    bool m_encrypted = false;
};
