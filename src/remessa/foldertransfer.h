#pragma once
#include <QString>

class Database;
class Messenger;

// What the folder transfer needs: the file in the transfer directory, the
// folder it goes to, and who sends which remittance.
struct FolderTransferRequest
{
    QString transferDir; // the local transfer directory
    QString fileName; // "OC-"/"OT-" package or "TX-" TXT file
    QString destination; // the chosen folder (a floppy mount point or any folder)
    QString number; // current remittance number
    QString userCode;
    QString userName;
};

// Told about the copy as it goes; the window processes its events here and
// answers whether the user interrupted.
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

// Runs the whole transfer. Refusals are shown through the messenger; the
// result line is the caller's to show. Raises DbError when the delivery row
// cannot be written.
Result run(Database &db, Messenger &messenger, const FolderTransferRequest &request, FolderTransferObserver &observer);

}
