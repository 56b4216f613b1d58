#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// What a certificate is chosen by, in the report window, the batch tool and
// the certificate selection dialog alike. Empty texts and unset optionals
// mean "every certificate" for that filter. The selection dialog matches
// the classes by name, the reports by identifier.
struct CertificateFilter
{
    enum class Origin { Todos, Sim, Nao };
    enum class Status { Todos, Ativos, Cancelados, Suspensos };
    enum class Approval { Todos, Aprovados, NaoAprovados };

    QString numero; // matched anywhere in the number, in upper case
    QStringList numeros; // exact numbers (the batch tool's --certificado)
    QString idClasseCertif; // with its name for the description
    QString nomClasseCertif;
    std::optional<int> idClasseProd;
    QString nomClasseProd;
    // The company chosen with "Seleciona Empresa...".
    QString codigoPais, idEmpresa, nomeEmpresa;
    // The product chosen with "Seleciona Produto...".
    QString marcaProd, modeloProd;
    int importadoProd = 0;
    std::optional<int> idClasseServ;
    QString nomClasseServ;
    Origin importado = Origin::Todos;
    Status status = Status::Todos;
    Approval aprovados = Approval::Todos;

    bool hasCompany() const { return !codigoPais.isEmpty() || !idEmpresa.isEmpty(); }
    bool hasProduct() const { return !marcaProd.isEmpty() || !modeloProd.isEmpty(); }
};
