#pragma once
#include "remessa/foldertransfer.h"
#include "remessa/remessawork.h"
#include "widgets/stepparts.h"

#include <QDialog>
#include <atomic>
#include <memory>

class BandedReport;
class Database;
class Messenger;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class JobRunner;

// "Grava Disquete": copies the remittance file (or a TXT file) into a
// chosen folder, to be delivered by hand.
class TFrmGravaDisquete : public QDialog, private FolderTransferObserver
{
    Q_OBJECT
public:
    TFrmGravaDisquete(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);
    ~TFrmGravaDisquete() override;

    void setFileName(const QString &fileName);
    void setDestination(const QString &folder);
    FolderTransfer::Status status() const { return m_result.status; }
    // From the start of the copy until its result is shown.
    bool isRunning() const { return m_running; }
    // The pause between the end of the copy and the result view.
    void setSettleMilliseconds(int ms) { m_settleMs = ms; }

    void chooseDestination();
    void copyPackage();
    void interrupt();
    void printReceipt();

    // The receipt of a completed copy.
    static BandedReport receipt(const RemessaWork &work, const QString &copiedPath);

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    // Called on the copying thread.
    void blockCopied(qint64 done, qint64 total) override;
    bool interrupted() const override { return m_interrupted.load(); }
    // The worker returned: the record, then the result.
    void copyEnded();
    void showResult();

    RemessaWork m_work;
    QString m_fileName; // the remittance's package or a TXT file
    Database &m_db;
    Messenger &m_msg;
    FolderTransfer::Result m_result;
    bool m_running = false;
    std::atomic<bool> m_interrupted{false};
    std::unique_ptr<FolderTransfer::Copy> m_copy;
    std::unique_ptr<JobRunner> m_runner; // after what the work uses: it is destroyed, and waits, first
    int m_settleMs = 1000;

    QLineEdit *folderEdit = nullptr;
    QLineEdit *packageEdit = nullptr;
    QLineEdit *destinationEdit = nullptr;
    QPushButton *browseButton = nullptr;
    StepParts::StepView m_view;
    QLabel *copyingLabel = nullptr;
    QCheckBox *copyingTick = nullptr;
    QLineEdit *resultEdit = nullptr;
};
