#include "import/ui/tfrmimporta.h"

#include "base/errorlog.h"
#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "import/importrun.h"
#include "import/postimport.h"
#include "widgets/dialogparts.h"
#include "widgets/jobrunner.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>
#include <QVBoxLayout>
#include <climits>
#include <memory>
#include <optional>

namespace {

// Memos keep the tail of what they are given: a long import must not grow
// the window's memory with the file.
constexpr int MemoBlocks = 5000;
constexpr qint64 LogTailBytes = 256 * 1024;

// The run's own connection to the window's database file.
const QString ImportConnection = QStringLiteral("CapaCertific_Importacao");

QPlainTextEdit *memo(const QString &name)
{
    auto *m = new QPlainTextEdit;
    m->setObjectName(name);
    m->setReadOnly(true);
    m->setMaximumBlockCount(MemoBlocks);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    return m;
}

}

// Carries what the run reports on its thread over to the window's.
class TfrmImporta::Relay : public ImportObserver
{
public:
    Relay(TfrmImporta *window, JobRunner &runner)
        : w(window),
          r(runner)
    { }
    void fileStarted(const QString &path, int) override
    {
        r.post([w = w, path] { w->showFileStarted(path); });
    }
    void warnings(const QStringList &lines) override
    {
        r.post([w = w, lines] { w->showWarnings(lines); });
    }
    void batchListed(const QStringList &entries) override
    {
        r.post([w = w, entries] { w->showBatch(entries); });
    }
    void writingRecord(int index, int batchSize) override
    {
        r.post([w = w, index, batchSize] { w->showWritingRecord(index, batchSize); });
    }
    void readingFinished() override
    {
        r.post([w = w] { w->m_readDone->setVisible(true); });
    }
    void tablesUpdated() override
    {
        r.post([w = w] { w->m_tablesDone->setVisible(true); });
    }
    void completeProgress(int done, int total) override
    {
        r.post([w = w, done, total] { w->showCompleteProgress(done, total); });
    }
    void completeMarked() override
    {
        r.post([w = w] { w->m_completeDone->setVisible(true); });
    }
    void fileFinished(const QString &, bool succeeded, const QString &errorLog, const QString &errorBdLog) override
    {
        r.post([w = w, succeeded, errorLog, errorBdLog] { w->showFileFinished(succeeded, errorLog, errorBdLog); });
    }

private:
    TfrmImporta *w;
    JobRunner &r;
};

TfrmImporta::TfrmImporta(const QString &moduleCode, Database &db, const QString &userCode, Messenger &messenger,
                         QWidget *parent)
    : QDialog(parent),
      m_moduleCode(moduleCode),
      m_db(db),
      m_userCode(userCode),
      m_msg(messenger),
      m_runner(new JobRunner(this))
{
    setObjectName(QStringLiteral("frmImporta"));
    setWindowTitle(QStringLiteral("Importador de arquivo txt"));
    buildUi();
    connect(m_runner, &JobRunner::progress, this, &TfrmImporta::showLinesRead);
    startNewProcessing();
}

TfrmImporta::~TfrmImporta()
{
    // Before the controls the run still reports to go.
    delete m_runner;
}

