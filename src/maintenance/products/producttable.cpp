#include "maintenance/products/producttable.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/existencecheck.h"
#include "maintenance/tables/keyedtable.h"

#include <QSqlQuery>

namespace ProductTable {

namespace {

QVariant orNull(const QString &text)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(t);
}

const KeyedTable::Table Produto{
    QStringLiteral("PRODUTO"),
    {QStringLiteral("MarcaProd"), QStringLiteral("ModeloProd"), QStringLiteral("Importado")}};
const QStringList Items{QStringLiteral("TIPO"), QStringLiteral("UNIDADE"), QStringLiteral("LOTE")};
// Rows that also hold the product's key: histories, item documents and what
// the regulator accepted.
const QStringList KeyHolders{QStringLiteral("STATUS_T"),         QStringLiteral("STATUS_U"),
                             QStringLiteral("STATUS_L"),         QStringLiteral("DOC_NORM_TIPO"),
                             QStringLiteral("DOC_NORM_UNIDADE"), QStringLiteral("DOC_NORM_LOTE"),
                             QStringLiteral("STATUS_DNT"),       QStringLiteral("STATUS_DNU"),
                             QStringLiteral("STATUS_DNL"),       QStringLiteral("REP_PRODUTO")};

QVariantList keyValues(const ProductKey &key)
{
    return {key.marcaProd, key.modeloProd, key.importado};
}

}

SelectionSql::Statement listStatement()
{
    return {QStringLiteral("SELECT MarcaProd, ModeloProd, Importado, CodEANUPC, DescrProd FROM PRODUTO"),
            QStringLiteral("ORDER BY MarcaProd, ModeloProd, Importado"),
            {}};
}

int rowOf(const Database &db, const ProductKey &key)
{
    return KeyedTable::rowOf(db, Produto, keyValues(key));
}

QList<CertificateKey> certificatesOf(const Database &db, const ProductKey &key)
{
    return KeyedTable::certificatesOf(db, Items, Produto.key, keyValues(key));
}

bool isUsed(const Database &db, const ProductKey &key)
{
    // Any item row counts, also one whose certificate row is missing: the
    // product must not be deleted under it.
    return !certificatesOf(db, key).isEmpty();
}

bool keyIsHeld(const Database &db, const ProductKey &key)
{
    return isUsed(db, key) || KeyedTable::namedIn(db, KeyHolders, Produto.key, keyValues(key));
}

std::optional<NewProduct> load(const Database &db, const ProductKey &key)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT MarcaProd, ModeloProd, Importado, CodEANUPC, DescrProd FROM PRODUTO "
                                         "WHERE MarcaProd = ? AND ModeloProd = ? AND Importado = ?"),
                          {key.marcaProd, key.modeloProd, key.importado});
    if (!q.next())
        return std::nullopt;
    NewProduct p;
    p.marcaProd = q.value(0).toString();
    p.modeloProd = q.value(1).toString();
    p.imported = q.value(2).toInt() == 1;
    p.codEanUpc = q.value(3).toString();
    p.descrProd = q.value(4).toString();
    return p;
}

std::optional<ProductKey> save(Database &db, Messenger &m, const NewProduct &typed,
                               const std::optional<ProductKey> &editing, const QString &userCode)
{
    NewProduct p = typed;
    std::optional<NewProduct> stored;
    bool used = false;
    if (editing) {
        stored = load(db, *editing);
        if (!stored)
            throw AppError(QStringLiteral("O produto não está mais cadastrado."));
        used = isUsed(db, *editing);
        // The key that certificates refer to stays as it is.
        if (used) {
            p.marcaProd = stored->marcaProd;
            p.modeloProd = stored->modeloProd;
            p.imported = stored->imported;
        }
    }
    ProductKey key{p.marcaProd.trimmed(), p.modeloProd.trimmed(), p.imported ? 1 : 0};
    // The stored key stays unless brand, model or origin was retyped: one
    // stored with blanks around it or with an origin code other than 0 or 1
    // (as files may bring it) keeps it.
    if (stored &&
        (used ||
         (key.marcaProd == stored->marcaProd.trimmed() && key.modeloProd == stored->modeloProd.trimmed() &&
          key.importado == (stored->imported ? 1 : 0))))
        key = *editing;
    const bool keyChanged = editing &&
        (key.marcaProd != editing->marcaProd || key.modeloProd != editing->modeloProd ||
         key.importado != editing->importado);
    if (key.marcaProd.trimmed().isEmpty() || key.modeloProd.trimmed().isEmpty()) {
        m.error(QStringLiteral("Existem campos obrigatórios não preenchidos"), QStringLiteral("Erro de gravação"));
        return std::nullopt;
    }
    if (!ProductInclusion::textsSendable(m, p))
        return std::nullopt;
    // An edit that moves the product onto another product's key is refused
    // like an inclusion (the engine would refuse it anyway).
    if (!editing || !key.sameAs(*editing)) {
        ExistenceCheck::Key probe;
        probe.marcaProd = key.marcaProd;
        probe.modeloProd = key.modeloProd;
        probe.importado = key.importado;
        if (ExistenceCheck::exists(db, QStringLiteral("PRODUTO"), probe)) {
            m.error(JaExiste, QStringLiteral("Erro de chave duplicada"));
            return std::nullopt;
        }
    }
    const QVariantList values{key.marcaProd, key.modeloProd, key.importado, orNull(p.codEanUpc), orNull(p.descrProd)};
    if (stored) {
        const QVariantList before{editing->marcaProd, editing->modeloProd, editing->importado,
                                  orNull(stored->codEanUpc), orNull(stored->descrProd)};
        if (values == before)
            return key; // nothing changed: no write, no certificate loses its approval
    }
    KeyedTable::Write write;
    write.columns = Produto.key + QStringList{QStringLiteral("CodEANUPC"), QStringLiteral("DescrProd")};
    write.values = values;
    if (editing)
        write.editing = keyValues(*editing);
    write.userCode = userCode;
    write.duplicate = QStringLiteral("Este produto já está cadastrado !!! Cancele a inclusão...");
    // Rows that name the product would be left pointing at nothing.
    write.mayWrite = [&] {
        if (!keyChanged || !keyIsHeld(db, *editing))
            return true;
        m.error(ChaveEmUso, QStringLiteral("Erro de gravação"));
        return false;
    };
    if (used)
        write.changed = [&] { return certificatesOf(db, key); };
    write.justification = JustificativaAlteracao;
    if (!KeyedTable::write(db, m, Produto, write))
        return std::nullopt;
    return key;
}

bool remove(Database &db, Messenger &m, const ProductKey &key)
{
    return KeyedTable::remove(db, m, Produto, keyValues(key),
                              {ConfirmaExclusao, Relacionado, QStringLiteral("Erro de deleção")},
                              [&] { return isUsed(db, key); });
}

}
