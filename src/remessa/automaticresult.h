#pragma once
#include "net/ftpclient.h"
#include "remessa/manualresult.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>

class Database;
class Messenger;
struct ConfigLocal;

// The regulator's verdict fetched from its result folder by FTP: the result
// file is found in the listing, downloaded into the synchronisation folder,
// and the verdict recorded; an accepted remittance is folded into the
// replica first, in the same transaction as its "OK" event.
namespace AutomaticResult {

using LineSink = std::function<void(const QString &line)>;

// "OC-" + "R-" + acronym + number + "-OK.zip" for the package
// "OC-" + acronym + number + ".zip"; verdict "OK" or "NO".
QString resultName(const QString &packageName, const QString &verdict);
// The text report inside the result zip: the result name with ".txt".
QString reportName(const QString &resultName);

struct Found
{
    QString name; // as the server spells it
    QString verdict; // "OK" or "NO"
};

// The result file among the listing lines (bare names or longer listing
// lines ending with the name). When both verdicts are there the accepted
// one wins.
std::optional<Found> find(const QStringList &listing, const QString &packageName);

// The remark of the event row: each report line after a blank, cut to the
// column.
QString remark(const QStringList &reportLines);

// Why a fetch cannot start with these folders ("" when it can).
QString precondition(const RemessaWork &work);

// Texts the window and the command line show.
extern const QString NotAvailable;
extern const QString Accepted;
extern const QString Rejected;
extern const QString NothingToSync;
extern const QString Syncing;
extern const QString SyncDone;
extern const QString SyncNotDone;
QString startLine(const QString &userName); // "Usuário Responsável : ..."
QString startTimeLine(const QTime &start); // "Hora inicio: ..."
QString sizeLine(qint64 total); // "Tamanho do arquivo : n bytes"
// "Hora fim: ", "Bytes transferidos: ", "Taxa de transferência: ".
QStringList endLines(qint64 bytes, const QTime &start, const QTime &end);

enum class Outcome {
    Accepted, // "OK" recorded, replica folded, package deleted
    Rejected, // "NO" recorded; replica and package untouched
    NotAvailable, // no result on the server yet; nothing written
    Failed, // connection, transfer or synchronisation failed, or
    // interrupted; nothing written
};

// Records the verdict of the result file already downloaded to
// syncDir + found.name. Writes the memo lines (the report's lines among
// them) to lines; the synchronisation errors go to the messenger as error
// boxes. On Failed nothing is written, the package stays for a retry and the
// result file stays where it was downloaded.
Outcome settle(Database &db, Messenger &messenger, const RemessaWork &work, const Found &found, const LineSink &lines);

// The FTP calls of a fetch, each returning when done. The command line runs
// an FtpClient directly; the window waits on its worker-thread client while
// it keeps answering.
class Transport
{
public:
    virtual ~Transport() = default;
    virtual void setSettings(const FtpSettings &settings) = 0;
    virtual bool connectToHost() = 0;
    virtual bool changeDirectory(const QString &path) = 0;
    virtual bool listNames(QStringList *names) = 0;
    virtual bool download(const QString &remoteName, const QString &localPath) = 0;
    virtual void disconnectFromHost() = 0;
    virtual FtpFailure lastFailure() const = 0;
    // Size of the file being downloaded as the server told it (0 unknown).
    virtual qint64 downloadTotal() const = 0;
};

// Follows a fetch step by step: the memo lines and the marks of the window.
class Observer
{
public:
    virtual ~Observer() = default;
    virtual void line(const QString &) { }
    virtual void listed() { } // the result folder was read
    virtual void found(const QString &) { } // the result file, before its download
    virtual void downloaded() { } // the whole file is here
    virtual void synchronising(bool) { } // accepted: the fold starts; rejected: nothing to fold
    virtual bool interrupted() const { return false; }
};

struct FetchResult
{
    Outcome outcome = Outcome::Failed;
    bool interrupted = false;
    QString connectError; // the refused connection, as its box tells it
    QString refusal; // another step holds the register, or the state moved on
    QString resultName; // the file found, if any
    QString verdict; // "OK" / "NO" once found
};

// The whole fetch: connect to EndQueloraResult as LoginFTP, list its folder,
// download the result (the accepted one when both are there) into the
// synchronisation folder, settle it.
FetchResult fetch(Database &db, Messenger &messenger, const RemessaWork &work, const ConfigLocal &config,
                  Transport &ftp, Observer &observer);

// A Transport over a blocking FtpClient: the command line runs it directly,
// the window on its worker thread.
class BlockingTransport : public Transport, private FtpListener
{
public:
    BlockingTransport();
    // Told on the thread running the calls.
    std::function<void(const QString &name)> onListItem;
    std::function<void(qint64 done, qint64 total)> onProgress;
    // Ends the running call and the later ones; safe from any thread.
    void abort() { m_client.abort(); }
    void setSettings(const FtpSettings &settings) override { m_client.setSettings(settings); }
    bool connectToHost() override { return m_client.connectToHost(); }
    bool changeDirectory(const QString &path) override { return m_client.changeDirectory(path); }
    bool listNames(QStringList *names) override { return m_client.listNames(names); }
    bool download(const QString &remoteName, const QString &localPath) override;
    void disconnectFromHost() override { m_client.disconnectFromHost(); }
    FtpFailure lastFailure() const override { return m_client.lastFailure(); }
    qint64 downloadTotal() const override { return m_total; }

private:
    void ftpProgress(qint64 done, qint64 total) override
    {
        m_total = total;
        if (onProgress)
            onProgress(done, total);
    }
    void ftpListItem(const QString &name) override
    {
        if (onListItem)
            onListItem(name);
    }
    FtpClient m_client;
    qint64 m_total = 0;
};

}
