#include "refupdate/ui/tfrmatualizaversao.h"

#include "base/ftpaddress.h"
#include "base/messenger.h"
#include "db/database.h"
#include "net/asyncftpclient.h"
#include "refupdate/refupdaterun.h"
#include "refupdate/refversion.h"
#include "refupdate/ui/versionparts.h"
#include "shell/netsettings.h"
#include "widgets/dialogparts.h"
#include "widgets/jobrunner.h"
#include "widgets/stepparts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>
#include <memory>

TFrmAtualizaVersao::TFrmAtualizaVersao(Database &db, Messenger &messenger, const ConfigLocal &config,
                                       const QString &currentVersion, const QString &currentFile, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_messenger(messenger),
      m_config(config),
      m_copier(new JobRunner(this))
{
    m_currentVersion = currentVersion.isEmpty() ? RefVersion::noVersion() : currentVersion;
    m_currentFile = currentFile.isEmpty() ? RefVersion::noVersionFile() : currentFile;
    buildUi();
    m_currentVersionEdit->setText(currentVersion);
    m_currentFileEdit->setText(currentFile);
    showSourceChoice();
}

TFrmAtualizaVersao::~TFrmAtualizaVersao()
{
    if (m_waitCursor)
        QApplication::restoreOverrideCursor();
}

void TFrmAtualizaVersao::buildUi()
{
    setObjectName(QStringLiteral("FrmAtualizaVersao"));
    setWindowTitle(QStringLiteral("Controle de Versões - Atualiza Versão Atual"));
    auto *layout = new QVBoxLayout(this);

    const VersionParts::CurrentVersion current = VersionParts::addCurrentVersion(this, layout);
    m_currentVersionEdit = current.version;
    m_currentFileEdit = current.fileName;

    auto *gbTipo = new QGroupBox(QStringLiteral("Tipo de Atualização"), this);
    auto *ht = new QHBoxLayout(gbTipo);
    m_sourceKind = new QComboBox(gbTipo);
    m_sourceKind->setObjectName(QStringLiteral("CbTipo"));
    m_sourceKind->addItems({QStringLiteral("Internet"), QStringLiteral("Arquivo Local")});
    ht->addWidget(m_sourceKind);
    layout->addWidget(gbTipo);

    m_sourceBox = new QGroupBox(this);
    m_sourceBox->setObjectName(QStringLiteral("GbLocalizacao"));
    m_sourceEdit = DialogParts::readOnlyField(m_sourceBox, QStringLiteral("EdLocalizacao"));
    m_browseButton = DialogParts::namedButton(QStringLiteral("BtBrowse"), QStringLiteral("Browse..."), m_sourceBox);
    StepParts::addRow(layout, m_sourceBox, m_sourceEdit, m_browseButton);

    m_progressBox = new QGroupBox(QStringLiteral("Acompanhamento "), this);
    m_progressBox->setObjectName(QStringLiteral("GbAcompanhamento"));
    auto *ga = new QGridLayout(m_progressBox);
    m_searchedTick = VersionParts::stepTick(m_progressBox, "CkProcura");
    m_transferredTick = VersionParts::stepTick(m_progressBox, "CkTransferindo");
    ga->addWidget(new QLabel(QStringLiteral("Procura por versão mais atualizada...."), m_progressBox), 0, 0, 1, 2);
    ga->addWidget(m_searchedTick, 0, 2);
    ga->addWidget(new QLabel(QStringLiteral("Transferindo arquivo com nova versão..."), m_progressBox), 1, 0, 1, 2);
    ga->addWidget(m_transferredTick, 1, 2);
    m_newFileEdit = DialogParts::readOnlyField(m_progressBox, QStringLiteral("EdArquivoNovo"));
    m_newVersionEdit = DialogParts::readOnlyField(m_progressBox, QStringLiteral("EdVersaoNova"));
    ga->addWidget(new QLabel(QStringLiteral("Arquivo:"), m_progressBox), 2, 0);
    ga->addWidget(m_newFileEdit, 2, 1);
    ga->addWidget(new QLabel(QStringLiteral("Versão encontrada:"), m_progressBox), 3, 0);
    ga->addWidget(m_newVersionEdit, 3, 1);
    m_transferBar = new QProgressBar(m_progressBox);
    m_transferBar->setObjectName(QStringLiteral("PbTransferencia"));
    ga->addWidget(m_transferBar, 4, 0, 1, 2);
    m_interruptButton = new QPushButton(QStringLiteral("Interrompe"), m_progressBox);
    m_interruptButton->setObjectName(QStringLiteral("BtInterrompe"));
    ga->addWidget(m_interruptButton, 4, 2);
    layout->addWidget(m_progressBox);

    m_installer = new VersionInstaller(this, layout, m_db, m_messenger);
    m_installer->adjustsWindow = true;

    m_remoteNames = new QListWidget(this);
    m_remoteNames->setObjectName(QStringLiteral("ListaArq"));
    m_remoteNames->setVisible(false);

    m_progressBox->setVisible(false);
    setMinimumWidth(520);

    connect(m_sourceKind, &QComboBox::currentIndexChanged, this, &TFrmAtualizaVersao::showSourceChoice);
    connect(m_browseButton, &QPushButton::clicked, this, &TFrmAtualizaVersao::browseFolder);
    connect(m_installer->updateButton, &QPushButton::clicked, this, &TFrmAtualizaVersao::startUpdate);
    connect(m_interruptButton, &QPushButton::clicked, this, &TFrmAtualizaVersao::interrupt);
    connect(m_copier, &JobRunner::progress, this,
            [this](qint64 done, qint64) { m_transferBar->setValue(int(qMin<qint64>(done, INT_MAX))); });
    connect(m_copier, &JobRunner::finished, this, &TFrmAtualizaVersao::transferEnded);
    connect(m_installer, &VersionInstaller::installed, this, [this](const RefUpdate::Outcome &outcome) {
        m_installed = outcome.installed;
        if (m_installed) {
            m_currentVersionEdit->setText(m_newVersionEdit->text());
            m_currentFileEdit->setText(m_newFileEdit->text());
        }
    });
    connect(m_installer, &VersionInstaller::resultShown, this, &TFrmAtualizaVersao::updateEnded);
}

void TFrmAtualizaVersao::showSourceChoice()
{
    if (m_sourceKind->currentIndex() == 0) {
        m_browseButton->setVisible(false);
        m_sourceEdit->setText(m_config.endQueloraOrigAux);
        m_sourceBox->setTitle(QStringLiteral("Endereço Quelora para Busca de Novas Versões"));
    } else {
        m_browseButton->setVisible(true);
        m_sourceEdit->clear();
        m_sourceBox->setTitle(QStringLiteral("Localização do Arquivo"));
    }
}

void TFrmAtualizaVersao::browseFolder()
{
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Escolha de diretório"),
                                                          m_sourceEdit->text());
    if (!dir.isEmpty())
        setSourceFolder(dir);
}

