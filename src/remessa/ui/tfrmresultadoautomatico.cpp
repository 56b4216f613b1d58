#include "remessa/ui/tfrmresultadoautomatico.h"

#include "base/errorlog.h"
#include "base/messenger.h"
#include "db/dberror.h"
#include "net/ftpfailure.h"
#include "remessa/ui/backgroundwork.h"
#include "remessa/ui/transferreceipt.h"
#include "reports/bandedreport.h"
#include "shell/configlocal.h"
#include "shell/exceptionhandler.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/reportpreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {


QCheckBox *tick(QWidget *parent, const QString &name, const QString &accessible)
{
    auto *c = new QCheckBox(parent);
    c->setObjectName(name);
    c->setChecked(true);
    c->setEnabled(false);
    c->setAccessibleName(accessible);
    c->hide();
    return c;
}

}

// The fetch's steps, told on the worker, as the window shows them on its own
// thread.
class TFrmResultadoAutomatico::Steps : public AutomaticResult::Observer
{
public:
    explicit Steps(TFrmResultadoAutomatico &w)
        : w(w)
    { }
    void line(const QString &l) override
    {
        w.m_fetch->post([this, l] { w.addMemo(l); });
    }
    void listed() override
    {
        w.m_fetch->post([this] { w.infoTick->show(); });
    }
    void found(const QString &name) override
    {
        w.m_fetch->post([this, name] { w.downloadEdit->setText(name); });
    }
    void downloaded() override
    {
        w.m_fetch->post([this] {
            w.transferTick->show();
            w.interruptButton->setEnabled(false);
        });
    }
    void synchronising(bool accepted) override
    {
        w.m_fetch->post([this, accepted] {
            w.interruptButton->setEnabled(false);
            w.syncGroup->show();
            w.syncLabel->setText(accepted ? AutomaticResult::Syncing : AutomaticResult::NothingToSync);
            w.syncLabel->show();
        });
    }
    bool interrupted() const override { return w.m_interrupted.load(); }

private:
    TFrmResultadoAutomatico &w;
};

