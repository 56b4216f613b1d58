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
    void BtAtualizaVersaoClick();
    void BtVersaoAnteriorClick();

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

    QLineEdit *EdVersaoAtual;
    QLineEdit *EdNomeArquivo;
    QTableView *GrHistorico;
    QStandardItemModel *m_model;
    QPushButton *BtAtualizaVersao;
    QPushButton *BtVersaoAnterior;
    QPushButton *BtSaida;
};
