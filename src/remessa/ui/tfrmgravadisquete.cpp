#include "remessa/ui/tfrmgravadisquete.h"

#include "remessa/ui/transferreceipt.h"
#include "reports/bandedreport.h"
#include "widgets/dialogparts.h"
#include "widgets/folderchooser.h"
#include "widgets/guardedslot.h"
#include "widgets/reportpreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

TFrmGravaDisquete::TFrmGravaDisquete(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent)
    : QDialog(parent),
      m_work(work),
      m_db(db),
      m_msg(messenger)
{
    setObjectName(QStringLiteral("FrmGravaDisquete"));
    setWindowTitle(QStringLiteral("Grava Disquete"));
    auto *layout = new QVBoxLayout(this);

    auto *file = new QGroupBox(QStringLiteral("Arquivo a ser transferido"), this);
    auto *fileForm = new QFormLayout(file);
    folderEdit = DialogParts::readOnlyField(file, QStringLiteral("EdDiretorio"));
    packageEdit = DialogParts::readOnlyField(file, QStringLiteral("EdArquivoTransferencia"));
    fileForm->addRow(DialogParts::label(file, QStringLiteral("LbDiretorio"), QStringLiteral("Diretório"), folderEdit),
                     folderEdit);
    fileForm->addRow(
        DialogParts::label(file, QStringLiteral("LbArquivo"), QStringLiteral("Nome do Arquivo"), packageEdit),
        packageEdit);
    layout->addWidget(file);

    auto *dest = new QGroupBox(QStringLiteral("Unidade de disquete para gravação do arquivo"), this);
    auto *destRow = new QHBoxLayout(dest);
    destinationEdit = DialogParts::readOnlyField(dest, QStringLiteral("EdDestino"));
    destinationEdit->setAccessibleName(QStringLiteral("Destino"));
    browseButton = DialogParts::button(dest, QStringLiteral("BtBrowse"), QStringLiteral("Browse..."));
    destRow->addWidget(destinationEdit, 1);
    destRow->addWidget(browseButton);
    layout->addWidget(dest);

    progressGroup = new QGroupBox(QStringLiteral("Acompanhamento da Gravação"), this);
    progressGroup->setObjectName(QStringLiteral("GbAcompanhamento"));
    auto *progress = new QGridLayout(progressGroup);
    copyingLabel = new QLabel(QStringLiteral("Gravando Arquivo..."), progressGroup);
    copyingTick = new QCheckBox(progressGroup);
    copyingTick->setObjectName(QStringLiteral("CkGravando"));
    copyingTick->setChecked(true);
    copyingTick->setEnabled(false);
    copyingTick->setAccessibleName(QStringLiteral("Gravação concluída"));
    copyProgress = new QProgressBar(progressGroup);
    copyProgress->setObjectName(QStringLiteral("PbGravacao"));
    interruptButton = DialogParts::button(progressGroup, QStringLiteral("BtInterrompe"),
                                          QStringLiteral("Interrompe Gravação"));
    progress->addWidget(copyingLabel, 0, 0);
    progress->addWidget(copyingTick, 0, 1);
    progress->addWidget(copyProgress, 1, 0, 1, 2);
    progress->addWidget(interruptButton, 2, 0, 1, 2, Qt::AlignRight);
    layout->addWidget(progressGroup);

    resultGroup = new QGroupBox(QStringLiteral("Resultado Final da Gravação"), this);
    resultGroup->setObjectName(QStringLiteral("GbResultado"));
    auto *resultRow = new QHBoxLayout(resultGroup);
    resultEdit = DialogParts::readOnlyField(resultGroup, QStringLiteral("EdResultado"));
    resultEdit->setAccessibleName(QStringLiteral("Resultado Final da Gravação"));
    receiptButton = DialogParts::button(resultGroup, QStringLiteral("BtComprovante"),
                                        QStringLiteral("Emite Comprovante"));
    receiptButton->setEnabled(false);
    resultRow->addWidget(resultEdit, 1);
    resultRow->addWidget(receiptButton);
    layout->addWidget(resultGroup);

    copyButton = DialogParts::button(this, QStringLiteral("BtGrava"), QStringLiteral("Grava"));
    cancelButton = DialogParts::button(this, QStringLiteral("btCancela"), QStringLiteral("Cancela"));
    exitButton = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copyButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(exitButton);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(browseButton, &QPushButton::clicked, this, guarded(m_msg, [this] { chooseDestination(); }));
    connect(copyButton, &QPushButton::clicked, this, guarded(m_msg, [this] { copyPackage(); }));
    connect(interruptButton, &QPushButton::clicked, this, [this] { interrupt(); });
    connect(receiptButton, &QPushButton::clicked, this, guarded(m_msg, [this] { printReceipt(); }));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

    folderEdit->setText(QDir::toNativeSeparators(m_work.transferDir));
    destinationEdit->setMinimumWidth(360);
    progressGroup->hide();
    resultGroup->hide();
    setFileName(m_work.remittance.packageName);
}

