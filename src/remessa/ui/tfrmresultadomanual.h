#pragma once
#include "remessa/manualresult.h"
#include "remessa/remessawork.h"

#include <QDialog>
#include <functional>

class Database;
class Messenger;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class BackgroundWork;

// "Recebe Resultado Manual": the regulator's verdict typed in as a code.
class TFrmResultadoManual : public QDialog
{
    Q_OBJECT
public:
    TFrmResultadoManual(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);
    ~TFrmResultadoManual() override;

    void setPackageName(const QString &packageName);
    bool applied() const { return m_applied; }
    // From the confirmed verdict until its record is shown.
    bool isRunning() const { return m_busy; }
    // Asks whether to apply a verdict; by default the confirmation window.
    void setConfirmation(std::function<bool(const QString &verdict)> confirm) { m_confirm = std::move(confirm); }

    void recordVerdict();

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    // The worker returned: the outcome shown.
    void foldEnded();

    RemessaWork m_work;
    Database &m_db;
    Messenger &m_msg;
    std::function<bool(const QString &)> m_confirm;
    bool m_applied = false;
    bool m_busy = false;
    QString m_verdict;
    BackgroundWork *m_fold = nullptr;

    QLineEdit *numberEdit = nullptr;
    QLineEdit *packageEdit = nullptr;
    QLineEdit *passwordEdit = nullptr;
    QPlainTextEdit *remarksMemo = nullptr;
    QGroupBox *syncGroup = nullptr;
    QLabel *syncLabel = nullptr;
    QCheckBox *syncTick = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *exitButton = nullptr;
};
