#include "import/descriptorfactory.h"
#include "import/datastructitem.h"
#include "import/descriptors.h"

#include <functional>

namespace ImportDescriptors {

namespace {

using Maker = std::function<std::unique_ptr<TDataStruct>(const QString &, const QString &)>;

template <typename T> Maker maker()
{
    return [](const QString &sigla, const QString &user) { return std::make_unique<T>(sigla, user); };
}

struct Section
{
    QString header;
    Maker make;
};

const QList<Section> &sections()
{
    static const QList<Section> list = {
        {QStringLiteral("[CERTIFIC]"), maker<TCertificStruct>()},
        {QStringLiteral("[STATUS_C]"), maker<TStatusCStruct>()},
        {QStringLiteral("[EMPRESA]"), maker<TEmpresaStruct>()},
        {QStringLiteral("[EMP_CERT]"), maker<TEmpCertStruct>()},
        {QStringLiteral("[EVENTO_EMP]"), maker<TEventoEmpStruct>()},
        {QStringLiteral("[DOC_NORM_CERT_PRODUTO]"), maker<TDocNormCertProdutoStruct>()},
        {QStringLiteral("[STATUS_DNCP]"), maker<TStatusDNCPStruct>()},
        {QStringLiteral("[DOC_NORM_CERT_SERVICO]"), maker<TDocNormCertServicoStruct>()},
        {QStringLiteral("[STATUS_DNCS]"), maker<TStatusDNCSStruct>()},
        {QStringLiteral("[PRODUTO]"), maker<TProdutoStruct>()},
        {QStringLiteral("[TIPO]"), maker<TTipoStruct>()},
        {QStringLiteral("[STATUS_T]"), maker<TStatusTStruct>()},
        {QStringLiteral("[DOC_NORM_TIPO]"), maker<TDocNormTipoStruct>()},
        {QStringLiteral("[STATUS_DNT]"), maker<TStatusDNTStruct>()},
        {QStringLiteral("[UNIDADE]"), maker<TUnidadeStruct>()},
        {QStringLiteral("[STATUS_U]"), maker<TStatusUStruct>()},
        {QStringLiteral("[DOC_NORM_UNIDADE]"), maker<TDocNormUnidadeStruct>()},
        {QStringLiteral("[STATUS_DNU]"), maker<TStatusDNUStruct>()},
        {QStringLiteral("[LOTE]"), maker<TLoteStruct>()},
        {QStringLiteral("[STATUS_L]"), maker<TStatusLStruct>()},
        {QStringLiteral("[DOC_NORM_LOTE]"), maker<TDocNormLoteStruct>()},
        {QStringLiteral("[STATUS_DNL]"), maker<TStatusDNLStruct>()},
        {QStringLiteral("[SERVICO]"), maker<TServicoStruct>()},
        {QStringLiteral("[STATUS_S]"), maker<TStatusSStruct>()},
        {QStringLiteral("[DOC_NORM_SERVICO]"), maker<TDocNormServicoStruct>()},
        {QStringLiteral("[STATUS_DNS]"), maker<TStatusDNSStruct>()},
    };
    return list;
}

const QList<Section> &statusTables()
{
    static const QList<Section> list = {
        {QStringLiteral("STATUS_C"), maker<TStatusCStruct>()},
        {QStringLiteral("EVENTO_EMP"), maker<TEventoEmpStruct>()},
        {QStringLiteral("STATUS_DNCP"), maker<TStatusDNCPStruct>()},
        {QStringLiteral("STATUS_DNCS"), maker<TStatusDNCSStruct>()},
        {QStringLiteral("STATUS_T"), maker<TStatusTStruct>()},
        {QStringLiteral("STATUS_DNT"), maker<TStatusDNTStruct>()},
        {QStringLiteral("STATUS_U"), maker<TStatusUStruct>()},
        {QStringLiteral("STATUS_DNU"), maker<TStatusDNUStruct>()},
        {QStringLiteral("STATUS_L"), maker<TStatusLStruct>()},
        {QStringLiteral("STATUS_DNL"), maker<TStatusDNLStruct>()},
        {QStringLiteral("STATUS_S"), maker<TStatusSStruct>()},
        {QStringLiteral("STATUS_DNS"), maker<TStatusDNSStruct>()},
    };
    return list;
}

}

const QStringList &headers()
{
    static const QStringList list = [] {
        QStringList out;
        for (const Section &s : sections())
            out << s.header;
        return out;
    }();
    return list;
}

std::unique_ptr<TDataStruct> createForHeader(const QString &header, const QString &certifierAcronym,
                                             const QString &userCode)
{
    for (const Section &s : sections())
        if (s.header == header) // headers are written in upper case
            return s.make(certifierAcronym, userCode);
    return nullptr;
}

std::unique_ptr<TDataStruct> createForStatusTable(const QString &statusTable, const QString &certifierAcronym,
                                                  const QString &userCode)
{
    const QString name = trimBlanks(statusTable).toUpper();
    for (const Section &s : statusTables())
        if (s.header == name)
            return s.make(certifierAcronym, userCode);
    return nullptr;
}

std::unique_ptr<TDataStruct> createHistoryControl(const QString &certifierAcronym, const QString &userCode)
{
    return std::make_unique<TCtr_HistoricoStruct>(certifierAcronym, userCode);
}

}
