#include "remessa/ui/transferwindow.h"

#include "base/messenger.h"
#include "remessa/ui/transferreceipt.h"
#include "reports/ui/bandedreport.h"
#include "reports/ui/reportpreview.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

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
    EdDiretorio = DialogParts::readOnlyField(file, QStringLiteral("EdDiretorio"));
    EdArquivoTransferencia = DialogParts::readOnlyField(file, QStringLiteral("EdArquivoTransferencia"));
    fileForm->addRow(DialogParts::label(file, QStringLiteral("LbDiretorio"), QStringLiteral("Diretório"), EdDiretorio),
                     EdDiretorio);
    fileForm->addRow(DialogParts::label(file, QStringLiteral("LbArquivo"), QStringLiteral("Nome do Arquivo"),
                                        EdArquivoTransferencia),
                     EdArquivoTransferencia);
    layout->addWidget(file);

    m_destination = new QGroupBox(this);
    m_destination->setObjectName(QStringLiteral("GbDestino"));
    layout->addWidget(m_destination);

    BtTransfere = DialogParts::button(this, QStringLiteral("BtTransfere"), QStringLiteral("Transfere"));
    BtCancela = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    BtSaida = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    BtTransfere->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtTransfere);
    buttons->addWidget(BtCancela);
    buttons->addWidget(BtSaida);
    layout->addLayout(buttons);

    GbAcompanhamento = new QGroupBox(QStringLiteral("Acompanhamento da Transferência"), this);
    GbAcompanhamento->setObjectName(QStringLiteral("GbAcompanhamento"));
    auto *progress = new QGridLayout(GbAcompanhamento);
    auto *sending = new QLabel(QStringLiteral("Transferindo Arquivo..."), GbAcompanhamento);
    CkTransferencia = new QCheckBox(GbAcompanhamento);
    CkTransferencia->setObjectName(QStringLiteral("CkTransferencia"));
    CkTransferencia->setChecked(true);
    CkTransferencia->setEnabled(false);
    CkTransferencia->setAccessibleName(QStringLiteral("Transferência concluída"));
    EdTamanho = DialogParts::readOnlyField(GbAcompanhamento, QStringLiteral("EdTamanho"));
    EdTransferidos = DialogParts::readOnlyField(GbAcompanhamento, QStringLiteral("EdTransferidos"));
    PbTransferencia = new QProgressBar(GbAcompanhamento);
    PbTransferencia->setObjectName(QStringLiteral("PbTransferencia"));
    PbTransferencia->setRange(0, 1000);
    PbTransferencia->setValue(0);
    BtInterrompe = DialogParts::button(GbAcompanhamento, QStringLiteral("BtInterrompe"),
                                       QStringLiteral("Interrompe Transferência"));
    progress->addWidget(sending, 0, 0);
    progress->addWidget(CkTransferencia, 0, 1);
    progress->addWidget(DialogParts::label(GbAcompanhamento, QStringLiteral("LbTamanho"),
                                           QStringLiteral("Tamanho do Arquivo"), EdTamanho),
                        1, 0);
    progress->addWidget(EdTamanho, 1, 1);
    progress->addWidget(DialogParts::label(GbAcompanhamento, QStringLiteral("LbTransferidos"),
                                           QStringLiteral("Bytes Transferidos"), EdTransferidos),
                        2, 0);
    progress->addWidget(EdTransferidos, 2, 1);
    progress->addWidget(PbTransferencia, 3, 0, 1, 2);
    progress->addWidget(BtInterrompe, 4, 0, 1, 2, Qt::AlignRight);
    layout->addWidget(GbAcompanhamento);

    GbResultado = new QGroupBox(QStringLiteral("Resultado Final da Transferência"), this);
    GbResultado->setObjectName(QStringLiteral("GbResultado"));
    auto *result = new QVBoxLayout(GbResultado);
    MmResultado = new QPlainTextEdit(GbResultado);
    MmResultado->setObjectName(QStringLiteral("MmResultado"));
    MmResultado->setReadOnly(true);
    MmResultado->setAccessibleName(QStringLiteral("Resultado Final da Transferência"));
    MmResultado->setMinimumHeight(150);
    BtComprovante = DialogParts::button(GbResultado, QStringLiteral("BtComprovante"),
                                        QStringLiteral("Emite Comprovante"));
    BtComprovante->setEnabled(false);
    result->addWidget(MmResultado);
    result->addWidget(BtComprovante, 0, Qt::AlignRight);
    layout->addWidget(GbResultado);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BtTransfere, &QPushButton::clicked, this, guarded(m_msg, [this] { BtTransfereClick(); }));
    connect(BtInterrompe, &QPushButton::clicked, this, [this] { BtInterrompeClick(); });
    connect(BtComprovante, &QPushButton::clicked, this, guarded(m_msg, [this] { BtComprovanteClick(); }));
    connect(BtCancela, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::reject);

    EdDiretorio->setText(QDir::toNativeSeparators(m_work.transferDir));
    EdDiretorio->setMinimumWidth(380);
    GbAcompanhamento->hide();
    GbResultado->hide();
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
    EdArquivoTransferencia->setText(fileName);
}

QString TransferWindow::fileName() const
{
    return m_fileName;
}

QStringList TransferWindow::resultLines() const
{
    const QString text = MmResultado->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TransferWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (BtTransfere->isEnabled())
        BtTransfere->setFocus();
}

void TransferWindow::reject()
{
    if (m_running) // the transfer ends through "Interrompe Transferência"
        return;
    QDialog::reject();
}

void TransferWindow::addMemo(const QString &line)
{
    MmResultado->appendPlainText(line);
}

void TransferWindow::showResult()
{
    GbResultado->show();
    BtInterrompe->setEnabled(false);
    BtSaida->setFocus();
}

void TransferWindow::BtTransfereClick()
{
    if (m_started)
        return;
    GbAcompanhamento->show();
    CkTransferencia->hide();
    BtTransfere->setEnabled(false);
    BtCancela->setEnabled(false);
    m_started = true;

    m_transfer = std::make_unique<PackageTransfer>(m_db, m_msg, m_work, m_fileName, m_mode);
    m_transfer->setLines([this](const QString &line) { addMemo(line); });
    if (!m_transfer->begin()) {
        m_transfer.reset();
        showResult();
        return;
    }
    m_size = m_transfer->size();
    EdTamanho->setText(QString::number(m_size));
    EdTransferidos->setText(QStringLiteral("0"));
    PbTransferencia->setValue(0);
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
    EdTransferidos->setText(QString::number(done));
    // Bytes handed to the network are not bytes the server kept: the bar
    // reaches its end only when the server has confirmed the whole file.
    const int shown = total > 0 ? static_cast<int>(qMin(done, total) * 1000 / total) : 0;
    PbTransferencia->setValue(qMin(shown, PbTransferencia->maximum() - 1));
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
    CkTransferencia->show();
    PbTransferencia->setValue(PbTransferencia->maximum());
    if (outcome != PackageTransfer::Outcome::Delivered)
        return;
    m_succeeded = true;
    BtComprovante->setEnabled(true);
}

void TransferWindow::BtInterrompeClick()
{
    BtInterrompe->setEnabled(false);
    if (m_running)
        m_transfer->interrupt();
}

BandedReport TransferWindow::receipt() const
{
    return TransferReceipt::forTransfer(m_work, fileName(), resultLines());
}

void TransferWindow::BtComprovanteClick()
{
    ReportPreview::exec(receipt(), this, m_msg);
}
