#pragma once
#include "remessa/remessapreparation.h"

#include <QDialog>
#include <atomic>

class BackgroundWork;
class Database;
class Messenger;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

// "Prepara Nova Remessa": runs a preparation and shows its progress and result.
class TFrmNovaRemessa : public QDialog
{
    Q_OBJECT
public:
    TFrmNovaRemessa(Database &db, Messenger &messenger, const RemessaPreparation::Settings &settings,
                    QWidget *parent = nullptr);
    ~TFrmNovaRemessa() override;

    void startPreparation();
    void interrupt() { m_interrupted.store(true); }
    RemessaPreparation::Result lastResult() const { return m_result; }
    // From the start of a run until its result is shown.
    bool running() const { return m_running; }

protected:
    void reject() override;

private:
    void buildUi();
    void showProgress(bool visible);
    // The worker returned: its result shown.
    void preparationEnded();

    Database &m_db;
    Messenger &m_messenger;
    RemessaPreparation::Settings m_settings;
    RemessaPreparation::Result m_result;
    std::atomic<bool> m_interrupted{false};
    BackgroundWork *m_work;
    bool m_running = false;

    QGroupBox *typeGroup;
    QRadioButton *m_partial;
    QRadioButton *m_complete;
    QPushButton *startButton;
    QPushButton *interruptButton;
    QPushButton *exitButton;
    QLineEdit *resultEdit;
    QLineEdit *numberEdit;
    QLineEdit *packageEdit;
    QLabel *titleLabel;
    QLabel *tableLabel;
    QLabel *operationLabel;
    QLabel *tablesLabel;
    QProgressBar *tablesProgress;
    QLabel *tablesTick;
    QLabel *fileLabel;
    QProgressBar *fileProgress;
    QLabel *fileTick;
};
