#include "remessa/ui/tfrmnovaremessa.h"
#include "base/messenger.h"
#include "remessa/ui/backgroundwork.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QLabel *doneTick(QWidget *parent, const char *name)
{
    auto *l = new QLabel(QStringLiteral("✔"), parent);
    l->setObjectName(QLatin1String(name));
    l->setAccessibleName(QStringLiteral("Concluído"));
    l->setStyleSheet(QStringLiteral("color: #1b7f2a; font-weight: bold; font-size: 14pt;"));
    l->setVisible(false);
    return l;
}
}

TFrmNovaRemessa::TFrmNovaRemessa(Database &db, Messenger &messenger, const RemessaPreparation::Settings &settings,
                                 QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_messenger(messenger),
      m_settings(settings)
{
    setObjectName(QStringLiteral("FrmNovaRemessa"));
    setWindowTitle(QStringLiteral("Prepara Nova Remessa"));
    buildUi();
    m_work = new BackgroundWork(m_db, m_messenger, this);
    connect(m_work, &BackgroundWork::finished, this, guarded(m_messenger, [this] { preparationEnded(); }));
    connect(startButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { startPreparation(); }));
    connect(interruptButton, &QPushButton::clicked, this, [this] { interrupt(); });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    startButton->setFocus();
}

void TFrmNovaRemessa::buildUi()
{
    auto *main = new QVBoxLayout(this);
    typeGroup = new QGroupBox(QStringLiteral("Tipo da Remessa"), this);
    typeGroup->setObjectName(QStringLiteral("RGTipoRemessa"));
    auto *types = new QHBoxLayout(typeGroup);
    m_partial = new QRadioButton(QStringLiteral("Remessa Parcial"), typeGroup);
    m_partial->setObjectName(QStringLiteral("RGTipoRemessaParcial"));
    m_complete = new QRadioButton(QStringLiteral("Remessa Completa"), typeGroup);
    m_complete->setObjectName(QStringLiteral("RGTipoRemessaCompleta"));
    m_partial->setChecked(true);
    types->addWidget(m_partial);
    types->addWidget(m_complete);
    types->addStretch();
    main->addWidget(typeGroup);

    auto *progress = new QGroupBox(this);
    auto *grid = new QGridLayout(progress);
    titleLabel = new QLabel(QStringLiteral("Andamento da preparação"), progress);
    titleLabel->setObjectName(QStringLiteral("LblTitulo"));
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    tableLabel = new QLabel(progress);
    tableLabel->setObjectName(QStringLiteral("LblTabela"));
    operationLabel = new QLabel(progress);
    operationLabel->setObjectName(QStringLiteral("LblOperacao"));
    tablesLabel = new QLabel(QStringLiteral("Preparando arquivos de dados"), progress);
    tablesLabel->setObjectName(QStringLiteral("LbTabelas"));
    tablesProgress = new QProgressBar(progress);
    tablesProgress->setObjectName(QStringLiteral("PbTabelas"));
    tablesProgress->setAccessibleName(tablesLabel->text());
    tablesProgress->setRange(0, RemessaPreparation::totalSteps());
    tablesTick = doneTick(progress, "CkTabelas");
    fileLabel = new QLabel(QStringLiteral("Compactando arquivos..."), progress);
    fileLabel->setObjectName(QStringLiteral("LbArquivo"));
    fileProgress = new QProgressBar(progress);
    fileProgress->setObjectName(QStringLiteral("PbArquivo"));
    fileProgress->setAccessibleName(fileLabel->text());
    fileProgress->setRange(0, 1);
    fileTick = doneTick(progress, "CkArquivo");
    grid->addWidget(titleLabel, 0, 0, 1, 3);
    grid->addWidget(tableLabel, 1, 0, 1, 2);
    grid->addWidget(operationLabel, 1, 2);
    grid->addWidget(tablesLabel, 2, 0);
    grid->addWidget(tablesProgress, 2, 1);
    grid->addWidget(tablesTick, 2, 2);
    grid->addWidget(fileLabel, 3, 0);
    grid->addWidget(fileProgress, 3, 1);
    grid->addWidget(fileTick, 3, 2);
    grid->setColumnStretch(1, 1);
    progress->setMinimumHeight(130);
    main->addWidget(progress);

    auto *result = new QGroupBox(QStringLiteral("Resultado da Preparação"), this);
    auto *form = new QFormLayout(result);
    auto field = [&](const char *name, const QString &label) {
        auto *e = new QLineEdit(result);
        e->setObjectName(QLatin1String(name));
        e->setReadOnly(true);
        if (label.isEmpty()) {
            e->setAccessibleName(QStringLiteral("Resultado"));
            form->addRow(e);
        } else {
            auto *l = new QLabel(label, result);
            l->setBuddy(e);
            form->addRow(l, e);
        }
        return e;
    };
    resultEdit = field("EdResultado", QString());
    numberEdit = field("EdNumeroRemessa", QStringLiteral("Número da remessa"));
    packageEdit = field("EdArquivoRemessa", QStringLiteral("Arquivo criado para transferência"));
    main->addWidget(result);

    auto *buttons = new QHBoxLayout;
    startButton = DialogParts::namedButton(QStringLiteral("BtInicio"), QStringLiteral("Inicia Preparação"), this);
    startButton->setDefault(true);
    interruptButton = DialogParts::namedButton(QStringLiteral("BtInterrompe"), QStringLiteral("Interrompe Preparação"),
                                               this);
    interruptButton->setVisible(false);
    exitButton = DialogParts::namedButton(QStringLiteral("BtSaida"), QStringLiteral("&Saída"), this);
    buttons->addStretch();
    buttons->addWidget(startButton);
    buttons->addWidget(interruptButton);
    buttons->addWidget(exitButton);
    main->addLayout(buttons);
    showProgress(false);
    resize(560, 420);
}