void TfrmImporta::buildUi()
{
    m_chooseFolderButton = DialogParts::namedButton(QStringLiteral("DriveComboBox1"),
                                                    QStringLiteral("Escolher pasta..."));
    m_folderEdit = new QLineEdit;
    m_folderEdit->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_fileList = new QListWidget;
    m_fileList->setObjectName(QStringLiteral("FileListBox1"));
    m_recordList = new QListWidget;
    m_recordList->setObjectName(QStringLiteral("LBoxImportadas"));

    m_importButton = DialogParts::namedButton(QStringLiteral("BitBtn2"),
                                              QStringLiteral("Importar para o Banco de dados"));
    m_interruptButton = DialogParts::namedButton(QStringLiteral("BtInterrompe"), QStringLiteral("Interrompe"));
    m_interruptButton->setToolTip(QStringLiteral("Interrompe a importação; nada do arquivo em curso é gravado"));
    m_newProcessingButton = DialogParts::namedButton(QStringLiteral("BtnCancel"),
                                                     QStringLiteral("&Novo Processamento"));
    m_newProcessingButton->setToolTip(QStringLiteral("Cancela seleção de Arquivo TXT"));
    m_leaveButton = DialogParts::namedButton(QStringLiteral("BitBtn1"), QStringLiteral("&Sair"));
    m_errorsButton = DialogParts::namedButton(QStringLiteral("SpeedButton1"), QStringLiteral("Erros de Importação"));

    auto progress = [](const QString &name) {
        auto *p = new QProgressBar;
        p->setObjectName(name);
        p->setMinimum(0);
        return p;
    };
    auto tick = [](const QString &name, const QString &caption) {
        auto *c = new QCheckBox;
        c->setObjectName(name);
        c->setToolTip(caption);
        c->setChecked(true);
        c->setEnabled(false);
        return c;
    };
    m_readBar = progress(QStringLiteral("PbImportaTXT"));
    m_readDone = tick(QStringLiteral("CkTransferindo"), QStringLiteral("Validando os dados do Arquivo Texto"));
    m_writeBar = progress(QStringLiteral("PbAtualizaBD"));
    m_tablesDone = tick(QStringLiteral("CkAtualiza"), QStringLiteral("Atualizando tabelas de dados"));
    m_completeBar = progress(QStringLiteral("PbCertcOMPLETO"));
    m_completeDone = tick(QStringLiteral("ckCertCompleto"), QStringLiteral("Identificando certificados completos"));

    m_warningsMemo = memo(QStringLiteral("Memo4"));
    m_recordsMemo = memo(QStringLiteral("Memo3"));
    m_fileErrorsMemo = memo(QStringLiteral("MemoLog"));
    m_fileContentMemo = memo(QStringLiteral("Memo2"));
    m_logBdMemo = memo(QStringLiteral("MemoLogBD"));
    m_deleteLogBdButton = DialogParts::namedButton(QStringLiteral("Button6"), QStringLiteral("Deletar Log_BD.txt"));
    m_pages = new QTabWidget;
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(m_warningsMemo, QStringLiteral("Avisos da importação"));
    m_pages->addTab(m_recordsMemo, QStringLiteral("Estruturas Importadas"));
    m_pages->addTab(m_fileErrorsMemo, QStringLiteral("Erros do Arquivo Texto"));
    m_pages->addTab(m_fileContentMemo, QStringLiteral("Conteudo do txt que esta sendo importado"));
    auto *logBdPage = new QWidget;
    auto *logBdLayout = new QVBoxLayout(logBdPage);
    logBdLayout->addWidget(m_logBdMemo);
    logBdLayout->addWidget(m_deleteLogBdButton, 0, Qt::AlignLeft);
    m_pages->addTab(logBdPage, QStringLiteral("Log BD"));

    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(m_folderEdit, 1);
    dirRow->addWidget(m_chooseFolderButton);

    auto *files = new QVBoxLayout;
    files->addWidget(new QLabel(QStringLiteral("Arquivos a receber:")));
    files->addWidget(m_fileList);
    auto *records = new QVBoxLayout;
    records->addWidget(new QLabel(QStringLiteral("Estruturas identificadas")));
    records->addWidget(m_recordList);
    auto *lists = new QHBoxLayout;
    lists->addLayout(files);
    lists->addLayout(records);

    auto *bars = new QGridLayout;
    int row = 0;
    for (auto [caption, bar, check] :
         {std::tuple{QStringLiteral("Validando os dados do Arquivo Texto"), m_readBar, m_readDone},
          std::tuple{QStringLiteral("Atualizando tabelas de dados"), m_writeBar, m_tablesDone},
          std::tuple{QStringLiteral("Identificando certificados completos"), m_completeBar, m_completeDone}}) {
        bars->addWidget(new QLabel(caption), row++, 0, 1, 2);
        bars->addWidget(bar, row, 0);
        bars->addWidget(check, row++, 1);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_importButton);
    buttons->addWidget(m_interruptButton);
    buttons->addWidget(m_newProcessingButton);
    buttons->addWidget(m_errorsButton);
    buttons->addStretch();
    buttons->addWidget(m_leaveButton);

    auto *main = new QVBoxLayout(this);
    main->addLayout(dirRow);
    main->addLayout(lists, 1);
    main->addLayout(bars);
    main->addLayout(buttons);
    main->addWidget(m_pages, 1);
    resize(760, 640);

    connect(m_chooseFolderButton, &QPushButton::clicked, this, &TfrmImporta::chooseFolder);
    connect(m_folderEdit, &QLineEdit::editingFinished, this, &TfrmImporta::folderTyped);
    connect(m_importButton, &QPushButton::clicked, this, &TfrmImporta::importFiles);
    connect(m_interruptButton, &QPushButton::clicked, this, &TfrmImporta::interruptImport);
    connect(m_newProcessingButton, &QPushButton::clicked, this, &TfrmImporta::startNewProcessing);
    connect(m_errorsButton, &QPushButton::clicked, this, &TfrmImporta::showImportErrors);
    connect(m_leaveButton, &QPushButton::clicked, this, &TfrmImporta::leave);
    connect(m_deleteLogBdButton, &QPushButton::clicked, this, &TfrmImporta::deleteLogBd);
    m_errorsButton->setEnabled(false);
    m_interruptButton->setEnabled(false);
}

