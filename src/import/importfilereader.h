#pragma once
#include "import/importtextfile.h"

#include <QString>
#include <QStringList>
#include <memory>

class ImportSession;
class Messenger;
class TDataStruct;

// Reads an import file record by record. A header line opens a record whose
// descriptor cuts its values from the following lines and validates them;
// any other line where a header is expected is reported as a warning.
class ImportFileReader
{
public:
    ImportFileReader(const QString &path, const QString &sigla, const QString &userCode);
    ~ImportFileReader();
    ImportFileReader(const ImportFileReader &) = delete;
    ImportFileReader &operator=(const ImportFileReader &) = delete;

    // Opens the file and counts its lines; false when it cannot be read.
    bool open();
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_path; }
    QString sigla() const { return m_sigla; }
    QString userCode() const { return m_userCode; }
    ImportTextFile::Encoding encoding() const { return m_file.encoding(); }
    const ImportTextFile &textFile() const { return m_file; }

    int totalLines() const { return m_file.totalLines(); }
    int linesRead() const { return m_linesRead; }
    bool atEnd() const;
    QString currentLine() const { return m_currentLine; }
    QString currentHeader() const { return m_currentHeader; }

    // The next record, cut and validated; nullptr when the line read was not a
    // record (the warning is recorded) or at the end of the file.
    std::unique_ptr<TDataStruct> readNext();

    // Warnings gathered since the last call ("Linha não importada-->...",
    // invalid headers), in file order.
    QStringList takeWarnings();

    void setLogDir(const QString &dir) { m_logDir = dir; }
    void setMessenger(Messenger *messenger) { m_messenger = messenger; }
    // Handed to every descriptor created (its validation messages are logged through it).
    void setSession(ImportSession *session) { m_session = session; }

    // The 26 section headers, upper case with brackets.
    static const QStringList &validHeaders();
    // "[X]" from a header line (first char "[" and a "]" somewhere), else empty.
    static QString headerOf(const QString &line);

private:
    bool nextLine(QString *line);
    bool peekLine(QString *line);

    QString m_path;
    QString m_sigla;
    QString m_userCode;
    QString m_logDir;
    Messenger *m_messenger = nullptr;
    ImportSession *m_session = nullptr;
    ImportTextFile m_file;
    int m_linesRead = 0;
    QString m_currentLine;
    QString m_currentHeader;
    bool m_hasPeeked = false;
    QString m_peeked;
    QStringList m_warnings;
};
