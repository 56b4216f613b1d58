#include "remessa/replicafold.h"

#include "base/fileutil.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "db/tableops.h"
#include "remessa/deltareader.h"

#include <QDir>
#include <QHash>

namespace {

// Lower-case file name -> path, for the files of the unpacked package.
QHash<QString, QString> filesOf(const QString &dir)
{
    QHash<QString, QString> out;
    const QDir d(dir);
    for (const QString &name : d.entryList(QDir::Files))
        out.insert(name.toLower(), d.filePath(name));
    return out;
}

qint64 copyFile(Database &db, const QString &path, const QString &replica, TableOps::CopyMode mode)
{
    qint64 rows = 0;
    DeltaReader::forEachChunk(path, ReplicaFold::ChunkRows, [&](const TableOps::RowSet &chunk) {
        TableOps::batchCopy(db, chunk, replica, mode, TableOps::Mapping::ByName);
        rows += chunk.rows.size();
    });
    return rows;
}

void clearDeltaFiles(const QString &dir)
{
    for (const char *mask : {"*.DB", "*.PX", "*.VAL"})
        FileUtil::deleteByMask(dir, QLatin1String(mask));
}

struct Cleanup
{
    QString dir;
    ~Cleanup() { clearDeltaFiles(dir); }
};

}

namespace ReplicaFold {

Kind kindOf(QChar type)
{
    return type.toUpper() == QLatin1Char('T') ? Kind::Complete : Kind::Partial;
}

Summary fold(Database &db, const QString &dir, Kind kind, const std::function<void(const QString &)> &progress)
{
    // The clean-up below must never run on whatever folder is current.
    if (dir.trimmed().isEmpty())
        throw AppError(QStringLiteral("O diretório de sincronização não está configurado."));
    Cleanup cleanup{dir};
    const QHash<QString, QString> files = filesOf(dir);
    auto delta = [&](const Schema::RemittanceEntry &e, const char *suffix) {
        return files.value((e.name + QLatin1String(suffix) + QLatin1String(".db")).toLower());
    };
    using M = TableOps::CopyMode;
    Summary summary;
    Transaction tx(db);
    for (const Schema::RemittanceEntry &e : Schema::remittanceList()) {
        const QString replica = QStringLiteral("REP_") + e.name.toUpper();
        const QString inclusions = delta(e, "_I");
        if (kind == Kind::Complete) {
            if (inclusions.isEmpty())
                continue;
            if (progress)
                progress(e.message);
            db.execute(QStringLiteral("Delete from ") + replica);
            summary.rows += copyFile(db, inclusions, replica, M::Append);
            summary.tables << e.name;
            continue;
        }
        const QString exclusions = delta(e, "_E");
        const QString alterations = delta(e, "_A");
        if (exclusions.isEmpty() && inclusions.isEmpty() && alterations.isEmpty())
            continue;
        if (progress)
            progress(e.message);
        if (!exclusions.isEmpty())
            summary.rows += copyFile(db, exclusions, replica, M::Delete);
        if (!inclusions.isEmpty())
            summary.rows += copyFile(db, inclusions, replica, M::AppendUpdate);
        if (!alterations.isEmpty()) {
            copyFile(db, alterations, replica, M::Delete);
            summary.rows += copyFile(db, alterations, replica, M::AppendUpdate);
        }
        summary.tables << e.name;
    }
    tx.commit();
    return summary;
}

}
