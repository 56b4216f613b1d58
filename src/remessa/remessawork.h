#pragma once
#include <QString>

struct LoginState;
namespace RemessaControl {
struct WorkingValues;
}

// What a step window of the remittance cycle works with: the folders and
// the certifier from the working values, who acts, and the remittance the
// control window had selected.
struct RemessaWork
{
    QString transferDir; // DirLocalTransf, ending with a separator
    QString syncDir; // DirLocalSincr, ending with a separator
    QString sigla; // SiglaCertificador
    QString nomeOCC;
    QString userCode;
    QString userName; // the name events and receipts carry (the code when there is none)
    QString number; // current remittance number
    QString type; // current remittance type ("C" or "T")

    static RemessaWork from(const RemessaControl::WorkingValues &values, const LoginState &login,
                            const QString &number = QString(), const QString &type = QString());
    // "OC-"/"OT-" + acronym + number + ".zip"; empty for another type.
    QString packageName() const;
    // A chosen folder as the cycle keeps it: at most 100 characters, ending
    // with a separator.
    static QString folder(const QString &path);
};
