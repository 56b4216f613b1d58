#include "maintenance/products/certificateitem.h"

namespace CertificateItems {

const ItemKindInfo &info(ItemKind kind)
{
    const QStringList cert{QStringLiteral("SiglaCertificador"), QStringLiteral("NumCertif")};
    const QStringList product{QStringLiteral("MarcaProd"), QStringLiteral("ModeloProd"), QStringLiteral("Importado")};
    static const ItemKindInfo tipo{ItemKind::Tipo,
                                   QStringLiteral("TIPO"),
                                   StatusEvents::Table::Status_T,
                                   QStringLiteral("StatusProduto"),
                                   QStringLiteral("DthStatusProduto"),
                                   cert + product,
                                   QStringLiteral("TIPO")};
    static const ItemKindInfo lote{ItemKind::Lote,
                                   QStringLiteral("LOTE"),
                                   StatusEvents::Table::Status_L,
                                   QStringLiteral("StatusLote"),
                                   QStringLiteral("DthStatusLote"),
                                   QStringList{QStringLiteral("NumLote")} + cert + product,
                                   QStringLiteral("LOTE")};
    static const ItemKindInfo unidade{ItemKind::Unidade,
                                      QStringLiteral("UNIDADE"),
                                      StatusEvents::Table::Status_U,
                                      QStringLiteral("StatusUnidade"),
                                      QStringLiteral("DthStatusUnidade"),
                                      QStringList{QStringLiteral("NumSerieProd")} + cert + product,
                                      QStringLiteral("UNIDADE")};
    static const ItemKindInfo servico{ItemKind::Servico,
                                      QStringLiteral("SERVICO"),
                                      StatusEvents::Table::Status_S,
                                      QStringLiteral("StatusServico"),
                                      QStringLiteral("DthStatusServico"),
                                      QStringList{QStringLiteral("IdClasseServ")} + cert +
                                          QStringList{QStringLiteral("CodigoPais"), QStringLiteral("IdEmpresa")},
                                      QStringLiteral("SERVICO")};
    switch (kind) {
    case ItemKind::Tipo: return tipo;
    case ItemKind::Lote: return lote;
    case ItemKind::Unidade: return unidade;
    case ItemKind::Servico: break;
    }
    return servico;
}

StatusEvents::ItemKey itemKey(ItemKind kind, const CertificateItem &item)
{
    StatusEvents::ItemKey key;
    key.insert(QStringLiteral("SiglaCertificador"), item.siglaCertificador);
    key.insert(QStringLiteral("NumCertif"), item.numCertif);
    if (kind == ItemKind::Servico) {
        key.insert(QStringLiteral("IdClasseServ"), item.idClasseServ);
        key.insert(QStringLiteral("CodigoPais"), item.codigoPais);
        key.insert(QStringLiteral("IdEmpresa"), item.idEmpresa);
        return key;
    }
    key.insert(QStringLiteral("MarcaProd"), item.marcaProd);
    key.insert(QStringLiteral("ModeloProd"), item.modeloProd);
    key.insert(QStringLiteral("Importado"), item.importado);
    if (kind == ItemKind::Lote)
        key.insert(QStringLiteral("NumLote"), item.numLote);
    if (kind == ItemKind::Unidade)
        key.insert(QStringLiteral("NumSerieProd"), item.numSerieProd);
    return key;
}

bool keyDiffers(ItemKind kind, const CertificateItem &a, const CertificateItem &b, bool ignoreCase)
{
    const StatusEvents::ItemKey ka = itemKey(kind, a);
    const StatusEvents::ItemKey kb = itemKey(kind, b);
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (const auto &[column, value] : ka.entries()) {
        const QVariant other = kb.value(column);
        if (value.typeId() == QMetaType::Int) {
            if (value.toInt() != other.toInt())
                return true;
        } else if (value.toString().compare(other.toString(), cs) != 0) {
            return true;
        }
    }
    return false;
}

}
