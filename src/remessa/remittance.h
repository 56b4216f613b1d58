#pragma once
#include <QString>

// One remittance of the cycle as every step sees it: the control list, the
// preparation that makes it, and the transfer and result that receive it.
struct Remittance
{
    QString number;
    QString type; // "C" partial, "T" complete
    QString status; // text of its state
    QString event; // code of its newest event: the state
    bool newest = false;
    QString packageName; // "OC-"/"OT-" + acronym + number + ".zip"; empty for another type
    QString packagePath; // the package in the transfer folder

    // "OC-" (partial) or "OT-" (complete) + acronym + number + ".zip"; empty
    // for another type.
    static QString packageNameFor(const QString &type, const QString &acronym, const QString &number);
    // This remittance with its package named for acronym in transferDir.
    Remittance withPackage(const QString &transferDir, const QString &acronym) const;
    // The package as handed over by name (a result window given the package).
    Remittance withPackageNamed(const QString &transferDir, const QString &name) const;
};
