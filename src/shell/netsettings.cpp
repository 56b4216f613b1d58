#include "shell/netsettings.h"

#include "base/ftpaddress.h"
#include "shell/configlocal.h"

FtpSettings ftpSettings(const FtpAddress &address, const ConfigLocal &config)
{
    FtpSettings s = FtpSettings::fromAddress(address, config.loginFTP, config.senhaFTP);
    s.caFile = config.arqCertificadoTLS.trimmed();
    return s;
}

SmtpSettings smtpSettings(const ConfigLocal &config)
{
    SmtpSettings s = SmtpSettings::fromConfig(config.endSMTPHost, config.endSMTPPort);
    s.user = config.endSMTPUsuario.trimmed();
    s.caFile = config.arqCertificadoTLS.trimmed();
    return s;
}
