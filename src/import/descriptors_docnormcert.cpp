#include "import/descriptorlayout.h"
#include "import/descriptors.h"

using namespace DescriptorLayout;

TDocNormCertProdutoStruct::TDocNormCertProdutoStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TDocNormCertProdutoStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("DOC_NORM_CERT_PRODUTO"), QStringLiteral("STATUS_DNCP"), QString());
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 48, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 49, 58, QStringLiteral("IdClasseProd"), Int, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 69, 78, QStringLiteral("DthEntDNCP"), Date, Required);
    addFileField(1, 79, 79, QStringLiteral("Status_DNCP"), Text, Required);
    addFileField(1, 80, 89, QStringLiteral("DthStatusDNCP"), Date, Required);
}

TStatusDNCPStruct::TStatusDNCPStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusDNCPStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_DNCP"), QString(), QStringLiteral("DOC_NORM_CERT_PRODUTO"));
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 48, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 49, 58, QStringLiteral("IdClasseProd"), Int, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 69, 71, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 72, 72, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 73, 73, QStringLiteral("Status_DNCP"), Text, Required);
    addFileField(1, 74, 83, QStringLiteral("DthStatusDNCP"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}

TDocNormCertServicoStruct::TDocNormCertServicoStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TDocNormCertServicoStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("DOC_NORM_CERT_SERVICO"), QStringLiteral("STATUS_DNCS"), QString());
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 48, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 49, 58, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("IdClasseServ"), Int, Key | Required);
    addFileField(1, 69, 78, QStringLiteral("DthEntDNCS"), Date, Required);
    addFileField(1, 79, 79, QStringLiteral("Status_DNCS"), Text, Required);
    addFileField(1, 80, 89, QStringLiteral("DthStatusDNCS"), Date, Required);
}

TStatusDNCSStruct::TStatusDNCSStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusDNCSStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_DNCS"), QString(), QStringLiteral("DOC_NORM_CERT_SERVICO"));
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 48, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 49, 58, QStringLiteral("IdClasseServ"), Int, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 69, 71, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 72, 72, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 73, 73, QStringLiteral("Status_DNCS"), Text, Required);
    addFileField(1, 74, 83, QStringLiteral("DthStatusDNCS"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}
