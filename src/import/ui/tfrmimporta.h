#pragma once
#include "import/importrun.h"

#include <QDialog>

class Database;
class Messenger;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

// "Importador de arquivo txt": imports every TX-*.txt file of a chosen folder.
class TfrmImporta : public QDialog, private ImportObserver
{
    Q_OBJECT
public:
    TfrmImporta(const QString &moduleCode, Database &db, const QString &userCode, Messenger &messenger,
                QWidget *parent = nullptr);
    ~TfrmImporta() override;

    QString directory() const { return m_dir; }
    // Shows the folder and lists its import files.
    void setDirectory(const QString &dir);
    QString failedFiles() const { return m_failedFiles; }

    void BitBtn2Click(); // import
    void BtnCancelClick(); // new processing (reset)
    void SpeedButton1Click(); // import errors
    void BitBtn1Click(); // leave
    void Button6Click(); // delete Log_BD.txt

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void clearProgress();
    void buildUi();
    void DriveComboBox1Click();
    void DirectoryListBox1Change();
    void FileListBox1Change();
    void setChoiceEnabled(bool enabled);
    void loadFileHead(const QString &path);
    void showLog(QPlainTextEdit *memo, const QString &path);

    // ImportObserver
    void fileStarted(const QString &path, int totalLines) override;
    void linesRead(int lines, int totalLines) override;
    void warnings(const QStringList &lines) override;
    void batchListed(const QStringList &entries) override;
    void writingRecord(int index, int batchSize) override;
    void readingFinished() override;
    void tablesUpdated() override;
    void completeProgress(int done, int total) override;
    void completeMarked() override;
    void fileFinished(const QString &name, bool succeeded, const QString &errorLog, const QString &errorBdLog) override;
    void idle() override;

    QString m_moduleCode;
    Database &m_db;
    QString m_userCode;
    Messenger &m_msg;
    QString m_dir;
    QString m_failedFiles;
    bool m_running = false;

    QPushButton *DriveComboBox1 = nullptr;
    QLineEdit *DirectoryListBox1 = nullptr;
    QListWidget *FileListBox1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
    QPushButton *BtnCancel = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QListWidget *LBoxImportadas = nullptr;
    QProgressBar *PbImportaTXT = nullptr;
    QCheckBox *CkTransferindo = nullptr;
    QProgressBar *PbAtualizaBD = nullptr;
    QCheckBox *CkAtualiza = nullptr;
    QProgressBar *PbCertcOMPLETO = nullptr;
    QCheckBox *ckCertCompleto = nullptr;
    QPushButton *SpeedButton1 = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QPlainTextEdit *Memo4 = nullptr;
    QPlainTextEdit *Memo3 = nullptr;
    QPlainTextEdit *MemoLog = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    QPlainTextEdit *MemoLogBD = nullptr;
    QPushButton *Button6 = nullptr;
};
