#include "base/safefile.h"
#include "base/filereasons.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace SafeFile {

Writer::Writer(const QString &path)
    : m_path(QFileInfo(path).absoluteFilePath())
{ }

Writer::~Writer()
{
    discard();
}

bool Writer::open()
{
    discard();
    m_error.clear();
    if (QFileInfo(m_path).isDir())
        return failed(QString());
    m_temp = std::make_unique<QTemporaryFile>(m_path + QStringLiteral(".XXXXXX"));
    // Made exclusively and owner-only, so nothing can stand in its place.
    if (!m_temp->open())
        return failed(m_temp->errorString());
    return true;
}

QIODevice *Writer::device()
{
    return m_temp.get();
}

bool Writer::write(const char *data, qint64 size)
{
    if (!m_temp || !m_temp->isOpen())
        return false;
    if (m_temp->write(data, size) != size)
        return failed(m_temp->errorString());
    return true;
}

bool Writer::commit()
{
    if (!m_temp || !m_temp->isOpen())
        return false;
    // A device user (a PDF writer) reports no failure of its own.
    if (m_temp->error() != QFileDevice::NoError || !m_temp->flush())
        return failed(m_temp->errorString());
#ifdef Q_OS_UNIX
    if (::fsync(m_temp->handle()) != 0)
        return failed(QString());
#endif
    m_temp->close();
    if (m_temp->error() != QFileDevice::NoError)
        return failed(m_temp->errorString());
    std::error_code ec;
    // rename() replaces a link at the target, it does not follow it.
    std::filesystem::rename(QFile::encodeName(m_temp->fileName()).toStdString(),
                            QFile::encodeName(m_path).toStdString(), ec);
    if (ec)
        return failed(QString::fromLocal8Bit(ec.message().c_str()));
    m_temp->setAutoRemove(false);
    m_temp.reset();
    return true;
}

void Writer::discard()
{
    if (!m_temp)
        return;
    m_temp->close();
    m_temp->remove();
    m_temp.reset();
}

bool Writer::failed(const QString &systemText)
{
    // Asked before the scratch file goes: it may be what filled the disk.
    if (m_error.isEmpty())
        m_error = FileReasons::writeFailed(m_path, systemText);
    discard();
    return false;
}

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    Writer w(path);
    const bool ok = w.open() && w.write(bytes) && w.commit();
    if (!ok && error)
        *error = w.error();
    return ok;
}

bool openForAppend(QFile &file, QIODevice::OpenMode extra)
{
    return file.open(QIODevice::WriteOnly | QIODevice::Append | extra, OwnerOnly);
}

bool makeFolder(const QString &folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(QDir::cleanPath(folder)).absolutePath();
    if (parent != QDir::cleanPath(folder) && !makeFolder(parent))
        return false;
    return QDir().mkdir(folder, OwnerOnlyFolder) || QFileInfo(folder).isDir();
}

void removeLeftovers(const QString &folder, const QString &mask)
{
    const QDir dir(folder);
    static const QRegularExpression suffix(QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    const QStringList names = dir.entryList({mask + QStringLiteral(".??????")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (suffix.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
}

}
