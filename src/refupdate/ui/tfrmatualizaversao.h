#pragma once
#include "net/ftpfailure.h"
#include "shell/configlocal.h"

#include <QDialog>

class AsyncFtpClient;
class Database;
class JobRunner;
class Messenger;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class VersionInstaller;
enum class FtpOperation;

// "Controle de Versões - Atualiza Versão Atual": finds the newest reference
// package on the regulator's FTP folder or in a local folder, copies it into
// the reception folder and installs it. One update per opening. The search,
// the copy and the installation run off the window thread; the window shows
// how far they got.
class TFrmAtualizaVersao : public QDialog
{
    Q_OBJECT
public:
    TFrmAtualizaVersao(Database &db, Messenger &messenger, const ConfigLocal &config, const QString &currentVersion,
                       const QString &currentFile, QWidget *parent = nullptr);
    ~TFrmAtualizaVersao() override;

    void showSourceChoice();
    void browseFolder();
    void startUpdate();
    void interrupt();

    // Tests choose the folder without the browser.
    void setSourceFolder(const QString &folder);
    bool installed() const { return m_installed; }

signals:
    // The update ended, whatever its outcome; the result line shows it.
    void updateEnded();

protected:
    void done(int result) override;

private:
    void buildUi();
    void searchByFtp();
    void ftpStepFinished(FtpOperation op);
    void listed();
    // The search ended: found is the newer package, or empty and notFound
    // the result.
    void searched(const QString &found, const QString &notFound);
    void downloaded();
    void copyFromFolder();
    void transferEnded();
    void install();
    void showResult();
    bool isBusy() const;

    Database &m_db;
    Messenger &m_messenger;
    ConfigLocal m_config;
    QString m_reception;
    QString m_currentVersion;
    QString m_currentFile;
    bool m_interrupted = false;
    bool m_failed = false;
    bool m_found = false;
    bool m_installed = false;
    bool m_waitCursor = false;
    FtpFailure m_failure;
    AsyncFtpClient *m_ftp = nullptr;
    JobRunner *m_copier = nullptr;

    QLineEdit *m_currentVersionEdit;
    QLineEdit *m_currentFileEdit;
    QComboBox *m_sourceKind;
    QGroupBox *m_sourceBox;
    QLineEdit *m_sourceEdit;
    QPushButton *m_browseButton;
    QGroupBox *m_progressBox;
    QLabel *m_searchedTick;
    QLabel *m_transferredTick;
    QLineEdit *m_newFileEdit;
    QLineEdit *m_newVersionEdit;
    QProgressBar *m_transferBar;
    QPushButton *m_interruptButton;
    QListWidget *m_remoteNames;
    VersionInstaller *m_installer;
};
