#pragma once
#include <QString>

// Why a file could not be read or written, in words for the user. Asked
// after the failure, of the file system as it is then.
namespace FileReasons {

// path could not be opened for reading.
QString unreadable(const QString &path, const QString &systemText = QString());
// path (a file to create or append to) could not be opened for writing.
QString unwritable(const QString &path, const QString &systemText = QString());

}
