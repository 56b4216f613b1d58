#pragma once
#include "remessa/foldertransfer.h"
#include "remessa/remessawork.h"

#include <QDialog>

class BandedReport;
class Database;
class Messenger;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// "Grava Disquete": copies the remittance file (or a TXT file) into a
// chosen folder, to be delivered by hand.
class TFrmGravaDisquete : public QDialog, private FolderTransferObserver
{
    Q_OBJECT
public:
    TFrmGravaDisquete(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);

    void setFileName(const QString &fileName);
    void setDestination(const QString &folder);
    FolderTransfer::Status status() const { return m_result.status; }
    // The pause between the end of the copy and the result view.
    void setSettleMilliseconds(int ms) { m_settleMs = ms; }

    void BtBrowseClick();
    void BtGravaClick();
    void BtInterrompeClick();
    void BtComprovanteClick();

    // The receipt of a completed copy.
    static BandedReport receipt(const RemessaWork &work, const QString &copiedPath);

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void copyStarted(qint64 size) override;
    void blockCopied(qint64 done, qint64 total) override;
    bool interrupted() const override { return m_interrupted; }

    RemessaWork m_work;
    Database &m_db;
    Messenger &m_msg;
    FolderTransfer::Result m_result;
    bool m_running = false;
    bool m_interrupted = false;
    int m_settleMs = 1000;

    QLineEdit *EdDiretorio = nullptr;
    QLineEdit *EdArquivoTransferencia = nullptr;
    QLineEdit *EdDestino = nullptr;
    QPushButton *BtBrowse = nullptr;
    QGroupBox *GbAcompanhamento = nullptr;
    QLabel *LbGravando = nullptr;
    QCheckBox *CkGravando = nullptr;
    QProgressBar *PbGravacao = nullptr;
    QPushButton *BtInterrompe = nullptr;
    QGroupBox *GbResultado = nullptr;
    QLineEdit *EdResultado = nullptr;
    QPushButton *BtComprovante = nullptr;
    QPushButton *BtGrava = nullptr;
    QPushButton *btCancela = nullptr;
    QPushButton *BtSaida = nullptr;
};
