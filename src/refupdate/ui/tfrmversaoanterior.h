#pragma once
#include "shell/configlocal.h"

#include <QDialog>

class Database;
class Messenger;
class QLineEdit;
class QStandardItemModel;
class QTableView;
class VersionInstaller;

// "Controle de Versões - Instala Versão Anterior": reinstalls a version of the
// history from its package kept in the reception folder. The installation
// runs off the window thread.
class TFrmVersaoAnterior : public QDialog
{
    Q_OBJECT
public:
    TFrmVersaoAnterior(Database &db, Messenger &messenger, const ConfigLocal &config, const QString &currentVersion,
                       const QString &currentFile, QWidget *parent = nullptr);

    void reinstallSelected();
    // Selects the row of a version (tests; the user clicks the grid).
    bool selectVersion(const QString &version);
    bool installed() const { return m_installed; }

signals:
    // The reinstallation ended, whatever its outcome; the result line shows it.
    void reinstallEnded();

protected:
    void done(int result) override;

private:
    void buildUi();

    Database &m_db;
    Messenger &m_messenger;
    ConfigLocal m_config;
    bool m_installed = false;

    QLineEdit *m_currentVersionEdit;
    QLineEdit *m_currentFileEdit;
    QTableView *m_versionGrid;
    QStandardItemModel *m_model;
    VersionInstaller *m_installer;
};
