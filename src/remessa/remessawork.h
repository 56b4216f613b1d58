#pragma once
#include "remessa/remittance.h"
#include "remessa/workingvalues.h"

#include <QString>

struct LoginState;

// What a step of the remittance cycle works with: the folders and the
// certifier of the working values, who acts, and the remittance in work.
struct RemessaWork : RemessaControl::WorkingValues
{
    QString userCode;
    QString userName; // the name events and receipts carry (the code when there is none)
    Remittance remittance; // its package named for the acronym in transferDir

    static RemessaWork from(const RemessaControl::WorkingValues &values, const LoginState &login,
                            const Remittance &remittance = Remittance());
    static RemessaWork from(const RemessaControl::WorkingValues &values, const LoginState &login, const QString &number,
                            const QString &type);
    // A chosen folder as the cycle keeps it: at most 100 characters, ending
    // with a separator.
    static QString folder(const QString &path);
};
