#pragma once
#include "remessa/remessawork.h"

#include <QDialog>

class Database;
class Messenger;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Seleção do Modo de Transferência": how the file goes to the regulator.
// FTP, a folder copy (for hand delivery) or e-mail; the chosen window opens
// modally with the file.
class TFrmSelecaoTransferencia : public QDialog
{
    Q_OBJECT
public:
    TFrmSelecaoTransferencia(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);

    // Another file than the remittance's package (a TXT file).
    void setFileName(const QString &fileName);
    int selectedMode() const;

    void openChosenTransfer();

protected:
    void showEvent(QShowEvent *event) override;

private:
    RemessaWork m_work;
    QString m_fileName;
    Database &m_db;
    Messenger &m_msg;

    QLineEdit *folderEdit = nullptr;
    QLineEdit *packageEdit = nullptr;
    QGroupBox *modeGroup = nullptr;
    QButtonGroup *m_modes = nullptr;
    QPushButton *okButton = nullptr;
};
