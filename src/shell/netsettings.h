#pragma once
// The network clients know nothing of the configuration table: what they need
// of CONFIG_LOCAL is read here.
#include "net/ftpclient.h"
#include "net/smtpsender.h"

struct ConfigLocal;
struct FtpAddress;

// The FTP login and certificate file of the configuration, for the given server.
FtpSettings ftpSettings(const FtpAddress &address, const ConfigLocal &config);
// Host, port, login and certificate file of the configured mail server.
SmtpSettings smtpSettings(const ConfigLocal &config);