void TFrmNovaRemessa::showProgress(bool visible)
{
    for (QWidget *w : {static_cast<QWidget *>(tableLabel), static_cast<QWidget *>(operationLabel),
                       static_cast<QWidget *>(tablesLabel), static_cast<QWidget *>(tablesProgress)})
        w->setVisible(visible);
    fileLabel->setVisible(false);
    fileProgress->setVisible(false);
}

TFrmNovaRemessa::~TFrmNovaRemessa()
{
    // The worker writes into this window's members: it ends before they go.
    m_interrupted.store(true);
    delete m_work;
}

void TFrmNovaRemessa::reject()
{
    if (m_running)
        return; // the run ends first (Interrompe)
    QDialog::reject();
}

void TFrmNovaRemessa::startPreparation()
{
    if (!m_partial->isChecked() && !m_complete->isChecked()) {
        m_messenger.plain(QStringLiteral("É obrigatória a escolha de um tipo de remessa."),
                          QStringLiteral("Tipo de Remessa"));
        return;
    }
    const bool complete = m_complete->isChecked();
    if (complete &&
        !m_messenger.confirm(
            QStringLiteral("Uma remessa completa deve ser preparada sob a supervisão do Quelora.Deseja "
                           "realmente continuar com a preparação ?"),
            QStringLiteral("Preparação de uma Remessa Completa")))
        return;

    m_interrupted.store(false);
    resultEdit->clear();
    numberEdit->clear();
    packageEdit->clear();
    showProgress(true);
    tablesTick->setVisible(false);
    fileTick->setVisible(false);
    typeGroup->setVisible(false);
    startButton->setVisible(false);
    interruptButton->setVisible(true);
    interruptButton->setEnabled(true);
    exitButton->setEnabled(false);
    tablesProgress->setValue(0);
    fileProgress->setValue(0);
    m_running = true;

    const auto type = complete ? RemessaPreparation::Type::Complete : RemessaPreparation::Type::Partial;
    m_work->start([this, type](Database &db, Messenger &messenger) {
        // The window shows what the worker reports, on its own thread.
        RemessaPreparation::Progress p;
        p.table = [this](const QString &m) { m_work->post([this, m] { tableLabel->setText(m); }); };
        p.operation = [this](const QString &o) { m_work->post([this, o] { operationLabel->setText(o); }); };
        p.step = [this] { m_work->post([this] { tablesProgress->setValue(tablesProgress->value() + 1); }); };
        p.packaging = [this] {
            m_work->post([this] {
                tablesLabel->setVisible(false);
                tablesProgress->setVisible(false);
                tableLabel->setVisible(false);
                operationLabel->setVisible(false);
                fileLabel->setVisible(true);
                fileProgress->setVisible(true);
            });
        };
        p.interrupted = [this] { return m_interrupted.load(); };
        m_result = RemessaPreparation::run(db, messenger, m_settings, type, p);
    });
}

void TFrmNovaRemessa::preparationEnded()
{
    m_running = false;
    m_work->rethrow();
    const bool complete = m_complete->isChecked();
    using O = RemessaPreparation::Outcome;
    if (complete && m_result.outcome != O::Interrupted)
        tablesProgress->setValue(tablesProgress->maximum());
    switch (m_result.outcome) {
    case O::Prepared:
        tablesTick->setVisible(true);
        fileTick->setVisible(true);
        fileProgress->setValue(1);
        resultEdit->setText(RemessaPreparation::resultText(m_result.outcome));
        numberEdit->setText(m_result.remittance.number);
        packageEdit->setText(m_result.remittance.packageName);
        interruptButton->setEnabled(false);
        exitButton->setEnabled(true);
        exitButton->setFocus();
        break;
    case O::NothingNew:
        tablesTick->setVisible(true);
        interruptButton->setEnabled(false);
        exitButton->setEnabled(true);
        exitButton->setFocus();
        break;
    case O::Refused:
        showProgress(false);
        typeGroup->setVisible(true);
        startButton->setVisible(true);
        interruptButton->setVisible(false);
        exitButton->setEnabled(true);
        break;
    case O::Interrupted:
    case O::Failed:
        if (m_result.outcome == O::Failed && !m_result.remittance.packageName.isEmpty())
            packageEdit->setText(m_result.remittance.packageName);
        resultEdit->setText(RemessaPreparation::resultText(m_result.outcome));
        typeGroup->setVisible(true);
        startButton->setVisible(true);
        interruptButton->setVisible(false);
        exitButton->setEnabled(true);
        break;
    }
}
