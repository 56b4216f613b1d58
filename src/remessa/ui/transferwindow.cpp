#include "remessa/ui/transferwindow.h"

#include "base/fileutil.h"
#include "base/messenger.h"
#include "base/textutil.h"
#include "db/database.h"
#include "net/ftpfailure.h"
#include "remessa/transferdelivery.h"
#include "remessa/txtsending.h"
#include "remessa/ui/transferreceipt.h"
#include "reports/ui/bandedreport.h"
#include "reports/ui/reportpreview.h"
#include "shell/configlocal.h"
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
#include <QVBoxLayout>

namespace { }

TransferWindow::TransferWindow(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent)
    : QDialog(parent),
      m_work(work),
      m_db(db),
      m_msg(messenger)
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
}

void TransferWindow::setFileName(const QString &fileName)
{
    EdArquivoTransferencia->setText(fileName);
}

QString TransferWindow::fileName() const
{
    return EdArquivoTransferencia->text();
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
    m_failed = m_interrupted = false;
    m_failureText.clear();
    BtTransfere->setEnabled(false);
    BtCancela->setEnabled(false);
    m_started = true;

    const std::optional<ConfigLocal> config = ConfigLocalStore::read(m_db);
    const QString name = fileName();
    QString toSend = name;
    if (TransferDelivery::isTxt(name)) {
        toSend = TxtSending::packageName(name);
        if (!TxtSending::package(m_work.transferDir, name, m_msg)) {
            showResult();
            return;
        }
    }
    const QString path = QDir(m_work.transferDir).filePath(toSend);
    m_size = name.isEmpty() ? -1 : FileUtil::fileSize(path);
    if (m_size <= 0 || !config) {
        m_msg.warning(QStringLiteral("O arquivo não foi encontrado no diretório indicado. Favor verificar."));
        showResult();
        return;
    }
    m_delivery = std::make_unique<TransferDelivery::Delivery>(m_db, name, m_work.number);
    if (const QString refused = m_delivery->begin(); !refused.isEmpty()) {
        m_delivery.reset();
        m_msg.error(refused);
        showResult();
        return;
    }
    EdTamanho->setText(QString::number(m_size));
    EdTransferidos->setText(QStringLiteral("0"));
    PbTransferencia->setValue(0);
    m_sent = 0;
    m_startTime = QTime::currentTime();
    addMemo(QStringLiteral("Usuário Responsável : ") + m_work.userName);
    addMemo(QStringLiteral("Tamanho do arquivo : %1 bytes").arg(m_size));
    addMemo(QStringLiteral("Hora inicio: ") + TextUtil::clock(m_startTime));
    m_running = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    startSending(path, *config);
}

void TransferWindow::progressed(qint64 done, qint64 total)
{
    if (total <= 0)
        total = m_size;
    m_sent = done;
    EdTransferidos->setText(QString::number(done));
    // Bytes handed to the network are not bytes the server kept: the bar
    // reaches its end only when the server has confirmed the whole file.
    const int shown = total > 0 ? static_cast<int>(qMin(done, total) * 1000 / total) : 0;
    PbTransferencia->setValue(qMin(shown, PbTransferencia->maximum() - 1));
}

void TransferWindow::connectFailed(const QString &clientMessage)
{
    QApplication::restoreOverrideCursor();
    m_running = false;
    m_delivery.reset();
    if (!m_interrupted) {
        m_msg.error(FtpTexts::connectError(clientMessage));
        addMemo(FtpTexts::TransferError);
    }
    showResult();
}

void TransferWindow::noteFailure(const QString &text)
{
    m_failed = true;
    m_failureText = text;
    BtInterrompe->setEnabled(false);
}

void TransferWindow::sendingEnded(bool ok)
{
    QApplication::restoreOverrideCursor();
    m_running = false;
    addMemo(QStringLiteral("Tamanho do arquivo : %1 bytes").arg(m_size));
    showResult();
    // Only a whole delivery keeps the register's marker up to its record.
    std::unique_ptr<TransferDelivery::Delivery> delivery = std::move(m_delivery);
    if (m_interrupted)
        return;
    if (m_failed) {
        addMemo(FtpTexts::transferNotDone(m_failureText));
        addMemo(m_failureText);
        return;
    }
    if (!ok) {
        addMemo(FtpTexts::TransferError);
        return;
    }
    const QTime end = QTime::currentTime();
    addMemo(QStringLiteral("Hora fim: ") + TextUtil::clock(end));
    addMemo(QStringLiteral("Bytes transferidos: ") + EdTransferidos->text());
    addMemo(QStringLiteral("Taxa de transferência: ") + FileUtil::transferRate(m_sent, m_startTime, end) +
            QStringLiteral(" bytes/seg"));
    addMemo(QStringLiteral("Transferência realizada com sucesso."));
    CkTransferencia->show();
    PbTransferencia->setValue(PbTransferencia->maximum());
    bool recorded = false;
    try {
        recorded = delivery && delivery->delivered(m_work.userCode, m_work.userName, QString());
    } catch (const RegisterStep::Refused &e) {
        m_msg.error(e.message());
        return;
    }
    if (!recorded) {
        m_msg.error(QStringLiteral("O arquivo foi enviado, mas o registro em CONTROLE_TXT falhou."));
        return;
    }
    m_succeeded = true;
    BtComprovante->setEnabled(true);
}

void TransferWindow::BtInterrompeClick()
{
    BtInterrompe->setEnabled(false);
    if (!m_running)
        return;
    addMemo(FtpTexts::Interrupted);
    m_interrupted = true;
    abortSending();
}

BandedReport TransferWindow::receipt() const
{
    return TransferReceipt::forTransfer(m_work, fileName(), resultLines());
}

void TransferWindow::BtComprovanteClick()
{
    ReportPreview::exec(receipt(), this, m_msg);
}