void TFrmAtualizaVersao::setSourceFolder(const QString &folder)
{
    m_sourceEdit->setText(QDir::toNativeSeparators(QDir::cleanPath(folder)) + QDir::separator());
}

bool TFrmAtualizaVersao::isBusy() const
{
    return (m_ftp && m_ftp->isBusy()) || m_copier->isRunning() || m_installer->isRunning();
}

void TFrmAtualizaVersao::done(int result)
{
    // Leaving would cut the transfer or the installation under way.
    if (!isBusy())
        QDialog::done(result);
}

void TFrmAtualizaVersao::startUpdate()
{
    m_transferBar->setValue(0);
    m_installer->cancelButton->setEnabled(false);
    m_installer->updateButton->setEnabled(false);
    const bool internet = m_sourceKind->currentIndex() == 0;
    if (!internet && m_sourceEdit->text().isEmpty())
        return;
    m_progressBox->setVisible(true);
    adjustSize();
    m_reception = RefUpdate::receptionDir(m_config);
    if (m_reception.isEmpty()) {
        m_interruptButton->setEnabled(false);
        m_installer->result->setText(
            QStringLiteral("O diretório de recepção das tabelas auxiliares não está configurado."));
        showResult();
        return;
    }
    if (internet)
        searchByFtp();
    else
        copyFromFolder();
}

void TFrmAtualizaVersao::searchByFtp()
{
    const FtpAddress address = FtpAddress::split(m_config.endQueloraOrigAux);
    m_ftp = new AsyncFtpClient(this);
    connect(m_ftp, &AsyncFtpClient::listItem, this, [this](const QString &name) { m_remoteNames->addItem(name); });
    connect(m_ftp, &AsyncFtpClient::failed, this, [this](const FtpFailure &f) {
        if (f.kind == FtpFailure::Aborted)
            return;
        if (!m_failed)
            m_failure = f;
        m_failed = true;
    });
    connect(m_ftp, &AsyncFtpClient::progress, this, [this](qint64 done, qint64 total) {
        if (total > 0)
            m_transferBar->setMaximum(int(qMin<qint64>(total, INT_MAX)));
        m_transferBar->setValue(int(qMin<qint64>(done, INT_MAX)));
    });
    connect(m_ftp, &AsyncFtpClient::finished, this, [this](FtpOperation op, bool) { ftpStepFinished(op); });
    // An hourglass while the folder is searched.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_waitCursor = true;
    m_ftp->setSettings(ftpSettings(address, m_config));
    m_remoteNames->clear();
    m_ftp->connectToHost();
    m_ftp->changeDirectory(address.path);
    m_ftp->listNames();
}

