#pragma once
#include <QString>

// What the selection and inclusion dialogs hand back to their callers.

struct SelectedCertificate
{
    QString siglaCertificador;
    QString numCertif;
};

// A company row as the company selection lists it.
struct SelectedCompany
{
    QString codigoPais;
    QString nomePais;
    QString idEmpresa;
    QString cgc;
    QString razSocialEmp;
    QString nomFantasia;
    QString tipoPessoa; // "1" legal entity, "2" natural person
    QString nomPessoaFisica;
    QString cpf;

    bool isNaturalPerson() const { return tipoPessoa == QLatin1String("2"); }
    // RazSocialEmp of a legal entity, NomPessoaFisica of a natural person.
    QString displayName() const { return isNaturalPerson() ? nomPessoaFisica : razSocialEmp; }
    // The masked CNPJ, or the CPF in its display form.
    QString displayId() const;
};

struct SelectedProduct
{
    QString marcaProd;
    QString modeloProd;
    int importado = 0; // 1 imported, 0 national
    QString codEanUpc;
};

// Key of a company of a certificate.
struct CompanyKey
{
    QString codigoPais;
    QString idEmpresa;
};
