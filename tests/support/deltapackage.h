#pragma once
#include "db/schema.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantList>

class Database;

// Delta tables and packages built by hand, as the regulator would receive
// them, for the fold and the result tests.
namespace DeltaPackage {

// A full row of a table whose every column is filled from the seed: texts
// "v<seed>" cut to their width, numbers the seed, dates days after a base.
QVariantList row(const Schema::Table &table, int seed);
// Writes table + suffix + ".DB" (suffix "_I", "_E", "_A") into dir.
QString write(const QString &dir, const QString &entryName, const QString &suffix, const QList<QVariantList> &rows);
// Zips every file of dir into archive (the files move into it).
bool pack(const QString &dir, const QString &archive);
// Every row of a table as text, ordered, for comparing whole tables.
QStringList snapshot(Database &db, const QString &table);

}
