#pragma once
#include "remessa/ui/transferwindow.h"

// "Transfere Arquivo via E-MAIL": sends the file as the attachment of the
// remittance e-mail through the certification body's mail server.
class TFrmTransfereSMTP : public TransferWindow
{
    Q_OBJECT
public:
    TFrmTransfereSMTP(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);
};
