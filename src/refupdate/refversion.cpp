#include "refupdate/refversion.h"
#include "base/moments.h"

#include "db/database.h"

#include <QSqlQuery>

namespace RefVersion {

namespace {
const QString Prefix = QStringLiteral("OC-TAB-");

bool parts(const QString &name, int out[4])
{
    static const int from[4] = {7, 11, 13, 15};
    static const int len[4] = {4, 2, 2, 2};
    for (int i = 0; i < 4; ++i) {
        const QString piece = name.mid(from[i], len[i]);
        bool ok = false;
        out[i] = piece.toInt(&ok);
        if (!ok || piece.size() != len[i])
            return false;
        for (QChar c : piece)
            if (!c.isDigit())
                return false;
    }
    return true;
}

QList<Installation> read(Database &db, const char *order)
{
    QList<Installation> out;
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT DataHoraVersao, NumeroVersao, NomeArquivo FROM CONTROLE_AUX ORDER BY ") +
        QLatin1String(order));
    while (q.next())
        out.append({Moments::fromValue(q.value(0)), q.value(1).toString(), q.value(2).toString()});
    return out;
}
}

QString noVersion()
{
    return QStringLiteral("0000000000");
}
QString noVersionFile()
{
    return fileNameFor(noVersion());
}
QString fileNameFor(const QString &version)
{
    return Prefix + version + QStringLiteral(".zip");
}
QString versionOf(const QString &fileName)
{
    return fileName.mid(7, 10);
}

bool isPackageName(const QString &name)
{
    // Only a zip is a package: another file of the same length beside them
    // (a ".ziw", a ".txt") would otherwise be fetched and fail to unpack.
    return name.size() == FileNameLength && name.left(7).toUpper() == Prefix &&
        name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive);
}

bool isNewer(const QString &name, const QString &than)
{
    int a[4], b[4];
    if (!parts(name, a))
        return false;
    if (!parts(than, b))
        return true; // nothing sound is installed: any sound name is newer
    for (int i = 0; i < 4; ++i)
        if (a[i] != b[i])
            return a[i] > b[i];
    return false;
}

QString newest(const QStringList &names, const QString &current)
{
    QString best = current;
    for (const QString &name : names)
        if (isPackageName(name) && isNewer(name, best))
            best = name;
    return best;
}

// Installations made within the same instant keep the order they were made in:
// the table only ever grows, so its rows lie where they were written, which
// each engine names its own way.
QList<Installation> history(Database &db)
{
    return read(db, db.onServer() ? "DataHoraVersao DESC, ctid DESC" : "DataHoraVersao DESC, rowid DESC");
}
QList<Installation> byVersion(Database &db)
{
    return read(db, "NumeroVersao DESC, DataHoraVersao DESC");
}

Installation installed(Database &db)
{
    const QList<Installation> all = history(db);
    return all.isEmpty() ? Installation() : all.first();
}

}
