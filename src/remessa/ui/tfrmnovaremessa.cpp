#include "remessa/ui/tfrmnovaremessa.h"
#include "base/messenger.h"
#include "remessa/ui/backgroundwork.h"
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
    connect(BtInicio, &QPushButton::clicked, this, guarded(m_messenger, [this] { BtInicioClick(); }));
    connect(BtInterrompe, &QPushButton::clicked, this, [this] { BtInterrompeClick(); });
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::accept);
    BtInicio->setFocus();
}

void TFrmNovaRemessa::buildUi()
{
    auto *main = new QVBoxLayout(this);
    RGTipoRemessa = new QGroupBox(QStringLiteral("Tipo da Remessa"), this);
    RGTipoRemessa->setObjectName(QStringLiteral("RGTipoRemessa"));
    auto *types = new QHBoxLayout(RGTipoRemessa);
    m_partial = new QRadioButton(QStringLiteral("Remessa Parcial"), RGTipoRemessa);
    m_partial->setObjectName(QStringLiteral("RGTipoRemessaParcial"));
    m_complete = new QRadioButton(QStringLiteral("Remessa Completa"), RGTipoRemessa);
    m_complete->setObjectName(QStringLiteral("RGTipoRemessaCompleta"));
    m_partial->setChecked(true);
    types->addWidget(m_partial);
    types->addWidget(m_complete);
    types->addStretch();
    main->addWidget(RGTipoRemessa);

    auto *progress = new QGroupBox(this);
    auto *grid = new QGridLayout(progress);
    LblTitulo = new QLabel(QStringLiteral("Andamento da preparação"), progress);
    LblTitulo->setObjectName(QStringLiteral("LblTitulo"));
    QFont bold = LblTitulo->font();
    bold.setBold(true);
    LblTitulo->setFont(bold);
    LblTabela = new QLabel(progress);
    LblTabela->setObjectName(QStringLiteral("LblTabela"));
    LblOperacao = new QLabel(progress);
    LblOperacao->setObjectName(QStringLiteral("LblOperacao"));
    LbTabelas = new QLabel(QStringLiteral("Preparando arquivos de dados"), progress);
    LbTabelas->setObjectName(QStringLiteral("LbTabelas"));
    PbTabelas = new QProgressBar(progress);
    PbTabelas->setObjectName(QStringLiteral("PbTabelas"));
    PbTabelas->setAccessibleName(LbTabelas->text());
    PbTabelas->setRange(0, RemessaPreparation::totalSteps());
    CkTabelas = doneTick(progress, "CkTabelas");
    LbArquivo = new QLabel(QStringLiteral("Compactando arquivos..."), progress);
    LbArquivo->setObjectName(QStringLiteral("LbArquivo"));
    PbArquivo = new QProgressBar(progress);
    PbArquivo->setObjectName(QStringLiteral("PbArquivo"));
    PbArquivo->setAccessibleName(LbArquivo->text());
    PbArquivo->setRange(0, 1);
    CkArquivo = doneTick(progress, "CkArquivo");
    grid->addWidget(LblTitulo, 0, 0, 1, 3);
    grid->addWidget(LblTabela, 1, 0, 1, 2);
    grid->addWidget(LblOperacao, 1, 2);
    grid->addWidget(LbTabelas, 2, 0);
    grid->addWidget(PbTabelas, 2, 1);
    grid->addWidget(CkTabelas, 2, 2);
    grid->addWidget(LbArquivo, 3, 0);
    grid->addWidget(PbArquivo, 3, 1);
    grid->addWidget(CkArquivo, 3, 2);
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
    EdResultado = field("EdResultado", QString());
    EdNumeroRemessa = field("EdNumeroRemessa", QStringLiteral("Número da remessa"));
    EdArquivoRemessa = field("EdArquivoRemessa", QStringLiteral("Arquivo criado para transferência"));
    main->addWidget(result);

    auto *buttons = new QHBoxLayout;
    BtInicio = new QPushButton(QStringLiteral("Inicia Preparação"), this);
    BtInicio->setObjectName(QStringLiteral("BtInicio"));
    BtInicio->setDefault(true);
    BtInterrompe = new QPushButton(QStringLiteral("Interrompe Preparação"), this);
    BtInterrompe->setObjectName(QStringLiteral("BtInterrompe"));
    BtInterrompe->setVisible(false);
    BtSaida = new QPushButton(QStringLiteral("&Saída"), this);
    BtSaida->setObjectName(QStringLiteral("BtSaida"));
    buttons->addStretch();
    buttons->addWidget(BtInicio);
    buttons->addWidget(BtInterrompe);
    buttons->addWidget(BtSaida);
    main->addLayout(buttons);
    showProgress(false);
    resize(560, 420);
}

