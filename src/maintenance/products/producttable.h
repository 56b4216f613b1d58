#pragma once
#include "maintenance/certificates/certificate.h"
#include "maintenance/products/productinclusion.h"
#include "maintenance/selectionsql.h"

#include <QList>
#include <optional>

class Database;
class Messenger;

// A product's key in PRODUTO.
struct ProductKey
{
    QString marcaProd;
    QString modeloProd;
    int importado = 0;

    bool sameAs(const ProductKey &o) const
    {
        return marcaProd.compare(o.marcaProd, Qt::CaseInsensitive) == 0 &&
            modeloProd.compare(o.modeloProd, Qt::CaseInsensitive) == 0 && importado == o.importado;
    }
};

// The product table (PRODUTO) as its maintenance panel keeps it.
namespace ProductTable {

inline const QString JaExiste = QStringLiteral("Este produto já existe !!!. Cancele a Operação.");
inline const QString ConfirmaExclusao = QStringLiteral("Confirma a exclusão do Produto ?");
inline const QString Relacionado = QStringLiteral(
    "Este registro não pode ser apagado. Ele já está relacionado a algum certificado!!!");
inline const QString JustificativaAlteracao = QStringLiteral("Dados do Produto Alterados");
inline const QString ChaveEmUso = QStringLiteral(
    "Este produto já está relacionado a certificados ou ao Quelora: a Marca, o Modelo e a indicação de produto "
    "importado, que o identificam, não podem ser alterados. As alterações não foram efetuadas.");

// The product grid: every product in key order (MarcaProd, ModeloProd,
// Importado, CodEANUPC, DescrProd).
SelectionSql::Statement listStatement();
// The product's position in that list; -1 when it is not there.
int rowOf(const Database &db, const ProductKey &key);

// The certificates that list the product by type, unit or lot, in key order.
QList<CertificateKey> certificatesOf(const Database &db, const ProductKey &key);
// Some certificate lists the product: its brand, model and origin are locked.
bool isUsed(const Database &db, const ProductKey &key);
// Some row holds the product's key: an item, an event, an item document or
// the regulator's replica. Such a key never changes.
bool keyIsHeld(const Database &db, const ProductKey &key);

// The product as stored; nothing when absent.
std::optional<NewProduct> load(const Database &db, const ProductKey &key);

// Saves a product typed on the panel: a new one when `editing` is empty,
// else the changed one of that key (whose key stays when a certificate
// lists it or when brand, model and origin were not retyped; a retyped key
// is refused while keyIsHeld). Refuses a blank brand or model and a key another product has;
// when a product that certificates list was changed, clears their approval
// and records an "ALT" event on each, in the same transaction. Answers the
// product's key, or nothing when refused or failed.
std::optional<ProductKey> save(Database &db, Messenger &messenger, const NewProduct &typed,
                               const std::optional<ProductKey> &editing, const QString &userCode);

// Asks for confirmation and deletes the product unless a certificate lists
// it. True when it was deleted.
bool remove(Database &db, Messenger &messenger, const ProductKey &key);

}
