#pragma once
#include "import/writtenrows.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <typeinfo>
#include <unordered_map>
#include <vector>

struct TWriteShape;

class Database;
class QFile;

// What the import of one file keeps between its records, so that a record
// costs a few statements instead of a dozen parsed anew:
//
// - the log files stay open for the whole file (opening and closing them for
//   every line was a large share of the time); lines reach the disk at every
//   flush and when the session closes, always before anyone else writes to,
//   renames or deletes the files;
// - answers that the database would give the same way for the rest of the
//   file's transaction: the highest SeqEvento of each status table and the
//   issue date of each certificate.
//
// The answers are exact because the session lives inside the file's
// transaction: SQLite keeps the snapshot of a transaction from its first read
// until it ends, and the program is the database's only writer, so inside it
// the rows change only through the import's own statements. Every statement
// of the import that can change an answer goes through TDataStruct::WriteRow,
// which tells the session (a status row inserted, a certificate written).
class ImportSession
{
public:
    explicit ImportSession(Database &db);
    ~ImportSession(); // closes the logs
    ImportSession(const ImportSession &) = delete;
    ImportSession &operator=(const ImportSession &) = delete;

    Database &database() const { return m_db; }

    // Appends text (UTF-8, line ends included) to the file fileName of dir
    // (the current directory when dir is empty), creating it; the file stays
    // open until flushLogs()/closeLogs().
    void appendLog(const QString &dir, const QString &fileName, const QByteArray &text);
    // Writes what is pending to disk (the files stay open).
    void flushLogs();
    // Writes what is pending and closes the files.
    void closeLogs();

    // The next SeqEvento of a status table, by the rule of every event
    // writer (StatusEvents::followingSeqEvento) over the table's highest
    // number. False when the query fails or the table's numbering is full:
    // error tells why (nothing is remembered then). fresh is true when the
    // table holds only numbers, so no row can carry the value returned.
    bool nextSequence(const QString &table, qint64 *next, bool *fresh, QString *error = nullptr);
    // A row was inserted into a status table with this SeqEvento.
    void sequenceUsed(const QString &table, qint64 value);

    // The issue date of a certificate, remembered per acronym and number;
    // forgotten whenever a CERTIFIC row is written.
    bool issueDate(const QString &acronym, const QString &numcertif, QDateTime *date) const;
    void rememberIssueDate(const QString &acronym, const QString &numcertif, const QDateTime &date);
    void certificateWritten();

    // A date or date-time value of the file as the import reads it
    // (ImportDates::parseDateTime), with the texts it is stored and logged
    // as. The same few dates fill a whole file.
    struct Moment
    {
        QDateTime value; // invalid when the text is not a date
        QString stored; // as bound to the database
        QString shown; // as listed in Log_BD.txt
    };
    const Moment &moment(const QString &trimmedText);

    // The pairing rows this file wrote (CTR_HISTORICO) on a server, where
    // each test is a round trip; the first use asks whether the table held
    // rows before the file. On the file every test is asked of it. Inside the file's
    // transaction the table holds nothing else once it was found empty: it
    // is emptied at the end of every file that passes, a failed file leaves
    // nothing, and no other program's rows are seen before they are gone.
    WrittenRows &pairingRows();

    // Existence tests taken as finding nothing, unanswered (a server that
    // sends the writes without waiting): only those of a certificate this
    // file inserted, whose rows are this file's own unless some were left
    // behind another way, and matching none of the rows the file wrote.
    // The database's answers check every guess (Database::guessMissed()).
    void setGuessing(bool on) { m_guessing = on; }
    bool guessing() const { return m_guessing && m_writing; }
    void certificateInserted(const QString &numcertif);
    bool certificateIsNew(const QString &numcertif) const;
    // The rows this file inserted into a table (upper-case name) of a
    // certificate's items, while guessing.
    WrittenRows &writtenRows(const QString &table);

    // Statements other than TDataStruct::WriteRow's follow (the closing
    // checks): from now on every answer is asked of the database.
    void endWrites();

    // The statements of a descriptor class for a set of key items holding a
    // value (bit i: item i), built by build the first time.
    std::shared_ptr<const TWriteShape> writeShape(const std::type_info &type, quint64 keyMask,
                                                  const std::function<TWriteShape()> &build);

    // Something derived from one or two descriptor classes only (how their
    // items pair up by name), built by build the first time it is asked for.
    template <typename T>
    std::shared_ptr<const T> derived(int tag, const std::type_info &a, const std::type_info &b,
                                     const std::function<T()> &build)
    {
        std::shared_ptr<const void> &slot = m_derived[DerivedKey{tag, &a, &b}];
        if (!slot)
            slot = std::make_shared<const T>(build());
        return std::static_pointer_cast<const T>(slot);
    }

private:
    struct OpenLog;
    struct DerivedKey
    {
        int tag;
        const std::type_info *a;
        const std::type_info *b;
        bool operator==(const DerivedKey &o) const { return tag == o.tag && *a == *o.a && *b == *o.b; }
    };
    struct DerivedKeyHash
    {
        size_t operator()(const DerivedKey &k) const
        {
            return k.a->hash_code() * 31 + k.b->hash_code() + size_t(k.tag);
        }
    };
    std::unordered_map<DerivedKey, std::shared_ptr<const void>, DerivedKeyHash> m_derived;
    struct ShapeKey
    {
        const std::type_info *type;
        quint64 keyMask;
        bool operator==(const ShapeKey &o) const { return *type == *o.type && keyMask == o.keyMask; }
    };
    struct ShapeKeyHash
    {
        size_t operator()(const ShapeKey &k) const { return k.type->hash_code() ^ std::hash<quint64>()(k.keyMask); }
    };
    static constexpr qsizetype MaxIssueDates = 4096;
    Database &m_db;
    std::vector<std::unique_ptr<OpenLog>> m_logs; // a file or two
    std::unordered_map<ShapeKey, std::shared_ptr<const TWriteShape>, ShapeKeyHash> m_shapes;
    QHash<QString, qint64> m_highestSequence; // by upper-case table name
    QString m_issueAcronym;
    QHash<QString, QDateTime> m_issueDates; // by certificate number
    QHash<QString, Moment> m_moments;
    bool m_writing = true;
    WrittenRows m_pairing;
    bool m_guessing = false;
    QSet<QString> m_newCertificates; // lower-case plain-ASCII numbers
    QHash<QString, WrittenRows> m_written; // by upper-case table name
    static constexpr qsizetype MaxMoments = 4096;
};
