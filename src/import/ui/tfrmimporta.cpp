#include "import/ui/tfrmimporta.h"

#include "base/errorlog.h"
#include "base/messenger.h"
#include "db/dberror.h"
#include "import/postimport.h"
#include "widgets/dialogparts.h"

#include <QApplication>
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

namespace {

// Memos keep the tail of what they are given: a long import must not grow
// the window's memory with the file.
constexpr int MemoBlocks = 5000;
constexpr qint64 LogTailBytes = 256 * 1024;

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

TfrmImporta::TfrmImporta(const QString &moduleCode, Database &db, const QString &userCode, Messenger &messenger,
                         QWidget *parent)
    : QDialog(parent),
      m_moduleCode(moduleCode),
      m_db(db),
      m_userCode(userCode),
      m_msg(messenger)
{
    setObjectName(QStringLiteral("frmImporta"));
    setWindowTitle(QStringLiteral("Importador de arquivo txt"));
    buildUi();
    BtnCancelClick();
}

TfrmImporta::~TfrmImporta() = default;

void TfrmImporta::buildUi()
{
    DriveComboBox1 = DialogParts::namedButton(QStringLiteral("DriveComboBox1"), QStringLiteral("Escolher pasta..."));
    DirectoryListBox1 = new QLineEdit;
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    FileListBox1 = new QListWidget;
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    LBoxImportadas = new QListWidget;
    LBoxImportadas->setObjectName(QStringLiteral("LBoxImportadas"));

    BitBtn2 = DialogParts::namedButton(QStringLiteral("BitBtn2"), QStringLiteral("Importar para o Banco de dados"));
    BtnCancel = DialogParts::namedButton(QStringLiteral("BtnCancel"), QStringLiteral("&Novo Processamento"));
    BtnCancel->setToolTip(QStringLiteral("Cancela seleção de Arquivo TXT"));
    BitBtn1 = DialogParts::namedButton(QStringLiteral("BitBtn1"), QStringLiteral("&Sair"));
    SpeedButton1 = DialogParts::namedButton(QStringLiteral("SpeedButton1"), QStringLiteral("Erros de Importação"));

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
    PbImportaTXT = progress(QStringLiteral("PbImportaTXT"));
    CkTransferindo = tick(QStringLiteral("CkTransferindo"), QStringLiteral("Validando os dados do Arquivo Texto"));
    PbAtualizaBD = progress(QStringLiteral("PbAtualizaBD"));
    CkAtualiza = tick(QStringLiteral("CkAtualiza"), QStringLiteral("Atualizando tabelas de dados"));
    PbCertcOMPLETO = progress(QStringLiteral("PbCertcOMPLETO"));
    ckCertCompleto = tick(QStringLiteral("ckCertCompleto"), QStringLiteral("Identificando certificados completos"));

    Memo4 = memo(QStringLiteral("Memo4"));
    Memo3 = memo(QStringLiteral("Memo3"));
    MemoLog = memo(QStringLiteral("MemoLog"));
    Memo2 = memo(QStringLiteral("Memo2"));
    MemoLogBD = memo(QStringLiteral("MemoLogBD"));
    Button6 = DialogParts::namedButton(QStringLiteral("Button6"), QStringLiteral("Deletar Log_BD.txt"));
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(Memo4, QStringLiteral("Avisos da importação"));
    PageControl1->addTab(Memo3, QStringLiteral("Estruturas Importadas"));
    PageControl1->addTab(MemoLog, QStringLiteral("Erros do Arquivo Texto"));
    PageControl1->addTab(Memo2, QStringLiteral("Conteudo do txt que esta sendo importado"));
    auto *logBdPage = new QWidget;
    auto *logBdLayout = new QVBoxLayout(logBdPage);
    logBdLayout->addWidget(MemoLogBD);
    logBdLayout->addWidget(Button6, 0, Qt::AlignLeft);
    PageControl1->addTab(logBdPage, QStringLiteral("Log BD"));

    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(DirectoryListBox1, 1);
    dirRow->addWidget(DriveComboBox1);

    auto *files = new QVBoxLayout;
    files->addWidget(new QLabel(QStringLiteral("Arquivos a receber:")));
    files->addWidget(FileListBox1);
    auto *records = new QVBoxLayout;
    records->addWidget(new QLabel(QStringLiteral("Estruturas identificadas")));
    records->addWidget(LBoxImportadas);
    auto *lists = new QHBoxLayout;
    lists->addLayout(files);
    lists->addLayout(records);

    auto *bars = new QGridLayout;
    int row = 0;
    for (auto [caption, bar, check] :
         {std::tuple{QStringLiteral("Validando os dados do Arquivo Texto"), PbImportaTXT, CkTransferindo},
          std::tuple{QStringLiteral("Atualizando tabelas de dados"), PbAtualizaBD, CkAtualiza},
          std::tuple{QStringLiteral("Identificando certificados completos"), PbCertcOMPLETO, ckCertCompleto}}) {
        bars->addWidget(new QLabel(caption), row++, 0, 1, 2);
        bars->addWidget(bar, row, 0);
        bars->addWidget(check, row++, 1);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BtnCancel);
    buttons->addWidget(SpeedButton1);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);

