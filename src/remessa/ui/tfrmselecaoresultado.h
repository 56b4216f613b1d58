#pragma once
#include "remessa/remessawork.h"

#include <QDialog>

class Database;
class Messenger;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Seleção de Modo de Recebimento": how the regulator's verdict comes in.
// The search in the regulator's result folder by FTP, or the code typed by
// hand.
class TFrmSelecaoResultado : public QDialog
{
    Q_OBJECT
public:
    TFrmSelecaoResultado(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);

    void setPackageName(const QString &packageName);

    void openChosenResult();

private:
    RemessaWork m_work;
    Database &m_db;
    Messenger &m_msg;

    QLineEdit *packageEdit = nullptr;
    QRadioButton *ftpRadio = nullptr;
    QRadioButton *manualRadio = nullptr;
    QPushButton *okButton = nullptr;
};
