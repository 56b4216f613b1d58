#pragma once
#include <QString>
#include <memory>

class ParadoxWriter;

// The Paradox tables a remittance carries: delta tables named after the
// table of the remittance list, and the version marker.
namespace DeltaTables {

// 0 "_I" inclusion, 1 "_E" exclusion, 2 "_A" alteration, 3 the bare name,
// 4 "REP_" + name.
enum Kind { Inclusion = 0, Exclusion = 1, Alteration = 2, Bare = 3, Replica = 4 };

QString tableName(const QString &table, Kind kind);
// Path of the table's file in the folder: name + ".DB".
QString filePath(const QString &folder, const QString &tableName);

// Opens the delta table for appending rows: created with the structure of
// the local table of that name (every column in order, auto-increment as a
// plain long) when its file does not exist; an existing file keeps its rows
// and receives the new ones after them. Raises AppError.
std::unique_ptr<ParadoxWriter> open(const QString &folder, const QString &table, Kind kind);
// The creation alone; returns the table name used.
QString create(const QString &folder, const QString &table, Kind kind);

// Removes every table file (*.DB, *.PX, *.VAL) of folder; an empty folder
// name removes nothing (never the current folder's).
void removeTables(const QString &folder);

// "Sistema.db": one text field Versao (50) holding the program version
// encoded with the password codec.
void writeVersionMarker(const QString &folder);
QString versionMarkerFile();

}
