#include "import/descriptorlayout.h"
#include "import/descriptors.h"

using namespace DescriptorLayout;

TCertificStruct::TCertificStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TCertificStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("CERTIFIC"), QStringLiteral("STATUS_C"), QString());
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 39, QStringLiteral("StatusCertificado"), Text, Required);
    addFileField(1, 40, 49, QStringLiteral("IdClasseProd"), Int, Required);
    addFileField(1, 50, 59, QStringLiteral("IdClasseCertif"), Text, Required);
    addFileField(1, 60, 69, QStringLiteral("DataEmissao"), Date, Required);
    addFileField(1, 70, 79, QStringLiteral("DataValid"), Date, Required);
    addFileField(1, 80, 89, QStringLiteral("DthStatusCertificado"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("LabEnsaio"), Text, NoFlag);
    addFileField(3, 1, 255, QStringLiteral("numRelEnsaio"), Text, NoFlag);
    addFileField(4, 1, 255, QStringLiteral("Signatarios"), Text, NoFlag);
    addFileField(5, 1, 255, QStringLiteral("Observacoes"), Text, NoFlag);
}

TStatusCStruct::TStatusCStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusCStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_C"), QString(), QStringLiteral("CERTIFIC"));
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 41, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 42, 42, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 43, 43, QStringLiteral("StatusCertificado"), Text, Required);
    addFileField(1, 44, 53, QStringLiteral("DthStatusCertificado"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}

TEmpresaStruct::TEmpresaStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TEmpresaStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("EMPRESA"), QString(), QString());
    addFileField(1, 1, 4, QStringLiteral("CodigoPais"), Text, Key | Required);
    addFileField(1, 5, 34, QStringLiteral("CGC"), Text, NoFlag);
    addFileField(1, 35, 74, QStringLiteral("NomFantasia"), Text, NoFlag);
    addFileField(1, 75, 124, QStringLiteral("EndLogr"), Text, NoFlag);
    addFileField(1, 125, 134, QStringLiteral("EndNum"), Text, NoFlag);
    addFileField(1, 135, 144, QStringLiteral("EndCompl"), Text, NoFlag);
    addFileField(1, 145, 154, QStringLiteral("EndCEP"), Text, NoFlag);
    addFileField(1, 155, 174, QStringLiteral("EndBairro"), Text, NoFlag);
    addFileField(1, 175, 194, QStringLiteral("EndCidade"), Text, NoFlag);
    addFileField(1, 195, 196, QStringLiteral("SiglaUF"), Text, NoFlag);
    addFileField(1, 197, 216, QStringLiteral("Telefone"), Text, NoFlag);
    addFileField(1, 217, 236, QStringLiteral("Fax"), Text, NoFlag);
    addFileField(2, 1, 255, QStringLiteral("IdEmpresa"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("RazSocialEmp"), Text, NoFlag);
    addFileField(4, 1, 50, QStringLiteral("Email"), Text, NoFlag);
    addFileField(4, 51, 51, QStringLiteral("TipoPessoa"), Text, Required);
    addFileField(4, 52, 62, QStringLiteral("CPF"), Text, NoFlag);
    addFileField(4, 63, 122, QStringLiteral("NomPessoaFisica"), Text, NoFlag);
}

TEmpCertStruct::TEmpCertStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TEmpCertStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("EMP_CERT"), QStringLiteral("EVENTO_EMP"), QString());
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 42, QStringLiteral("CodigoPais"), Text, Key | Required);
    addFileField(1, 43, 43, QStringLiteral("StatusEmpresa"), Text, Required);
    addFileField(1, 44, 53, QStringLiteral("IdPapelEmp"), Int, Required);
    addFileField(1, 54, 63, QStringLiteral("DthEntEmpresa"), Date, Required);
    addFileField(1, 64, 73, QStringLiteral("DthStatusEmpresa"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("IdEmpresa"), Text, Key | Required);
}

TEventoEmpStruct::TEventoEmpStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TEventoEmpStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("EVENTO_EMP"), QString(), QStringLiteral("EMP_CERT"));
    addFileField(1, 1, 8, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 9, 38, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 39, 42, QStringLiteral("CodigoPais"), Text, Key | Required);
    addFileField(1, 43, 45, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 46, 46, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 47, 47, QStringLiteral("StatusEmpresa"), Text, Required);
    addFileField(1, 48, 57, QStringLiteral("DthStatusEmpresa"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("IdEmpresa"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("justificativa"), Text, Required);
    addSequenceField();
}
