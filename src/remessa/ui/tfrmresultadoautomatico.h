#pragma once
#include "remessa/automaticresult.h"
#include "remessa/remessawork.h"

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
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
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

    void BtResultadoClick();
    void BtInterrompeClick();
    void BtRelatorioClick();

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

    QLineEdit *EdEndResultado = nullptr;
    QLineEdit *EdNumeroRemessa = nullptr;
    QLineEdit *EdArquivoRemessa = nullptr;
    QGroupBox *GbAcompanhamento = nullptr;
    QCheckBox *CkInformacoes = nullptr;
    QCheckBox *CkTransferencia = nullptr;
    QLineEdit *EdArquivoDownload = nullptr;
    QProgressBar *PbTransferencia = nullptr;
    QPushButton *BtInterrompe = nullptr;
    QGroupBox *GbResultado = nullptr;
    QPlainTextEdit *MmResultado = nullptr;
    QPushButton *BtRelatorio = nullptr;
    QGroupBox *GbSincroniza = nullptr;
    QLabel *LbSincroniza = nullptr;
    QCheckBox *CkSincroniza = nullptr;
    QPushButton *BtResultado = nullptr;
    QPushButton *BtCancela = nullptr;
    QPushButton *BtSaida = nullptr;
    QListWidget *ListaArq = nullptr;
};
