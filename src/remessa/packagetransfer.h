#pragma once
#include "net/ftpclient.h"
#include "net/smtpsender.h"
#include "remessa/remessawork.h"

#include <QString>
#include <QTime>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class Database;
class Messenger;
struct ConfigLocal;
namespace TransferDelivery {
class Delivery;
}

// Sends one file of the transfer folder to the regulator, by FTP (to the
// folder of EndQueloraEnvio as LoginFTP) or as the remittance e-mail, and
// records the delivery: the "TR" event of the remittance, or the CONTROLE_TXT
// row of a TXT file. It writes the lines of the result memo and shows its
// boxes through the messenger. The windows and the batch tool both send
// through it.
//
// begin() and finish() use the database and run on its thread; send() only
// talks to the server, so a window runs it on a worker thread and may
// interrupt() it from its own.
class PackageTransfer : private FtpListener, private SmtpListener
{
public:
    enum class Mode { Ftp, Email };
    enum class Outcome {
        NotSent, // refused, failed or interrupted; nothing recorded
        SentNotRecorded, // the server has the file, its record failed (said in a box)
        Delivered // sent whole and recorded
    };
    using LineSink = std::function<void(const QString &line)>;
    using ProgressSink = std::function<void(qint64 done, qint64 total)>;

    // fileName is the remittance's package or a "TX-" TXT file in the work's
    // transfer folder; a TXT file travels packed under its stem.
    PackageTransfer(Database &db, Messenger &messenger, const RemessaWork &work, const QString &fileName, Mode mode);
    ~PackageTransfer() override;
    PackageTransfer(const PackageTransfer &) = delete;
    PackageTransfer &operator=(const PackageTransfer &) = delete;

    void setLines(LineSink lines) { m_lines = std::move(lines); }
    // Called on the thread running send().
    void setProgress(ProgressSink progress) { m_progress = std::move(progress); }
    // Where "the server could not be reached" goes: an error box unless set.
    void setConnectFailure(LineSink sink) { m_connectSink = std::move(sink); }

    // Packs a TXT file, checks the file is there and takes the register's
    // step marker; the first memo lines. False (said in a box) when the
    // transfer cannot start.
    bool begin();
    // Blocking; 30 s without an answer ends it, as every transfer.
    void send();
    // Ends send() at once; safe from any thread. Says so in the memo.
    void interrupt();
    // The closing memo lines and, for a whole delivery, its record.
    Outcome finish();
    // The three steps in a row, for the batch tool.
    Outcome run();

    qint64 size() const { return m_size; }
    bool interrupted() const { return m_interrupted.load(); }

    static const QString FileNotFound;
    static const QString Success;
    static const QString RecordFailed;

private:
    void ftpProgress(qint64 done, qint64 total) override { progressed(done, total); }
    void smtpProgress(qint64 done, qint64 total) override { progressed(done, total); }
    void progressed(qint64 done, qint64 total);
    bool sendByFtp();
    bool sendByEmail();
    void line(const QString &text);

    Database &m_db;
    Messenger &m_msg;
    RemessaWork m_work;
    QString m_fileName;
    QString m_path; // what travels
    Mode m_mode;
    LineSink m_lines;
    ProgressSink m_progress;
    LineSink m_connectSink;
    std::unique_ptr<ConfigLocal> m_config;
    std::unique_ptr<TransferDelivery::Delivery> m_delivery;
    FtpClient m_ftp;
    SmtpSender m_smtp;
    qint64 m_size = 0;
    std::atomic<qint64> m_sent{0};
    std::atomic<bool> m_interrupted{false};
    bool m_started = false;
    bool m_ok = false;
    bool m_connectFailed = false;
    QString m_connectFailure; // the client's message when the server was not reached
    QString m_failure; // why a transaction failed
    QTime m_start;
};
