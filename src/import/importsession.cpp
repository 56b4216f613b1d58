#include "import/importsession.h"

#include "base/safefile.h"
#include "db/database.h"
#include "db/dberror.h"

#include "import/importdates.h"
#include "import/writeshape.h"
#include "register/statusevents.h"

#include <QDir>
#include <QFile>

struct ImportSession::OpenLog
{
    QString dir;
    QString name;
    QFile file;
    bool usable = false;
};

ImportSession::ImportSession(Database &db)
    : m_db(db)
{ }

ImportSession::~ImportSession()
{
    closeLogs();
}

void ImportSession::appendLog(const QString &dir, const QString &fileName, const QByteArray &text)
{
    OpenLog *log = nullptr;
    for (const auto &l : m_logs)
        if (l->dir == dir && l->name == fileName)
            log = l.get();
    if (!log) {
        auto opened = std::make_unique<OpenLog>();
        opened->dir = dir;
        opened->name = fileName;
        opened->file.setFileName(dir.isEmpty() ? fileName : QDir(dir).filePath(fileName));
        opened->usable = SafeFile::openForAppend(opened->file, QIODevice::Text);
        log = opened.get();
        m_logs.push_back(std::move(opened));
    }
    if (log->usable) // as before: a log that cannot be written must not stop the import
        log->file.write(text);
}

void ImportSession::flushLogs()
{
    for (const auto &log : m_logs)
        if (log->usable)
            log->file.flush();
}

void ImportSession::closeLogs()
{
    for (const auto &log : m_logs)
        if (log->usable)
            log->file.close();
    m_logs.clear();
}

bool ImportSession::nextSequence(const QString &table, qint64 *next, bool *fresh, QString *error)
{
    const QString key = table.toUpper();
    try {
        const auto it = m_highestSequence.constFind(key);
        if (m_writing && it != m_highestSequence.constEnd()) {
            *next = StatusEvents::followingSeqEvento(*it, table);
            *fresh = true;
            return true;
        }
        const std::optional<StatusEvents::Table> events = StatusEvents::tableByName(table);
        if (!events)
            throw AppError(QStringLiteral("%1 não é uma tabela de eventos.").arg(table));
        const QVariant max = StatusEvents::highestSeqEvento(m_db, *events);
        *next = StatusEvents::followingSeqEvento(max, table);
        // A text or real among the numbers makes max() answer something that
        // "+ 1" may not lift above every row: ask again next time.
        *fresh = max.isNull() || max.metaType().id() == QMetaType::LongLong || max.metaType().id() == QMetaType::Int;
        if (*fresh && m_writing)
            m_highestSequence.insert(key, max.isNull() ? 0 : max.toLongLong());
        return true;
    } catch (const AppError &e) {
        if (error)
            *error = e.message();
    } catch (const DbError &e) {
        if (e.endsOperation())
            throw;
        if (error)
            *error = e.message();
    }
    return false;
}

void ImportSession::sequenceUsed(const QString &table, qint64 value)
{
    const auto it = m_highestSequence.find(table.toUpper());
    if (it != m_highestSequence.end() && value > *it)
        *it = value;
}

bool ImportSession::issueDate(const QString &acronym, const QString &numcertif, QDateTime *date) const
{
    if (!m_writing || acronym != m_issueAcronym)
        return false;
    const auto it = m_issueDates.constFind(numcertif);
    if (it == m_issueDates.constEnd())
        return false;
    *date = *it;
    return true;
}

void ImportSession::rememberIssueDate(const QString &acronym, const QString &numcertif, const QDateTime &date)
{
    if (!m_writing)
        return;
    // Every record of a file carries the file's acronym; the dates are kept
    // for one acronym at a time.
    if (acronym != m_issueAcronym) {
        m_issueDates.clear();
        m_issueAcronym = acronym;
    }
    // A file naming many certificates without writing any must not grow it without end.
    if (m_issueDates.size() >= MaxIssueDates)
        m_issueDates.clear();
    m_issueDates.insert(numcertif, date);
}

void ImportSession::certificateWritten()
{
    m_issueDates.clear();
}

std::shared_ptr<const TWriteShape> ImportSession::writeShape(const std::type_info &type, quint64 keyMask,
                                                             const std::function<TWriteShape()> &build)
{
    const ShapeKey key{&type, keyMask};
    auto it = m_shapes.find(key);
    if (it == m_shapes.end())
        it = m_shapes.emplace(key, std::make_shared<const TWriteShape>(build())).first;
    return it->second;
}

const ImportSession::Moment &ImportSession::moment(const QString &trimmedText)
{
    auto it = m_moments.find(trimmedText);
    if (it != m_moments.end())
        return *it;
    if (m_moments.size() >= MaxMoments)
        m_moments.clear();
    Moment m;
    m.value = ImportDates::parseDateTime(trimmedText);
    if (m.value.isValid()) {
        m.stored = Database::Statement::dateTimeText(m.value);
        m.shown = ImportDates::displayText(m.value);
    }
    return *m_moments.insert(trimmedText, m);
}

void ImportSession::endWrites()
{
    m_writing = false;
    m_highestSequence.clear();
    m_issueDates.clear();
    m_pairing.giveUp();
    m_written.clear();
    m_newCertificates.clear();
}

namespace {

// A certificate number as both engines compare it, or empty when their
// rules could differ (beyond plain ASCII).
QString foldedNumber(const QString &numcertif)
{
    for (QChar c : numcertif)
        if (c.unicode() >= 0x80)
            return QString();
    return numcertif.toLower();
}

}

void ImportSession::certificateInserted(const QString &numcertif)
{
    const QString folded = foldedNumber(numcertif);
    if (!folded.isEmpty())
        m_newCertificates.insert(folded);
}

bool ImportSession::certificateIsNew(const QString &numcertif) const
{
    const QString folded = foldedNumber(numcertif);
    return !folded.isEmpty() && m_newCertificates.contains(folded);
}

WrittenRows &ImportSession::writtenRows(const QString &table)
{
    auto it = m_written.find(table);
    if (it == m_written.end()) {
        it = m_written.insert(table, WrittenRows());
        it->startEmpty();
    }
    return *it;
}

WrittenRows &ImportSession::pairingRows()
{
    if (m_pairing.decided())
        return m_pairing;
    // On the file the test costs less than keeping the rows: a server's
    // answer is a round trip.
    if (!m_db.onServer()) {
        m_pairing.giveUp();
        return m_pairing;
    }
    try {
        Database::Statement &q = m_db.statement(QStringLiteral("select count(*) from CTR_HISTORICO"));
        q.exec();
        const bool empty = q.hasRow() && q.value(0).toLongLong() == 0;
        q.reset();
        if (empty)
            m_pairing.startEmpty();
        else
            m_pairing.giveUp();
    } catch (const DbError &e) {
        m_pairing.giveUp();
        if (e.endsOperation())
            throw;
    }
    return m_pairing;
}
