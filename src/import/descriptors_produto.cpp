#include "import/descriptorlayout.h"
#include "import/descriptors.h"

using namespace DescriptorLayout;

TProdutoStruct::TProdutoStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TProdutoStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("PRODUTO"), QString(), QString());
    addFileField(1, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(2, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(3, 1, 10, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(3, 11, 138, QStringLiteral("CodEANUPC"), Text, NoFlag);
    addFileField(4, 1, 255, QStringLiteral("DescrProd"), Text, NoFlag);
}

TTipoStruct::TTipoStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TTipoStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("TIPO"), QStringLiteral("STATUS_T"), QString());
    addFileField(1, 1, 30, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 31, 38, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 39, 48, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 49, 52, QStringLiteral("CodigoPais"), Text, Required);
    addFileField(1, 53, 62, QStringLiteral("DthEntCertif"), Date, Required);
    addFileField(1, 63, 63, QStringLiteral("StatusProduto"), Text, Required);
    addFileField(1, 64, 73, QStringLiteral("DthStatusProduto"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(4, 1, 255, QStringLiteral("IdEmpresa"), Text, Required);
}

TStatusTStruct::TStatusTStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusTStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_T"), QString(), QStringLiteral("TIPO"));
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 48, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 49, 51, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 52, 52, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 53, 53, QStringLiteral("StatusProduto"), Text, Required);
    addFileField(1, 54, 63, QStringLiteral("DthStatusProduto"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(4, 1, 255, QStringLiteral("justificativa"), Text, Required);
    addSequenceField();
}

TDocNormTipoStruct::TDocNormTipoStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TDocNormTipoStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("DOC_NORM_TIPO"), QStringLiteral("STATUS_DNT"), QString());
    addFileField(1, 1, 30, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 31, 38, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 39, 48, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 49, 58, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("IdClasseProd"), Int, Key | Required);
    addFileField(1, 69, 78, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 79, 88, QStringLiteral("DthEntDNT"), Date, Required);
    addFileField(1, 89, 89, QStringLiteral("Status_DNT"), Text, Required);
    addFileField(1, 90, 99, QStringLiteral("DthStatusDNT"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
}

TStatusDNTStruct::TStatusDNTStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusDNTStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_DNT"), QString(), QStringLiteral("DOC_NORM_TIPO"));
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 48, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 49, 58, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("IdClasseProd"), Int, Key | Required);
    addFileField(1, 69, 78, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 79, 81, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 82, 82, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 83, 83, QStringLiteral("Status_DNT"), Text, Required);
    addFileField(1, 84, 93, QStringLiteral("DthStatusDNT"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(4, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}
