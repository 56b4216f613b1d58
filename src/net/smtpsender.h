#pragma once
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <atomic>

// The certification body's mail server.
struct SmtpSettings
{
    QString host;
    int port = 25;
    // The login the message is sent under (EndSMTPUsuario); the server asks
    // for it only when it wants one. Empty: no login.
    QString user;
    // Longest wait for the server: to connect, for a reply, or with no byte
    // moving while the message goes. As for every transfer.
    int timeoutMs = 30000;
    // As FtpSettings::caFile.
    QString caFile;

    // As configured: an empty (or unreadable) port text means 25.
    static SmtpSettings fromConfig(const QString &host, const QString &portText);
};

struct SmtpMessage
{
    QString fromAddress;
    QString fromName;
    QStringList recipients;
    QString subject;
    QStringList bodyLines; // plain text, us-ascii
    QStringList attachments; // local paths, sent base64-encoded under their file names

    // The message that carries a remittance or TXT package to the regulator:
    // from and to the configured reply address, in the body's fixed words.
    static SmtpMessage remittance(const QString &acronym, const QString &certifierName, const QString &replyAddress,
                                  const QString &attachmentPath);
};

// Why a message did not go, as the e-mail transfer window tells it.
struct SmtpFailure
{
    enum Kind {
        None,
        Failure, // the message did not go through
        ConnectionFailure, // the server could not be reached or greeted
        InvalidHost, // the host name does not resolve
        RecipientNotFound, // the server refused a recipient (no text of its own)
        Aborted,
    };
    Kind kind = None;
    QString text; // what the window shows, with the server's refusal when it gave one
    QString detail; // the client's own account
    QString serverReply; // the server's last 4xx/5xx reply, as it wrote it
    int code = 0; // libcurl's result code

    bool isNull() const { return kind == None; }
    static QString kindText(Kind kind);
};
Q_DECLARE_METATYPE(SmtpFailure)

class SmtpListener
{
public:
    virtual ~SmtpListener() = default;
    virtual void smtpConnected() { }
    virtual void smtpProgress(qint64, qint64) { }
    virtual void smtpFailed(const SmtpFailure &) { }
};

// Sends one message per call through the configured server, blocking; STARTTLS
// whenever the server offers it. The windows run it on a worker thread
// (AsyncSmtpSender). Only abort() may be called from another thread.
class SmtpSender
{
public:
    explicit SmtpSender(SmtpListener *listener = nullptr)
        : m_listener(listener)
    { }

    void setSettings(const SmtpSettings &settings) { m_settings = settings; }
    const SmtpSettings &settings() const { return m_settings; }

    // Reports smtpConnected once the server has greeted, progress while the
    // message goes, and one failure when it does not.
    bool send(const SmtpMessage &message);

    void abort() { m_abort.store(true); }
    void clearAbort() { m_abort.store(false); }
    bool abortRequested() const { return m_abort.load(); }
    SmtpFailure lastFailure() const { return m_last; }

    // The header lines the message carries (From, To, Subject, Date,
    // Message-ID), non-ASCII names encoded for mail.
    static QStringList headerLines(const SmtpMessage &message);

private:
    friend struct SmtpRun;
    bool fail(SmtpFailure::Kind kind, int code, const QString &detail, const QString &serverReply = QString());

    SmtpListener *m_listener;
    SmtpSettings m_settings;
    std::atomic<bool> m_abort{false};
    SmtpFailure m_last;
};
