#pragma once
#include "shell/configlocal.h"

#include <QDialog>
#include <functional>

class Database;
class Messenger;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

// "Controle de Versões de Tabelas Auxiliares": the installed version of the
// reference tables and the history of installations; starts an update or a
// reinstallation and reloads the history after either.
class TFrmPrincipalVersoes : public QDialog
{
    Q_OBJECT
public:
    TFrmPrincipalVersoes(Database &db, Messenger &messenger, QWidget *parent = nullptr);

    void refresh();
    void openUpdate();
    void openReinstall();

    // Runs a child window; tests replace it to drive the window themselves.
    std::function<void(QDialog &)> execChild = [](QDialog &d) { d.exec(); };

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildUi();
    void loadSettings();

    Database &m_db;
    Messenger &m_messenger;
    ConfigLocal m_config;

    QLineEdit *m_currentVersionEdit;
    QLineEdit *m_currentFileEdit;
    QTableView *m_historyGrid;
    QStandardItemModel *m_model;
    QPushButton *m_updateButton;
    QPushButton *m_reinstallButton;
    QPushButton *m_leaveButton;
};
