#pragma once
#include <QString>
#include <QStringList>

#include <memory>

class Messenger;

// Packing and unpacking of the zip files exchanged with the regulator
// (remittances, results, reference updates), with the behaviour of the
// classic command-line archivers the packages were always made with.
namespace Archive {

// Moves every file matching a pattern (folder + wildcard mask, e.g.
// "/x/Transf/*.db") into a new archive, stored without folder names. An
// existing archive is replaced. The sources are deleted only after the
// archive has been written completely. Relative paths are taken from the
// program folder. False, with the message shown, when no archive results.
bool zip(const QString &fileSpec, const QString &archivePath, Messenger &messenger);
// Several patterns into one archive (each matching file once).
bool zip(const QStringList &fileSpecs, const QString &archivePath, Messenger &messenger);

// Deflates the files of an archive while the rest are still being written:
// each finished file is compressed on a thread of its own into a scratch
// archive, whose compressed data the final archive copies as it stands.
class Packer
{
public:
    Packer();
    // Stops the thread after the file in hand; the scratch archives go.
    ~Packer();
    Packer(const Packer &) = delete;
    Packer &operator=(const Packer &) = delete;

    // Queues the files matching the patterns that were not queued before.
    // They must be finished: one changed afterwards (size or time) is
    // packed again from the disk.
    void addFinished(const QStringList &fileSpecs);
    // zip(fileSpecs, archivePath, messenger), taking what was compressed.
    bool zip(const QStringList &fileSpecs, const QString &archivePath, Messenger &messenger);

    struct State;

private:
    std::unique_ptr<State> m_state;
};

// How much an archive may unpack to. An archive that comes from outside
// could expand a thousandfold; it is refused before that is written.
struct Limits
{
    qint64 maxBytes;
    int maxEntries;
};
// Our own remittance packages: generous, yet finite.
constexpr Limits PackageLimits{qint64(8) << 30, 4096};
// The regulator's result: a verdict and a short report.
constexpr Limits ResultLimits{qint64(64) << 20, 64};
// A reference-table package: twelve tables and their companions.
constexpr Limits ReferenceLimits{qint64(256) << 20, 256};

// Extracts every entry into destDir (created if needed), overwriting
// existing files. An archive holding any entry that could land outside
// destDir (absolute path, drive letter, backslash, ".."), more entries than
// the limit or declaring more bytes than the limit is refused whole: nothing
// of it is written. Should the entries unpack to more than they declared,
// the extraction stops at the limit and what it wrote is removed.
bool unzip(const QString &archivePath, const QString &destDir, Messenger &messenger,
           const Limits &limits = PackageLimits);

// The entry names of an archive as stored; false when it cannot be read.
bool entryNames(const QString &archivePath, QStringList *names);

// Entry names a zip may carry safely: relative, "/"-separated, no "..".
bool isSafeEntryName(const QString &name);

}