void TFrmNovaRemessa::showProgress(bool visible)
{
    for (QWidget *w : {static_cast<QWidget *>(LblTabela), static_cast<QWidget *>(LblOperacao),
                       static_cast<QWidget *>(LbTabelas), static_cast<QWidget *>(PbTabelas)})
        w->setVisible(visible);
    LbArquivo->setVisible(false);
    PbArquivo->setVisible(false);
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

void TFrmNovaRemessa::BtInicioClick()
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
    EdResultado->clear();
    EdNumeroRemessa->clear();
    EdArquivoRemessa->clear();
    showProgress(true);
    CkTabelas->setVisible(false);
    CkArquivo->setVisible(false);
    RGTipoRemessa->setVisible(false);
    BtInicio->setVisible(false);
    BtInterrompe->setVisible(true);
    BtInterrompe->setEnabled(true);
    BtSaida->setEnabled(false);
    PbTabelas->setValue(0);
    PbArquivo->setValue(0);
    m_running = true;

    const auto type = complete ? RemessaPreparation::Type::Complete : RemessaPreparation::Type::Partial;
    m_work->start([this, type](Database &db, Messenger &messenger) {
        // The window shows what the worker reports, on its own thread.
        RemessaPreparation::Progress p;
        p.table = [this](const QString &m) { m_work->post([this, m] { LblTabela->setText(m); }); };
        p.operation = [this](const QString &o) { m_work->post([this, o] { LblOperacao->setText(o); }); };
        p.step = [this] { m_work->post([this] { PbTabelas->setValue(PbTabelas->value() + 1); }); };
        p.packaging = [this] {
            m_work->post([this] {
                LbTabelas->setVisible(false);
                PbTabelas->setVisible(false);
                LblTabela->setVisible(false);
                LblOperacao->setVisible(false);
                LbArquivo->setVisible(true);
                PbArquivo->setVisible(true);
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
        PbTabelas->setValue(PbTabelas->maximum());
    switch (m_result.outcome) {
    case O::Prepared:
        CkTabelas->setVisible(true);
        CkArquivo->setVisible(true);
        PbArquivo->setValue(1);
        EdResultado->setText(RemessaPreparation::resultText(m_result.outcome));
        EdNumeroRemessa->setText(m_result.remittance.number);
        EdArquivoRemessa->setText(m_result.remittance.packageName);
        BtInterrompe->setEnabled(false);
        BtSaida->setEnabled(true);
        BtSaida->setFocus();
        break;
    case O::NothingNew:
        CkTabelas->setVisible(true);
        BtInterrompe->setEnabled(false);
        BtSaida->setEnabled(true);
        BtSaida->setFocus();
        break;
    case O::Refused:
        showProgress(false);
        RGTipoRemessa->setVisible(true);
        BtInicio->setVisible(true);
        BtInterrompe->setVisible(false);
        BtSaida->setEnabled(true);
        break;
    case O::Interrupted:
    case O::Failed:
        if (m_result.outcome == O::Failed && !m_result.remittance.packageName.isEmpty())
            EdArquivoRemessa->setText(m_result.remittance.packageName);
        EdResultado->setText(RemessaPreparation::resultText(m_result.outcome));
        RGTipoRemessa->setVisible(true);
        BtInicio->setVisible(true);
        BtInterrompe->setVisible(false);
        BtSaida->setEnabled(true);
        break;
    }
}
