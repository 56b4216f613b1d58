#include "remessa/ui/transferwindow.h"

#include "base/messenger.h"
#include "remessa/ui/transferreceipt.h"
#include "reports/bandedreport.h"
#include "widgets/dialogparts.h"
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
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

TransferWindow::TransferWindow(const RemessaWork &work, Database &db, Messenger &messenger, PackageTransfer::Mode mode,
                               QWidget *parent)
    : QDialog(parent),
      m_work(work),
      m_db(db),
      m_msg(messenger),
      m_mode(mode)
{
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

    m_destination = new QGroupBox(this);
    m_destination->setObjectName(QStringLiteral("GbDestino"));
    layout->addWidget(m_destination);

    transferButton = DialogParts::button(this, QStringLiteral("BtTransfere"), QStringLiteral("Transfere"));
    cancelButton = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    exitButton = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    transferButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(transferButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(exitButton);
    layout->addLayout(buttons);

    progressGroup = new QGroupBox(QStringLiteral("Acompanhamento da Transferência"), this);
    progressGroup->setObjectName(QStringLiteral("GbAcompanhamento"));
    auto *progress = new QGridLayout(progressGroup);
    auto *sending = new QLabel(QStringLiteral("Transferindo Arquivo..."), progressGroup);
    transferTick = new QCheckBox(progressGroup);
    transferTick->setObjectName(QStringLiteral("CkTransferencia"));
    transferTick->setChecked(true);
    transferTick->setEnabled(false);
    transferTick->setAccessibleName(QStringLiteral("Transferência concluída"));
    sizeEdit = DialogParts::readOnlyField(progressGroup, QStringLiteral("EdTamanho"));
    transferredEdit = DialogParts::readOnlyField(progressGroup, QStringLiteral("EdTransferidos"));
    transferProgress = new QProgressBar(progressGroup);
    transferProgress->setObjectName(QStringLiteral("PbTransferencia"));
    transferProgress->setRange(0, 1000);
    transferProgress->setValue(0);
    interruptButton = DialogParts::button(progressGroup, QStringLiteral("BtInterrompe"),
                                          QStringLiteral("Interrompe Transferência"));
    progress->addWidget(sending, 0, 0);
    progress->addWidget(transferTick, 0, 1);
    progress->addWidget(
        DialogParts::label(progressGroup, QStringLiteral("LbTamanho"), QStringLiteral("Tamanho do Arquivo"), sizeEdit),
        1, 0);
    progress->addWidget(sizeEdit, 1, 1);
    progress->addWidget(DialogParts::label(progressGroup, QStringLiteral("LbTransferidos"),
                                           QStringLiteral("Bytes Transferidos"), transferredEdit),
                        2, 0);
    progress->addWidget(transferredEdit, 2, 1);
    progress->addWidget(transferProgress, 3, 0, 1, 2);
    progress->addWidget(interruptButton, 4, 0, 1, 2, Qt::AlignRight);
    layout->addWidget(progressGroup);

    resultGroup = new QGroupBox(QStringLiteral("Resultado Final da Transferência"), this);
    resultGroup->setObjectName(QStringLiteral("GbResultado"));
    auto *result = new QVBoxLayout(resultGroup);
    resultMemo = new QPlainTextEdit(resultGroup);
    resultMemo->setObjectName(QStringLiteral("MmResultado"));
    resultMemo->setReadOnly(true);
    resultMemo->setAccessibleName(QStringLiteral("Resultado Final da Transferência"));
    resultMemo->setMinimumHeight(150);
    receiptButton = DialogParts::button(resultGroup, QStringLiteral("BtComprovante"),
                                        QStringLiteral("Emite Comprovante"));
    receiptButton->setEnabled(false);
    result->addWidget(resultMemo);
    result->addWidget(receiptButton, 0, Qt::AlignRight);
    layout->addWidget(resultGroup);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(transferButton, &QPushButton::clicked, this, guarded(m_msg, [this] { sendPackage(); }));
    connect(interruptButton, &QPushButton::clicked, this, [this] { interrupt(); });
    connect(receiptButton, &QPushButton::clicked, this, guarded(m_msg, [this] { printReceipt(); }));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

    folderEdit->setText(QDir::toNativeSeparators(m_work.transferDir));
    folderEdit->setMinimumWidth(380);
    progressGroup->hide();
    resultGroup->hide();
    setFileName(m_work.remittance.packageName);
}

void TransferWindow::showDestination(const QString &title, const QString &accessibleName, const QString &objectName,
                                     const QString &address)
{
    m_destination->setTitle(title);
    auto *row = new QVBoxLayout(m_destination);
    auto *field = new QLineEdit(m_destination);
    field->setObjectName(objectName);
    field->setReadOnly(true);
    field->setAccessibleName(accessibleName);
    field->setText(address);
    row->addWidget(field);
}

void TransferWindow::setFileName(const QString &fileName)
{
    m_fileName = fileName;
    packageEdit->setText(fileName);
}

QString TransferWindow::fileName() const
{
    return m_fileName;
}

QStringList TransferWindow::resultLines() const
{
    const QString text = resultMemo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TransferWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (transferButton->isEnabled())
        transferButton->setFocus();
}

void TransferWindow::reject()
{
    if (m_running) // the transfer ends through "Interrompe Transferência"
        return;
    QDialog::reject();
}

void TransferWindow::addMemo(const QString &line)
{
    resultMemo->appendPlainText(line);
}

void TransferWindow::showResult()
{
    resultGroup->show();
    interruptButton->setEnabled(false);
    exitButton->setFocus();
}

void TransferWindow::sendPackage()
{
    if (m_started)
        return;
    progressGroup->show();
    transferTick->hide();
    transferButton->setEnabled(false);
    cancelButton->setEnabled(false);
    m_started = true;

    m_transfer = std::make_unique<PackageTransfer>(m_db, m_msg, m_work, m_fileName, m_mode);
    m_transfer->setLines([this](const QString &line) { addMemo(line); });
    if (!m_transfer->begin()) {
        m_transfer.reset();
        showResult();
        return;
    }
    m_size = m_transfer->size();
    sizeEdit->setText(QString::number(m_size));
    transferredEdit->setText(QStringLiteral("0"));
    transferProgress->setValue(0);
    // Progress comes from the worker; the window shows it on its own thread.
    m_transfer->setProgress([this](qint64 done, qint64 total) {
        QMetaObject::invokeMethod(
            this, [this, done, total] { progressed(done, total); }, Qt::QueuedConnection);
    });
    m_running = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_worker.reset(QThread::create([transfer = m_transfer.get()] { transfer->send(); }));
    connect(m_worker.get(), &QThread::finished, this, guarded(m_msg, [this] { sendingEnded(); }));
    m_worker->start();
}

TransferWindow::~TransferWindow()
{
    if (m_worker) {
        m_transfer->setLines({});
        m_transfer->interrupt();
        m_worker->wait();
        QApplication::restoreOverrideCursor();
    }
}

void TransferWindow::progressed(qint64 done, qint64 total)
{
    if (total <= 0)
        total = m_size;
    transferredEdit->setText(QString::number(done));
    // Bytes handed to the network are not bytes the server kept: the bar
    // reaches its end only when the server has confirmed the whole file.
    const int shown = total > 0 ? static_cast<int>(qMin(done, total) * 1000 / total) : 0;
    transferProgress->setValue(qMin(shown, transferProgress->maximum() - 1));
}

void TransferWindow::sendingEnded()
{
    m_worker->wait();
    m_worker.reset();
    QApplication::restoreOverrideCursor();
    m_running = false;
    showResult();
    const std::unique_ptr<PackageTransfer> transfer = std::move(m_transfer);
    const PackageTransfer::Outcome outcome = transfer->finish();
    if (outcome == PackageTransfer::Outcome::NotSent)
        return;
    transferTick->show();
    transferProgress->setValue(transferProgress->maximum());
    if (outcome != PackageTransfer::Outcome::Delivered)
        return;
    m_succeeded = true;
    receiptButton->setEnabled(true);
}

void TransferWindow::interrupt()
{
    interruptButton->setEnabled(false);
    if (m_running)
        m_transfer->interrupt();
}

BandedReport TransferWindow::receipt() const
{
    return TransferReceipt::forTransfer(m_work, fileName(), resultLines());
}

void TransferWindow::printReceipt()
{
    ReportPreview::exec(receipt(), this, m_msg);
}
