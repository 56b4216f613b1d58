#pragma once
#include "remessa/ui/transferwindow.h"

class AsyncSmtpSender;

// "Transfere Arquivo via E-MAIL": sends the file as the attachment of the
// remittance e-mail through the certification body's mail server.
class TFrmTransfereSMTP : public TransferWindow
{
    Q_OBJECT
public:
    TFrmTransfereSMTP(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);
    ~TFrmTransfereSMTP() override;

protected:
    void startSending(const QString &path, const ConfigLocal &config) override;
    void abortSending() override;

private:
    AsyncSmtpSender *m_smtp = nullptr;
    QLineEdit *EdSMTPEMail = nullptr;
};
