#pragma once
#include "remessa/packagetransfer.h"
#include "remessa/remessawork.h"
#include "widgets/stepparts.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class BandedReport;
class Database;
class Messenger;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class JobRunner;

// What the FTP and e-mail transfer windows share: the file, the progress and
// the result memo, the delivery log and the receipt. The window opens
// collapsed to the file and destination, grows to the progress when the
// transfer starts and to the result when it ends. One transfer per opening;
// it runs on a worker thread, so "Interrompe Transferência" answers.
class TransferWindow : public QDialog
{
    Q_OBJECT
public:
    ~TransferWindow() override;

    // Another file than the remittance's package (a TXT file).
    void setFileName(const QString &fileName);
    QString fileName() const;
    QStringList resultLines() const;
    bool isRunning() const { return m_running; }
    bool succeeded() const { return m_succeeded; }

    void sendPackage();
    void interrupt();
    void printReceipt();

    BandedReport receipt() const;

protected:
    TransferWindow(const RemessaWork &work, Database &db, Messenger &messenger, PackageTransfer::Mode mode,
                   QWidget *parent);

    // Where the file goes: the group's title, the field's accessible and
    // object names, and the address shown.
    void showDestination(const QString &title, const QString &accessibleName, const QString &objectName,
                         const QString &address);

    void showEvent(QShowEvent *event) override;
    void reject() override;

    RemessaWork m_work;
    Database &m_db;
    Messenger &m_msg;

private:
    void addMemo(const QString &line);
    void showResult();
    void progressed(qint64 done, qint64 total);
    // The worker returned: the closing lines and the record.
    void sendingEnded();

    PackageTransfer::Mode m_mode;
    QString m_fileName;
    bool m_running = false;
    bool m_started = false;
    bool m_succeeded = false;
    qint64 m_size = 0;
    std::unique_ptr<PackageTransfer> m_transfer;
    std::unique_ptr<JobRunner> m_runner; // after what the work uses: it is destroyed, and waits, first

    QLineEdit *folderEdit = nullptr;
    QLineEdit *packageEdit = nullptr;
    QGroupBox *m_destination = nullptr;
    StepParts::StepView m_view;
    QCheckBox *transferTick = nullptr;
    QLineEdit *sizeEdit = nullptr;
    QLineEdit *transferredEdit = nullptr;
};