    auto *main = new QVBoxLayout(this);
    main->addLayout(dirRow);
    main->addLayout(lists, 1);
    main->addLayout(bars);
    main->addLayout(buttons);
    main->addWidget(PageControl1, 1);
    resize(760, 640);

    connect(DriveComboBox1, &QPushButton::clicked, this, &TfrmImporta::DriveComboBox1Click);
    connect(DirectoryListBox1, &QLineEdit::editingFinished, this, &TfrmImporta::DirectoryListBox1Change);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmImporta::BitBtn2Click);
    connect(BtnCancel, &QPushButton::clicked, this, &TfrmImporta::BtnCancelClick);
    connect(SpeedButton1, &QPushButton::clicked, this, &TfrmImporta::SpeedButton1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmImporta::BitBtn1Click);
    connect(Button6, &QPushButton::clicked, this, &TfrmImporta::Button6Click);
    SpeedButton1->setEnabled(false);
}

void TfrmImporta::setDirectory(const QString &dir)
{
    m_dir = QDir::cleanPath(dir);
    DirectoryListBox1->setText(QDir::toNativeSeparators(m_dir));
    FileListBox1Change();
}

void TfrmImporta::DriveComboBox1Click()
{
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Diretório dos arquivos TXT"), m_dir);
    if (!dir.isEmpty())
        setDirectory(dir);
}

void TfrmImporta::DirectoryListBox1Change()
{
    const QString typed = QDir::fromNativeSeparators(DirectoryListBox1->text().trimmed());
    if (QDir::cleanPath(typed) != m_dir && QFileInfo(typed).isDir())
        setDirectory(typed);
    else
        DirectoryListBox1->setText(QDir::toNativeSeparators(m_dir));
}

void TfrmImporta::FileListBox1Change()
{
    FileListBox1->clear();
    FileListBox1->addItems(ImportRun::listFiles(m_dir));
    const bool any = FileListBox1->count() > 0;
    BitBtn2->setEnabled(any && !m_running);
    if (any)
        m_msg.information(QStringLiteral("IMPORTANTE: Se o tamanho do arquivo a ser importado exceder a capacidade de "
                                         "memória RAM deste equipamento a rotina poderá ser interrompida antes do "
                                         "término."));
}

void TfrmImporta::setChoiceEnabled(bool enabled)
{
    DriveComboBox1->setEnabled(enabled);
    DirectoryListBox1->setEnabled(enabled);
    FileListBox1->setEnabled(enabled);
    // the log must not vanish under a running import
    Button6->setEnabled(enabled);
}

