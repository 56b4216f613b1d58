#include "import/importtextfile.h"

#include "base/cp1252.h"

#include <QStringDecoder>

bool ImportTextFile::open(const QString &path)
{
    close();
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        m_file.setFileName(path);
        return false;
    }
    // First pass: line count, and whether the whole file is valid UTF-8.
    QStringDecoder utf8(QStringDecoder::Utf8);
    qint64 newlines = 0;
    char last = '\n';
    bool anyHighByte = false;
    m_size = 0;
    m_hasNul = false;
    m_utf16 = false;
    while (!probe.atEnd()) {
        const QByteArray chunk = probe.read(1 << 16);
        if (chunk.isEmpty())
            break;
        if (m_size == 0)
            m_utf16 = chunk.startsWith("\xFF\xFE") || chunk.startsWith("\xFE\xFF");
        m_size += chunk.size();
        if (!m_hasNul)
            m_hasNul = chunk.contains('\0');
        newlines += chunk.count('\n');
        last = chunk.back();
        if (!anyHighByte) {
            for (char c : chunk)
                if (static_cast<unsigned char>(c) >= 0x80) {
                    anyHighByte = true;
                    break;
                }
        }
        if (anyHighByte && !utf8.hasError())
            const QString decoded = utf8.decode(chunk); // decoding happens on conversion
    }
    probe.close();
    m_totalLines = int(newlines + (last != '\n' ? 1 : 0));
    m_encoding = anyHighByte && !utf8.hasError() ? Encoding::Utf8 : Encoding::Cp1252;

    m_file.setFileName(path);
    m_read = 0;
    m_buffer.clear();
    m_pos = 0;
    return m_file.open(QIODevice::ReadOnly);
}

void ImportTextFile::close()
{
    if (m_file.isOpen())
        m_file.close();
    m_read = 0;
    m_buffer.clear();
    m_pos = 0;
}

bool ImportTextFile::atEnd() const
{
    return !m_file.isOpen() || (m_pos >= m_buffer.size() && m_file.atEnd());
}

bool ImportTextFile::fill()
{
    const QByteArray more = m_file.read(1 << 16);
    if (more.isEmpty())
        return false;
    m_buffer = m_buffer.mid(m_pos) + more;
    m_pos = 0;
    return true;
}

bool ImportTextFile::readLine(QString *line)
{
    if (atEnd())
        return false;
    // A line runs to its "\n" or to the end of the file.
    qsizetype end = m_buffer.indexOf('\n', m_pos);
    while (end < 0 && fill())
        end = m_buffer.indexOf('\n', m_pos);
    const qsizetype next = end < 0 ? m_buffer.size() : end + 1;
    QByteArrayView bytes(m_buffer.constData() + m_pos, (end < 0 ? m_buffer.size() : end) - m_pos);
    m_pos = next;
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    // A byte-order mark is no part of the first line, whatever the encoding
    // of the rest (an editor may add one to a CP1252 file).
    if (m_read == 0 && bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    if (m_encoding == Encoding::Utf8) {
        *line = QString::fromUtf8(bytes);
    } else {
        // Outside 0x80..0x9F the code page is Latin-1, which Qt converts in bulk.
        bool latin1 = true;
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            if (b >= 0x80 && b <= 0x9F) {
                latin1 = false;
                break;
            }
        }
        *line = latin1 ? QString::fromLatin1(bytes) : Cp1252::toUnicode(bytes.toByteArray());
    }
    ++m_read;
    return true;
}
