#pragma once
#include <QString>

// The program folder: $CORVANE_HOME, else a writable per-user data folder.
// Never the install folder. Every path returned here ends without a separator
// except the *Dir() helpers, which end with "/" like the folders the rest of
// the system concatenates onto.
namespace AppPaths {
QString programDir(); // no trailing separator
void setProgramDir(const QString &dir); // overrides the environment (tests, --home)
QString dbDir(); // programDir + "/db/"
QString dbFile(); // programDir + "/db/bdocc.mdb"
QString workDir(); // programDir + "/Trabalho/"
QString programName(); // base name used for the daily error log
// A configured folder or file as the program uses it: a relative one is
// taken from the program folder, whatever the current folder is.
QString resolve(const QString &path);
}
