#pragma once
#include <QChar>
#include <QString>
#include <QStringList>
#include <functional>

class Database;

// Brings the replica tables (REP_x) up to what an accepted remittance sent,
// from the delta tables unpacked into a folder.
namespace ReplicaFold {

enum class Kind {
    Partial, // per table, in list order: _E delete, _I append-or-update, _A delete then append
    Complete // each table with an _I file is replaced by it; the others stay
};
// "C" partial, "T" complete (the second character of the package name).
Kind kindOf(QChar type);

struct Summary
{
    QStringList tables; // entries that had a delta file
    qint64 rows = 0; // delta rows read
};

// Rows are read and written in chunks of this many, so memory stays flat
// however large a table is.
constexpr int ChunkRows = 4096;

// Folds every delta table of the list found in dir (names compared without
// regard to case; other files, the version marker among them, are ignored).
// All of it in one transaction, or inside the caller's: on any failure the
// exception propagates and nothing of the fold remains once the caller rolls
// back. Afterwards, in every case, *.DB, *.PX and *.VAL are deleted from dir.
// progress receives each entry's message as it is folded.
Summary fold(Database &db, const QString &dir, Kind kind,
             const std::function<void(const QString &message)> &progress = {});

}
