#include "shell/databasecopies.h"

#include "base/apperror.h"
#include "base/apppaths.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/registercopy.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QThread>
#include <QTime>
#include <algorithm>
#include <filesystem>
#include <sqlite3.h>
#include <system_error>
#include <tuple>

namespace DatabaseCopies {

namespace {

const QString Prefix = QStringLiteral("bdocc-");
const QString Partial = QStringLiteral(".parcial");
// Pages copied per step; between steps other programs may write, and the
// copy restarts from their change on.
constexpr int PagesPerStep = 256;
// How long a copy waits, in all, for locks held by other programs.
constexpr int LockWaitMs = 30000;
// The tables every database of the system has: a file without them is
// another program's database, not a copy.
const char *const RequiredTables[] = {"CERTIFIC", "CONFIG_LOCAL", "USU_LOCAL"};

const QRegularExpression &copyName()
{
    static const QRegularExpression re(
        QStringLiteral("^bdocc-(\\d{4}-\\d{2}-\\d{2})-(\\d{6})(?:.*?)(?:-(\\d+))?\\.mdb$"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

sqlite3 *engineOf(const Database &db)
{
    const QVariant v = db.handle().driver()->handle();
    if (!db.isOpen() || !v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("O banco de dados não está aberto."));
    return *static_cast<sqlite3 *const *>(v.data());
}

DbError engineError(sqlite3 *db, int code)
{
    return DbError(QString::fromUtf8(sqlite3_errmsg(db)), code, false);
}

// A connection of the engine's own to a file, closed on leaving.
struct FileConnection
{
    sqlite3 *db = nullptr;
    FileConnection(const QString &file, int flags)
    {
        const QByteArray name = QFile::encodeName(file);
        const int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const DbError error = db ? engineError(db, sqlite3_extended_errcode(db))
                                     : DbError(QStringLiteral("Não foi possível abrir %1.").arg(file), rc, false);
            sqlite3_close(db);
            throw error;
        }
        sqlite3_busy_timeout(db, DbErrors::BusyTimeoutMs);
    }
    ~FileConnection() { sqlite3_close(db); }
    FileConnection(const FileConnection &) = delete;
    FileConnection &operator=(const FileConnection &) = delete;
};

// The online backup of one database into another. A lock held elsewhere is
// waited for; a step that fails for any other reason fails the copy (a
// finished backup object alone would not say so).
void backup(sqlite3 *from, sqlite3 *to)
{
    sqlite3_backup *b = sqlite3_backup_init(to, "main", from, "main");
    if (!b)
        throw engineError(to, sqlite3_extended_errcode(to));
    QDeadlineTimer deadline(LockWaitMs);
    int steps = 0;
    int rc = SQLITE_OK;
    for (;;) {
        // A source rewritten faster than it is copied would restart the
        // copy for ever: past a bound the rest goes in one step.
        const int total = sqlite3_backup_pagecount(b);
        const bool lastStep = steps > 4 * (total / PagesPerStep + 1) + 16;
        rc = sqlite3_backup_step(b, lastStep ? -1 : PagesPerStep);
        ++steps;
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_OK)
            continue;
        if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED) {
            if (deadline.hasExpired())
                break;
            QThread::msleep(20);
            continue;
        }
        break;
    }
    const int finished = sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        throw DbError(rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? DbErrors::BusyMessage
                                                               : QString::fromUtf8(sqlite3_errstr(rc)),
                      rc, false);
    if (finished != SQLITE_OK)
        throw engineError(to, finished);
}

void ownerOnly(const QString &path, bool folder)
{
    QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner;
    if (folder)
        p |= QFile::ExeOwner;
    QFile::setPermissions(path, p);
}

QString freeName(const QString &folder, const QDate &day, const QString &suffix)
{
    const QString stamp = day.toString(Qt::ISODate) + QLatin1Char('-') +
        QTime::currentTime().toString(QStringLiteral("hhmmss"));
    const QString tail = suffix.isEmpty() ? QString() : QLatin1Char('-') + suffix;
    QString name = folder + Prefix + stamp + tail + QStringLiteral(".mdb");
    for (int n = 2; QFileInfo::exists(name) || QFileInfo::exists(name + Partial); ++n)
        name = folder + Prefix + stamp + tail + QStringLiteral("-%1.mdb").arg(n);
    return name;
}

// Partial copies left by a run that was cut short; a recent one may still
// be in the making by another program.
void clearLeftovers(const QString &folder)
{
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const QFileInfoList left = QDir(folder).entryInfoList({Prefix + QStringLiteral("*") + Partial}, QDir::Files);
    for (const QFileInfo &f : left)
        if (f.lastModified() < old) // compared as instants
            QFile::remove(f.absoluteFilePath());
}

QString withSlash(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

void renameOver(const QString &from, const QString &to)
{
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), ec);
    if (ec)
        throw AppError(QStringLiteral("Não foi possível renomear o arquivo %1 para %2.")
                           .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)));
}

}

QString defaultFolder()
{
    return AppPaths::dbDir() + QStringLiteral("copias/");
}

