#pragma once
#include "maintenance/certificates/certificate.h"
#include "maintenance/selectionsql.h"

class Database;

// What a certificate holds, for the read-only grids of the delete panel.
namespace CertificateContents {

// The certificate's heading with its class names; empty texts when absent.
struct Heading
{
    bool found = false;
    CertificateKey key; // as stored
    QString classeCertificado; // NomClasseCertif
    QString classeProdutos; // NomClasseProd
};
Heading heading(const Database &db, const CertificateKey &key);

// Its companies: NomePais, CGC, CPF, TipoPessoa, RazSocialEmp,
// NomPessoaFisica, NomFantasia, PapelEmp.
SelectionSql::Statement companies(const CertificateKey &key);
// Its products by type, unit and lot: MarcaProd, ModeloProd, Importado,
// CodEANUPC, Numero (serial or lot number; empty for a type).
SelectionSql::Statement products(const CertificateKey &key);
// Its services: NomClasseServ and the company's name (NomeEmpresa).
SelectionSql::Statement services(const CertificateKey &key);

}
