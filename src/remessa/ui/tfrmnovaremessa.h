#pragma once
#include "remessa/remessapreparation.h"

#include <QDialog>

class Database;
class Messenger;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

// "Prepara Nova Remessa": runs a preparation and shows its progress and result.
class TFrmNovaRemessa : public QDialog
{
    Q_OBJECT
public:
    TFrmNovaRemessa(Database &db, Messenger &messenger, const RemessaPreparation::Settings &settings,
                    QWidget *parent = nullptr);

    void BtInicioClick();
    void BtInterrompeClick() { m_interrupted = true; }
    RemessaPreparation::Result lastResult() const { return m_result; }
    bool running() const { return m_running; }

protected:
    void reject() override;

private:
    void buildUi();
    void showProgress(bool visible);

    Database &m_db;
    Messenger &m_messenger;
    RemessaPreparation::Settings m_settings;
    RemessaPreparation::Result m_result;
    bool m_interrupted = false;
    bool m_running = false;

    QGroupBox *RGTipoRemessa;
    QRadioButton *m_partial;
    QRadioButton *m_complete;
    QPushButton *BtInicio;
    QPushButton *BtInterrompe;
    QPushButton *BtSaida;
    QLineEdit *EdResultado;
    QLineEdit *EdNumeroRemessa;
    QLineEdit *EdArquivoRemessa;
    QLabel *LblTitulo;
    QLabel *LblTabela;
    QLabel *LblOperacao;
    QLabel *LbTabelas;
    QProgressBar *PbTabelas;
    QLabel *CkTabelas;
    QLabel *LbArquivo;
    QProgressBar *PbArquivo;
    QLabel *CkArquivo;
};
