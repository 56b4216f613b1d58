#pragma once
#include <QMetaType>
#include <QString>

// Why an FTP call failed, as the transfer windows tell it.
struct FtpFailure
{
    enum Kind {
        None,
        Error, // the session itself (connect, login, listing): text is the client's message
        Failure, // a transaction (directory, upload, download): text is its type's text
        Aborted, // abort() was called
    };
    // Transaction types of a failure, with the windows' fixed texts.
    enum Type {
        NoType = -1,
        ChangeDirectory = 0,
        LocalWrite = 2,
        LocalRead = 4,
        Download = 8,
        Upload = 9,
    };

    Kind kind = None;
    Type type = NoType;
    QString text; // what the windows show for it
    QString detail; // the client's own account: server reply, system error
    int code = 0; // libcurl's result code, 0 when none

    bool isNull() const { return kind == None; }
    static QString typeText(Type type);
};
Q_DECLARE_METATYPE(FtpFailure)

// The texts the transfer windows build around a failure.
namespace FtpTexts {
QString connectError(const QString &clientMessage); // two lines
QString transferNotDone(const QString &failureText);
QString resultNotDone(const QString &failureText);
QString updateTransferError(const QString &failureText);
extern const QString TransferError;
extern const QString Interrupted;
extern const QString UpdateTransferError;
extern const QString UpdateInterrupted;
}
