#include "refupdate/ui/tfrmversaoanterior.h"

#include "base/messenger.h"
#include "db/database.h"
#include "refupdate/refinstall.h"
#include "refupdate/refupdaterun.h"
#include "refupdate/ui/versionsgrid.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFrmVersaoAnterior::TFrmVersaoAnterior(Database &db, Messenger &messenger, const ConfigLocal &config,
                                       const QString &versaoAtual, const QString &nomeArquivo, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_messenger(messenger),
      m_config(config)
{
    buildUi();
    EdVersaoAtual->setText(versaoAtual);
    EdNomeArquivo->setText(nomeArquivo);
    VersionsGrid::fill(m_model, RefVersion::byVersion(m_db), VersionsGrid::Columns::Choice);
    GrVersoes->resizeColumnsToContents();
    if (m_model->rowCount() > 0)
        GrVersoes->selectRow(0);
}

void TFrmVersaoAnterior::buildUi()
{
    setObjectName(QStringLiteral("FrmVersaoAnterior"));
    setWindowTitle(QStringLiteral("Controle de Versões - Instala Versão Anterior"));
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

    auto *gbSel = new QGroupBox(QStringLiteral("Seleciona Versão"), this);
    auto *vs = new QVBoxLayout(gbSel);
    m_model = new QStandardItemModel(this);
    GrVersoes = VersionsGrid::view(gbSel, "GrVersoes", m_model);
    vs->addWidget(GrVersoes);
    layout->addWidget(gbSel, 1);

    GbInstala = new QGroupBox(QStringLiteral("Instala Nova Versão "), this);
    GbInstala->setObjectName(QStringLiteral("GbInstala"));
    auto *hi = new QHBoxLayout(GbInstala);
    LbAtualiza = new QLabel(QStringLiteral("Atualizando tabelas para a nova versão... Aguarde."), GbInstala);
    LbAtualiza->setObjectName(QStringLiteral("LbAtualiza"));
    LbAtualiza->setVisible(false);
    CkAtualiza = new QLabel(QStringLiteral("\u2714"), GbInstala);
    CkAtualiza->setObjectName(QStringLiteral("CkAtualiza"));
    CkAtualiza->setVisible(false);
    hi->addWidget(LbAtualiza, 1);
    hi->addWidget(CkAtualiza);
    layout->addWidget(GbInstala);

    GbResultado = new QGroupBox(QStringLiteral("Resultado Final  "), this);
    GbResultado->setObjectName(QStringLiteral("GbResultado"));
    auto *hr = new QHBoxLayout(GbResultado);
    EdResultado = new QLineEdit(GbResultado);
    EdResultado->setObjectName(QStringLiteral("EdResultado"));
    EdResultado->setReadOnly(true);
    hr->addWidget(EdResultado);
    layout->addWidget(GbResultado);

    auto *buttons = new QHBoxLayout;
    BtAtualiza = new QPushButton(QStringLiteral("Atualiza Versão"), this);
    BtAtualiza->setObjectName(QStringLiteral("BtAtualiza"));
    BtCancela = new QPushButton(QStringLiteral("Cancela"), this);
    BtCancela->setObjectName(QStringLiteral("BtCancela"));
    BtSaida = new QPushButton(QStringLiteral("&Saída"), this);
    BtSaida->setObjectName(QStringLiteral("BtSaida"));
    buttons->addStretch();
    buttons->addWidget(BtAtualiza);
    buttons->addWidget(BtCancela);
    buttons->addWidget(BtSaida);
    layout->addLayout(buttons);
    GbInstala->setVisible(false);
    GbResultado->setVisible(false);
    resize(560, 360);

    connect(BtAtualiza, &QPushButton::clicked, this, &TFrmVersaoAnterior::BtAtualizaClick);
    connect(BtCancela, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::accept);
}

bool TFrmVersaoAnterior::selectVersion(const QString &version)
{
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (m_model->item(r, 0)->text() == version) {
            GrVersoes->selectRow(r);
            return true;
        }
    return false;
}

void TFrmVersaoAnterior::BtAtualizaClick()
{
    BtAtualiza->setEnabled(false);
    BtCancela->setEnabled(false);
    const QModelIndexList rows = GrVersoes->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        showResult();
        return;
    }
    const int row = rows.first().row();
    const QString fileName = m_model->item(row, 1)->text().left(21);
    const QString version = m_model->item(row, 0)->text().left(10);
    GbInstala->setVisible(true);
    const QString reception = RefUpdate::receptionDir(m_config);
    if (reception.isEmpty() || !QFileInfo(QDir(reception).filePath(fileName)).isFile()) {
        m_messenger.error(RefInstall::OlderFileMissing);
        EdResultado->setText(RefInstall::OlderFileMissing);
        showResult();
        return;
    }
    LbAtualiza->setVisible(true);
    QApplication::processEvents();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const RefUpdate::Outcome out = RefUpdate::reinstall(m_db, m_config, version);
    QApplication::restoreOverrideCursor();
    m_installed = out.installed;
    if (m_installed) {
        CkAtualiza->setVisible(true);
        EdVersaoAtual->setText(version);
        EdNomeArquivo->setText(fileName);
        EdResultado->setText(out.ignored.isEmpty() ? RefInstall::ReinstalledOlder
                                                   : RefInstall::ReinstalledOlder + QLatin1Char(' ') + out.ignored);
    } else {
        m_messenger.error(RefInstall::errorBoxText(out.detail));
        EdResultado->setText(RefInstall::InstallError);
    }
    showResult();
}

void TFrmVersaoAnterior::showResult()
{
    GbResultado->setVisible(true);
    BtSaida->setFocus();
}
