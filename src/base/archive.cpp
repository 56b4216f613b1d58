#include "base/archive.h"
#include "base/apppaths.h"
#include "base/messenger.h"
#include "base/safefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <zip.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

const QString kZipFailed = QStringLiteral("Ocorreu um erro na criação do arquivo.");
const QString kUnzipFailed = QStringLiteral("Ocorreu um erro na extração do arquivo.");
const QString kUnzipTooLarge = QStringLiteral("Ocorreu um erro na extração do arquivo: o conteúdo excede o limite "
                                              "de %1 arquivos e %2 bytes.");

// The archivers always ran with the program folder as current folder.
QString absolute(const QString &path)
{
    return QDir::cleanPath(QDir(AppPaths::programDir()).absoluteFilePath(QDir::fromNativeSeparators(path)));
}

// Each file once, in folder order per pattern; zip matches names
// case-insensitively, as on the workstation the packages come from.
QStringList matchingFiles(const QStringList &patterns)
{
    QStringList out;
    QSet<QString> seen;
    for (const QString &raw : patterns) {
        const QString pattern = raw.trimmed();
        if (pattern.isEmpty())
            continue;
        const QFileInfo fi(absolute(pattern));
        const QDir dir(fi.path());
        const QStringList names = dir.entryList({fi.fileName()}, QDir::Files | QDir::Hidden | QDir::System,
                                                QDir::Name | QDir::IgnoreCase);
        for (const QString &name : names) {
            const QString path = dir.absoluteFilePath(name);
            if (!seen.contains(path)) {
                seen.insert(path);
                out << path;
            }
        }
    }
    return out;
}

// What a file looked like when it was compressed.
struct Stamp
{
    qint64 size = -1;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const QString &path)
{
    struct stat st
    { };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

// Adds the file under its own name; -1 when it cannot.
zip_int64_t addFile(zip_t *za, const QString &file, const QString &name)
{
    zip_source_t *src = zip_source_file(za, QFile::encodeName(file).constData(), 0, -1);
    if (!src)
        return -1;
    const zip_int64_t index = zip_file_add(za, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(src);
        return -1;
    }
    // The fastest deflate: the tables exchanged are mostly zero padding,
    // which every level packs alike, and a large remittance spent most
    // of its time here at the default level.
    zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    return index;
}

} // namespace

struct Archive::Packer::State
{
    struct Packed
    {
        QString zipPath;
        Stamp stamp;
    };
    QTemporaryDir scratch;
    std::mutex lock;
    std::condition_variable wake;
    std::deque<QString> queue;
    QSet<QString> queued;
    QHash<QString, Packed> packed;
    bool draining = false; // finish the queue, then stop
    bool cancelled = false;
    int made = 0;
    std::thread worker;

    void run()
    {
        for (;;) {
            {
                std::unique_lock<std::mutex> l(lock);
                wake.wait(l, [&] { return cancelled || draining || !queue.empty(); });
                if (cancelled || (draining && queue.empty()))
                    return;
            }
            packNext();
        }
    }

    // Compresses the next file of the queue; false when none is left.
    bool packNext()
    {
        QString file, zipPath;
        {
            std::lock_guard<std::mutex> l(lock);
            if (cancelled || queue.empty())
                return false;
            file = queue.front();
            queue.pop_front();
            zipPath = scratch.filePath(QString::number(++made) + QStringLiteral(".zip"));
        }
        const Stamp before = stampOf(file);
        if (before.size < 0 || !compress(file, zipPath) || !(stampOf(file) == before)) {
            QFile::remove(zipPath);
            return true;
        }
        std::lock_guard<std::mutex> l(lock);
        packed.insert(file, {zipPath, before});
        return true;
    }

