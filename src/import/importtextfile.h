#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

// The lines of an import file. Files are CP1252 with CR LF; a file that is
// valid UTF-8 throughout is read as UTF-8, and bare LF line ends are accepted.
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
};