void TfrmImporta::setDirectory(const QString &dir)
{
    m_dir = QDir::cleanPath(dir);
    m_folderEdit->setText(QDir::toNativeSeparators(m_dir));
    listFiles();
}

void TfrmImporta::chooseFolder()
{
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Diretório dos arquivos TXT"), m_dir);
    if (!dir.isEmpty())
        setDirectory(dir);
}

void TfrmImporta::folderTyped()
{
    const QString typed = QDir::fromNativeSeparators(m_folderEdit->text().trimmed());
    if (QDir::cleanPath(typed) != m_dir && QFileInfo(typed).isDir())
        setDirectory(typed);
    else
        m_folderEdit->setText(QDir::toNativeSeparators(m_dir));
}

void TfrmImporta::listFiles()
{
    m_fileList->clear();
    m_fileList->addItems(ImportRun::listFiles(m_dir));
    const bool any = m_fileList->count() > 0;
    m_importButton->setEnabled(any && !m_running);
    if (any)
        m_msg.information(QStringLiteral("IMPORTANTE: Se o tamanho do arquivo a ser importado exceder a capacidade de "
                                         "memória RAM deste equipamento a rotina poderá ser interrompida antes do "
                                         "término."));
}

void TfrmImporta::setChoiceEnabled(bool enabled)
{
    m_chooseFolderButton->setEnabled(enabled);
    m_folderEdit->setEnabled(enabled);
    m_fileList->setEnabled(enabled);
    // the log must not vanish under a running import
    m_deleteLogBdButton->setEnabled(enabled);
}

void TfrmImporta::importFiles()
{
    if (m_running)
        return;
    QStringList names;
    for (int i = 0; i < m_fileList->count(); ++i)
        names << m_fileList->item(i)->text();
    if (names.isEmpty())
        return;
    m_running = true;
    // The import button goes too: a second click while files are being
    // processed would start a run inside the running one.
    m_importButton->setEnabled(false);
    m_newProcessingButton->setEnabled(false);
    m_leaveButton->setEnabled(false);
    m_errorsButton->setEnabled(false);
    setChoiceEnabled(false);
    m_interruptButton->setEnabled(true);
    m_failedFiles.clear();

    struct Ending
    {
        QString failedFiles, error, errorClass;
    };
    auto ending = std::make_shared<Ending>();
    connect(
        m_runner, &JobRunner::finished, this,
        [this, ending] { runEnded(ending->failedFiles, ending->error, ending->errorClass); }, Qt::SingleShotConnection);
    // The run has a connection of its own to the same register.
    std::optional<ServerAddress> server;
    if (m_db.onServer())
        server = m_db.server();
    m_runner->start([this, ending, path = m_db.path(), server, module = m_moduleCode, user = m_userCode, dir = m_dir,
                     names](JobProgress &progress) {
        RelayedMessenger messenger(*m_runner, m_msg);
        Relay relay(this, *m_runner);
        try {
            Database db(ImportConnection);
            if (server)
                db.openServer(*server);
            else
                db.open(path);
            ImportRun run(module, db, user, messenger);
            run.setObserver(&relay);
            run.setProgress(&progress);
            try {
                run.run(dir, names);
            } catch (...) {
                ending->failedFiles = run.failedFiles();
                throw;
            }
            ending->failedFiles = run.failedFiles();
        } catch (const std::exception &e) {
            ending->error = QString::fromUtf8(e.what());
            if (auto *db = dynamic_cast<const DbError *>(&e))
                ending->error = db->message();
            else if (auto *app = dynamic_cast<const AppError *>(&e))
                ending->error = app->message();
            ending->errorClass = DbErrors::className(e);
        }
    });
}