    static bool compress(const QString &file, const QString &zipPath)
    {
        int err = 0;
        zip_t *za = zip_open(QFile::encodeName(zipPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        if (!za)
            return false;
        if (addFile(za, file, QFileInfo(file).fileName()) < 0) {
            zip_discard(za);
            return false;
        }
        if (zip_close(za) != 0) {
            zip_discard(za);
            return false;
        }
        return true;
    }

    // Finishes the queue, this thread taking its share; the worker ends.
    void drain()
    {
        {
            std::lock_guard<std::mutex> l(lock);
            draining = true;
        }
        wake.notify_all();
        while (packNext()) { }
        if (worker.joinable())
            worker.join();
    }
};

namespace {

// The file's data as compressed on the packer's thread, when the file is
// still what it was then; null otherwise. The scratch archive opened goes
// to `opened`, to stay open until the final archive is written.
zip_source_t *packedSource(zip_t *za, Archive::Packer::State *packer, const QString &file, const QString &name,
                           QList<zip_t *> &opened)
{
    if (!packer)
        return nullptr;
    const auto it = packer->packed.constFind(file);
    if (it == packer->packed.constEnd() || !(stampOf(file) == it->stamp))
        return nullptr;
    int err = 0;
    zip_t *from = zip_open(QFile::encodeName(it->zipPath).constData(), ZIP_RDONLY, &err);
    if (!from)
        return nullptr;
    const char *stored = zip_get_name(from, 0, ZIP_FL_ENC_RAW);
    zip_source_t *src = nullptr;
    // The whole entry from its start: copied without decompressing it.
    if (zip_get_num_entries(from, 0) == 1 && stored && QString::fromUtf8(stored) == name)
        src = zip_source_zip(za, from, 0, 0, 0, -1);
    if (!src) {
        zip_discard(from);
        return nullptr;
    }
    opened << from;
    return src;
}

bool writeArchive(const QStringList &files, const QString &archive, Archive::Packer::State *packer = nullptr)
{
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za)
        return false;
    QList<zip_t *> opened;
    auto discard = [&] {
        zip_discard(za);
        for (zip_t *z : opened)
            zip_discard(z);
    };
    QSet<QString> names;
    for (const QString &file : files) {
        const QString name = QFileInfo(file).fileName();
        // Stored flat, two files of one name would collide: refuse like the
        // archiver does instead of silently dropping one.
        if (names.contains(name.toLower())) {
            discard();
            return false;
        }
        names.insert(name.toLower());
        if (zip_source_t *src = packedSource(za, packer, file, name, opened)) {
            if (zip_file_add(za, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) >= 0)
                continue;
            zip_source_free(src);
            discard();
            return false;
        }
        if (addFile(za, file, name) < 0) {
            discard();
            return false;
        }
    }
    const bool ok = zip_close(za) == 0;
    if (!ok)
        zip_discard(za);
    for (zip_t *z : opened)
        zip_discard(z);
    if (!ok)
        QFile::remove(archive);
    return ok;
}

bool insideDir(const QString &path, const QString &dir)
{
    return path == dir || path.startsWith(dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/'));
}

// Bytes an extraction may still write; shared by every entry of one archive.
struct Budget
{
    qint64 left;
};

// why: the cause, when writing the entry failed.
bool extractEntry(zip_t *za, zip_uint64_t index, const QString &target, Budget &budget, QString &why)
{
    zip_file_t *zf = zip_fopen_index(za, index, 0);
    if (!zf)
        return false;
    // A link left where the entry goes is replaced, never written through.
    SafeFile::Writer out(target);
    if (!out.open()) {
        why = out.error();
        zip_fclose(zf);
        return false;
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        const zip_int64_t n = zip_fread(zf, buf, sizeof buf);
        if (n < 0) { // read error or CRC mismatch
            ok = false;
            break;
        }
        if (n == 0)
            break;
        // The declared sizes were checked; this holds an entry that lies.
        budget.left -= n;
        if (budget.left < 0) {
            ok = false;
            break;
        }
        if (!out.write(buf, n)) {
            why = out.error();
            ok = false;
            break;
        }
    }
    zip_fclose(zf);
    if (!ok)
        return false;
    if (!out.commit()) {
        why = out.error();
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(za, index, 0, &st) == 0 && (st.valid & ZIP_STAT_MTIME)) {
        QFile f(target);
        if (f.open(QIODevice::ReadWrite))
            f.setFileTime(QDateTime::fromSecsSinceEpoch(st.mtime), QFileDevice::FileModificationTime);
    }
    return true;
}

bool zipWith(const QStringList &fileSpecs, const QString &archivePath, Messenger &messenger,
             Archive::Packer::State *packer)
{
    const QString archive = absolute(archivePath);
    if (QFileInfo::exists(archive) || QFileInfo(archive).isSymLink())
        QFile::remove(archive);
    // The scratch copy an earlier, killed run was writing.
    SafeFile::removeLeftovers(QFileInfo(archive).path(), QFileInfo(archive).fileName());
    const QStringList files = matchingFiles(fileSpecs);
    bool ok = !files.isEmpty() && !QFileInfo::exists(archive) && writeArchive(files, archive, packer) &&
        QFileInfo(archive).isFile() && QFile::setPermissions(archive, SafeFile::OwnerOnly);
    if (!ok) {
        QFile::remove(archive); // whatever stands there now was begun here
        messenger.error(kZipFailed);
        return false;
    }
    for (const QString &file : files)
        QFile::remove(file); // a source that cannot go stays; the archive is good
    return true;
}

}

namespace Archive {

bool isSafeEntryName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        return false;
    if (name.contains(QChar(0)))
        return false;
    const QStringList parts = name.split(QLatin1Char('/'));
    for (const QString &p : parts) {
        if (p == QLatin1String(".."))
            return false;
    }
    return true;
}

bool zip(const QString &fileSpec, const QString &archivePath, Messenger &messenger)
{
    return zip(QStringList{fileSpec}, archivePath, messenger);
}

bool zip(const QStringList &fileSpecs, const QString &archivePath, Messenger &messenger)
{
    return zipWith(fileSpecs, archivePath, messenger, nullptr);
}

Packer::Packer()
    : m_state(std::make_unique<State>())
{
    m_state->worker = std::thread([s = m_state.get()] { s->run(); });
}

Packer::~Packer()
{
    {
        std::lock_guard<std::mutex> l(m_state->lock);
        m_state->cancelled = true;
    }
    m_state->wake.notify_all();
    if (m_state->worker.joinable())
        m_state->worker.join();
}

void Packer::addFinished(const QStringList &fileSpecs)
{
    const QStringList files = matchingFiles(fileSpecs);
    {
        std::lock_guard<std::mutex> l(m_state->lock);
        for (const QString &file : files)
            if (!m_state->queued.contains(file)) {
                m_state->queued.insert(file);
                m_state->queue.push_back(file);
            }
    }
    m_state->wake.notify_all();
}

bool Packer::zip(const QStringList &fileSpecs, const QString &archivePath, Messenger &messenger)
{
    m_state->drain();
    return zipWith(fileSpecs, archivePath, messenger, m_state.get());
}

bool entryNames(const QString &archivePath, QStringList *names)
{
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(absolute(archivePath)).constData(), ZIP_RDONLY, &err);
    if (!za)
        return false;
    const zip_int64_t count = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(za, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (names)
            names->append(raw ? QString::fromUtf8(raw) : QString());
    }
    zip_discard(za);
    return true;
}

bool unzip(const QString &archivePath, const QString &destDir, Messenger &messenger, const Limits &limits)
{
    const QString archive = absolute(archivePath);
    const QString dest = absolute(destDir);
    if (!QFileInfo(archive).isFile() || !QDir().mkpath(dest)) {
        messenger.error(kUnzipFailed);
        return false;
    }
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &err);
    if (!za) {
        messenger.error(kUnzipFailed);
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(za, 0);
    const QString tooLarge = kUnzipTooLarge.arg(limits.maxEntries).arg(limits.maxBytes);
    if (count > limits.maxEntries) {
        zip_discard(za);
        messenger.error(tooLarge);
        return false;
    }
    qint64 declared = 0;
    QStringList names;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) ||
            st.size > zip_uint64_t(limits.maxBytes) || (declared += qint64(st.size)) > limits.maxBytes) {
            zip_discard(za);
            messenger.error(tooLarge);
            return false;
        }
        const char *raw = zip_get_name(za, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        const QString resolved = QDir::cleanPath(dest + QLatin1Char('/') + name);
        const bool isDir = name.endsWith(QLatin1Char('/'));
        if (!isSafeEntryName(name) || !insideDir(resolved, dest) || (resolved == dest && !isDir)) {
            zip_discard(za);
            messenger.error(kUnzipFailed);
            return false;
        }
        names << name;
    }
    const QString canonicalDest = QFileInfo(dest).canonicalFilePath();
    Budget budget{limits.maxBytes};
    QStringList written;
    bool ok = true;
    QString why;
    for (zip_int64_t i = 0; i < count && ok; ++i) {
        const QString &name = names.at(i);
        const QString target = QDir::cleanPath(dest + QLatin1Char('/') + name);
        if (name.endsWith(QLatin1Char('/'))) {
            ok = QDir().mkpath(target) && insideDir(QFileInfo(target).canonicalFilePath(), canonicalDest);
            continue;
        }
        const QString parent = QFileInfo(target).path();
        // A folder of the destination that is a link elsewhere must not
        // carry an entry out of it.
        ok = QDir().mkpath(parent) && insideDir(QFileInfo(parent).canonicalFilePath(), canonicalDest) &&
            extractEntry(za, static_cast<zip_uint64_t>(i), target, budget, why);
        if (ok)
            written << target;
    }
    zip_discard(za);
    if (budget.left < 0) {
        for (const QString &file : written)
            QFile::remove(file);
        messenger.error(tooLarge);
        return false;
    }
    if (!ok) {
        messenger.error(why.isEmpty() ? kUnzipFailed
                                      : kUnzipFailed + QStringLiteral(" Causa: ") + why + QLatin1Char('.'));
        return false;
    }
    return true;
}

}
