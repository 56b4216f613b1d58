#include "import/descriptorlayout.h"
#include "import/descriptors.h"

using namespace DescriptorLayout;

TServicoStruct::TServicoStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TServicoStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("SERVICO"), QStringLiteral("STATUS_S"), QString());
    addFileField(1, 1, 10, QStringLiteral("IdClasseServ"), Int, Key | Required);
    addFileField(1, 11, 40, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 41, 48, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 49, 52, QStringLiteral("CodigoPais"), Text, Key | Required);
    addFileField(1, 53, 62, QStringLiteral("DthEntCertif"), Date, Required);
    addFileField(1, 63, 63, QStringLiteral("StatusServico"), Text, Required);
    addFileField(1, 64, 73, QStringLiteral("DthStatusServico"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("IdEmpresa"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("Observacoes"), Text, NoFlag);
}

TStatusSStruct::TStatusSStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusSStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_S"), QString(), QStringLiteral("SERVICO"));
    addFileField(1, 1, 10, QStringLiteral("IdClasseServ"), Int, Key | Required);
    addFileField(1, 11, 40, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 41, 48, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 49, 52, QStringLiteral("CodigoPais"), Text, Key | Required);
    addFileField(1, 53, 55, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 56, 56, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 57, 57, QStringLiteral("Status_S"), Text, Required);
    addFileField(1, 58, 67, QStringLiteral("DthStatusServico"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("IdEmpresa"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}

TDocNormServicoStruct::TDocNormServicoStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TDocNormServicoStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("DOC_NORM_SERV"), QStringLiteral("STATUS_DNS"), QString());
    addFileField(1, 1, 10, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 11, 20, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 21, 30, QStringLiteral("IdClasseServ"), Int, Key | Required);
    addFileField(1, 31, 60, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 61, 68, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 69, 72, QStringLiteral("CodigoPais"), Text, Key | Required);
    addFileField(1, 73, 82, QStringLiteral("DthEntDNS"), Date, Required);
    addFileField(1, 83, 83, QStringLiteral("Status_DNS"), Text, Required);
    addFileField(1, 84, 93, QStringLiteral("DthStatusDNS"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("IdEmpresa"), Text, Key | Required);
}

TStatusDNSStruct::TStatusDNSStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusDNSStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_DNS"), QString(), QStringLiteral("DOC_NORM_SERV"));
    addFileField(1, 1, 10, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 11, 20, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 21, 30, QStringLiteral("IdClasseServ"), Int, Key | Required);
    addFileField(1, 31, 60, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 61, 68, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 69, 72, QStringLiteral("CodigoPais"), Text, Key | Required);
    addFileField(1, 73, 75, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 76, 76, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 77, 77, QStringLiteral("Status_DNS"), Text, Required);
    addFileField(1, 78, 87, QStringLiteral("DthStatusDNS"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("IdEmpresa"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}
