#pragma once
#include "maintenance/selectionsql.h"
#include "register/certificatefilter.h"

#include <QList>
#include <QString>

// The list of the certificate selection dialog, filtered and ordered. (The
// class lists it offers are the report window's, reports/certificateselection.h.)
namespace CertificateChoice {

// The column titles clicked to order the list, in grid order.
enum class Order { Default, Number, CertificateClass, ProductClass, Issue, Validity };

// Columns: SiglaCertificador, NumCertif, NomClasseCertif, NomClasseProd,
// DataEmissao, DataValid, UsuResp, DthUltAtualiz.
// Matches the number, the class names, the company, the product and the
// origin (ignored while a product is chosen).
SelectionSql::Statement statement(const CertificateFilter &filter, Order order = Order::Default);
QString orderClause(Order order);

}
