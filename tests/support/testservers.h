#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A server script of tests/support run by /usr/bin/python3 on 127.0.0.1 and
// a port the system picks. start() waits (bounded) for its "READY <port>";
// the destructor stops it. The script also ends by itself when this process
// goes away (its stdin closes) or after ten minutes.
class TestServerProcess
{
public:
    explicit TestServerProcess(const QString &script);
    virtual ~TestServerProcess();
    TestServerProcess(const TestServerProcess &) = delete;
    TestServerProcess &operator=(const TestServerProcess &) = delete;

    // False, with the reason in error(), when it did not come up in time.
    bool start(const QStringList &arguments, int timeoutMs = 15000);
    // Ends it politely, then by force; bounded.
    void stop();
    // Ends it at once, as a crash would (open connections are cut).
    void kill();
    bool isRunning() const;

    int port() const { return m_port; }
    QString error() const { return m_error; }
    // The self-signed certificate (PEM) a TLS server presents; a client
    // that trusts it may connect, one that does not must refuse.
    QString certificateFile() const { return m_certDir.filePath(QStringLiteral("server-cert.pem")); }

protected:
    QTemporaryDir m_certDir;

private:
    QString m_script;
    QProcess m_process;
    int m_port = 0;
    QString m_error;
};

// pyftpdlib serving one folder to one user.
class FtpTestServer : public TestServerProcess
{
public:
    struct Options
    {
        QString user = QStringLiteral("occ");
        QString password = QStringLiteral("segredo");
        // pyftpdlib permissions: e l r a d f m w (no "f": renaming refused).
        QString perm = QStringLiteral("elradfmw");
        // Bytes per second on data connections; 0 for full speed.
        int throttle = 0;
        // Offers TLS and refuses clients that do not take it.
        bool tls = false;
    };

    explicit FtpTestServer(const QString &root);
    bool start() { return start(Options()); }
    bool start(const Options &options);

    QString root() const { return m_root; }
    // The configured form of an address on this server: "127.0.0.1:port/folder".
    QString address(const QString &folder = QString()) const;
    Options options() const { return m_options; }

private:
    QString m_root;
    Options m_options;
};

// aiosmtpd spooling what it accepts. For message n (from 1) the spool holds
// n.eml (bytes received) and n.json, Python's own reading of it: mail_from,
// rcpt_tos, tls, login (the AUTH user, null without), headers, body, body_charset and attachments (filename,
// content_type, transfer_encoding and file, the decoded bytes).
class SmtpTestServer : public TestServerProcess
{
public:
    struct Options
    {
        QStringList rejectRecipients; // answered 550 at RCPT
        bool rejectSender = false; // MAIL FROM answered 451 (a temporary refusal)
        bool rejectData = false; // every message refused with 554
        bool tls = false; // STARTTLS offered and required
    };

    explicit SmtpTestServer(const QString &spool);
    bool start() { return start(Options()); }
    bool start(const Options &options);

    QString spool() const { return m_spool; }
    // Waits (bounded) for message n and returns its reading; empty when it
    // did not come.
    QByteArray messageJson(int n, int timeoutMs = 10000) const;

private:
    QString m_spool;
};
