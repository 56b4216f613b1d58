#pragma once
#include "maintenance/products/certificateitem.h"
#include "maintenance/selectionsql.h"

#include <QList>
#include <optional>

class Database;
class QSqlRecord;

// A company of the open certificate as the "Empresa Vinculada" list offers it.
struct LinkedCompany
{
    QString codigoPais;
    QString idEmpresa;
    QString tipoPessoa;
    QString name; // RazSocialEmp of a legal entity, NomPessoaFisica of a person
};

// Reads and writes of the rows of TIPO, LOTE, UNIDADE and SERVICO. Every
// function raises DbError; none opens a transaction.
namespace ItemStore {

// The grid of a tab: the certificate's items, fetched as the view scrolls.
// Every statement carries the key columns of its kind under their own names.
SelectionSql::Statement grid(ItemKind kind, const CertificateKey &certificate);
// The row of the item's key with what is shown beside it; nothing when gone.
std::optional<CertificateItem> load(const Database &db, ItemKind kind, const CertificateItem &key);
// The row's own columns (no display fields).
CertificateItem fromRecord(ItemKind kind, const QSqlRecord &record);

void insert(const Database &db, ItemKind kind, const CertificateItem &item);
// Writes the item over the row of `oldKey` (its key may change with it).
void update(const Database &db, ItemKind kind, const CertificateItem &oldKey, const CertificateItem &item);
int remove(const Database &db, ItemKind kind, const CertificateItem &key);
// The item's normative documents and their events follow its key (moved to
// the new one) or go with it; answer the rows touched.
int moveDocuments(const Database &db, ItemKind kind, const CertificateItem &oldKey, const CertificateItem &newKey);
int removeDocuments(const Database &db, ItemKind kind, const CertificateItem &key);
// The normative documents attached to a service: each as its id and title
// ("12 - NBR 5410"), in id order.
QStringList serviceDocuments(const Database &db, const CertificateItem &service);
// Sets the status letter and its date, DthUltAtualiz and UsuResp.
int setStatus(const Database &db, ItemKind kind, const CertificateItem &key, const QString &letter,
              const QDateTime &statusDate, const QString &user);

// Fills companyName and companyTaxId from the item's company key.
void describeCompany(const Database &db, CertificateItem &item);

bool hasAny(const Database &db, ItemKind kind, const CertificateKey &certificate);
// qryEmpresa: the certificate's companies by kind of person and name.
QList<LinkedCompany> linkedCompanies(const Database &db, const CertificateKey &certificate);

}
