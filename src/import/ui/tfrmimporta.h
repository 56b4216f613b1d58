#pragma once
#include <QDialog>

class Database;
class JobRunner;
class Messenger;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

// "Importador de arquivo txt": imports every TX-*.txt file of a chosen
// folder. The run goes on off the window thread; the window shows its
// progress and "Interrompe" stops it, rolling back the file under way.
class TfrmImporta : public QDialog
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
    bool isRunning() const { return m_running; }

    void importFiles();
    void interruptImport();
    // "Novo Processamento": clears the run's traces and returns to the home folder.
    void startNewProcessing();
    void showImportErrors();
    void leave();
    void deleteLogBd();

signals:
    // An import started by importFiles() ended (its messages were all shown).
    void importFinished();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    class Relay;

    void clearProgress();
    void buildUi();
    void chooseFolder();
    void folderTyped();
    void listFiles();
    void setChoiceEnabled(bool enabled);
    void runEnded(const QString &failedFiles, const QString &error, const QString &errorClass);
    void loadFileHead(const QString &path);
    void showLog(QPlainTextEdit *memo, const QString &path);

    // What the run reports, on the window's thread.
    void showFileStarted(const QString &path);
    void showLinesRead(qint64 lines, qint64 totalLines);
    void showWarnings(const QStringList &lines);
    void showBatch(const QStringList &entries);
    void showWritingRecord(int index, int batchSize);
    void showCompleteProgress(int done, int total);
    void showFileFinished(bool succeeded, const QString &errorLog, const QString &errorBdLog);

    QString m_moduleCode;
    Database &m_db;
    QString m_userCode;
    Messenger &m_msg;
    QString m_dir;
    QString m_failedFiles;
    bool m_running = false;
    JobRunner *m_runner = nullptr;

    QPushButton *m_chooseFolderButton = nullptr;
    QLineEdit *m_folderEdit = nullptr;
    QListWidget *m_fileList = nullptr;
    QPushButton *m_importButton = nullptr;
    QPushButton *m_interruptButton = nullptr;
    QPushButton *m_newProcessingButton = nullptr;
    QPushButton *m_leaveButton = nullptr;
    QListWidget *m_recordList = nullptr;
    QProgressBar *m_readBar = nullptr;
    QCheckBox *m_readDone = nullptr;
    QProgressBar *m_writeBar = nullptr;
    QCheckBox *m_tablesDone = nullptr;
    QProgressBar *m_completeBar = nullptr;
    QCheckBox *m_completeDone = nullptr;
    QPushButton *m_errorsButton = nullptr;
    QTabWidget *m_pages = nullptr;
    QPlainTextEdit *m_warningsMemo = nullptr;
    QPlainTextEdit *m_recordsMemo = nullptr;
    QPlainTextEdit *m_fileErrorsMemo = nullptr;
    QPlainTextEdit *m_fileContentMemo = nullptr;
    QPlainTextEdit *m_logBdMemo = nullptr;
    QPushButton *m_deleteLogBdButton = nullptr;
};
