#pragma once
#include <QString>

class Database;

// One EMPRESA row as the company details window shows it.
struct CompanyDetails
{
    bool found = false;
    QString codigoPais, idEmpresa, tipoPessoa, cgc, cpf, razSocialEmp, nomFantasia, nomPessoaFisica;
    QString endLogr, endNum, endCompl, endCep, endBairro, endCidade, siglaUf, telefone, fax, email;

    bool isNaturalPerson() const { return tipoPessoa == QLatin1String("2"); }

    // Raises DbError; a missing company gives found == false and blank values.
    static CompanyDetails load(Database &db, const QString &country, const QString &id);
};
