#include "remessa/ui/tfrmresultadoautomatico.h"

#include "base/errorlog.h"
#include "base/messenger.h"
#include "db/dberror.h"
#include "net/ftpfailure.h"
#include "remessa/ui/backgroundwork.h"
#include "remessa/ui/transferreceipt.h"
#include "reports/ui/bandedreport.h"
#include "reports/ui/reportpreview.h"
#include "shell/configlocal.h"
#include "shell/exceptionhandler.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

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
        w.m_fetch->post([this] { w.CkInformacoes->show(); });
    }
    void found(const QString &name) override
    {
        w.m_fetch->post([this, name] { w.EdArquivoDownload->setText(name); });
    }
    void downloaded() override
    {
        w.m_fetch->post([this] {
            w.CkTransferencia->show();
            w.BtInterrompe->setEnabled(false);
        });
    }
    void synchronising(bool accepted) override
    {
        w.m_fetch->post([this, accepted] {
            w.BtInterrompe->setEnabled(false);
            w.GbSincroniza->show();
            w.LbSincroniza->setText(accepted ? AutomaticResult::Syncing : AutomaticResult::NothingToSync);
            w.LbSincroniza->show();
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
    EdEndResultado = DialogParts::readOnlyField(address, QStringLiteral("EdEndResultado"));
    EdEndResultado->setAccessibleName(address->title());
    addressRow->addWidget(EdEndResultado);
    layout->addWidget(address);

    auto *data = new QGroupBox(QStringLiteral("Dados da Remessa: "), this);
    auto *form = new QFormLayout(data);
    EdNumeroRemessa = DialogParts::readOnlyField(data, QStringLiteral("EdNumeroRemessa"));
    EdArquivoRemessa = DialogParts::readOnlyField(data, QStringLiteral("EdArquivoRemessa"));
    form->addRow(
        DialogParts::label(data, QStringLiteral("LbNumero"), QStringLiteral("Número da Remessa: "), EdNumeroRemessa),
        EdNumeroRemessa);
    form->addRow(DialogParts::label(data, QStringLiteral("LbArquivo"), QStringLiteral("Arquivo Enviado ao Quelora: "),
                                    EdArquivoRemessa),
                 EdArquivoRemessa);
    layout->addWidget(data);

    BtResultado = DialogParts::button(this, QStringLiteral("BtResultado"), QStringLiteral("Recebe Resultado"));
    BtCancela = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    BtSaida = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    BtResultado->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtResultado);
    buttons->addWidget(BtCancela);
    buttons->addWidget(BtSaida);
    layout->addLayout(buttons);

    GbAcompanhamento = new QGroupBox(QStringLiteral("Acompanhamento "), this);
    GbAcompanhamento->setObjectName(QStringLiteral("GbAcompanhamento"));
    auto *progress = new QGridLayout(GbAcompanhamento);
    CkInformacoes = tick(GbAcompanhamento, QStringLiteral("CkInformacoes"), QStringLiteral("Informações recuperadas"));
    CkTransferencia = tick(GbAcompanhamento, QStringLiteral("CkTransferencia"),
                           QStringLiteral("Transferência concluída"));
    EdArquivoDownload = DialogParts::readOnlyField(GbAcompanhamento, QStringLiteral("EdArquivoDownload"));
    EdArquivoDownload->setAccessibleName(QStringLiteral("Arquivo de resultado"));
    PbTransferencia = new QProgressBar(GbAcompanhamento);
    PbTransferencia->setObjectName(QStringLiteral("PbTransferencia"));
    PbTransferencia->setRange(0, 1000);
    PbTransferencia->setValue(0);
    BtInterrompe = DialogParts::button(GbAcompanhamento, QStringLiteral("BtInterrompe"), QStringLiteral("Interrompe"));
    progress->addWidget(new QLabel(QStringLiteral("Recupera Informações Sobre Resultado..."), GbAcompanhamento), 0, 0);
    progress->addWidget(CkInformacoes, 0, 1);
    progress->addWidget(new QLabel(QStringLiteral("Transferindo Arquivo..."), GbAcompanhamento), 1, 0);
    progress->addWidget(CkTransferencia, 1, 1);
    progress->addWidget(EdArquivoDownload, 2, 0, 1, 2);
    progress->addWidget(PbTransferencia, 3, 0, 1, 2);
    progress->addWidget(BtInterrompe, 4, 0, 1, 2, Qt::AlignRight);
    progress->setColumnStretch(0, 1);
    layout->addWidget(GbAcompanhamento);

    GbResultado = new QGroupBox(QStringLiteral("Resultado Final  "), this);
    GbResultado->setObjectName(QStringLiteral("GbResultado"));
    auto *result = new QVBoxLayout(GbResultado);
    MmResultado = new QPlainTextEdit(GbResultado);
    MmResultado->setObjectName(QStringLiteral("MmResultado"));
    MmResultado->setReadOnly(true);
    MmResultado->setAccessibleName(QStringLiteral("Resultado Final"));
    MmResultado->setMinimumHeight(150);
    BtRelatorio = DialogParts::button(GbResultado, QStringLiteral("BtRelatorio"), QStringLiteral("Emite Relatório"));
    BtRelatorio->setEnabled(false);
    result->addWidget(MmResultado);
    result->addWidget(BtRelatorio, 0, Qt::AlignRight);
    layout->addWidget(GbResultado);

    GbSincroniza = new QGroupBox(QStringLiteral("Sincronização da Base de Dados"), this);
    GbSincroniza->setObjectName(QStringLiteral("GbSincroniza"));
    auto *syncRow = new QHBoxLayout(GbSincroniza);
    LbSincroniza = new QLabel(AutomaticResult::Syncing, GbSincroniza);
    LbSincroniza->setObjectName(QStringLiteral("LbSincroniza"));
    CkSincroniza = tick(GbSincroniza, QStringLiteral("CkSincroniza"), QStringLiteral("Sincronização concluída"));
    syncRow->addWidget(LbSincroniza, 1);
    syncRow->addWidget(CkSincroniza);
    LbSincroniza->hide();
    layout->addWidget(GbSincroniza);

    ListaArq = new QListWidget(this);
    ListaArq->setObjectName(QStringLiteral("ListaArq"));
    ListaArq->hide();
    layout->setSizeConstraint(QLayout::SetFixedSize);
    EdArquivoRemessa->setMinimumWidth(360);
    for (QGroupBox *g : {GbAcompanhamento, GbResultado, GbSincroniza})
        g->hide();

    m_fetch = new BackgroundWork(m_db, m_msg, this);
    m_steps = std::make_unique<Steps>(*this);
    m_ftp.onListItem = [this](const QString &name) { m_fetch->post([this, name] { ListaArq->addItem(name); }); };
    m_ftp.onProgress = [this](qint64 done, qint64 total) {
        const int value = total > 0 ? int(qMin(done, total) * 1000 / total) : 0;
        m_fetch->post([this, value] { PbTransferencia->setValue(value); });
    };
    connect(m_fetch, &BackgroundWork::finished, this, guarded(m_msg, [this] { fetchEnded(); }));
    connect(BtResultado, &QPushButton::clicked, this, guarded(m_msg, [this] { BtResultadoClick(); }));
    connect(BtInterrompe, &QPushButton::clicked, this, [this] { BtInterrompeClick(); });
    connect(BtRelatorio, &QPushButton::clicked, this, guarded(m_msg, [this] { BtRelatorioClick(); }));
    connect(BtCancela, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::reject);

    EdNumeroRemessa->setText(m_work.remittance.number);
    EdArquivoRemessa->setText(m_work.remittance.packageName);
    if (const auto config = ConfigLocalStore::read(m_db))
        EdEndResultado->setText(config->endQueloraResult);
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
    EdArquivoRemessa->setText(packageName);
}

QStringList TFrmResultadoAutomatico::resultLines() const
{
    const QString text = MmResultado->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TFrmResultadoAutomatico::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (BtResultado->isEnabled())
        BtResultado->setFocus();
}

void TFrmResultadoAutomatico::reject()
{
    if (m_running) // the fetch ends through "Interrompe"
        return;
    QDialog::reject();
}

void TFrmResultadoAutomatico::addMemo(const QString &line)
{
    MmResultado->appendPlainText(line);
}

void TFrmResultadoAutomatico::showResult()
{
    BtInterrompe->setEnabled(false);
    GbResultado->show();
    BtSaida->setEnabled(true);
    BtSaida->setFocus();
}

void TFrmResultadoAutomatico::BtResultadoClick()
{
    if (m_started)
        return;
    m_started = true;
    m_interrupted = false;
    GbAcompanhamento->show();
    BtResultado->setEnabled(false);
    BtCancela->setEnabled(false);
    BtSaida->setEnabled(false);
    ListaArq->clear();

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
    BtInterrompe->setEnabled(false);
    if (!m_result.connectError.isEmpty()) {
        // A refused connection is no step of the fetch: the window's warning.
        ErrorLog::append(m_result.connectError, QStringLiteral("FtpFailure"));
        m_msg.warning(m_result.connectError);
    }
    switch (m_result.outcome) {
    case AutomaticResult::Outcome::Accepted:
        LbSincroniza->setText(AutomaticResult::SyncDone);
        CkSincroniza->show();
        BtRelatorio->setEnabled(true);
        break;
    case AutomaticResult::Outcome::Rejected: BtRelatorio->setEnabled(true); break;
    case AutomaticResult::Outcome::NotAvailable: CkInformacoes->show(); break;
    case AutomaticResult::Outcome::Failed:
        // Nothing was written: the remittance still waits for its result.
        if (GbSincroniza->isVisible())
            LbSincroniza->setText(AutomaticResult::SyncNotDone);
        break;
    }
    showResult();
}

void TFrmResultadoAutomatico::BtInterrompeClick()
{
    BtInterrompe->setEnabled(false);
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

void TFrmResultadoAutomatico::BtRelatorioClick()
{
    ReportPreview::exec(receipt(), this, m_msg);
}
