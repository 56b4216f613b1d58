#pragma once
#include <QString>

// The key of a certificate: certifier code and number (compared without
// regard to letter case, as the database does).
struct CertificateKey
{
    QString sigla;
    QString numero;

    bool isEmpty() const { return sigla.isEmpty() || numero.isEmpty(); }
    bool sameAs(const CertificateKey &other) const
    {
        return sigla.compare(other.sigla, Qt::CaseInsensitive) == 0 &&
            numero.compare(other.numero, Qt::CaseInsensitive) == 0;
    }
};
