#include "shell/compaction.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "shell/serverrepair.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <filesystem>
#include <system_error>

namespace {
const QString kHoldConnection = QStringLiteral("CapaCertific_Reparo");
const QString kCheckConnection = QStringLiteral("CapaCertific_Compactacao");
}

Compactor::Compactor(Database &db, Messenger &messenger, const QString &dbDir)
    : m_db(db),
      m_messenger(messenger),
      m_dir(QDir::cleanPath(dbDir))
{
    if (m_db.isOpen() && m_db.onServer())
        m_server = m_db.server();
}

QString Compactor::databaseFile() const
{
    return m_dir + QStringLiteral("/bdocc.mdb");
}
QString Compactor::temporaryFile() const
{
    return m_dir + QStringLiteral("/bdoccTMP.mdb");
}
QString Compactor::backupFile() const
{
    return m_dir + QStringLiteral("/bdoccBKP.mdb");
}

void Compactor::show(const QString &text)
{
    if (m_panel)
        m_panel(text, true);
}

bool Compactor::run()
{
    if (!m_messenger.confirm(CompactionTexts::Question))
        return false;
    return runConfirmed();
}

bool Compactor::runConfirmed()
{
    closeDatabase();
    return reopenDatabase(compactClosed());
}

void Compactor::closeDatabase()
{
    show(CompactionTexts::Compacting);
    m_db.close();
}

bool Compactor::compactClosed()
{
    bool ok = false;
    try {
        if (m_server) {
            ok = serverSteps(*m_server);
        } else {
            steps();
            ok = true;
        }
    } catch (const DbError &e) {
        show(CompactionTexts::Failed);
        m_messenger.warning(CompactionTexts::CouldNot + QStringLiteral(" \n") + e.userMessage());
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
    return ok;
}

bool Compactor::reopenDatabase(bool compacted)
{
    if (reopen() && compacted && m_panel)
        m_panel(QString(), false);
    return compacted;
}

void Compactor::steps()
{
    const QString db = databaseFile(), tmp = temporaryFile();
    // Held from here to the end: no other program reads or writes meanwhile.
    Database held(kHoldConnection);
    held.open(db);
    held.holdExclusively();

    if (QFile::exists(tmp))
        removeFile(tmp);
    compactInto(held, tmp);

    // The previous backup goes only now that the new copy has passed its check.
    show(CompactionTexts::DeletingTemporary);
    makeBackup(held);

    show(CompactionTexts::Renaming);
    putInPlace(held, tmp);
    held.close();
    QFile::remove(tmp); // the work is done; a leftover copy is cleared by the next run

    show(CompactionTexts::Compacted);
    m_messenger.plain(CompactionTexts::Repaired);
}

bool Compactor::serverSteps(const ServerAddress &server)
{
    Database check(kCheckConnection);
    check.openServer(server);
    ServerRepair::vacuumAnalyze(check);
    show(ServerRepair::CheckingKeys);
    const QStringList problems = ServerRepair::keyProblems(check);
    check.close();
    if (!problems.isEmpty()) {
        // Compacted, but broken keys are for the server's administrator to
        // mend: this program cannot tell which of two rows is the right one.
        show(CompactionTexts::Failed);
        m_messenger.warning(ServerRepair::ProblemsFound.arg(server.shortText(), problems.join(QLatin1Char('\n'))));
        return false;
    }
    show(CompactionTexts::Compacted);
    m_messenger.plain(CompactionTexts::Repaired);
    return true;
}

void Compactor::compactInto(Database &source, const QString &dst)
{
    source.exec(QStringLiteral("VACUUM INTO ?"), {dst});
    checkIntegrity(dst);
}

void Compactor::checkIntegrity(const QString &file)
{
    Database copy{kCheckConnection};
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

void Compactor::putInPlace(Database &held, const QString &copy)
{
    held.replaceContentFrom(copy);
}

void Compactor::makeBackup(Database &held)
{
    // The database as it is now (held, so whole), copied beside the old
    // backup and then put in its place in one step.
    const QString bkp = backupFile();
    const QString fresh = bkp + QStringLiteral(".novo");
    if (QFile::exists(fresh))
        removeFile(fresh);
    try {
        held.copyContentTo(fresh);
    } catch (...) {
        QFile::remove(fresh);
        throw;
    }
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(fresh).toStdString(), QFile::encodeName(bkp).toStdString(), ec);
    if (ec) {
        QFile::remove(fresh);
        throw AppError(QStringLiteral("Não foi possível renomear o arquivo %1 para %2.")
                           .arg(QDir::toNativeSeparators(fresh), QDir::toNativeSeparators(bkp)));
    }
}

void Compactor::removeFile(const QString &file)
{
    if (QFile::exists(file) && !QFile::remove(file))
        throw AppError(QStringLiteral("Não foi possível apagar o arquivo %1.").arg(QDir::toNativeSeparators(file)));
}

bool Compactor::reopen()
{
    try {
        if (m_server)
            m_db.openServer(*m_server);
        else
            m_db.open(databaseFile());
        return true;
    } catch (const DbError &e) {
        m_messenger.warning(e.userMessage());
    }
    return false;
}