QString make(Database &db, const QString &folderPath, const QDate &day, const QString &suffix)
{
    // A server register is copied row by row into a file of its own, read
    // as one moment of the server; a file is copied page by page.
    sqlite3 *source = db.onServer() ? nullptr : engineOf(db);
    if (db.inTransaction())
        throw AppError(QStringLiteral("Há uma gravação em andamento: a cópia da base de dados não foi feita."));
    const QString folder = withSlash(folderPath);
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(folder)));
    ownerOnly(folder, true);
    clearLeftovers(folder);

    const QString final = freeName(folder, day, suffix);
    const QString partial = final + Partial;
    if (source) {
        // Made empty and private first: the engine keeps the mode it finds,
        // for the file and for its journal.
        QFile f(partial);
        if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw AppError(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                               .arg(QDir::toNativeSeparators(partial), f.errorString()));
        f.close();
        ownerOnly(partial, false);
    }
    try {
        if (source) {
            FileConnection target(partial, SQLITE_OPEN_READWRITE);
            backup(source, target.db);
        } else {
            // The folder is its owner's alone, so the file is never seen
            // by others before it is made private too.
            RegisterCopy::toFile(db, partial);
            ownerOnly(partial, false);
        }
        check(partial);
        renameOver(partial, final);
    } catch (...) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        throw;
    }
    return final;
}

QStringList list(const QString &folderPath)
{
    const QString folder = withSlash(folderPath);
    struct Found
    {
        QString day, time;
        qint64 written;
        int counter;
        QString name;
    };
    QList<Found> found;
    for (const QString &n : QDir(folder).entryList({Prefix + QStringLiteral("*.mdb")}, QDir::Files)) {
        const QRegularExpressionMatch m = copyName().match(n);
        if (m.hasMatch())
            found.append({m.captured(1), m.captured(2), QFileInfo(folder + n).lastModified().toMSecsSinceEpoch(),
                          m.captured(3).toInt(), n});
    }
    // By the moment in the name; copies of the same second by when they
    // were written, then by their counter.
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return std::tie(a.day, a.time, a.written, a.counter, a.name) <
            std::tie(b.day, b.time, b.written, b.counter, b.name);
    });
    QStringList out;
    for (const Found &f : std::as_const(found))
        out << folder + f.name;
    return out;
}

QStringList prune(const QString &folder, int keep)
{
    const QStringList copies = list(folder);
    QStringList removed;
    for (qsizetype i = 0; i + qMax(1, keep) < copies.size(); ++i)
        if (QFile::remove(copies.at(i)))
            removed << copies.at(i);
    return removed;
}

bool dueOn(const QString &folder, const QDate &day)
{
    const QString date = day.toString(Qt::ISODate);
    for (const QString &path : list(folder))
        if (copyName().match(QFileInfo(path).fileName()).captured(1) == date)
            return false;
    return true;
}

QString makeDailyIfDue(Database &db, const QString &folder, const QDate &day, int keep)
{
    if (!dueOn(folder, day))
        return QString();
    const QString made = make(db, folder, day);
    prune(folder, keep);
    return made;
}

void check(const QString &file)
{
    if (!QFileInfo(file).isFile())
        throw AppError(QStringLiteral("O arquivo %1 não foi encontrado.").arg(QDir::toNativeSeparators(file)));
    FileConnection copy(file, SQLITE_OPEN_READONLY);
    QStringList problems;
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(copy.db, "PRAGMA integrity_check", -1, &stmt, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const QString line = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        if (line.compare(QLatin1String("ok"), Qt::CaseInsensitive) != 0)
            problems << line;
        rc = SQLITE_OK;
    }
    const int code = sqlite3_extended_errcode(copy.db);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw engineError(copy.db, code);
    if (!problems.isEmpty())
        throw DbError(problems.join(QLatin1Char('\n')), SQLITE_CORRUPT, false);
    for (const char *table : RequiredTables) {
        sqlite3_stmt *q = nullptr;
        sqlite3_prepare_v2(copy.db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE", -1,
                           &q, nullptr);
        sqlite3_bind_text(q, 1, table, -1, SQLITE_STATIC);
        const bool found = sqlite3_step(q) == SQLITE_ROW;
        sqlite3_finalize(q);
        if (!found)
            throw AppError(QStringLiteral("O arquivo %1 não é uma base de dados do sistema (falta a tabela %2).")
                               .arg(QDir::toNativeSeparators(file), QLatin1String(table)));
    }
}

QString restore(Database &db, const QString &copy, const QString &folder, const QDate &day)
{
    check(copy);
    sqlite3 *target = db.onServer() ? nullptr : engineOf(db);
    if (db.inTransaction())
        throw AppError(QStringLiteral("Há uma gravação em andamento: a base de dados não foi restaurada."));
    const QString kept = make(db, folder, day, QStringLiteral("antes-restauracao"));
    if (!target) {
        RegisterCopy::replaceOnServer(db, copy);
        return kept;
    }
    // Statements prepared on the connection would hold the old pages.
    db.clearStatements();
    FileConnection source(copy, SQLITE_OPEN_READONLY);
    backup(source.db, target);
    return kept;
}

}
