#include "remessa/ui/tfrmgravadisquete.h"

#include "remessa/ui/transferreceipt.h"
#include "reports/bandedreport.h"
#include "widgets/dialogparts.h"
#include "widgets/folderchooser.h"
#include "widgets/guardedslot.h"
#include "widgets/jobrunner.h"
#include "widgets/reportpreview.h"
#include "widgets/stepparts.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
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

    const StepParts::FileFields file = StepParts::addFileGroup(this, layout);
    folderEdit = file.folder;
    packageEdit = file.name;

    auto *dest = new QGroupBox(QStringLiteral("Unidade de disquete para gravação do arquivo"), this);
    destinationEdit = DialogParts::readOnlyField(dest, QStringLiteral("EdDestino"));
    destinationEdit->setAccessibleName(QStringLiteral("Destino"));
    browseButton = DialogParts::button(dest, QStringLiteral("BtBrowse"), QStringLiteral("Browse..."));
    StepParts::addRow(layout, dest, destinationEdit, browseButton);

    m_view.addProgress(this, layout, QStringLiteral("Acompanhamento da Gravação"));
    copyingLabel = new QLabel(QStringLiteral("Gravando Arquivo..."), m_view.progress);
    copyingTick = StepParts::tick(m_view.progress, QStringLiteral("CkGravando"), QStringLiteral("Gravação concluída"));
    m_view.progressGrid->addWidget(copyingLabel, 0, 0);
    m_view.progressGrid->addWidget(copyingTick, 0, 1);
    m_view.closeProgress(1, QStringLiteral("PbGravacao"), QStringLiteral("Interrompe Gravação"));

    QGroupBox *result = m_view.resultGroup(this, QStringLiteral("Resultado Final da Gravação"));
    resultEdit = DialogParts::readOnlyField(result, QStringLiteral("EdResultado"));
    resultEdit->setAccessibleName(QStringLiteral("Resultado Final da Gravação"));
    m_view.receiptButton(result, QStringLiteral("BtComprovante"), QStringLiteral("Emite Comprovante"));
    StepParts::addRow(layout, result, resultEdit, m_view.receipt);

    m_view.addButtons(this, layout, QStringLiteral("BtGrava"), QStringLiteral("Grava"), QStringLiteral("btCancela"));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(browseButton, &QPushButton::clicked, this, guarded(m_msg, [this] { chooseDestination(); }));
    m_view.connectJob(
        this, m_msg, [this] { copyPackage(); }, [this] { interrupt(); }, [this] { printReceipt(); });

    folderEdit->setText(QDir::toNativeSeparators(m_work.transferDir));
    destinationEdit->setMinimumWidth(360);
    m_view.progress->hide();
    m_view.result->hide();
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
    copyingTick->hide();
    m_view.bar->setRange(0, 1000);
    m_view.bar->setValue(0);
    m_view.started();
    if (!m_runner) {
        m_runner = std::make_unique<JobRunner>();
        connect(m_runner.get(), &JobRunner::finished, this, guarded(m_msg, [this] { copyEnded(); }));
    }
    m_runner->start([this](JobProgress &) { m_copy->copy(*this); });
}

TFrmGravaDisquete::~TFrmGravaDisquete()
{
    if (m_runner && m_runner->isRunning()) {
        m_interrupted.store(true);
        m_runner.reset();
    }
}

void TFrmGravaDisquete::copyEnded()
{
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
    resultEdit->setText(m_result.text);
    if (m_result.status == FolderTransfer::Status::Done) {
        copyingTick->show();
        m_view.receipt->setEnabled(true);
    }
    m_view.ended();
}

void TFrmGravaDisquete::blockCopied(qint64 done, qint64 total)
{
    const int value = total > 0 ? static_cast<int>(done * 1000 / total) : 1000;
    QMetaObject::invokeMethod(
        this, [this, value] { m_view.bar->setValue(value); }, Qt::QueuedConnection);
}

void TFrmGravaDisquete::interrupt()
{
    m_view.interrupt->setEnabled(false);
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
