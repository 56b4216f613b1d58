#pragma once
#include "import/importreplay.h"
#include "import/postimport.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <typeindex>
#include <unordered_map>
#include <vector>

class Database;
class ImportSession;
class JobProgress;
class ParentCheck;
class ImportFileReader;
class Messenger;
class TDataStruct;
namespace RegulatorHolding {
struct ImportMarkPlan;
}

// What a window (or the batch tool) may show while a run goes on. Every
// call comes from inside ImportRun::run, on the thread that runs it.
class ImportObserver
{
public:
    virtual ~ImportObserver() = default;
    // A file passed the certifier and duplicate checks and was opened.
    virtual void fileStarted(const QString & /*path*/, int /*totalLines*/) { }
    virtual void linesRead(int /*lines*/, int /*totalLines*/) { }
    // Warnings of the reader ("Linha não importada-->", invalid headers).
    virtual void warnings(const QStringList & /*lines*/) { }
    // The same, with the number of the last line read when they were found
    // (the line not imported). By default passed on to warnings().
    virtual void warningsAt(const QStringList &lines, int /*lineNumber*/) { warnings(lines); }
    // The records of the batch, "TCertificStruct-OK" / "-NO", in slot order.
    virtual void batchListed(const QStringList & /*entries*/) { }
    // Record index (from 0) of the batch about to be written.
    virtual void writingRecord(int /*index*/, int /*batchSize*/) { }
    // The file was read to its end.
    virtual void readingFinished() { }
    // Success path: tables updated, then complete certificates being marked.
    virtual void tablesUpdated() { }
    virtual void completeProgress(int /*done*/, int /*total*/) { }
    virtual void completeMarked() { }
    // succeeded false: rolled back; errorLog / errorBdLog are the renamed
    // logs beside the file (empty when there was none).
    virtual void fileFinished(const QString & /*name*/, bool /*succeeded*/, const QString & /*errorLog*/,
                              const QString & /*errorBdLog*/)
    { }
};

// Loads every "TX-*.txt" file of a directory into the database, one
// transaction per file, committed only when every record was valid and
// written and the closing checks passed. Messages go through the Messenger;
// logs are written beside the files.
class ImportRun
{
public:
    enum class Outcome { Skipped, Succeeded, Failed, Interrupted };
    struct FileResult
    {
        QString name;
        Outcome outcome = Outcome::Skipped;
    };

    // moduleCode chooses the certifier table ("KESTRAVO" -> CONFIG_LOCAL).
    ImportRun(const QString &moduleCode, Database &db, const QString &userCode, Messenger &messenger);
    ~ImportRun();

    void setObserver(ImportObserver *observer) { m_observer = observer; }
    // Lines read go to progress; a stop it carries ends the run: the file
    // being imported is rolled back whole and the rest are not started.
    void setProgress(JobProgress *progress) { m_progress = progress; }

    // File names matching "TX-*.txt" (case ignored), in name order.
    static QStringList listFiles(const QString &dir);

    // Imports the named files of dir in order. Returns false when a file failed.
    bool run(const QString &dir, const QStringList &fileNames);
    bool run(const QString &dir) { return run(dir, listFiles(dir)); }

    const QList<FileResult> &results() const { return m_results; }
    // The last run stopped because another program held the database; the
    // file then being imported was rolled back and the rest not started.
    bool stoppedBusy() const { return m_busy; }
    // The last run was stopped through its progress.
    bool interrupted() const { return m_interrupted; }
    // Base names (without ".txt") of the files that failed in the last run, ", "-separated.
    QString failedFiles() const { return m_failedFiles; }
    bool anyFailed() const { return !m_failedFiles.isEmpty(); }

    // Deletes "Log.txt" and "Log_BD.txt" from dir (start of a new processing).
    static void deleteLogs(const QString &dir);
    // The "Erros de Importação" message about the failed files of a run.
    static void showImportErrors(const QString &moduleCode, const QString &failedFiles, Messenger &messenger);

    // The certifier table for a module code; empty when none.
    static QString certifierTable(const QString &moduleCode);

    // Batch size at which the records read are written.
    static constexpr int BatchLimit = 51;

private:
    enum class Duplicate { None, Exists, QueryFailed };
    Outcome importFile(const QString &dir, const QString &name);
    Outcome readAndImport(const QString &dir, const QString &name, const QString &sigla);
    // The observer, unless a second attempt is still going over what the
    // first has shown; while the attempt holds back, one that waits.
    ImportObserver *shown() const;
    // A record's write begins, or the writes end: what was told before is
    // shown once the writes before it are confirmed.
    void nextPoint(bool writesOver);
    bool stopRequested() const;
    Outcome importOpenedFile(const QString &dir, const QString &name, ImportFileReader &reader);
    // The logs of a file can be written beside it; says why not otherwise.
    bool logsWritable(const QString &dir, const QString &name);
    // Why a file gave no record at all.
    static QString whyNoRecord(const ImportFileReader &reader);
    bool lookUpCertifier(const QString &name, QString &sigla);
    Duplicate findDuplicate(const QString &name);
    bool flushBatch(std::vector<std::unique_ptr<TDataStruct>> &batch, bool fileFailed, const QString &dir);
    bool writeRecord(TDataStruct &record, const QString &dir);
    // How a record of this class is recorded as imported; nullptr when its table is not.
    const RegulatorHolding::ImportMarkPlan *markPlan(const TDataStruct &record);
    // Remembers the certificate a written record belongs to, if any.
    void noteCertificate(const TDataStruct &record);
    bool recordFile(const QString &name);
    void renameLogs(const QString &dir, const QString &name, QString &errorLog, QString &errorBdLog);
    // Appends to a log of dir after what the file's session still holds.
    void appendLog(const QString &dir, const QString &fileName, const QStringList &lines);

    QString m_moduleCode;
    Database &m_db;
    QString m_userCode;
    Messenger &m_userMsg;
    ImportReplay m_msg{m_userMsg}; // what the run says goes through it
    ImportObserver *m_observer = nullptr;
    std::unique_ptr<ImportObserver> m_heldObserver; // m_observer, held back
    int m_sinceRelease = 0; // records written since the last release
    JobProgress *m_progress = nullptr;
    ImportSession *m_session = nullptr; // the file being imported
    ParentCheck *m_parents = nullptr; // the file being imported
    QString m_fileName; // the file being imported
    bool m_busy = false;
    // The file is to be written again: waiting for each existence test, or
    // statement by statement undoable.
    enum class Redo { None, WithoutGuessing, Undoable };
    Redo m_redo = Redo::None;
    bool m_guessing = false; // existence tests are taken as finding nothing
    bool m_interrupted = false;
    // The certificates the file being imported wrote rows of, in order.
    QList<CertificateKey> m_fileCertificates;
    QSet<QString> m_fileCertificateKeys; // upper-cased "sigla|number"
    std::unordered_map<std::type_index, std::shared_ptr<const RegulatorHolding::ImportMarkPlan>> m_markPlans;
    QString m_failedFiles;
    QList<FileResult> m_results;
};
