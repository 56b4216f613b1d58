#pragma once
#include "net/ftpfailure.h"

#include <QString>
#include <QStringList>
#include <atomic>

struct FtpAddress;

// Where and how to reach the regulator's FTP server. Passive mode always.
struct FtpSettings
{
    QString host;
    int port = 21;
    QString user;
    QString password;
    // Longest wait for the server: to connect, for a reply, or with no byte
    // moving during a transfer. The same for every transfer.
    int timeoutMs = DefaultTimeoutMs;
    // A PEM file of certificates trusted besides the system's when the
    // server speaks TLS; empty: the system's alone.
    QString caFile;

    static constexpr int DefaultTimeoutMs = 30000;

    // Host and port of a configured address; the folder is the caller's to
    // change into.
    static FtpSettings fromAddress(const FtpAddress &address, const QString &user, const QString &password);
};

// What the client reports while a call runs, on the thread running the call.
class FtpListener
{
public:
    virtual ~FtpListener() = default;
    virtual void ftpConnected() { }
    virtual void ftpListItem(const QString &) { }
    // Bytes moved so far and the file's size (0 when the server did not tell).
    virtual void ftpProgress(qint64, qint64) { }
    // Every failed call reports once, before it returns false.
    virtual void ftpFailed(const FtpFailure &) { }
};

struct FtpClientPrivate;

// An FTP session with the regulator's server, one call at a time and blocking
// (the windows run it on a worker thread, the command line directly). Only
// abort() may be called from another thread.
//
// The server is reached in passive mode, with TLS when it offers it, and then
// only if its certificate is trusted (system store or FtpSettings::caFile). Uploads
// travel under a temporary name and take the final one only when complete,
// so nobody on the server ever sees a partial file under the final name.
class FtpClient
{
public:
    explicit FtpClient(FtpListener *listener = nullptr);
    ~FtpClient();
    FtpClient(const FtpClient &) = delete;
    FtpClient &operator=(const FtpClient &) = delete;

    void setSettings(const FtpSettings &settings);
    const FtpSettings &settings() const;

    // Logs in. Reports ftpConnected on success, an error with the reason
    // otherwise.
    bool connectToHost();
    // True between a successful connect and disconnectFromHost().
    bool isConnected() const;
    void disconnectFromHost();

    // "/a/b" from the server's root, "a/b" from the login folder, "/" the
    // root. The next list, upload or download works there.
    bool changeDirectory(const QString &path);
    QString currentDirectory() const;

    // One ftpListItem per name of the current folder; names also go to
    // *names when given.
    bool listNames(QStringList *names = nullptr);

    // Stores localPath under remoteName in the current folder, replacing a
    // file of that name.
    bool upload(const QString &localPath, const QString &remoteName);
    // Writes the remote file at localPath; a failed download leaves what was
    // there before.
    bool download(const QString &remoteName, const QString &localPath);

    // Ends the running call at once (it fails with FtpFailure::Aborted) and
    // every later one until clearAbort(). Safe from any thread.
    void abort();
    void clearAbort();
    bool abortRequested() const;

    FtpFailure lastFailure() const;

    // The names of a name listing as the server sent it: one per line (CR LF
    // or LF), UTF-8 or, from older servers, Latin-1; blank lines dropped.
    static QStringList parseListing(const QByteArray &raw);

    // Suffix of the name an upload travels under.
    static constexpr const char *PartialSuffix = ".part";

private:
    FtpClientPrivate *d;
};
