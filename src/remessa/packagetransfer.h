#pragma once
#include <QString>
#include <QTime>
#include <functional>

struct ConfigLocal;

// Sends one package that waits in a folder to the regulator, blocking, and
// tells how it went in the lines the transfer windows write in their result
// memo. For the command line; the windows drive the same clients from a
// worker thread.
class PackageTransfer
{
public:
    using LineSink = std::function<void(const QString &line)>;
    using ProgressSink = std::function<void(qint64 done, qint64 total)>;

    PackageTransfer(const ConfigLocal &config, const QString &userName, LineSink lines);
    void setProgress(ProgressSink progress) { m_progress = std::move(progress); }

    // To the folder of EndQueloraEnvio as LoginFTP; 30 s without an answer
    // ends it, as every transfer.
    bool byFtp(const QString &path);
    // As the remittance e-mail, to the configured reply address.
    bool byEmail(const QString &path);
    // Copied into a folder for delivery by hand; a failed copy leaves nothing
    // there.
    bool toFolder(const QString &path, const QString &destination);

    static const QString FileNotFound;
    static const QString Success;
    static const QString CopySuccess;
    static const QString CopySourceMissing;
    static QString copyNotDone(const QString &error);

private:
    bool start(const QString &path, qint64 &size);
    bool finish(bool ok, const QString &failureText, const QString &detail, qint64 size);

    const ConfigLocal &m_config;
    QString m_user;
    LineSink m_lines;
    ProgressSink m_progress;
    QTime m_start;
};
