#pragma once
#include <QString>

// Value types of an import field. The file descriptors use text, integer and
// date-time; binding supports all six.
enum class TFieldType { Text, SmallInt, Integer, Float, Date, DateTime };

// One column of a descriptor: where its value sits in the import file, how it
// is checked and how it is written.
struct TDataStructItem
{
    QString name; // column name, as written into the SQL
    bool lineAdvance = false; // the reader moves to the next file line before cutting it
    int firstColumn = 0; // 1-based; 0 for columns not in the file
    int width = 0; // 0 for columns not in the file
    TFieldType type = TFieldType::Text;
    bool key = false;
    bool required = false;
    bool sequence = false; // computed on read (status row number), never cut
    QString value; // as cut from the file, blanks included
    int lineNumber = 0; // file line the value came from

    bool inFile() const { return width > 0; }
    // The value without leading and trailing space characters (only spaces).
    QString trimmedValue() const;
};

// Removes leading and trailing space characters; other characters stay.
QString trimBlanks(const QString &text);
