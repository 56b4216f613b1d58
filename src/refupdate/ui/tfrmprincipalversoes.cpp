#include "refupdate/ui/tfrmprincipalversoes.h"

#include "db/database.h"
#include "refupdate/refversion.h"
#include "refupdate/ui/tfrmatualizaversao.h"
#include "refupdate/ui/tfrmversaoanterior.h"
#include "refupdate/ui/versionsgrid.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFrmPrincipalVersoes::TFrmPrincipalVersoes(Database &db, Messenger &messenger, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_messenger(messenger)
{
    buildUi();
    refresh();
}

void TFrmPrincipalVersoes::buildUi()
{
    setObjectName(QStringLiteral("FrmPrincipalVersoes"));
    setWindowTitle(QStringLiteral("Controle de Versões de Tabelas Auxiliares"));
    auto *layout = new QVBoxLayout(this);

    auto *gbVersao = new QGroupBox(QStringLiteral("Versão Atual das Tabelas Auxiliares "), this);
    auto *fv = new QFormLayout(gbVersao);
    EdVersaoAtual = new QLineEdit(gbVersao);
    EdVersaoAtual->setObjectName(QStringLiteral("EdVersaoAtual"));
    EdNomeArquivo = new QLineEdit(gbVersao);
    EdNomeArquivo->setObjectName(QStringLiteral("EdNomeArquivo"));
    for (QLineEdit *e : {EdVersaoAtual, EdNomeArquivo})
        e->setReadOnly(true);
    fv->addRow(QStringLiteral("Número da Versão: "), EdVersaoAtual);
    fv->addRow(QStringLiteral("Arquivo da Versão: "), EdNomeArquivo);
    layout->addWidget(gbVersao);

    auto *gbHist = new QGroupBox(QStringLiteral("Histórico de Atualizações de Versão"), this);
    auto *vh = new QVBoxLayout(gbHist);
    m_model = new QStandardItemModel(this);
    GrHistorico = VersionsGrid::view(gbHist, "GrHistorico", m_model);
    vh->addWidget(GrHistorico);
    layout->addWidget(gbHist, 1);

    auto *buttons = new QHBoxLayout;
    BtAtualizaVersao = new QPushButton(QStringLiteral("Atualiza versão atual..."), this);
    BtAtualizaVersao->setObjectName(QStringLiteral("BtAtualizaVersao"));
    BtVersaoAnterior = new QPushButton(QStringLiteral("Instala versão anterior..."), this);
    BtVersaoAnterior->setObjectName(QStringLiteral("BtVersaoAnterior"));
    BtSaida = new QPushButton(QStringLiteral("&Saída"), this);
    BtSaida->setObjectName(QStringLiteral("BtSaida"));
    buttons->addWidget(BtAtualizaVersao);
    buttons->addWidget(BtVersaoAnterior);
    buttons->addStretch();
    buttons->addWidget(BtSaida);
    layout->addLayout(buttons);
    resize(620, 380);

    connect(BtAtualizaVersao, &QPushButton::clicked, this, &TFrmPrincipalVersoes::BtAtualizaVersaoClick);
    connect(BtVersaoAnterior, &QPushButton::clicked, this, &TFrmPrincipalVersoes::BtVersaoAnteriorClick);
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::accept);
}

void TFrmPrincipalVersoes::refresh()
{
    const QList<RefVersion::Installation> rows = RefVersion::history(m_db);
    VersionsGrid::fill(m_model, rows, VersionsGrid::Columns::History);
    GrHistorico->resizeColumnsToContents();
    EdVersaoAtual->setText(rows.isEmpty() ? QString() : rows.first().version);
    EdNomeArquivo->setText(rows.isEmpty() ? QString() : rows.first().fileName);
    BtVersaoAnterior->setEnabled(!rows.isEmpty());
}

void TFrmPrincipalVersoes::loadSettings()
{
    m_config = ConfigLocalStore::read(m_db).value_or(ConfigLocal());
}

void TFrmPrincipalVersoes::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    loadSettings();
}

void TFrmPrincipalVersoes::BtAtualizaVersaoClick()
{
    loadSettings();
    TFrmAtualizaVersao window(m_db, m_messenger, m_config, EdVersaoAtual->text(), EdNomeArquivo->text(), this);
    execChild(window);
    refresh();
}

void TFrmPrincipalVersoes::BtVersaoAnteriorClick()
{
    loadSettings();
    TFrmVersaoAnterior window(m_db, m_messenger, m_config, EdVersaoAtual->text(), EdNomeArquivo->text(), this);
    execChild(window);
    refresh();
}
