#pragma once
#include "remessa/remessawork.h"

#include <QString>
#include <memory>

class Database;
class Messenger;
namespace TransferDelivery {
class Delivery;
}

// Told about the copy as it goes, on the thread that copies, and asked
// after each block whether the user interrupted.
class FolderTransferObserver
{
public:
    virtual ~FolderTransferObserver() = default;
    virtual void copyStarted(qint64 size) { Q_UNUSED(size); }
    virtual void blockCopied(qint64 done, qint64 total)
    {
        Q_UNUSED(done);
        Q_UNUSED(total);
    }
    virtual bool interrupted() const { return false; }
};

// The transfer mode that needs no server: the file is copied into a folder
// (a diskette or any other) to be delivered by hand. A complete copy counts
// as the transfer and is logged as such.
namespace FolderTransfer {

constexpr int BlockSize = 8192;
constexpr qint64 FloppyLimitKb = 1038;

enum class Status {
    NotStarted, // refused before copying (message shown), or no destination
    Done, // copied and logged
    Interrupted, // stopped by the user; nothing left at the destination
    Failed // the copy could not be made or logged; nothing left at the destination
};

struct Result
{
    Status status = Status::NotStarted;
    QString text; // the line of "Resultado Final da Gravação"
    QString copiedPath; // destination + name of the file copied
};

// Why a complete copy still failed: its delivery row could not be written.
extern const QString LogFailed;

// The remark of the delivery row.
QString remark();
// A destination whose last folder name starts with "floppy" is a diskette
// mount point, where the diskette's capacity applies.
bool isFloppy(const QString &destination);
// Size in kilobytes as the capacity check rounds it (halves to even).
qint64 roundedKb(qint64 bytes);

// One copy in three steps, so that a window copies off its own thread:
// begin() and finish() use the database (on its thread), copy() only the
// files. begin() checks the file and the destination (refusals said through
// the messenger) and takes the register's step marker; finish() records a
// whole copy and releases the marker.
class Copy
{
public:
    // fileName: the work's remittance package ("OC-"/"OT-") or a "TX-" TXT
    // file in the transfer directory; destination: a floppy mount point or
    // any folder.
    Copy(Database &db, Messenger &messenger, const RemessaWork &work, const QString &fileName,
         const QString &destination);
    ~Copy();
    Copy(const Copy &) = delete;
    Copy &operator=(const Copy &) = delete;

    bool begin();
    qint64 size() const { return m_size; }
    // Why begin() refused, when the register said so.
    QString refusal() const { return m_result.text; }
    // Block by block, telling the observer; safe off the database's thread.
    void copy(FolderTransferObserver &observer);
    // Raises DbError when the delivery row cannot be written.
    Result finish();

private:
    Database &m_db;
    Messenger &m_msg;
    RemessaWork m_work;
    QString m_fileName, m_destination, m_from;
    qint64 m_size = 0;
    std::unique_ptr<TransferDelivery::Delivery> m_delivery;
    bool m_copied = false;
    bool m_interrupted = false;
    QString m_error, m_why;
    Result m_result;
};

// The three steps in a row. The result line is the caller's to show.
Result run(Database &db, Messenger &messenger, const RemessaWork &work, const QString &fileName,
           const QString &destination, FolderTransferObserver &observer);

}
