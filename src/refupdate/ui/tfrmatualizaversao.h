#pragma once
#include "net/ftpfailure.h"
#include "shell/configlocal.h"

#include <QDialog>
#include <atomic>

class AsyncFtpClient;
class Database;
class Messenger;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

// "Controle de Versões - Atualiza Versão Atual": finds the newest reference
// package on the regulator's FTP folder or in a local folder, copies it into
// the reception folder and installs it. One update per opening.
class TFrmAtualizaVersao : public QDialog
{
    Q_OBJECT
public:
    TFrmAtualizaVersao(Database &db, Messenger &messenger, const ConfigLocal &config, const QString &versaoAtual,
                       const QString &nomeArquivo, QWidget *parent = nullptr);

    void CbTipoChange();
    void BtBrowseClick();
    void BtAtualizaClick();
    void BtInterrompeClick();

    // Tests choose the folder without the browser.
    void setLocalizacao(const QString &folder);
    bool installed() const { return m_installed; }

private:
    void buildUi();
    void runInternet();
    void runLocal();
    void install();
    void showResult();
    bool waitFor(int op);

    Database &m_db;
    Messenger &m_messenger;
    ConfigLocal m_config;
    QString m_reception;
    QString m_currentVersion;
    QString m_currentFile;
    std::atomic<bool> m_interrupted{false};
    bool m_failed = false;
    bool m_found = false;
    bool m_installed = false;
    FtpFailure m_failure;
    AsyncFtpClient *m_ftp = nullptr;

    QLineEdit *EdVersaoAtual;
    QLineEdit *EdNomeArquivo;
    QComboBox *CbTipo;
    QGroupBox *GbLocalizacao;
    QLineEdit *EdLocalizacao;
    QPushButton *BtBrowse;
    QGroupBox *GbAcompanhamento;
    QLabel *CkProcura;
    QLabel *CkTransferindo;
    QLineEdit *EdArquivoNovo;
    QLineEdit *EdVersaoNova;
    QProgressBar *PbTransferencia;
    QPushButton *BtInterrompe;
    QGroupBox *GbInstala;
    QLabel *LbAtualiza;
    QLabel *CkAtualiza;
    QGroupBox *GbResultado;
    QLineEdit *EdResultado;
    QPushButton *BtAtualiza;
    QPushButton *BtCancela;
    QPushButton *BtSaida;
    QListWidget *ListaArq;
};
