#include "refupdate/ui/tfrmprincipalversoes.h"

#include "db/database.h"
#include "refupdate/refversion.h"
#include "refupdate/ui/tfrmatualizaversao.h"
#include "refupdate/ui/tfrmversaoanterior.h"
#include "refupdate/ui/versionparts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
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

    const VersionParts::CurrentVersion current = VersionParts::addCurrentVersion(this, layout);
    m_currentVersionEdit = current.version;
    m_currentFileEdit = current.fileName;

    m_model = new QStandardItemModel(this);
    m_historyGrid = VersionParts::addGrid(this, layout, QStringLiteral("Histórico de Atualizações de Versão"),
                                          "GrHistorico", m_model);

    auto *buttons = new QHBoxLayout;
    m_updateButton = new QPushButton(QStringLiteral("Atualiza versão atual..."), this);
    m_updateButton->setObjectName(QStringLiteral("BtAtualizaVersao"));
    m_reinstallButton = new QPushButton(QStringLiteral("Instala versão anterior..."), this);
    m_reinstallButton->setObjectName(QStringLiteral("BtVersaoAnterior"));
    m_leaveButton = new QPushButton(QStringLiteral("&Saída"), this);
    m_leaveButton->setObjectName(QStringLiteral("BtSaida"));
    buttons->addWidget(m_updateButton);
    buttons->addWidget(m_reinstallButton);
    buttons->addStretch();
    buttons->addWidget(m_leaveButton);
    layout->addLayout(buttons);
    resize(620, 380);

    connect(m_updateButton, &QPushButton::clicked, this, &TFrmPrincipalVersoes::openUpdate);
    connect(m_reinstallButton, &QPushButton::clicked, this, &TFrmPrincipalVersoes::openReinstall);
    connect(m_leaveButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TFrmPrincipalVersoes::refresh()
{
    const QList<RefVersion::Installation> rows = RefVersion::history(m_db);
    VersionParts::fill(m_model, rows, VersionParts::Columns::History);
    m_historyGrid->resizeColumnsToContents();
    m_currentVersionEdit->setText(rows.isEmpty() ? QString() : rows.first().version);
    m_currentFileEdit->setText(rows.isEmpty() ? QString() : rows.first().fileName);
    m_reinstallButton->setEnabled(!rows.isEmpty());
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

void TFrmPrincipalVersoes::openUpdate()
{
    loadSettings();
    TFrmAtualizaVersao window(m_db, m_messenger, m_config, m_currentVersionEdit->text(), m_currentFileEdit->text(),
                              this);
    execChild(window);
    refresh();
}

void TFrmPrincipalVersoes::openReinstall()
{
    loadSettings();
    TFrmVersaoAnterior window(m_db, m_messenger, m_config, m_currentVersionEdit->text(), m_currentFileEdit->text(),
                              this);
    execChild(window);
    refresh();
}
