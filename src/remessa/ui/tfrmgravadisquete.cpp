#include "remessa/ui/tfrmgravadisquete.h"

#include "remessa/ui/transferreceipt.h"
#include "reports/ui/bandedreport.h"
#include "reports/ui/reportpreview.h"
#include "widgets/dialogparts.h"
#include "widgets/folderchooser.h"
#include "widgets/guardedslot.h"

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
    EdDiretorio = DialogParts::readOnlyField(file, QStringLiteral("EdDiretorio"));
    EdArquivoTransferencia = DialogParts::readOnlyField(file, QStringLiteral("EdArquivoTransferencia"));
    fileForm->addRow(DialogParts::label(file, QStringLiteral("LbDiretorio"), QStringLiteral("Diretório"), EdDiretorio),
                     EdDiretorio);
    fileForm->addRow(DialogParts::label(file, QStringLiteral("LbArquivo"), QStringLiteral("Nome do Arquivo"),
                                        EdArquivoTransferencia),
                     EdArquivoTransferencia);
    layout->addWidget(file);

    auto *dest = new QGroupBox(QStringLiteral("Unidade de disquete para gravação do arquivo"), this);
    auto *destRow = new QHBoxLayout(dest);
    EdDestino = DialogParts::readOnlyField(dest, QStringLiteral("EdDestino"));
    EdDestino->setAccessibleName(QStringLiteral("Destino"));
    BtBrowse = DialogParts::button(dest, QStringLiteral("BtBrowse"), QStringLiteral("Browse..."));
    destRow->addWidget(EdDestino, 1);
    destRow->addWidget(BtBrowse);
    layout->addWidget(dest);

    GbAcompanhamento = new QGroupBox(QStringLiteral("Acompanhamento da Gravação"), this);
    GbAcompanhamento->setObjectName(QStringLiteral("GbAcompanhamento"));
    auto *progress = new QGridLayout(GbAcompanhamento);
    LbGravando = new QLabel(QStringLiteral("Gravando Arquivo..."), GbAcompanhamento);
    CkGravando = new QCheckBox(GbAcompanhamento);
    CkGravando->setObjectName(QStringLiteral("CkGravando"));
    CkGravando->setChecked(true);
    CkGravando->setEnabled(false);
    CkGravando->setAccessibleName(QStringLiteral("Gravação concluída"));
    PbGravacao = new QProgressBar(GbAcompanhamento);
    PbGravacao->setObjectName(QStringLiteral("PbGravacao"));
    BtInterrompe = DialogParts::button(GbAcompanhamento, QStringLiteral("BtInterrompe"),
                                       QStringLiteral("Interrompe Gravação"));
    progress->addWidget(LbGravando, 0, 0);
    progress->addWidget(CkGravando, 0, 1);
    progress->addWidget(PbGravacao, 1, 0, 1, 2);
    progress->addWidget(BtInterrompe, 2, 0, 1, 2, Qt::AlignRight);
    layout->addWidget(GbAcompanhamento);

    GbResultado = new QGroupBox(QStringLiteral("Resultado Final da Gravação"), this);
    GbResultado->setObjectName(QStringLiteral("GbResultado"));
    auto *resultRow = new QHBoxLayout(GbResultado);
    EdResultado = DialogParts::readOnlyField(GbResultado, QStringLiteral("EdResultado"));
    EdResultado->setAccessibleName(QStringLiteral("Resultado Final da Gravação"));
    BtComprovante = DialogParts::button(GbResultado, QStringLiteral("BtComprovante"),
                                        QStringLiteral("Emite Comprovante"));
    BtComprovante->setEnabled(false);
    resultRow->addWidget(EdResultado, 1);
    resultRow->addWidget(BtComprovante);
    layout->addWidget(GbResultado);

    BtGrava = DialogParts::button(this, QStringLiteral("BtGrava"), QStringLiteral("Grava"));
    btCancela = DialogParts::button(this, QStringLiteral("btCancela"), QStringLiteral("Cancela"));
    BtSaida = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtGrava);
    buttons->addWidget(btCancela);
    buttons->addWidget(BtSaida);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BtBrowse, &QPushButton::clicked, this, guarded(m_msg, [this] { BtBrowseClick(); }));
    connect(BtGrava, &QPushButton::clicked, this, guarded(m_msg, [this] { BtGravaClick(); }));
    connect(BtInterrompe, &QPushButton::clicked, this, [this] { BtInterrompeClick(); });
    connect(BtComprovante, &QPushButton::clicked, this, guarded(m_msg, [this] { BtComprovanteClick(); }));
    connect(btCancela, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::reject);

    EdDiretorio->setText(QDir::toNativeSeparators(m_work.transferDir));
    EdDestino->setMinimumWidth(360);
    GbAcompanhamento->hide();
    GbResultado->hide();
    setFileName(m_work.remittance.packageName);
}

void TFrmGravaDisquete::setFileName(const QString &fileName)
{
    m_fileName = fileName;
    EdArquivoTransferencia->setText(fileName);
}

void TFrmGravaDisquete::setDestination(const QString &folder)
{
    EdDestino->setText(RemessaWork::folder(folder));
}

void TFrmGravaDisquete::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    BtBrowse->setFocus();
}

void TFrmGravaDisquete::reject()
{
    if (m_running) // the copy ends through "Interrompe Gravação"
        return;
    QDialog::reject();
}

void TFrmGravaDisquete::BtBrowseClick()
{
    const QString chosen = FolderChooser::choose(FolderChooser::Face::Transfer, this, EdDestino->text());
    if (!chosen.isEmpty())
        setDestination(chosen);
}

void TFrmGravaDisquete::BtGravaClick()
{
    if (m_running)
        return;
    m_interrupted.store(false);
    m_copy = std::make_unique<FolderTransfer::Copy>(m_db, m_msg, m_work, m_fileName, EdDestino->text());
    if (!m_copy->begin()) {
        m_copy.reset(); // refused before copying: nothing changed
        return;
    }
    m_running = true;
    BtBrowse->setEnabled(false);
    BtGrava->setEnabled(false);
    btCancela->setEnabled(false);
    CkGravando->hide();
    PbGravacao->setRange(0, 1000);
    PbGravacao->setValue(0);
    GbAcompanhamento->show();
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
    GbResultado->show();
    EdResultado->setText(m_result.text);
    BtInterrompe->setEnabled(false);
    if (m_result.status == FolderTransfer::Status::Done) {
        CkGravando->show();
        BtComprovante->setEnabled(true);
    }
    BtSaida->setFocus();
}

void TFrmGravaDisquete::blockCopied(qint64 done, qint64 total)
{
    const int value = total > 0 ? static_cast<int>(done * 1000 / total) : 1000;
    QMetaObject::invokeMethod(
        this, [this, value] { PbGravacao->setValue(value); }, Qt::QueuedConnection);
}

void TFrmGravaDisquete::BtInterrompeClick()
{
    BtInterrompe->setEnabled(false);
    m_interrupted.store(true);
}

BandedReport TFrmGravaDisquete::receipt(const RemessaWork &work, const QString &copiedPath)
{
    return TransferReceipt::forFolderCopy(work, QDir::toNativeSeparators(copiedPath));
}

void TFrmGravaDisquete::BtComprovanteClick()
{
    ReportPreview::exec(receipt(m_work, m_result.copiedPath), this, m_msg);
}
