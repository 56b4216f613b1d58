#include "remessa/ui/tfrmresultadomanual.h"

#include "base/messenger.h"
#include "remessa/manualresult.h"
#include "remessa/ui/backgroundwork.h"
#include "remessa/ui/tfrmconfresultadomanual.h"
#include "widgets/columnfit.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFrmResultadoManual::TFrmResultadoManual(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent)
    : QDialog(parent),
      m_work(work),
      m_db(db),
      m_msg(messenger)
{
    setObjectName(QStringLiteral("FrmResultadoManual"));
    setWindowTitle(QStringLiteral("Recebe Resultado Manual"));
    m_confirm = [this](const QString &verdict) {
        TFrmConfResultadoManual confirm(verdict, this);
        return confirm.exec() == QDialog::Accepted;
    };
    auto *layout = new QVBoxLayout(this);

    auto *data = new QGroupBox(QStringLiteral("Dados da Remessa: "), this);
    auto *form = new QFormLayout(data);
    EdNumeroRemessa = new QLineEdit(data);
    EdNumeroRemessa->setObjectName(QStringLiteral("EdNumeroRemessa"));
    EdNumeroRemessa->setReadOnly(true);
    EdArquivoRemessa = new QLineEdit(data);
    EdArquivoRemessa->setObjectName(QStringLiteral("EdArquivoRemessa"));
    EdArquivoRemessa->setReadOnly(true);
    form->addRow(
        DialogParts::label(data, QStringLiteral("LbNumero"), QStringLiteral("Número da Remessa: "), EdNumeroRemessa),
        EdNumeroRemessa);
    form->addRow(DialogParts::label(data, QStringLiteral("LbArquivo"), QStringLiteral("Arquivo Enviado ao Quelora: "),
                                    EdArquivoRemessa),
                 EdArquivoRemessa);
    layout->addWidget(data);

    auto *code = new QGroupBox(QStringLiteral("Senha Recebida do Quelora: "), this);
    auto *codeRow = new QVBoxLayout(code);
    EdSenha = new QLineEdit(code);
    EdSenha->setObjectName(QStringLiteral("EdSenha"));
    EdSenha->setAccessibleName(QStringLiteral("Senha Recebida do Quelora"));
    EdSenha->setMaxLength(ManualResult::MaxCodeLength);
    codeRow->addWidget(EdSenha);
    layout->addWidget(code);

    auto *remarks = new QGroupBox(QStringLiteral("Observações: "), this);
    auto *remarksRow = new QVBoxLayout(remarks);
    MmObservacoes = new QPlainTextEdit(remarks);
    MmObservacoes->setObjectName(QStringLiteral("MmObservacoes"));
    MmObservacoes->setAccessibleName(QStringLiteral("Observações"));
    // The remarks go into CONTROLE.Obs after the manual mark.
    ColumnFit::fit(MmObservacoes, QStringLiteral("CONTROLE"), QStringLiteral("Obs"),
                   ColumnFit::width(QStringLiteral("CONTROLE"), QStringLiteral("Obs")) - ManualResult::remarkRoom());
    MmObservacoes->setTabChangesFocus(true);
    MmObservacoes->setFixedHeight(90);
    remarksRow->addWidget(MmObservacoes);
    layout->addWidget(remarks);

    GbSincroniza = new QGroupBox(QStringLiteral("Sincronização da Base de Dados"), this);
    GbSincroniza->setObjectName(QStringLiteral("GbSincroniza"));
    auto *syncRow = new QHBoxLayout(GbSincroniza);
    LbSincroniza = new QLabel(QStringLiteral("Sincronizando a Base de Dados.... Aguarde."), GbSincroniza);
    LbSincroniza->setObjectName(QStringLiteral("LbSincroniza"));
    CkSincroniza = new QCheckBox(GbSincroniza);
    CkSincroniza->setObjectName(QStringLiteral("CkSincroniza"));
    CkSincroniza->setChecked(true);
    CkSincroniza->setEnabled(false);
    CkSincroniza->setAccessibleName(QStringLiteral("Sincronização concluída"));
    syncRow->addWidget(LbSincroniza, 1);
    syncRow->addWidget(CkSincroniza);
    LbSincroniza->hide();
    CkSincroniza->hide();
    GbSincroniza->hide();
    layout->addWidget(GbSincroniza);

    BtOK = DialogParts::button(this, QStringLiteral("BtOK"), QStringLiteral("Ok"));
    BtCancelar = DialogParts::button(this, QStringLiteral("BtCancelar"), QStringLiteral("Cancela"));
    BtSaida = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    BtSaida->setEnabled(false);
    BtOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancelar);
    buttons->addWidget(BtSaida);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    EdArquivoRemessa->setMinimumWidth(340);

    m_fold = new BackgroundWork(m_db, m_msg, this);
    connect(m_fold, &BackgroundWork::finished, this, guarded(m_msg, [this] { foldEnded(); }));
    connect(BtOK, &QPushButton::clicked, this, guarded(m_msg, [this] { BtOKClick(); }));
    connect(BtCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::accept);

    EdNumeroRemessa->setText(m_work.remittance.number);
    EdArquivoRemessa->setText(m_work.remittance.packageName);
}

TFrmResultadoManual::~TFrmResultadoManual()
{
    // The fold cannot be interrupted: the window waits for its worker.
    delete m_fold;
    if (m_busy)
        QApplication::restoreOverrideCursor();
}

void TFrmResultadoManual::setPackageName(const QString &packageName)
{
    m_work.remittance = m_work.remittance.withPackageNamed(m_work.transferDir, packageName);
    EdArquivoRemessa->setText(packageName);
}

void TFrmResultadoManual::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    EdSenha->setFocus();
}

void TFrmResultadoManual::reject()
{
    if (m_busy)
        return;
    QDialog::reject();
}

void TFrmResultadoManual::BtOKClick()
{
    const std::optional<ManualResult::Code> code = ManualResult::check(m_db, m_work, EdSenha->text());
    if (!code) {
        m_msg.plain(QStringLiteral("A senha não é válida. Tente novamente."), QStringLiteral("Senha Inválida"));
        return;
    }
    if (!m_confirm(code->verdict))
        return;
    GbSincroniza->show();
    BtOK->setEnabled(false);
    BtCancelar->setEnabled(false);
    if (code->verdict == QLatin1String("NO"))
        LbSincroniza->setText(QStringLiteral("Não há sincronização a fazer. A remessa foi invalidada."));
    LbSincroniza->show();

    const QStringList lines = MmObservacoes->toPlainText().isEmpty()
        ? QStringList()
        : MmObservacoes->toPlainText().split(QLatin1Char('\n'));
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_verdict = code->verdict;
    m_fold->start([this, lines](Database &db, Messenger &messenger) {
        m_applied = ManualResult::apply(db, messenger, m_work, m_verdict, lines);
    });
}

void TFrmResultadoManual::foldEnded()
{
    m_busy = false;
    QApplication::restoreOverrideCursor();
    const bool ok = m_applied;
    const bool accepted = m_verdict == QLatin1String("OK");
    if (ok && accepted) {
        LbSincroniza->setText(QStringLiteral("Sincronização efetuada com sucesso..."));
        CkSincroniza->show();
    } else if (!ok) {
        // Nothing was written: the remittance still waits for its result.
        LbSincroniza->setText(QStringLiteral("Sincronização não efetuada. A remessa continua aguardando o resultado."));
    }
    BtSaida->setEnabled(true);
    BtSaida->setFocus();
    m_fold->rethrow();
}