void TfrmImporta::BitBtn2Click()
{
    if (m_running)
        return;
    QStringList names;
    for (int i = 0; i < FileListBox1->count(); ++i)
        names << FileListBox1->item(i)->text();
    if (names.isEmpty())
        return;
    m_running = true;
    // The import button goes too: a second click while files are being
    // processed would start a run inside the running one.
    BitBtn2->setEnabled(false);
    BtnCancel->setEnabled(false);
    BitBtn1->setEnabled(false);
    SpeedButton1->setEnabled(false);
    setChoiceEnabled(false);
    m_failedFiles.clear();

    ImportRun run(m_moduleCode, m_db, m_userCode, m_msg);
    run.setObserver(this);
    try {
        run.run(m_dir, names);
        m_failedFiles = run.failedFiles();
    } catch (const std::exception &e) {
        QString message = QString::fromUtf8(e.what());
        if (auto *db = dynamic_cast<const DbError *>(&e))
            message = db->message();
        else if (auto *app = dynamic_cast<const AppError *>(&e))
            message = app->message();
        ErrorLog::append(message, DbErrors::className(e));
        m_msg.warning(message);
        m_failedFiles = run.failedFiles();
    }
    m_running = false;
    SpeedButton1->setEnabled(!m_failedFiles.isEmpty());
    BtnCancelClick();
}

void TfrmImporta::clearProgress()
{
    LBoxImportadas->clear();
    PbImportaTXT->setValue(0);
    PbAtualizaBD->setValue(0);
    PbCertcOMPLETO->setValue(0);
    CkTransferindo->setVisible(false);
    CkAtualiza->setVisible(false);
    ckCertCompleto->setVisible(false);
}

void TfrmImporta::BtnCancelClick()
{
    clearProgress();
    if (!m_dir.isEmpty())
        ImportRun::deleteLogs(m_dir);
    Memo4->clear();
    Memo3->clear();
    MemoLog->clear();
    Memo2->clear();
    MemoLogBD->clear();
    BtnCancel->setEnabled(true);
    BitBtn1->setEnabled(true);
    setChoiceEnabled(true);
    setDirectory(QDir::homePath());
}

void TfrmImporta::SpeedButton1Click()
{
    ImportRun::showImportErrors(m_moduleCode, m_failedFiles, m_msg);
}

void TfrmImporta::BitBtn1Click()
{
    close();
}

void TfrmImporta::Button6Click()
{
    if (!m_dir.isEmpty()) {
        const QString path = PostImport::findLog(m_dir, PostImport::LogBdFileName);
        if (!path.isEmpty())
            QFile::remove(path);
    }
    MemoLogBD->clear();
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
    Memo2->clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&f);
    QStringList lines;
    for (int i = 0; i < MemoBlocks && !in.atEnd(); ++i)
        lines << in.readLine();
    Memo2->setPlainText(lines.join(QLatin1Char('\n')));
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

void TfrmImporta::fileStarted(const QString &path, int totalLines)
{
    clearProgress();
    PbImportaTXT->setMaximum(qMax(totalLines, 1));
    loadFileHead(path);
}

void TfrmImporta::linesRead(int lines, int totalLines)
{
    PbImportaTXT->setMaximum(qMax(totalLines, 1));
    PbImportaTXT->setValue(qMin(lines, PbImportaTXT->maximum()));
}

void TfrmImporta::warnings(const QStringList &lines)
{
    for (const QString &l : lines)
        Memo4->appendPlainText(l);
}

void TfrmImporta::batchListed(const QStringList &entries)
{
    LBoxImportadas->clear();
    LBoxImportadas->addItems(entries);
    for (const QString &e : entries)
        Memo3->appendPlainText(e);
}

void TfrmImporta::writingRecord(int index, int batchSize)
{
    PbAtualizaBD->setMaximum(qMax(batchSize - 1, 1));
    PbAtualizaBD->setValue(index);
    LBoxImportadas->setCurrentRow(index);
}

void TfrmImporta::readingFinished()
{
    CkTransferindo->setVisible(true);
}

void TfrmImporta::tablesUpdated()
{
    CkAtualiza->setVisible(true);
}

void TfrmImporta::completeProgress(int done, int total)
{
    PbCertcOMPLETO->setMaximum(qMax(total, 1));
    PbCertcOMPLETO->setValue(qMin(done, PbCertcOMPLETO->maximum()));
}

void TfrmImporta::completeMarked()
{
    ckCertCompleto->setVisible(true);
}

void TfrmImporta::fileFinished(const QString &, bool succeeded, const QString &errorLog, const QString &errorBdLog)
{
    if (!succeeded) {
        showLog(MemoLog, errorLog);
        showLog(MemoLogBD, errorBdLog);
    }
}

void TfrmImporta::idle()
{
    QApplication::processEvents();
}
