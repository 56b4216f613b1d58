#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <optional>

class Database;

// What the certificate report window filters on. Empty texts and unset
// optionals mean "every certificate" for that filter.
struct CertificateFilter
{
    enum class Origin { Todos, Sim, Nao };
    enum class Status { Todos, Ativos, Cancelados, Suspensos };
    enum class Approval { Todos, Aprovados, NaoAprovados };

    QString numero; // matched anywhere in the number, in upper case
    QStringList numeros; // exact numbers (the batch tool's --certificado)
    QString idClasseCertif; // with its name for the description
    QString nomClasseCertif;
    std::optional<int> idClasseProd;
    QString nomClasseProd;
    // The company chosen with "Seleciona Empresa...".
    QString codigoPais, idEmpresa, nomeEmpresa;
    // The product chosen with "Seleciona Produto...".
    QString marcaProd, modeloProd;
    int importadoProd = 0;
    std::optional<int> idClasseServ;
    QString nomClasseServ;
    Origin importado = Origin::Todos;
    Status status = Status::Todos;
    Approval aprovados = Approval::Todos;

    bool hasCompany() const { return !codigoPais.isEmpty() || !idEmpresa.isEmpty(); }
    bool hasProduct() const { return !marcaProd.isEmpty() || !modeloProd.isEmpty(); }
};

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
