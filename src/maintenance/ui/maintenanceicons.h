#pragma once
#include <QIcon>

// The toolbar pictures of the maintenance window, drawn rather than shipped.
namespace MaintenanceIcons {
enum Icon { NewCertificate, EditCertificate, DeleteCertificate, Companies, Products, QueloraTables, Import, Exit };
QIcon icon(Icon which);
}
