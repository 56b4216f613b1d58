#pragma once
#include "maintenance/selectionsql.h"

#include <QList>
#include <QString>

class Database;

// The certificate selection: the class lists of the local certifier and the
// filtered certificate list.
namespace CertificateSelection {

// Classes for which the certifier of CONFIG_LOCAL is accredited, by name.
// Certificate classes count when accredited for products or for services.
QList<SelectionSql::Entry> certificateClasses(Database &db);
QList<SelectionSql::Entry> productClasses(Database &db);
QList<SelectionSql::Entry> serviceClasses(Database &db);

enum class Origin { Any, Imported, National };

struct Filter
{
    QString number;              // found anywhere in NumCertif, any letter case
    QString certificateClass;    // NomClasseCertif
    QString productClass;        // NomClasseProd
    QString serviceClass;        // NomClasseServ of one of its services
    QString companyCountry;      // with companyId: a company of the certificate
    QString companyId;
    QString brand;               // with model and imported: a type, unit or lot
    QString model;
    int imported = 0;
    Origin origin = Origin::Any; // ignored while a product is chosen

    bool hasCompany() const { return !companyCountry.isEmpty() || !companyId.isEmpty(); }
    bool hasProduct() const { return !brand.isEmpty() || !model.isEmpty(); }
};

// The column titles clicked to order the list, in grid order.
enum class Order { Default, Number, CertificateClass, ProductClass, Issue, Validity };

// Columns: SiglaCertificador, NumCertif, NomClasseCertif, NomClasseProd,
// DataEmissao, DataValid, UsuResp, DthUltAtualiz.
SelectionSql::Statement statement(const Filter &filter, Order order = Order::Default);
QString orderClause(Order order);

}
