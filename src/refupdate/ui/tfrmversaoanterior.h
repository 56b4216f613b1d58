#pragma once
#include "shell/configlocal.h"

#include <QDialog>

class Database;
class Messenger;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

// "Controle de Versões - Instala Versão Anterior": reinstalls a version of the
// history from its package kept in the reception folder.
class TFrmVersaoAnterior : public QDialog
{
    Q_OBJECT
public:
    TFrmVersaoAnterior(Database &db, Messenger &messenger, const ConfigLocal &config, const QString &versaoAtual,
                       const QString &nomeArquivo, QWidget *parent = nullptr);

    void BtAtualizaClick();
    // Selects the row of a version (tests; the user clicks the grid).
    bool selectVersion(const QString &version);
    bool installed() const { return m_installed; }

private:
    void buildUi();
    void showResult();

    Database &m_db;
    Messenger &m_messenger;
    ConfigLocal m_config;
    bool m_installed = false;

    QLineEdit *EdVersaoAtual;
    QLineEdit *EdNomeArquivo;
    QTableView *GrVersoes;
    QStandardItemModel *m_model;
    QGroupBox *GbInstala;
    QLabel *LbAtualiza;
    QLabel *CkAtualiza;
    QGroupBox *GbResultado;
    QLineEdit *EdResultado;
    QPushButton *BtAtualiza;
    QPushButton *BtCancela;
    QPushButton *BtSaida;
};