void TFrmAtualizaVersao::ftpStepFinished(FtpOperation op)
{
    if (op == FtpOperation::List)
        listed();
    else if (op == FtpOperation::Download)
        downloaded();
}

void TFrmAtualizaVersao::listed()
{
    if (m_waitCursor) {
        QApplication::restoreOverrideCursor();
        m_waitCursor = false;
    }
    if (m_failed && m_failure.kind == FtpFailure::Error && !m_interrupted) {
        // The connection itself was refused: the window's warning, as any
        // unexpected error of this window.
        m_messenger.warning(FtpTexts::connectError(m_failure.text));
    }
    if (m_failed || m_interrupted) {
        m_ftp->disconnectFromHost();
        transferEnded();
        return;
    }
    QStringList names;
    for (int i = 0; i < m_remoteNames->count(); ++i)
        names << m_remoteNames->item(i)->text();
    const QString best = RefVersion::newest(names, m_currentFile);
    if (best == m_currentFile) {
        m_ftp->disconnectFromHost();
        searched(QString(), RefUpdate::NotFound);
        return;
    }
    const QString local = QDir(m_reception).filePath(best);
    QFile::remove(local);
    searched(best, QString());
    m_ftp->download(best, local);
}

void TFrmAtualizaVersao::searched(const QString &found, const QString &notFound)
{
    m_searchedTick->setVisible(true);
    if (found.isEmpty()) {
        m_interruptButton->setEnabled(false);
        m_installer->result->setText(notFound);
        showResult();
        return;
    }
    m_found = true;
    m_newFileEdit->setText(found);
    m_newVersionEdit->setText(RefVersion::versionOf(found));
}

void TFrmAtualizaVersao::downloaded()
{
    m_ftp->disconnectFromHost();
    m_transferredTick->setVisible(!m_failed && !m_interrupted);
    transferEnded();
}

void TFrmAtualizaVersao::copyFromFolder()
{
    const QString folder = QDir::fromNativeSeparators(m_sourceEdit->text());
    const QString current = RefVersion::fileNameFor(m_currentVersion);
    const QString best = RefUpdate::findInFolder(folder, current);
    if (best == current) {
        searched(QString(), RefUpdate::NotFoundLocal);
        return;
    }
    searched(best, QString());
    const QString from = QDir(folder).filePath(best);
    const QString to = QDir(m_reception).filePath(best);
    m_transferBar->setMaximum(int(qMin<qint64>(QFileInfo(from).size(), INT_MAX)));
    if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath()) {
        transferEnded(); // already in the reception folder
        return;
    }
    m_copier->start([this, from, to](JobProgress &progress) {
        QString error;
        const RefUpdate::CopyResult result = RefUpdate::copyInBlocks(
            from, to, [&progress](qint64 done, qint64 total) { progress.amount(done, total); }, progress.stopFlag(),
            &error);
        if (result == RefUpdate::CopyResult::Failed)
            m_copier->post([this, error] {
                m_failed = true;
                m_failure.text = error;
            });
    });
}

void TFrmAtualizaVersao::transferEnded()
{
    m_interruptButton->setEnabled(false);
    if (m_interrupted) {
        showResult();
    } else if (m_failed) {
        m_installer->result->setText(m_found ? FtpTexts::updateTransferError(m_failure.text) : m_failure.text);
        showResult();
    } else {
        m_transferredTick->setVisible(true);
        install();
    }
}

void TFrmAtualizaVersao::interrupt()
{
    m_interruptButton->setEnabled(false);
    m_installer->result->setText(m_found ? FtpTexts::UpdateInterrupted : FtpTexts::Interrupted);
    m_interrupted = true;
    if (m_ftp)
        m_ftp->abort();
    m_copier->interrupt();
}

void TFrmAtualizaVersao::install()
{
    m_installer->install([reception = m_reception, fileName = m_newFileEdit->text()](Database &db) {
        return RefUpdate::installPackage(db, reception, fileName);
    });
}

void TFrmAtualizaVersao::showResult()
{
    m_installer->showResult();
}
