#include "import/importfilereader.h"
#include "import/datastruct.h"
#include "import/descriptorfactory.h"

ImportFileReader::ImportFileReader(const QString &path, const QString &sigla, const QString &userCode)
    : m_path(path),
      m_sigla(sigla),
      m_userCode(userCode)
{ }

ImportFileReader::~ImportFileReader()
{
    close();
}

bool ImportFileReader::open()
{
    m_linesRead = 0;
    m_hasPeeked = false;
    m_currentLine.clear();
    m_currentHeader.clear();
    return m_file.open(m_path);
}

void ImportFileReader::close()
{
    m_file.close();
    m_hasPeeked = false;
}

bool ImportFileReader::atEnd() const
{
    return !m_hasPeeked && m_file.atEnd();
}

const QStringList &ImportFileReader::validHeaders()
{
    return ImportDescriptors::headers();
}

QString ImportFileReader::headerOf(const QString &line)
{
    if (!line.startsWith(QLatin1Char('[')))
        return QString();
    const qsizetype close = line.indexOf(QLatin1Char(']'));
    return close < 0 ? QString() : line.left(close + 1);
}

bool ImportFileReader::nextLine(QString *line)
{
    if (m_hasPeeked) {
        m_hasPeeked = false;
        *line = m_peeked;
    } else if (!m_file.readLine(line)) {
        return false;
    }
    ++m_linesRead;
    m_currentLine = *line;
    return true;
}

bool ImportFileReader::peekLine(QString *line)
{
    if (!m_hasPeeked) {
        if (!m_file.readLine(&m_peeked))
            return false;
        m_hasPeeked = true;
    }
    *line = m_peeked;
    return true;
}

std::unique_ptr<TDataStruct> ImportFileReader::readNext()
{
    QString line;
    if (!nextLine(&line))
        return nullptr;

    const QString header = headerOf(line);
    if (header.isEmpty()) {
        m_warnings << QStringLiteral("Linha não importada-->") + line;
        return nullptr;
    }
    m_currentHeader = header;

    std::unique_ptr<TDataStruct> record = ImportDescriptors::createForHeader(header, m_sigla, m_userCode);
    if (!record) {
        m_warnings << QStringLiteral("Foi encontrado um header inválido -->") + header +
                QStringLiteral(" Verifique a linha ") + QString::number(m_linesRead + 1);
        // The record's first data line goes with it; a section header in its
        // place starts a record of its own and is kept.
        QString next;
        if (peekLine(&next) && !validHeaders().contains(headerOf(next)))
            nextLine(&next);
        return nullptr;
    }

    record->setLogDir(m_logDir);
    record->setMessenger(m_messenger);
    record->setSession(m_session);
    QString current;
    bool cut = false; // the record ended early: end of file or the next section's header
    for (TDataStructItem *item : record->items()) {
        if (!item->inFile())
            continue;
        if (item->lineAdvance && !cut) {
            QString next;
            if (peekLine(&next) && !validHeaders().contains(headerOf(next)))
                nextLine(&current);
            else
                cut = true;
        }
        item->value = cut ? QString() : current.mid(item->firstColumn - 1, item->width);
        item->lineNumber = m_linesRead;
    }
    record->Validate();
    return record;
}

QStringList ImportFileReader::takeWarnings()
{
    QStringList out;
    out.swap(m_warnings);
    return out;
}
