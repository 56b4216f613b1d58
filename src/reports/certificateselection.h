#pragma once
#include "register/certificatefilter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <optional>

class Database;

// One entry of a class list: the identifier kept, the name shown.
struct ClassEntry
{
    QVariant id;
    QString name;
};

namespace CertificateSelection {

// The selection statement: every column of CERTIFIC, then NomClasseCertif and
// NomClasseProd, in certificate-key order. Values are bound positionally.
struct Statement
{
    QString sql;
    QVariantList params;
};
Statement build(const CertificateFilter &filter);

// The line the report headers carry: "Seleção: ..." naming every filter set,
// origin, status and approval always.
QString description(const CertificateFilter &filter);

// Raises DbError.
int count(Database &db, const CertificateFilter &filter);
// Thousands separated by "."; zero as "0".
QString countText(qint64 count);
// "Total de certificados: N", the last line of every certificate list.
QString totalLine(qint64 count);

// Classes the local certifier is accredited for, ordered by name. A
// certificate class counts when either accreditation table holds it.
// Raise DbError.
QList<ClassEntry> certificateClasses(Database &db);
QList<ClassEntry> productClasses(Database &db);
QList<ClassEntry> serviceClasses(Database &db);

}
