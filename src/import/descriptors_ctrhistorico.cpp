#include "import/descriptorlayout.h"
#include "import/descriptors.h"

using namespace DescriptorLayout;

TCtr_HistoricoStruct::TCtr_HistoricoStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

// Nothing of it is in the file: the import run fills it.
void TCtr_HistoricoStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("CTR_HISTORICO"), QString(), QString());
    addField(QStringLiteral("NomeTabela"), Text, Key);
    addField(QStringLiteral("TabelaHistorico"), Text, Key);
    addField(QStringLiteral("SiglaCertificador"), Text, Key);
    addField(QStringLiteral("Numcertif"), Text, Key);
    addField(QStringLiteral("CodigoPais"), Text, Key);
    addField(QStringLiteral("IdEmpresa"), Text, Key);
    addField(QStringLiteral("IdClasseCertif"), Text, Key);
    addField(QStringLiteral("IdClasseProd"), Int, Key);
    addField(QStringLiteral("IdClasseServ"), Int, Key);
    addField(QStringLiteral("MarcaProd"), Text, Key);
    addField(QStringLiteral("ModeloProd"), Text, Key);
    addField(QStringLiteral("Importado"), Int, Key);
    addField(QStringLiteral("numLote"), Text, Key);
    addField(QStringLiteral("IdDocNorm"), Int, Key);
    addField(QStringLiteral("historico"), Text, NoFlag);
}
