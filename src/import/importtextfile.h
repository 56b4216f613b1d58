#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

// The lines of an import file. Files are CP1252 with CR LF; a file that is
// valid UTF-8 throughout is read as UTF-8, and bare LF line ends are accepted.
// A UTF-8 byte-order mark at the start is skipped.
class ImportTextFile
{
public:
    enum class Encoding { Cp1252, Utf8 };

    // Reads the file through once (line count, encoding) and reopens it.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    bool atEnd() const;
    // The next line without its line end; false at the end of the file.
    bool readLine(QString *line);

    int totalLines() const { return m_totalLines; }
    Encoding encoding() const { return m_encoding; }
    QString errorString() const { return m_file.errorString(); }

    // What the first reading saw, to tell why a file gave no record.
    qint64 size() const { return m_size; }
    bool hasNulBytes() const { return m_hasNul; }
    // A UTF-16 byte-order mark at the start.
    bool looksUtf16() const { return m_utf16; }

private:
    // Lines are cut from a block read ahead (one read per 64 KiB instead of
    // a buffer per line); m_pos is where the next line starts in it.
    bool fill();
    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    int m_totalLines = 0;
    int m_read = 0;
    Encoding m_encoding = Encoding::Cp1252;
    qint64 m_size = 0;
    bool m_hasNul = false;
    bool m_utf16 = false;
};
