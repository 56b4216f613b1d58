#include "remessa/ui/transferwindow.h"

#include "base/messenger.h"
#include "remessa/ui/transferreceipt.h"
#include "reports/bandedreport.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/jobrunner.h"
#include "widgets/reportpreview.h"
#include "widgets/stepparts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
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

    const StepParts::FileFields file = StepParts::addFileGroup(this, layout);
    folderEdit = file.folder;
    packageEdit = file.name;

    m_destination = new QGroupBox(this);
    m_destination->setObjectName(QStringLiteral("GbDestino"));
    layout->addWidget(m_destination);

    m_view.addButtons(this, layout, QStringLiteral("BtTransfere"), QStringLiteral("Transfere"),
                      QStringLiteral("BtCancela"));
    m_view.action->setDefault(true);

    m_view.addProgress(this, layout, QStringLiteral("Acompanhamento da Transferência"));
    QWidget *progressGroup = m_view.progress;
    auto *sending = new QLabel(QStringLiteral("Transferindo Arquivo..."), progressGroup);
    transferTick = StepParts::tick(progressGroup, QStringLiteral("CkTransferencia"),
                                   QStringLiteral("Transferência concluída"));
    sizeEdit = DialogParts::readOnlyField(progressGroup, QStringLiteral("EdTamanho"));
    transferredEdit = DialogParts::readOnlyField(progressGroup, QStringLiteral("EdTransferidos"));
    m_view.closeProgress(3, QStringLiteral("PbTransferencia"), QStringLiteral("Interrompe Transferência"));
    m_view.bar->setRange(0, 1000);
    m_view.bar->setValue(0);
    QGridLayout *progress = m_view.progressGrid;
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

    m_view.addResultMemo(this, layout, QStringLiteral("Resultado Final da Transferência"),
                         QStringLiteral("Resultado Final da Transferência"), QStringLiteral("BtComprovante"),
                         QStringLiteral("Emite Comprovante"));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_view.connectJob(
        this, m_msg, [this] { sendPackage(); }, [this] { interrupt(); }, [this] { printReceipt(); });

    folderEdit->setText(QDir::toNativeSeparators(m_work.transferDir));
    folderEdit->setMinimumWidth(380);
    m_view.progress->hide();
    m_view.result->hide();
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
    return StepParts::memoLines(m_view.memo);
}

void TransferWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_view.action->isEnabled())
        m_view.action->setFocus();
}

void TransferWindow::reject()
{
    if (m_running) // the transfer ends through "Interrompe Transferência"
        return;
    QDialog::reject();
}

void TransferWindow::addMemo(const QString &line)
{
    m_view.memo->appendPlainText(line);
}

void TransferWindow::showResult()
{
    m_view.ended();
}

void TransferWindow::sendPackage()
{
    if (m_started)
        return;
    m_view.started();
    transferTick->hide();
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
    m_view.bar->setValue(0);
    // Progress comes from the worker; the window shows it on its own thread.
    m_transfer->setProgress([this](qint64 done, qint64 total) {
        QMetaObject::invokeMethod(
            this, [this, done, total] { progressed(done, total); }, Qt::QueuedConnection);
    });
    m_running = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!m_runner) {
        m_runner = std::make_unique<JobRunner>();
        connect(m_runner.get(), &JobRunner::finished, this, guarded(m_msg, [this] { sendingEnded(); }));
    }
    m_runner->start([transfer = m_transfer.get()](JobProgress &) { transfer->send(); });
}

TransferWindow::~TransferWindow()
{
    if (m_runner && m_runner->isRunning()) {
        m_transfer->setLines({});
        m_transfer->interrupt();
        m_runner.reset();
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
    m_view.bar->setValue(qMin(shown, m_view.bar->maximum() - 1));
}

void TransferWindow::sendingEnded()
{
    QApplication::restoreOverrideCursor();
    m_running = false;
    showResult();
    const std::unique_ptr<PackageTransfer> transfer = std::move(m_transfer);
    const PackageTransfer::Outcome outcome = transfer->finish();
    if (outcome == PackageTransfer::Outcome::NotSent)
        return;
    transferTick->show();
    m_view.bar->setValue(m_view.bar->maximum());
    if (outcome != PackageTransfer::Outcome::Delivered)
        return;
    m_succeeded = true;
    m_view.receipt->setEnabled(true);
}

void TransferWindow::interrupt()
{
    m_view.interrupt->setEnabled(false);
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
