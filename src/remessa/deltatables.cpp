#include "remessa/deltatables.h"
#include "base/codecs.h"
#include "base/fileutil.h"
#include "db/dberror.h"
#include "db/paradoxtable.h"
#include "db/schema.h"
#include "shell/appversion.h"

#include <QDir>
#include <QFileInfo>

namespace DeltaTables {

QString tableName(const QString &table, Kind kind)
{
    switch (kind) {
    case Inclusion: return table + QStringLiteral("_I");
    case Exclusion: return table + QStringLiteral("_E");
    case Alteration: return table + QStringLiteral("_A");
    case Bare: return table;
    case Replica: return QStringLiteral("REP_") + table;
    }
    return table;
}

QString filePath(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name + QStringLiteral(".DB"));
}

namespace {
const Schema::Table &sourceOf(const QString &table, Kind kind)
{
    const Schema::Table *t = Schema::table(kind == Replica ? QStringLiteral("REP_") + table : table);
    if (!t)
        throw AppError(QStringLiteral("A tabela %1 não existe no banco de dados.").arg(table));
    return *t;
}
}

std::unique_ptr<ParadoxWriter> open(const QString &folder, const QString &table, Kind kind)
{
    const QString name = tableName(table, kind);
    const QString path = filePath(folder, name);
    if (QFileInfo::exists(path))
        return ParadoxWriter::append(path);
    return ParadoxWriter::create(path, Paradox::fieldsFor(sourceOf(table, kind)));
}

QString create(const QString &folder, const QString &table, Kind kind)
{
    const QString name = tableName(table, kind);
    if (!QFileInfo::exists(filePath(folder, name)))
        ParadoxWriter::create(filePath(folder, name), Paradox::fieldsFor(sourceOf(table, kind)))->close();
    return name;
}

void removeTables(const QString &folder)
{
    if (folder.trimmed().isEmpty())
        return;
    for (const char *mask : {"*.DB", "*.PX", "*.VAL"})
        FileUtil::deleteByMask(folder, QLatin1String(mask));
}

QString versionMarkerFile()
{
    return QStringLiteral("Sistema.db");
}

void writeVersionMarker(const QString &folder)
{
    // The version as the caption shows it, from its seventh character.
    const QString version = AppVersion::text().mid(6).trimmed();
    auto w = ParadoxWriter::create(QDir(folder).filePath(versionMarkerFile()),
                                   {{QStringLiteral("Versao"), Paradox::FieldType::Alpha, 50}});
    w->appendRow({Codecs::password(Codecs::Encode, version)});
    w->close();
}

}
