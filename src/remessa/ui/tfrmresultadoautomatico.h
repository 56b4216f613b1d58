#pragma once
#include "remessa/automaticresult.h"
#include "remessa/remessawork.h"
#include "widgets/stepparts.h"

#include <QDialog>
#include <atomic>
#include <memory>

class BandedReport;
class Database;
class Messenger;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class BackgroundWork;

// "Recebe Resultado Automático": fetches the regulator's verdict on the
// remittance from its result folder by FTP and records it. Opens small and
// grows to the progress and result views; one fetch per opening.
class TFrmResultadoAutomatico : public QDialog
{
    Q_OBJECT
public:
    TFrmResultadoAutomatico(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);
    ~TFrmResultadoAutomatico() override;

    void setPackageName(const QString &packageName);
    QStringList resultLines() const;
    bool isRunning() const { return m_running; }
    AutomaticResult::Outcome outcome() const { return m_result.outcome; }

    void fetchResult();
    void interrupt();
    void printReceipt();

    BandedReport receipt() const;

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    class Steps;
    void addMemo(const QString &line);
    void showResult();
    // The worker returned: the outcome shown.
    void fetchEnded();

    RemessaWork m_work;
    Database &m_db;
    Messenger &m_msg;
    AutomaticResult::BlockingTransport m_ftp;
    std::unique_ptr<Steps> m_steps;
    BackgroundWork *m_fetch = nullptr;
    bool m_running = false;
    bool m_started = false;
    std::atomic<bool> m_interrupted{false};
    AutomaticResult::FetchResult m_result;

    QLineEdit *resultAddressEdit = nullptr;
    QLineEdit *numberEdit = nullptr;
    QLineEdit *packageEdit = nullptr;
    StepParts::StepView m_view;
    QCheckBox *infoTick = nullptr;
    QCheckBox *transferTick = nullptr;
    QLineEdit *downloadEdit = nullptr;
    QGroupBox *m_syncGroup = nullptr;
    QLabel *syncLabel = nullptr;
    QCheckBox *syncTick = nullptr;
    QListWidget *fileList = nullptr;
};
