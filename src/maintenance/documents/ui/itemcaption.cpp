#include "maintenance/documents/ui/itemcaption.h"

#include <QStringList>

namespace ItemCaption {
namespace {

QString value(const StatusEvents::ItemKey &key, const char *column)
{
    return key.value(QLatin1String(column)).toString();
}

bool has(const StatusEvents::ItemKey &key, const char *column)
{
    return !value(key, column).isEmpty();
}

}

QString describe(const StatusEvents::ItemKey &key)
{
    QStringList parts;
    parts << QStringLiteral("Certificado %1 / %2").arg(value(key, "SiglaCertificador"), value(key, "NumCertif"));
    if (has(key, "CodigoPais") || has(key, "IdEmpresa"))
        parts << QStringLiteral("Empresa %1 / %2").arg(value(key, "CodigoPais"), value(key, "IdEmpresa"));
    if (has(key, "MarcaProd") || has(key, "ModeloProd"))
        parts << QStringLiteral("Produto %1 / %2 (Importado: %3)")
                     .arg(value(key, "MarcaProd"), value(key, "ModeloProd"),
                          value(key, "Importado").toInt() != 0 ? QStringLiteral("Sim") : QStringLiteral("Não"));
    if (has(key, "NumLote"))
        parts << QStringLiteral("Lote %1").arg(value(key, "NumLote"));
    if (has(key, "NumSerieProd"))
        parts << QStringLiteral("Série %1").arg(value(key, "NumSerieProd"));
    if (has(key, "IdClasseServ"))
        parts << QStringLiteral("Classe de serviço %1").arg(value(key, "IdClasseServ"));
    if (has(key, "IdDocNorm"))
        parts << QStringLiteral("Documento %1").arg(value(key, "IdDocNorm"));
    return parts.join(QStringLiteral("  ·  "));
}

}