TFrmResultadoAutomatico::TFrmResultadoAutomatico(const RemessaWork &work, Database &db, Messenger &messenger,
                                                 QWidget *parent)
    : QDialog(parent),
      m_work(work),
      m_db(db),
      m_msg(messenger)
{
    setObjectName(QStringLiteral("FrmResultadoAutomatico"));
    setWindowTitle(QStringLiteral("Recebe Resultado Automático"));
    auto *layout = new QVBoxLayout(this);

    auto *address = new QGroupBox(QStringLiteral("Endereço Quelora para Busca do Resultado"), this);
    auto *addressRow = new QVBoxLayout(address);
    resultAddressEdit = DialogParts::readOnlyField(address, QStringLiteral("EdEndResultado"));
    resultAddressEdit->setAccessibleName(address->title());
    addressRow->addWidget(resultAddressEdit);
    layout->addWidget(address);

    auto *data = new QGroupBox(QStringLiteral("Dados da Remessa: "), this);
    auto *form = new QFormLayout(data);
    numberEdit = DialogParts::readOnlyField(data, QStringLiteral("EdNumeroRemessa"));
    packageEdit = DialogParts::readOnlyField(data, QStringLiteral("EdArquivoRemessa"));
    form->addRow(
        DialogParts::label(data, QStringLiteral("LbNumero"), QStringLiteral("Número da Remessa: "), numberEdit),
        numberEdit);
    form->addRow(DialogParts::label(data, QStringLiteral("LbArquivo"), QStringLiteral("Arquivo Enviado ao Quelora: "),
                                    packageEdit),
                 packageEdit);
    layout->addWidget(data);

    fetchButton = DialogParts::button(this, QStringLiteral("BtResultado"), QStringLiteral("Recebe Resultado"));
    cancelButton = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    exitButton = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    fetchButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(fetchButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(exitButton);
    layout->addLayout(buttons);

    progressGroup = new QGroupBox(QStringLiteral("Acompanhamento "), this);
    progressGroup->setObjectName(QStringLiteral("GbAcompanhamento"));
    auto *progress = new QGridLayout(progressGroup);
    infoTick = tick(progressGroup, QStringLiteral("CkInformacoes"), QStringLiteral("Informações recuperadas"));
    transferTick = tick(progressGroup, QStringLiteral("CkTransferencia"), QStringLiteral("Transferência concluída"));
    downloadEdit = DialogParts::readOnlyField(progressGroup, QStringLiteral("EdArquivoDownload"));
    downloadEdit->setAccessibleName(QStringLiteral("Arquivo de resultado"));
    transferProgress = new QProgressBar(progressGroup);
    transferProgress->setObjectName(QStringLiteral("PbTransferencia"));
    transferProgress->setRange(0, 1000);
    transferProgress->setValue(0);
    interruptButton = DialogParts::button(progressGroup, QStringLiteral("BtInterrompe"), QStringLiteral("Interrompe"));
    progress->addWidget(new QLabel(QStringLiteral("Recupera Informações Sobre Resultado..."), progressGroup), 0, 0);
    progress->addWidget(infoTick, 0, 1);
    progress->addWidget(new QLabel(QStringLiteral("Transferindo Arquivo..."), progressGroup), 1, 0);
    progress->addWidget(transferTick, 1, 1);
    progress->addWidget(downloadEdit, 2, 0, 1, 2);
    progress->addWidget(transferProgress, 3, 0, 1, 2);
    progress->addWidget(interruptButton, 4, 0, 1, 2, Qt::AlignRight);
    progress->setColumnStretch(0, 1);
    layout->addWidget(progressGroup);

    resultGroup = new QGroupBox(QStringLiteral("Resultado Final  "), this);
    resultGroup->setObjectName(QStringLiteral("GbResultado"));
    auto *result = new QVBoxLayout(resultGroup);
    resultMemo = new QPlainTextEdit(resultGroup);
    resultMemo->setObjectName(QStringLiteral("MmResultado"));
    resultMemo->setReadOnly(true);
    resultMemo->setAccessibleName(QStringLiteral("Resultado Final"));
    resultMemo->setMinimumHeight(150);
    receiptButton = DialogParts::button(resultGroup, QStringLiteral("BtRelatorio"), QStringLiteral("Emite Relatório"));
    receiptButton->setEnabled(false);
    result->addWidget(resultMemo);
    result->addWidget(receiptButton, 0, Qt::AlignRight);
    layout->addWidget(resultGroup);

    syncGroup = new QGroupBox(QStringLiteral("Sincronização da Base de Dados"), this);
    syncGroup->setObjectName(QStringLiteral("GbSincroniza"));
    auto *syncRow = new QHBoxLayout(syncGroup);
    syncLabel = new QLabel(AutomaticResult::Syncing, syncGroup);
    syncLabel->setObjectName(QStringLiteral("LbSincroniza"));
    syncTick = tick(syncGroup, QStringLiteral("CkSincroniza"), QStringLiteral("Sincronização concluída"));
    syncRow->addWidget(syncLabel, 1);
    syncRow->addWidget(syncTick);
    syncLabel->hide();
    layout->addWidget(syncGroup);

    fileList = new QListWidget(this);
    fileList->setObjectName(QStringLiteral("ListaArq"));
    fileList->hide();
    layout->setSizeConstraint(QLayout::SetFixedSize);
    packageEdit->setMinimumWidth(360);
    for (QGroupBox *g : {progressGroup, resultGroup, syncGroup})
        g->hide();

    m_fetch = new BackgroundWork(m_db, m_msg, this);
    m_steps = std::make_unique<Steps>(*this);
    m_ftp.onListItem = [this](const QString &name) { m_fetch->post([this, name] { fileList->addItem(name); }); };
    m_ftp.onProgress = [this](qint64 done, qint64 total) {
        const int value = total > 0 ? int(qMin(done, total) * 1000 / total) : 0;
        m_fetch->post([this, value] { transferProgress->setValue(value); });
    };
    connect(m_fetch, &BackgroundWork::finished, this, guarded(m_msg, [this] { fetchEnded(); }));
    connect(fetchButton, &QPushButton::clicked, this, guarded(m_msg, [this] { fetchResult(); }));
    connect(interruptButton, &QPushButton::clicked, this, [this] { interrupt(); });
    connect(receiptButton, &QPushButton::clicked, this, guarded(m_msg, [this] { printReceipt(); }));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

    numberEdit->setText(m_work.remittance.number);
    packageEdit->setText(m_work.remittance.packageName);
    if (const auto config = ConfigLocalStore::read(m_db))
        resultAddressEdit->setText(config->endQueloraResult);
}

TFrmResultadoAutomatico::~TFrmResultadoAutomatico()
{
    // The worker reports into this window: it ends before the window goes.
    m_interrupted.store(true);
    m_ftp.abort();
    delete m_fetch;
}

void TFrmResultadoAutomatico::setPackageName(const QString &packageName)
{
    m_work.remittance = m_work.remittance.withPackageNamed(m_work.transferDir, packageName);
    packageEdit->setText(packageName);
}

QStringList TFrmResultadoAutomatico::resultLines() const
{
    const QString text = resultMemo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TFrmResultadoAutomatico::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (fetchButton->isEnabled())
        fetchButton->setFocus();
}

void TFrmResultadoAutomatico::reject()
{
    if (m_running) // the fetch ends through "Interrompe"
        return;
    QDialog::reject();
}

void TFrmResultadoAutomatico::addMemo(const QString &line)
{
    resultMemo->appendPlainText(line);
}

void TFrmResultadoAutomatico::showResult()
{
    interruptButton->setEnabled(false);
    resultGroup->show();
    exitButton->setEnabled(true);
    exitButton->setFocus();
}

void TFrmResultadoAutomatico::fetchResult()
{
    if (m_started)
        return;
    m_started = true;
    m_interrupted = false;
    progressGroup->show();
    fetchButton->setEnabled(false);
    cancelButton->setEnabled(false);
    exitButton->setEnabled(false);
    fileList->clear();

    const std::optional<ConfigLocal> config = ConfigLocalStore::read(m_db);
    QString problem = AutomaticResult::precondition(m_work);
    if (problem.isEmpty() && !config)
        problem = QStringLiteral("O certificador não está configurado.");
    if (!problem.isEmpty()) {
        m_msg.warning(problem);
        addMemo(problem);
        showResult();
        return;
    }

    m_running = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_fetch->start([this, config = *config](Database &db, Messenger &messenger) {
        m_result = AutomaticResult::fetch(db, messenger, m_work, config, m_ftp, *m_steps);
    });
}

void TFrmResultadoAutomatico::fetchEnded()
{
    m_running = false;
    QApplication::restoreOverrideCursor();
    try {
        m_fetch->rethrow();
    } catch (const std::exception &e) {
        if (!m_interrupted.load())
            addMemo(FtpTexts::TransferError);
        showResult();
        ExceptionHandler::handle(e, m_msg);
        return;
    }
    interruptButton->setEnabled(false);
    if (!m_result.connectError.isEmpty()) {
        // A refused connection is no step of the fetch: the window's warning.
        ErrorLog::append(m_result.connectError, QStringLiteral("FtpFailure"));
        m_msg.warning(m_result.connectError);
    }
    switch (m_result.outcome) {
    case AutomaticResult::Outcome::Accepted:
        syncLabel->setText(AutomaticResult::SyncDone);
        syncTick->show();
        receiptButton->setEnabled(true);
        break;
    case AutomaticResult::Outcome::Rejected: receiptButton->setEnabled(true); break;
    case AutomaticResult::Outcome::NotAvailable: infoTick->show(); break;
    case AutomaticResult::Outcome::Failed:
        // Nothing was written: the remittance still waits for its result.
        if (syncGroup->isVisible())
            syncLabel->setText(AutomaticResult::SyncNotDone);
        break;
    }
    showResult();
}

void TFrmResultadoAutomatico::interrupt()
{
    interruptButton->setEnabled(false);
    if (!m_running)
        return;
    addMemo(FtpTexts::Interrupted);
    m_interrupted.store(true);
    m_ftp.abort();
}

BandedReport TFrmResultadoAutomatico::receipt() const
{
    return TransferReceipt::forResult(m_work, m_result.resultName, m_result.verdict, resultLines());
}

void TFrmResultadoAutomatico::printReceipt()
{
    ReportPreview::exec(receipt(), this, m_msg);
}
