#pragma once
#include <QString>
#include <QStringList>

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

// Extracts every entry into destDir (created if needed), overwriting
// existing files. An archive holding any entry that could land outside
// destDir (absolute path, drive letter, backslash, "..") is refused whole:
// nothing of it is written.
bool unzip(const QString &archivePath, const QString &destDir, Messenger &messenger);

// Entry names a zip may carry safely: relative, "/"-separated, no "..".
bool isSafeEntryName(const QString &name);

}
