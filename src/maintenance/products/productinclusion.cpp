#include "maintenance/products/productinclusion.h"
#include "register/sendabletext.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"

#include <QDateTime>

namespace ProductInclusion {

bool textsSendable(Messenger &messenger, const NewProduct &product)
{
    return SendableText::check(messenger,
                               {{QStringLiteral("Marca"), product.marcaProd},
                                {QStringLiteral("Modelo"), product.modeloProd},
                                {QStringLiteral("Código EAN/UPC"), product.codEanUpc},
                                {QStringLiteral("Descrição"), product.descrProd}});
}

std::optional<SelectedProduct> save(Database &db, Messenger &m, const NewProduct &p, const QString &userCode)
{
    SelectedProduct key{p.marcaProd.trimmed(), p.modeloProd.trimmed(), p.imported ? 1 : 0, p.codEanUpc.trimmed()};
    if (key.marcaProd.isEmpty() || key.modeloProd.isEmpty()) {
        m.error(QStringLiteral("Existem campos obrigatórios não preenchidos"), QStringLiteral("Erro de Inclusão"));
        return std::nullopt;
    }
    if (!textsSendable(m, p))
        return std::nullopt;
    const QVariant none(QMetaType(QMetaType::QString));
    const QString descr = p.descrProd.trimmed();
    try {
        Transaction tx(db);
        db.execute(QStringLiteral("insert into PRODUTO (MarcaProd, ModeloProd, Importado, CodEANUPC, DescrProd, "
                                  "DthUltAtualiz, UsuResp) values (?, ?, ?, ?, ?, ?, ?)"),
                   {key.marcaProd, key.modeloProd, key.importado,
                    key.codEanUpc.isEmpty() ? none : QVariant(key.codEanUpc), descr.isEmpty() ? none : QVariant(descr),
                    QDateTime::currentDateTime(), userCode});
        tx.commit();
    } catch (const DbError &e) {
        if (e.isKeyViolation())
            m.error(QStringLiteral("Esta produto já existe !!! Cancele a inclusão..."),
                    QStringLiteral("Erro de chave duplicada"));
        else
            m.error(DbErrors::writeFailure(e,
                                           QStringLiteral("Erro genérico de gravação no Banco de Dados !!! As "
                                                          "alterações não foram efetuadas.")),
                    QStringLiteral("Erro de gravação"));
        return std::nullopt;
    }
    return key;
}

}
