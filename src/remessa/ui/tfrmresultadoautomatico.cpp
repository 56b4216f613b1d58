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
#include "widgets/stepparts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A step's mark, hidden until the step is done.
QCheckBox *hiddenTick(QWidget *parent, const QString &name, const QString &accessible)
{
    QCheckBox *c = StepParts::tick(parent, name, accessible);
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
            w.m_view.interrupt->setEnabled(false);
        });
    }
    void synchronising(bool accepted) override
    {
        w.m_fetch->post([this, accepted] {
            w.m_view.interrupt->setEnabled(false);
            w.m_syncGroup->show();
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

    m_view.addButtons(this, layout, QStringLiteral("BtResultado"), QStringLiteral("Recebe Resultado"),
                      QStringLiteral("BtCancela"));
    m_view.action->setDefault(true);

    m_view.addProgress(this, layout, QStringLiteral("Acompanhamento "));
    QGroupBox *progressGroup = m_view.progress;
    infoTick = hiddenTick(progressGroup, QStringLiteral("CkInformacoes"), QStringLiteral("Informações recuperadas"));
    transferTick = hiddenTick(progressGroup, QStringLiteral("CkTransferencia"),
                              QStringLiteral("Transferência concluída"));
    downloadEdit = DialogParts::readOnlyField(progressGroup, QStringLiteral("EdArquivoDownload"));
    downloadEdit->setAccessibleName(QStringLiteral("Arquivo de resultado"));
    m_view.closeProgress(3, QStringLiteral("PbTransferencia"), QStringLiteral("Interrompe"));
    m_view.bar->setRange(0, 1000);
    m_view.bar->setValue(0);
    QGridLayout *progress = m_view.progressGrid;
    progress->addWidget(new QLabel(QStringLiteral("Recupera Informações Sobre Resultado..."), progressGroup), 0, 0);
    progress->addWidget(infoTick, 0, 1);
    progress->addWidget(new QLabel(QStringLiteral("Transferindo Arquivo..."), progressGroup), 1, 0);
    progress->addWidget(transferTick, 1, 1);
    progress->addWidget(downloadEdit, 2, 0, 1, 2);
    progress->setColumnStretch(0, 1);

    m_view.addResultMemo(this, layout, QStringLiteral("Resultado Final  "), QStringLiteral("Resultado Final"),
                         QStringLiteral("BtRelatorio"), QStringLiteral("Emite Relatório"));

    m_syncGroup = new QGroupBox(QStringLiteral("Sincronização da Base de Dados"), this);
    m_syncGroup->setObjectName(QStringLiteral("GbSincroniza"));
    syncLabel = new QLabel(AutomaticResult::Syncing, m_syncGroup);
    syncLabel->setObjectName(QStringLiteral("LbSincroniza"));
    syncTick = hiddenTick(m_syncGroup, QStringLiteral("CkSincroniza"), QStringLiteral("Sincronização concluída"));
    StepParts::addRow(layout, m_syncGroup, syncLabel, syncTick);
    syncLabel->hide();

    fileList = new QListWidget(this);
    fileList->setObjectName(QStringLiteral("ListaArq"));
    fileList->hide();
    layout->setSizeConstraint(QLayout::SetFixedSize);
    packageEdit->setMinimumWidth(360);
    for (QGroupBox *g : {m_view.progress, m_view.result, m_syncGroup})
        g->hide();

    m_fetch = new BackgroundWork(m_db, m_msg, this);
    m_steps = std::make_unique<Steps>(*this);
    m_ftp.onListItem = [this](const QString &name) { m_fetch->post([this, name] { fileList->addItem(name); }); };
    m_ftp.onProgress = [this](qint64 done, qint64 total) {
        const int value = total > 0 ? int(qMin(done, total) * 1000 / total) : 0;
        m_fetch->post([this, value] { m_view.bar->setValue(value); });
    };
    connect(m_fetch, &BackgroundWork::finished, this, guarded(m_msg, [this] { fetchEnded(); }));
    m_view.connectJob(
        this, m_msg, [this] { fetchResult(); }, [this] { interrupt(); }, [this] { printReceipt(); });

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
    return StepParts::memoLines(m_view.memo);
}

void TFrmResultadoAutomatico::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_view.action->isEnabled())
        m_view.action->setFocus();
}

void TFrmResultadoAutomatico::reject()
{
    if (m_running) // the fetch ends through "Interrompe"
        return;
    QDialog::reject();
}

void TFrmResultadoAutomatico::addMemo(const QString &line)
{
    m_view.memo->appendPlainText(line);
}

void TFrmResultadoAutomatico::showResult()
{
    m_view.ended();
}

void TFrmResultadoAutomatico::fetchResult()
{
    if (m_started)
        return;
    m_started = true;
    m_interrupted = false;
    m_view.started();
    m_view.exit->setEnabled(false);
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
    m_view.interrupt->setEnabled(false);
    if (!m_result.connectError.isEmpty()) {
        // A refused connection is no step of the fetch: the window's warning.
        ErrorLog::append(m_result.connectError, QStringLiteral("FtpFailure"));
        m_msg.warning(m_result.connectError);
    }
    switch (m_result.outcome) {
    case AutomaticResult::Outcome::Accepted:
        syncLabel->setText(AutomaticResult::SyncDone);
        syncTick->show();
        m_view.receipt->setEnabled(true);
        break;
    case AutomaticResult::Outcome::Rejected: m_view.receipt->setEnabled(true); break;
    case AutomaticResult::Outcome::NotAvailable: infoTick->show(); break;
    case AutomaticResult::Outcome::Failed:
        // Nothing was written: the remittance still waits for its result.
        if (m_syncGroup->isVisible())
            syncLabel->setText(AutomaticResult::SyncNotDone);
        break;
    }
    showResult();
}

void TFrmResultadoAutomatico::interrupt()
{
    m_view.interrupt->setEnabled(false);
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
