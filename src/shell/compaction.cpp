#include "shell/compaction.h"

#include "db/database.h"
#include "db/dberror.h"
#include "shell/shared/messenger.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

namespace {
const QString kCompactionConnection = QStringLiteral("CapaCertific_Compactacao");
}

Compactor::Compactor(Database &db, Messenger &messenger, const QString &dbDir)
    : m_db(db), m_messenger(messenger), m_dir(QDir::cleanPath(dbDir))
{
}

QString Compactor::databaseFile() const { return m_dir + QStringLiteral("/bdocc.mdb"); }
QString Compactor::temporaryFile() const { return m_dir + QStringLiteral("/bdoccTMP.mdb"); }
QString Compactor::backupFile() const { return m_dir + QStringLiteral("/bdoccBKP.mdb"); }

void Compactor::show(const QString &text)
{
    if (m_panel)
        m_panel(text, true);
}

bool Compactor::run()
{
    if (!m_messenger.confirm(CompactionTexts::Question))
        return false;

    bool ok = false;
    try {
        steps();
        ok = true;
    } catch (const DbError &e) {
        show(CompactionTexts::Failed);
        m_messenger.warning(CompactionTexts::CouldNot + QStringLiteral(" \n") + e.message());
    } catch (const AppError &e) {
        show(CompactionTexts::Failed);
        m_messenger.plain(CompactionTexts::CouldNot + QStringLiteral(" \n") + e.message());
    } catch (const std::exception &e) {
        show(CompactionTexts::Failed);
        const QString what = QString::fromLocal8Bit(e.what());
        m_messenger.plain(what.isEmpty() ? CompactionTexts::CouldNot
                                         : CompactionTexts::CouldNot + QStringLiteral(" \n") + what);
    } catch (...) {
        show(CompactionTexts::Failed);
        m_messenger.plain(CompactionTexts::CouldNot);
    }

    if (reopen() && ok && m_panel)
        m_panel(QString(), false);
    return ok;
}

void Compactor::steps()
{
    show(CompactionTexts::Compacting);
    m_db.close();

    const QString db = databaseFile(), tmp = temporaryFile(), bkp = backupFile();
    if (QFile::exists(tmp))
        removeFile(tmp);
    if (QFile::exists(db))
        removeFile(bkp);

    compactInto(db, tmp);

    show(CompactionTexts::DeletingTemporary);
    if (QFile::exists(tmp))
        renameFile(db, bkp);

    show(CompactionTexts::Renaming);
    if (QFile::exists(tmp)) {
        try {
            renameFile(tmp, db);
        } catch (...) {
            // Without this the system would be left with no database at all.
            if (!QFile::exists(db))
                QFile::rename(bkp, db);
            throw;
        }
    }

    show(CompactionTexts::Compacted);
    m_messenger.plain(CompactionTexts::Repaired);
}

void Compactor::compactInto(const QString &src, const QString &dst)
{
    {
        Database source{kCompactionConnection};
        source.open(src);
        source.exec(QStringLiteral("VACUUM INTO ?"), {dst});
    }
    checkIntegrity(dst);
}

void Compactor::checkIntegrity(const QString &file)
{
    Database copy{kCompactionConnection};
    copy.open(file);
    QSqlQuery q = copy.exec(QStringLiteral("PRAGMA integrity_check"));
    QStringList problems;
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line.compare(QLatin1String("ok"), Qt::CaseInsensitive) != 0)
            problems << line;
    }
    if (!problems.isEmpty())
        throw DbError(problems.join(QLatin1Char('\n')));
}

void Compactor::removeFile(const QString &file)
{
    if (QFile::exists(file) && !QFile::remove(file))
        throw AppError(QStringLiteral("Não foi possível apagar o arquivo %1.").arg(QDir::toNativeSeparators(file)));
}

void Compactor::renameFile(const QString &from, const QString &to)
{
    if (!QFile::rename(from, to))
        throw AppError(QStringLiteral("Não foi possível renomear o arquivo %1 para %2.")
                           .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)));
}

bool Compactor::reopen()
{
    try {
        m_db.open(databaseFile());
        return true;
    } catch (const DbError &e) {
        m_messenger.warning(e.message());
    }
    return false;
}
