#include "maintenance/products/producttable.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/existencecheck.h"
#include "maintenance/tables/referencechange.h"
#include "register/statusevents.h"

#include <QDateTime>
#include <QSqlQuery>

namespace ProductTable {

namespace {

QVariant orNull(const QString &text)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(t);
}

const char *const Items[] = {"TIPO", "UNIDADE", "LOTE"};
// Rows that also hold the product's key: histories, item documents and what
// the regulator accepted.
const char *const KeyHolders[] = {"STATUS_T",      "STATUS_U",   "STATUS_L",   "DOC_NORM_TIPO", "DOC_NORM_UNIDADE",
                                  "DOC_NORM_LOTE", "STATUS_DNT", "STATUS_DNU", "STATUS_DNL",    "REP_PRODUTO"};

}

SelectionSql::Statement listStatement()
{
    return {QStringLiteral("SELECT MarcaProd, ModeloProd, Importado, CodEANUPC, DescrProd FROM PRODUTO"),
            QStringLiteral("ORDER BY MarcaProd, ModeloProd, Importado"),
            {}};
}

int rowOf(const Database &db, const ProductKey &key)
{
    if (db.scalar(
              QStringLiteral("SELECT COUNT(*) FROM PRODUTO WHERE MarcaProd = ? AND ModeloProd = ? AND Importado = ?"),
              {key.marcaProd, key.modeloProd, key.importado})
            .toInt() == 0)
        return -1;
    return db
        .scalar(QStringLiteral("SELECT COUNT(*) FROM PRODUTO WHERE (MarcaProd, ModeloProd, Importado) < (?, ?, ?)"),
                {key.marcaProd, key.modeloProd, key.importado})
        .toInt();
}

QList<CertificateKey> certificatesOf(const Database &db, const ProductKey &key)
{
    QStringList selects;
    QVariantList values;
    for (const char *table : Items) {
        selects << QStringLiteral("SELECT SiglaCertificador, NumCertif FROM %1 "
                                  "WHERE MarcaProd = ? AND ModeloProd = ? AND Importado = ?")
                       .arg(QLatin1String(table));
        values << key.marcaProd << key.modeloProd << key.importado;
    }
    QSqlQuery q = db.exec(selects.join(QStringLiteral(" UNION ")) + QStringLiteral(" ORDER BY 1, 2"), values);
    QList<CertificateKey> out;
    while (q.next()) {
        const CertificateKey k{q.value(0).toString(), q.value(1).toString()};
        if (out.isEmpty() || !out.last().sameAs(k))
            out << k;
    }
    return out;
}

bool isUsed(const Database &db, const ProductKey &key)
{
    // Any item row counts, also one whose certificate row is missing: the
    // product must not be deleted under it.
    return !certificatesOf(db, key).isEmpty();
}

bool keyIsHeld(const Database &db, const ProductKey &key)
{
    if (isUsed(db, key))
        return true;
    for (const char *table : KeyHolders)
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE MarcaProd = ? AND ModeloProd = ? AND Importado = ?")
                          .arg(QLatin1String(table)),
                      {key.marcaProd, key.modeloProd, key.importado})
                .toInt() > 0)
            return true;
    return false;
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
    const QDateTime now = QDateTime::currentDateTime();
    try {
        Transaction tx(db);
        // Rows that name the product would be left pointing at nothing.
        if (keyChanged && keyIsHeld(db, *editing)) {
            m.error(ChaveEmUso, QStringLiteral("Erro de gravação"));
            return std::nullopt;
        }
        if (!editing)
            db.execute(QStringLiteral("insert into PRODUTO (MarcaProd, ModeloProd, Importado, CodEANUPC, DescrProd, "
                                      "DthUltAtualiz, UsuResp) values (?, ?, ?, ?, ?, ?, ?)"),
                       values + QVariantList{now, userCode});
        else
            db.execute(QStringLiteral("update PRODUTO set MarcaProd = ?, ModeloProd = ?, Importado = ?, CodEANUPC = ?, "
                                      "DescrProd = ?, DthUltAtualiz = ?, UsuResp = ? "
                                      "where MarcaProd = ? and ModeloProd = ? and Importado = ?"),
                       values +
                           QVariantList{now, userCode, editing->marcaProd, editing->modeloProd, editing->importado});
        if (used)
            ReferenceChange::markChanged(db, certificatesOf(db, key), JustificativaAlteracao, userCode);
        tx.commit();
    } catch (const DbError &e) {
        if (e.endsOperation())
            throw;
        if (e.isKeyViolation())
            m.error(QStringLiteral("Este produto já está cadastrado !!! Cancele a inclusão..."),
                    QStringLiteral("Erro de chave duplicada"));
        else
            m.error(DbErrors::writeFailure(e,
                                           QStringLiteral("Erro genérico de gravação no Banco de Dados !!! As "
                                                          "alterações não foram efetuadas.")),
                    QStringLiteral("Erro de gravação"));
        return std::nullopt;
    } catch (const StatusEvents::SeqEventoEsgotado &e) {
        m.error(e.message(), QStringLiteral("Erro de gravação"));
        return std::nullopt;
    }
    return key;
}

bool remove(Database &db, Messenger &m, const ProductKey &key)
{
    if (!m.confirm(ConfirmaExclusao))
        return false;
    if (isUsed(db, key)) {
        m.error(Relacionado, QStringLiteral("Erro de deleção"));
        return false;
    }
    Transaction tx(db);
    db.execute(QStringLiteral("delete from PRODUTO where MarcaProd = ? and ModeloProd = ? and Importado = ?"),
               {key.marcaProd, key.modeloProd, key.importado});
    tx.commit();
    return true;
}

}
