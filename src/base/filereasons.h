#pragma once
#include <QString>

// Why a file could not be read or written, in words for the user. Asked
// after the failure, of the file system as it is then.
namespace FileReasons {

// path could not be opened for reading.
QString unreadable(const QString &path, const QString &systemText = QString());
// path (a file to create or append to) could not be opened for writing.
QString unwritable(const QString &path, const QString &systemText = QString());
// Writing to path failed part-way (or on opening): a full disk is named as
// such, anything else as unwritable() says.
QString writeFailed(const QString &path, const QString &systemText = QString());
// The disk that holds path (a file or a folder) has no room left.
bool isDiskFull(const QString &path);

}
