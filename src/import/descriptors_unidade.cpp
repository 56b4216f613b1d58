#include "import/descriptorlayout.h"
#include "import/descriptors.h"

using namespace DescriptorLayout;

TUnidadeStruct::TUnidadeStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TUnidadeStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("UNIDADE"), QStringLiteral("STATUS_U"), QString());
    addFileField(1, 1, 20, QStringLiteral("NumSerieProd"), Text, Key | Required);
    addFileField(1, 21, 50, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 51, 58, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 69, 72, QStringLiteral("CodigoPais"), Text, Required);
    addFileField(1, 73, 82, QStringLiteral("DthEntCertif"), Date, Required);
    addFileField(1, 83, 83, QStringLiteral("StatusUnidade"), Text, Required);
    addFileField(1, 84, 93, QStringLiteral("DthStatusUnidade"), Date, Required);
    addFileField(1, 94, 113, QStringLiteral("EndBairro"), Text, NoFlag);
    addFileField(1, 114, 133, QStringLiteral("EndCidade"), Text, NoFlag);
    addFileField(1, 134, 143, QStringLiteral("EndCEP"), Text, NoFlag);
    addFileField(1, 144, 145, QStringLiteral("SiglaUF"), Text, NoFlag);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(4, 1, 255, QStringLiteral("IdEmpresa"), Text, Required);
    addFileField(5, 1, 255, QStringLiteral("LocalInstalacao"), Text, NoFlag);
    addFileField(6, 1, 255, QStringLiteral("Observacoes"), Text, NoFlag);
}

TStatusUStruct::TStatusUStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusUStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_U"), QString(), QStringLiteral("UNIDADE"));
    addFileField(1, 1, 20, QStringLiteral("NumSerieProd"), Text, Key | Required);
    addFileField(1, 21, 50, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 51, 58, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 69, 71, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 72, 72, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 73, 73, QStringLiteral("StatusUnidade"), Text, Required);
    addFileField(1, 74, 83, QStringLiteral("DthStatusUnidade"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(4, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}

TDocNormUnidadeStruct::TDocNormUnidadeStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TDocNormUnidadeStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("DOC_NORM_UNIDADE"), QStringLiteral("STATUS_DNU"), QString());
    addFileField(1, 1, 20, QStringLiteral("NumSerieProd"), Text, Key | Required);
    addFileField(1, 21, 28, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 29, 58, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 69, 78, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 79, 88, QStringLiteral("IdClasseProd"), Int, Key | Required);
    addFileField(1, 89, 98, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 99, 108, QStringLiteral("DthEntDNU"), Date, Required);
    addFileField(1, 109, 109, QStringLiteral("Status_DNU"), Text, Required);
    addFileField(1, 110, 119, QStringLiteral("DthStatusDNU"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
}

TStatusDNUStruct::TStatusDNUStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusDNUStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_DNU"), QString(), QStringLiteral("DOC_NORM_UNIDADE"));
    addFileField(1, 1, 20, QStringLiteral("NumSerieProd"), Text, Key | Required);
    addFileField(1, 21, 28, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 29, 58, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 69, 78, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 79, 88, QStringLiteral("IdClasseProd"), Int, Key | Required);
    addFileField(1, 89, 98, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 99, 101, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 102, 102, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 109, 109, QStringLiteral("Status_DNU"), Text, Required);
    addFileField(1, 110, 119, QStringLiteral("DthStatusDNU"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(4, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}
