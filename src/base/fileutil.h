#pragma once
#include <QDate>
#include <QString>
#include <QTime>

// Small file, date and display helpers shared by the transfer windows.
namespace FileUtil {

// Deletes every file of folder whose name matches mask (wildcards, case
// ignored); files that cannot be deleted are skipped.
void deleteByMask(const QString &folder, const QString &mask);
// Size in bytes, -1 when the file does not exist.
qint64 fileSize(const QString &name);
qint64 dbFileSize(const QString &name);
// Today (or the given day) as yyyymmdd.
QString dateStamp(const QDate &day = QDate::currentDate());
// Top position that centres a window of this height vertically on a screen
// of screenHeight.
int verticalCentre(int windowHeight, int screenHeight);
// Bytes per second between two times of day, "%5.2f" with "." (a transfer
// may pass midnight); "0" when no time elapsed.
QString transferRate(qint64 bytes, const QTime &start, const QTime &end);

}
