#include "remessa/ui/tfrmtransferesmtp.h"

#include "net/asyncsmtpsender.h"
#include "shell/configlocal.h"
#include "shell/exceptionhandler.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

TFrmTransfereSMTP::TFrmTransfereSMTP(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent)
    : TransferWindow(work, db, messenger, parent)
{
    setObjectName(QStringLiteral("FrmTransfereSMTP"));
    setWindowTitle(QStringLiteral("Transfere Arquivo via E-MAIL"));
    QGroupBox *dest = destinationGroup();
    dest->setTitle(QStringLiteral("Servidor E-MAIL (SMTP) "));
    auto *row = new QVBoxLayout(dest);
    EdSMTPEMail = new QLineEdit(dest);
    EdSMTPEMail->setObjectName(QStringLiteral("EdSMTPEMail"));
    EdSMTPEMail->setReadOnly(true);
    EdSMTPEMail->setAccessibleName(QStringLiteral("Servidor E-MAIL (SMTP)"));
    row->addWidget(EdSMTPEMail);
    if (const auto config = ConfigLocalStore::read(m_db))
        EdSMTPEMail->setText(config->endSMTPHost);

    m_smtp = new AsyncSmtpSender(this);
    connect(m_smtp, &AsyncSmtpSender::progress, this, [this](qint64 done, qint64 total) { progressed(done, total); });
    connect(m_smtp, &AsyncSmtpSender::failed, this, [this](const SmtpFailure &failure) {
        if (failure.kind == SmtpFailure::Aborted)
            return;
        // A refused recipient has no text of its own: the server's answer tells why.
        noteFailure(failure.text.isEmpty() ? failure.detail : failure.text);
    });
    connect(m_smtp, &AsyncSmtpSender::finished, this,
            [this](bool ok) { guard(m_msg, [&] { sendingEnded(ok && !interrupted()); }); });
}

TFrmTransfereSMTP::~TFrmTransfereSMTP()
{
    m_smtp->abort();
}

void TFrmTransfereSMTP::startSending(const QString &path, const ConfigLocal &config)
{
    m_smtp->send(SmtpSettings::fromConfig(config),
                 SmtpMessage::remittance(config.siglaCertificador, config.nomeOCC, config.endSMTPEMailReply, path));
}

void TFrmTransfereSMTP::abortSending()
{
    m_smtp->abort();
}
