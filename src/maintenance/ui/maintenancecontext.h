#pragma once
#include "maintenance/certificate.h"
#include "maintenance/ui/tfrmjustificativa.h"

#include <QDateTime>
#include <QString>

class Database;
class Messenger;

// What every panel and tab of the maintenance window works with: the
// database, the messenger, who is logged in and how to ask for a
// justification.
struct MaintenanceContext
{
    Database &db;
    Messenger &messenger;
    QString userCode;
    JustificationPrompt askJustification;
};

// The certificate open on the modify panel, as the tabs need it.
struct OpenCertificate
{
    CertificateKey key;
    QDateTime issueDate;
    // Empty when the certificate was never approved: items added or edited
    // before the first approval need no justification.
    QString lastApproval;
};