void TFrmGravaDisquete::setFileName(const QString &fileName)
{
    m_fileName = fileName;
    packageEdit->setText(fileName);
}

void TFrmGravaDisquete::setDestination(const QString &folder)
{
    destinationEdit->setText(RemessaWork::folder(folder));
}

void TFrmGravaDisquete::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    browseButton->setFocus();
}

void TFrmGravaDisquete::reject()
{
    if (m_running) // the copy ends through "Interrompe Gravação"
        return;
    QDialog::reject();
}

void TFrmGravaDisquete::chooseDestination()
{
    const QString chosen = FolderChooser::choose(FolderChooser::Face::Transfer, this, destinationEdit->text());
    if (!chosen.isEmpty())
        setDestination(chosen);
}

void TFrmGravaDisquete::copyPackage()
{
    if (m_running)
        return;
    m_interrupted.store(false);
    m_copy = std::make_unique<FolderTransfer::Copy>(m_db, m_msg, m_work, m_fileName, destinationEdit->text());
    if (!m_copy->begin()) {
        m_copy.reset(); // refused before copying: nothing changed
        return;
    }
    m_running = true;
    browseButton->setEnabled(false);
    copyButton->setEnabled(false);
    cancelButton->setEnabled(false);
    copyingTick->hide();
    copyProgress->setRange(0, 1000);
    copyProgress->setValue(0);
    progressGroup->show();
    m_worker.reset(QThread::create([this] { m_copy->copy(*this); }));
    connect(m_worker.get(), &QThread::finished, this, guarded(m_msg, [this] { copyEnded(); }));
    m_worker->start();
}

TFrmGravaDisquete::~TFrmGravaDisquete()
{
    if (m_worker) {
        m_interrupted.store(true);
        m_worker->wait();
    }
}

void TFrmGravaDisquete::copyEnded()
{
    m_worker->wait();
    m_worker.reset();
    const std::unique_ptr<FolderTransfer::Copy> copy = std::move(m_copy);
    try {
        m_result = copy->finish();
    } catch (...) {
        m_running = false;
        throw;
    }
    // The bar is seen full a moment before the result takes its place.
    QTimer::singleShot(m_settleMs, this, [this] { showResult(); });
}

void TFrmGravaDisquete::showResult()
{
    m_running = false;
    resultGroup->show();
    resultEdit->setText(m_result.text);
    interruptButton->setEnabled(false);
    if (m_result.status == FolderTransfer::Status::Done) {
        copyingTick->show();
        receiptButton->setEnabled(true);
    }
    exitButton->setFocus();
}

void TFrmGravaDisquete::blockCopied(qint64 done, qint64 total)
{
    const int value = total > 0 ? static_cast<int>(done * 1000 / total) : 1000;
    QMetaObject::invokeMethod(
        this, [this, value] { copyProgress->setValue(value); }, Qt::QueuedConnection);
}

void TFrmGravaDisquete::interrupt()
{
    interruptButton->setEnabled(false);
    m_interrupted.store(true);
}

BandedReport TFrmGravaDisquete::receipt(const RemessaWork &work, const QString &copiedPath)
{
    return TransferReceipt::forFolderCopy(work, QDir::toNativeSeparators(copiedPath));
}

void TFrmGravaDisquete::printReceipt()
{
    ReportPreview::exec(receipt(m_work, m_result.copiedPath), this, m_msg);
}
