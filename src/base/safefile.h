#pragma once
#include <QFile>
#include <QString>
#include <memory>

class QTemporaryFile;

// Files the program writes where they are meant to be, whole or not at all,
// and readable by their owner only.
namespace SafeFile {

inline constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
inline constexpr QFileDevice::Permissions OwnerOnlyFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
    QFileDevice::ExeOwner;

// Written under a scratch name beside the final one ("<name>.XXXXXX") and
// put in place by one rename once whole. Whatever stands at the final name,
// a link included, is replaced, never written through. Left uncommitted,
// the scratch file is removed.
class Writer
{
public:
    explicit Writer(const QString &path);
    ~Writer();
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    bool open();
    // The open scratch file, for writers that want a device (PDF, streams).
    QIODevice *device();
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Flushes, closes and renames onto the final name. False when any write
    // failed on the way; nothing is then left behind.
    bool commit();
    void discard();
    // Why open, write or commit failed, in words for the user.
    QString error() const { return m_error; }

private:
    bool failed(const QString &systemText);

    QString m_path;
    std::unique_ptr<QTemporaryFile> m_temp;
    QString m_error;
};

// bytes as the whole content of path; why it failed in *error.
bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Opens file for appending, creating it owner-only when new.
bool openForAppend(QFile &file, QIODevice::OpenMode extra = {});
// Creates folder (and its parents) when missing; a folder made here is its
// owner's only.
bool makeFolder(const QString &folder);

// Removes the scratch files writers killed half-way left in folder: names
// that are a name matching mask followed by "." and six characters.
void removeLeftovers(const QString &folder, const QString &mask);

}
