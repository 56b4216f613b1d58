#include "refupdate/ui/tfrmversaoanterior.h"

#include "base/messenger.h"
#include "db/database.h"
#include "refupdate/refinstall.h"
#include "refupdate/refupdaterun.h"
#include "refupdate/ui/versionparts.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

TFrmVersaoAnterior::TFrmVersaoAnterior(Database &db, Messenger &messenger, const ConfigLocal &config,
                                       const QString &currentVersion, const QString &currentFile, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_messenger(messenger),
      m_config(config)
{
    buildUi();
    m_currentVersionEdit->setText(currentVersion);
    m_currentFileEdit->setText(currentFile);
    VersionParts::fill(m_model, RefVersion::byVersion(m_db), VersionParts::Columns::Choice);
    m_versionGrid->resizeColumnsToContents();
    if (m_model->rowCount() > 0)
        m_versionGrid->selectRow(0);
}

void TFrmVersaoAnterior::buildUi()
{
    setObjectName(QStringLiteral("FrmVersaoAnterior"));
    setWindowTitle(QStringLiteral("Controle de Versões - Instala Versão Anterior"));
    auto *layout = new QVBoxLayout(this);

    const VersionParts::CurrentVersion current = VersionParts::addCurrentVersion(this, layout);
    m_currentVersionEdit = current.version;
    m_currentFileEdit = current.fileName;

    m_model = new QStandardItemModel(this);
    m_versionGrid = VersionParts::addGrid(this, layout, QStringLiteral("Seleciona Versão"), "GrVersoes", m_model);

    m_installer = new VersionInstaller(this, layout, m_db, m_messenger);
    resize(560, 360);

    connect(m_installer->updateButton, &QPushButton::clicked, this, &TFrmVersaoAnterior::reinstallSelected);
    connect(m_installer, &VersionInstaller::resultShown, this, &TFrmVersaoAnterior::reinstallEnded);
}

bool TFrmVersaoAnterior::selectVersion(const QString &version)
{
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (m_model->item(r, 0)->text() == version) {
            m_versionGrid->selectRow(r);
            return true;
        }
    return false;
}

void TFrmVersaoAnterior::done(int result)
{
    // Leaving would cut the installation under way.
    if (!m_installer->isRunning())
        QDialog::done(result);
}

void TFrmVersaoAnterior::reinstallSelected()
{
    m_installer->updateButton->setEnabled(false);
    m_installer->cancelButton->setEnabled(false);
    const QModelIndexList rows = m_versionGrid->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        m_installer->showResult();
        return;
    }
    const int row = rows.first().row();
    const QString fileName = m_model->item(row, 1)->text().left(RefVersion::FileNameLength);
    const QString version = m_model->item(row, 0)->text().left(10);
    m_installer->installBox->setVisible(true);
    const QString reception = RefUpdate::receptionDir(m_config);
    if (reception.isEmpty() || !QFileInfo(QDir(reception).filePath(fileName)).isFile()) {
        m_messenger.error(RefInstall::OlderFileMissing);
        m_installer->showResult(RefInstall::OlderFileMissing);
        return;
    }
    connect(
        m_installer, &VersionInstaller::installed, this,
        [this, version, fileName](const RefUpdate::Outcome &outcome) {
            m_installed = outcome.installed;
            if (m_installed) {
                m_currentVersionEdit->setText(version);
                m_currentFileEdit->setText(fileName);
            }
        },
        Qt::SingleShotConnection);
    m_installer->install(
        [config = m_config, version](Database &db) { return RefUpdate::reinstall(db, config, version); });
}
