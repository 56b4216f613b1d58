#pragma once
#include <QString>

class Database;
struct LoginState;

// The working values of the remittance cycle, loaded from CONFIG_LOCAL when
// the control window is activated and handed to every step window.
struct RemessaWork
{
    QString transferDir; // DirLocalTransf, ending with "/"
    QString syncDir;     // DirLocalSincr, ending with "/"
    QString sigla;       // SiglaCertificador
    QString nomeOCC;
    QString userCode;
    QString userName;
    QString number;      // current remittance number
    QString type;        // current remittance type ("C" or "T")

    // Reads the configuration row (empty values when there is none).
    // Raises DbError.
    static RemessaWork load(Database &db, const LoginState &login);
    // "OC-"/"OT-" + acronym + number + ".zip"; empty for another type.
    static QString packageName(const QString &sigla, const QString &number, const QString &type);
    QString packageName() const { return packageName(sigla, number, type); }
    // A folder as the cycle keeps it: at most 100 characters, ending with "/".
    static QString folder(const QString &path);
};
