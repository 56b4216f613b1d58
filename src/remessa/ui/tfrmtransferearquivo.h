#pragma once
#include "remessa/ui/transferwindow.h"

// "Transfere Arquivo": sends the file to the regulator's FTP folder
// (EndQueloraEnvio, as LoginFTP).
class TFrmTransfereArquivo : public TransferWindow
{
    Q_OBJECT
public:
    TFrmTransfereArquivo(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);
};
