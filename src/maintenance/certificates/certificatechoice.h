#pragma once
#include "maintenance/selectionsql.h"

#include <QList>
#include <QString>


// The list of the certificate selection dialog, filtered and ordered. (The
// class lists it offers are the report window's, reports/certificateselection.h.)
namespace CertificateChoice {

enum class Origin { Any, Imported, National };

struct Filter
{
    QString number; // found anywhere in NumCertif, any letter case
    QString certificateClass; // NomClasseCertif
    QString productClass; // NomClasseProd
    QString serviceClass; // NomClasseServ of one of its services
    QString companyCountry; // with companyId: a company of the certificate
    QString companyId;
    QString brand; // with model and imported: a type, unit or lot
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
