#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// Update packages of the reference tables: "OC-TAB-" + ten-digit version
// (year, month, day, two-digit sequence) + ".zip", and the history of what
// was installed (CONTROLE_AUX).
namespace RefVersion {

inline constexpr int FileNameLength = 21;
QString noVersion(); // "0000000000"
QString noVersionFile(); // "OC-TAB-0000000000.zip"
QString fileNameFor(const QString &version);
// Characters 8 to 17 of a package name.
QString versionOf(const QString &fileName);
// 21 characters with the prefix in any case.
bool isPackageName(const QString &name);
// Year, then month, day and sequence compared as numbers; a name whose parts
// are not all numbers is never newer.
bool isNewer(const QString &name, const QString &than);
// The newest of names that is newer than current; current when none is.
QString newest(const QStringList &names, const QString &current);

struct Installation
{
    QDateTime when;
    QString version;
    QString fileName;
};

// Newest installation first (the installed version is the first).
QList<Installation> history(Database &db);
// By version, greatest first (the reinstallation choice).
QList<Installation> byVersion(Database &db);
// The latest installation; empty texts when none.
Installation installed(Database &db);

}
