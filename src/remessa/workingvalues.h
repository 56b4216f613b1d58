#pragma once
#include <QString>

class Database;

namespace RemessaControl {

// What the remittance cycle takes from CONFIG_LOCAL, read and fitted once:
// folders resolved and ending with a separator, texts within their widths.
// The transfer logins and addresses are read where they are used, from the
// configuration itself.
struct WorkingValues
{
    QString syncDir; // DirLocalSincr
    QString transferDir; // DirLocalTransf
    QString acronym; // SiglaCertificador
    QString occName; // NomeOCC
};
WorkingValues workingValues(const Database &db);

}
