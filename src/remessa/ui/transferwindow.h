#pragma once
#include "remessa/remessawork.h"
#include "remessa/transferdelivery.h"

#include <QDialog>
#include <QStringList>
#include <QTime>
#include <memory>

class BandedReport;
class Database;
class Messenger;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
struct ConfigLocal;

// What the FTP and e-mail transfer windows share: the file, the progress and
// the result memo, the delivery log and the receipt. The window opens
// collapsed to the file and destination, grows to the progress when the
// transfer starts and to the result when it ends. One transfer per opening.
class TransferWindow : public QDialog
{
    Q_OBJECT
public:
    void setFileName(const QString &fileName);
    QString fileName() const;
    QStringList resultLines() const;
    bool isRunning() const { return m_running; }
    bool succeeded() const { return m_succeeded; }

    void BtTransfereClick();
    void BtInterrompeClick();
    void BtComprovanteClick();

    BandedReport receipt() const;

protected:
    TransferWindow(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent);

    // The group that names where the file goes; the subclass titles and fills it.
    QGroupBox *destinationGroup() const { return m_destination; }

    // Starts sending path (already in the transfer directory) under its own
    // name; the subclass reports back through the calls below.
    virtual void startSending(const QString &path, const ConfigLocal &config) = 0;
    virtual void abortSending() = 0;

    void progressed(qint64 done, qint64 total);
    // The server could not be reached: says so in a box, then ends.
    void connectFailed(const QString &clientMessage);
    // A failure of the transfer itself; its text goes to the memo at the end.
    void noteFailure(const QString &text);
    // The transfer call returned: ok when the server took the whole file.
    void sendingEnded(bool ok);
    bool interrupted() const { return m_interrupted; }

    void showEvent(QShowEvent *event) override;
    void reject() override;

    RemessaWork m_work;
    Database &m_db;
    Messenger &m_msg;

private:
    void addMemo(const QString &line);
    void showResult();

    bool m_running = false;
    bool m_started = false;
    bool m_interrupted = false;
    bool m_failed = false;
    bool m_succeeded = false;
    QString m_failureText;
    qint64 m_size = 0;
    qint64 m_sent = 0;
    QTime m_startTime;
    std::unique_ptr<TransferDelivery::Delivery> m_delivery;

    QLineEdit *EdDiretorio = nullptr;
    QLineEdit *EdArquivoTransferencia = nullptr;
    QGroupBox *m_destination = nullptr;
    QPushButton *BtTransfere = nullptr;
    QPushButton *BtCancela = nullptr;
    QPushButton *BtSaida = nullptr;
    QGroupBox *GbAcompanhamento = nullptr;
    QCheckBox *CkTransferencia = nullptr;
    QLineEdit *EdTamanho = nullptr;
    QLineEdit *EdTransferidos = nullptr;
    QProgressBar *PbTransferencia = nullptr;
    QPushButton *BtInterrompe = nullptr;
    QGroupBox *GbResultado = nullptr;
    QPlainTextEdit *MmResultado = nullptr;
    QPushButton *BtComprovante = nullptr;
};
