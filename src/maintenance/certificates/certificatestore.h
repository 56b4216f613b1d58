#pragma once
#include "maintenance/certificates/certificate.h"

#include <QList>
#include <QStringList>
#include <optional>

class Database;

// Reads of the maintenance window: the certificate row, the class and
// signatory lists, the facts its rules branch on.
namespace CertificateStore {

struct ClassItem
{
    QVariant id;
    QString name;
};

// Certificate classes accredited to the configured certifier through its
// product or its service accreditations, by name.
QList<ClassItem> certificateClasses(const Database &db);
// Product classes accredited to the configured certifier, by name.
QList<ClassItem> productClasses(const Database &db);
// Service classes accredited to the configured certifier, by name.
QList<ClassItem> serviceClasses(const Database &db);
// Every signatory, the default one first.
QStringList signatories(const Database &db);

int configRowCount(const Database &db);

// The row of the key (letter case ignored); nothing when there is none.
std::optional<Certificate> load(const Database &db, const CertificateKey &key);

// Time of the latest "APR" event, as text; empty when never approved.
QString lastApprovalTime(Database &db, const CertificateKey &key);

// A company, product type, unit, lot or service is attached.
bool hasItems(const Database &db, const CertificateKey &key);
bool hasCompanies(const Database &db, const CertificateKey &key);
bool hasProductsOrServices(const Database &db, const CertificateKey &key);
// Accepted by the regulator once (a row in the replica), by number only.
bool inReplica(const Database &db, const QString &numero);
// Some normative document is attached anywhere, matched by number only.
bool hasAnyDocument(const Database &db, const QString &numero);

// Whether the certificate is complete with the given header (the values on
// the screen): header filled, a company, a product or service, and its
// normative documents unless the regulator already holds it.
bool isComplete(const Database &db, const Certificate &header);
// Works the flag out from the stored row and stores it. Raises DbError.
bool storeCompleteness(Database &db, const CertificateKey &key);

}
