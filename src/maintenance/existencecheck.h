#pragma once
#include <QString>
#include <QVariant>

class Database;

// Whether the row being entered already exists, by kind: "PRODUTO",
// "EMPRESA", "CERTIFICADO", "EMPCERT", "TIPO", "LOTE", "UNIDADE", "SERVICO"
// and "DOCUMENTOS". Text keys compare without regard to letter case.
namespace ExistenceCheck {

// The key values being entered; each kind reads the ones it needs.
struct Key
{
    QString siglaCertificador;
    QString numCertif;
    QString codigoPais;
    QString idEmpresa;
    QString marcaProd;
    QString modeloProd;
    int importado = 0;
    QString numLote;
    QString numSerieProd;
    int idClasseServ = 0;
};

// False for an unknown kind. Raises DbError.
bool exists(const Database &db, const QString &kind, const Key &key);

// "DOCUMENTOS": the certificate has a normative document on itself, on any
// of its products or on any of its services.
bool certificateHasDocuments(const Database &db, const QString &sigla, const QString &numero);

}