void TfrmImporta::interruptImport()
{
    m_interruptButton->setEnabled(false);
    m_runner->interrupt();
}

void TfrmImporta::runEnded(const QString &failedFiles, const QString &error, const QString &errorClass)
{
    m_failedFiles = failedFiles;
    if (!error.isEmpty()) {
        ErrorLog::append(error, errorClass);
        m_msg.warning(error);
    }
    m_running = false;
    m_interruptButton->setEnabled(false);
    m_errorsButton->setEnabled(!m_failedFiles.isEmpty());
    startNewProcessing();
    emit importFinished();
}

void TfrmImporta::clearProgress()
{
    m_recordList->clear();
    m_readBar->setValue(0);
    m_writeBar->setValue(0);
    m_completeBar->setValue(0);
    m_readDone->setVisible(false);
    m_tablesDone->setVisible(false);
    m_completeDone->setVisible(false);
}

void TfrmImporta::startNewProcessing()
{
    clearProgress();
    if (!m_dir.isEmpty())
        ImportRun::deleteLogs(m_dir);
    m_warningsMemo->clear();
    m_recordsMemo->clear();
    m_fileErrorsMemo->clear();
    m_fileContentMemo->clear();
    m_logBdMemo->clear();
    m_newProcessingButton->setEnabled(true);
    m_leaveButton->setEnabled(true);
    setChoiceEnabled(true);
    setDirectory(QDir::homePath());
}

void TfrmImporta::showImportErrors()
{
    ImportRun::showImportErrors(m_moduleCode, m_failedFiles, m_msg);
}

void TfrmImporta::leave()
{
    close();
}

void TfrmImporta::deleteLogBd()
{
    if (!m_dir.isEmpty()) {
        const QString path = PostImport::findLog(m_dir, PostImport::LogBdFileName);
        if (!path.isEmpty())
            QFile::remove(path);
    }
    m_logBdMemo->clear();
}

void TfrmImporta::closeEvent(QCloseEvent *event)
{
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TfrmImporta::reject()
{
    if (!m_running)
        QDialog::reject();
}

void TfrmImporta::loadFileHead(const QString &path)
{
    m_fileContentMemo->clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&f);
    QStringList lines;
    for (int i = 0; i < MemoBlocks && !in.atEnd(); ++i)
        lines << in.readLine();
    m_fileContentMemo->setPlainText(lines.join(QLatin1Char('\n')));
}

void TfrmImporta::showLog(QPlainTextEdit *m, const QString &path)
{
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    if (f.size() > LogTailBytes)
        f.seek(f.size() - LogTailBytes);
    m->appendPlainText(QString::fromUtf8(f.readAll()));
}

void TfrmImporta::showFileStarted(const QString &path)
{
    clearProgress();
    loadFileHead(path);
}

void TfrmImporta::showLinesRead(qint64 lines, qint64 totalLines)
{
    m_readBar->setMaximum(int(qBound(qint64(1), totalLines, qint64(INT_MAX))));
    m_readBar->setValue(int(qMin<qint64>(lines, m_readBar->maximum())));
}

void TfrmImporta::showWarnings(const QStringList &lines)
{
    for (const QString &l : lines)
        m_warningsMemo->appendPlainText(l);
}

void TfrmImporta::showBatch(const QStringList &entries)
{
    m_recordList->clear();
    m_recordList->addItems(entries);
    for (const QString &e : entries)
        m_recordsMemo->appendPlainText(e);
}

void TfrmImporta::showWritingRecord(int index, int batchSize)
{
    m_writeBar->setMaximum(qMax(batchSize - 1, 1));
    m_writeBar->setValue(index);
    m_recordList->setCurrentRow(index);
}

void TfrmImporta::showCompleteProgress(int done, int total)
{
    m_completeBar->setMaximum(qMax(total, 1));
    m_completeBar->setValue(qMin(done, m_completeBar->maximum()));
}

void TfrmImporta::showFileFinished(bool succeeded, const QString &errorLog, const QString &errorBdLog)
{
    if (!succeeded) {
        showLog(m_fileErrorsMemo, errorLog);
        showLog(m_logBdMemo, errorBdLog);
    }
}
