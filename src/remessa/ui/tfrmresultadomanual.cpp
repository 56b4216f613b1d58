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
    numberEdit = new QLineEdit(data);
    numberEdit->setObjectName(QStringLiteral("EdNumeroRemessa"));
    numberEdit->setReadOnly(true);
    packageEdit = new QLineEdit(data);
    packageEdit->setObjectName(QStringLiteral("EdArquivoRemessa"));
    packageEdit->setReadOnly(true);
    form->addRow(
        DialogParts::label(data, QStringLiteral("LbNumero"), QStringLiteral("Número da Remessa: "), numberEdit),
        numberEdit);
    form->addRow(DialogParts::label(data, QStringLiteral("LbArquivo"), QStringLiteral("Arquivo Enviado ao Quelora: "),
                                    packageEdit),
                 packageEdit);
    layout->addWidget(data);

    auto *code = new QGroupBox(QStringLiteral("Senha Recebida do Quelora: "), this);
    auto *codeRow = new QVBoxLayout(code);
    passwordEdit = new QLineEdit(code);
    passwordEdit->setObjectName(QStringLiteral("EdSenha"));
    passwordEdit->setAccessibleName(QStringLiteral("Senha Recebida do Quelora"));
    passwordEdit->setMaxLength(ManualResult::MaxCodeLength);
    codeRow->addWidget(passwordEdit);
    layout->addWidget(code);

    auto *remarks = new QGroupBox(QStringLiteral("Observações: "), this);
    auto *remarksRow = new QVBoxLayout(remarks);
    remarksMemo = new QPlainTextEdit(remarks);
    remarksMemo->setObjectName(QStringLiteral("MmObservacoes"));
    remarksMemo->setAccessibleName(QStringLiteral("Observações"));
    // The remarks go into CONTROLE.Obs after the manual mark.
    ColumnFit::fit(remarksMemo, QStringLiteral("CONTROLE"), QStringLiteral("Obs"),
                   ColumnFit::width(QStringLiteral("CONTROLE"), QStringLiteral("Obs")) - ManualResult::remarkRoom());
    remarksMemo->setTabChangesFocus(true);
    remarksMemo->setFixedHeight(90);
    remarksRow->addWidget(remarksMemo);
    layout->addWidget(remarks);

    syncGroup = new QGroupBox(QStringLiteral("Sincronização da Base de Dados"), this);
    syncGroup->setObjectName(QStringLiteral("GbSincroniza"));
    auto *syncRow = new QHBoxLayout(syncGroup);
    syncLabel = new QLabel(QStringLiteral("Sincronizando a Base de Dados.... Aguarde."), syncGroup);
    syncLabel->setObjectName(QStringLiteral("LbSincroniza"));
    syncTick = new QCheckBox(syncGroup);
    syncTick->setObjectName(QStringLiteral("CkSincroniza"));
    syncTick->setChecked(true);
    syncTick->setEnabled(false);
    syncTick->setAccessibleName(QStringLiteral("Sincronização concluída"));
    syncRow->addWidget(syncLabel, 1);
    syncRow->addWidget(syncTick);
    syncLabel->hide();
    syncTick->hide();
    syncGroup->hide();
    layout->addWidget(syncGroup);

    okButton = DialogParts::button(this, QStringLiteral("BtOK"), QStringLiteral("Ok"));
    cancelButton = DialogParts::button(this, QStringLiteral("BtCancelar"), QStringLiteral("Cancela"));
    exitButton = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    exitButton->setEnabled(false);
    okButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(exitButton);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    packageEdit->setMinimumWidth(340);

    m_fold = new BackgroundWork(m_db, m_msg, this);
    connect(m_fold, &BackgroundWork::finished, this, guarded(m_msg, [this] { foldEnded(); }));
    connect(okButton, &QPushButton::clicked, this, guarded(m_msg, [this] { recordVerdict(); }));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);

    numberEdit->setText(m_work.remittance.number);
    packageEdit->setText(m_work.remittance.packageName);
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
    packageEdit->setText(packageName);
}

void TFrmResultadoManual::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    passwordEdit->setFocus();
}

void TFrmResultadoManual::reject()
{
    if (m_busy)
        return;
    QDialog::reject();
}

void TFrmResultadoManual::recordVerdict()
{
    const std::optional<ManualResult::Code> code = ManualResult::check(m_db, m_work, passwordEdit->text());
    if (!code) {
        m_msg.plain(QStringLiteral("A senha não é válida. Tente novamente."), QStringLiteral("Senha Inválida"));
        return;
    }
    if (!m_confirm(code->verdict))
        return;
    syncGroup->show();
    okButton->setEnabled(false);
    cancelButton->setEnabled(false);
    if (code->verdict == QLatin1String("NO"))
        syncLabel->setText(QStringLiteral("Não há sincronização a fazer. A remessa foi invalidada."));
    syncLabel->show();

    const QStringList lines = remarksMemo->toPlainText().isEmpty()
        ? QStringList()
        : remarksMemo->toPlainText().split(QLatin1Char('\n'));
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
        syncLabel->setText(QStringLiteral("Sincronização efetuada com sucesso..."));
        syncTick->show();
    } else if (!ok) {
        // Nothing was written: the remittance still waits for its result.
        syncLabel->setText(QStringLiteral("Sincronização não efetuada. A remessa continua aguardando o resultado."));
    }
    exitButton->setEnabled(true);
    exitButton->setFocus();
    m_fold->rethrow();
}
