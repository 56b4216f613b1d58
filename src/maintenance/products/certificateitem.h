#pragma once
#include "maintenance/certificates/certificate.h"
#include "register/statusevents.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The products and services a certificate covers: a product type (TIPO), a
// lot (LOTE), a unit by serial number (UNIDADE), a service (SERVICO).
enum class ItemKind { Tipo, Lote, Unidade, Servico };

// One row of TIPO, LOTE, UNIDADE or SERVICO with what is shown beside it.
// Each kind uses the fields of its own table; the others stay empty.
struct CertificateItem
{
    QString siglaCertificador;
    QString numCertif;
    // Product key (not of a service).
    QString marcaProd;
    QString modeloProd;
    int importado = 0;
    QString numLote; // lot
    QString numSerieProd; // unit
    int idClasseServ = 0; // service
    // Linked company (part of a service's key).
    QString codigoPais;
    QString idEmpresa;

    QString status; // "A", "S", "C"
    QDateTime statusDate;
    QDateTime entryDate; // DthEntCertif

    QString quantLote;
    QString numProfInvoice;
    QDateTime dataFabrLote;
    QDateTime dataValLote;
    QString observacoes; // unit, service
    QString localInstalacao;
    QString endBairro;
    QString endCidade;
    QString endCep;
    QString siglaUF;

    QDateTime dthUltAtualiz;
    QString usuResp;

    // Shown only.
    QString codEanUpc;
    QString descrProd;
    QString companyName; // RazSocialEmp, or NomPessoaFisica of a natural person
    QString companyTaxId; // masked CNPJ, or the CPF
    QString nomClasseServ;

    CertificateKey certificate() const { return {siglaCertificador, numCertif}; }
    bool hasProduct() const { return !marcaProd.isEmpty() || !modeloProd.isEmpty(); }
    bool hasCompany() const { return !codigoPais.isEmpty() && !idEmpresa.isEmpty(); }
};

// What a kind of item is stored in and how it is told apart.
struct ItemKindInfo
{
    ItemKind kind;
    QString table; // "LOTE"
    StatusEvents::Table events; // Status_L
    QString statusColumn; // "StatusLote"
    QString statusDateColumn; // "DthStatusLote"
    QStringList keyColumns; // the table's key
    QString existenceKind; // the existence check's kind: "LOTE"
};

namespace CertificateItems {

const ItemKindInfo &info(ItemKind kind);

// The item's key, column name -> value (also the key of its event rows).
StatusEvents::ItemKey itemKey(ItemKind kind, const CertificateItem &item);
// The key columns differ; `ignoreCase` compares texts as the database does.
bool keyDiffers(ItemKind kind, const CertificateItem &a, const CertificateItem &b, bool ignoreCase = false);

}
