#pragma once
#include "register/certificatekey.h"

#include <QDateTime>
#include <QString>
#include <QVariant>


// One row of CERTIFIC as the maintenance window edits it. An empty text and
// a null column read the same; an unset class is a null QVariant.
struct Certificate
{
    QString siglaCertificador;
    QString numCertif;
    QString statusCertificado;
    QDateTime dthStatusCertificado;
    QVariant idClasseProd;
    QString idClasseCertif;
    QDateTime dataEmissao;
    QDateTime dataValid;
    QString labEnsaio;
    QString numRelEnsaio;
    QString signatarios;
    QString observacoes;
    bool completo = false;
    bool aprovado = false;
    QDateTime dthUltAtualiz;
    QString usuResp;

    CertificateKey key() const { return {siglaCertificador, numCertif}; }
    bool hasClasses() const { return !idClasseCertif.isEmpty() && !idClasseProd.isNull(); }
    // The columns a user edits on "Dados Gerais" (not status, flags or audit).
    bool sameGeneralData(const Certificate &o) const
    {
        return siglaCertificador == o.siglaCertificador && numCertif == o.numCertif &&
            idClasseCertif == o.idClasseCertif && idClasseProd.toInt() == o.idClasseProd.toInt() &&
            idClasseProd.isNull() == o.idClasseProd.isNull() && dataEmissao == o.dataEmissao &&
            dataValid == o.dataValid && labEnsaio == o.labEnsaio && numRelEnsaio == o.numRelEnsaio &&
            signatarios == o.signatarios && observacoes == o.observacoes;
    }
};

// "Ativo", "Suspenso", "Cancelado" for "A", "S", "C".
inline QString statusDescription(const QString &letter)
{
    if (letter == QLatin1String("A"))
        return QStringLiteral("Ativo");
    if (letter == QLatin1String("C"))
        return QStringLiteral("Cancelado");
    if (letter == QLatin1String("S"))
        return QStringLiteral("Suspenso");
    return {};
}
