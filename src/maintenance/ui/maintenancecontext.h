#pragma once
#include "maintenance/certificates/certificate.h"
#include "maintenance/certificates/ui/tfrmjustificativa.h"

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
    // The regulator may hold the certificate (RegulatorHolding): a change to
    // it or its items needs a justification.
    bool held = false;
};
