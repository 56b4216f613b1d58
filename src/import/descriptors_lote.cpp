#include "import/descriptorlayout.h"
#include "import/descriptors.h"

using namespace DescriptorLayout;

TLoteStruct::TLoteStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TLoteStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("LOTE"), QStringLiteral("STATUS_L"), QString());
    addFileField(1, 1, 20, QStringLiteral("numLote"), Text, Key | Required);
    addFileField(1, 21, 28, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 29, 58, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 69, 72, QStringLiteral("CodigoPais"), Text, Required);
    addFileField(1, 73, 82, QStringLiteral("DthEntCertif"), Date, Required);
    addFileField(1, 83, 83, QStringLiteral("StatusLote"), Text, Required);
    addFileField(1, 84, 93, QStringLiteral("DthStatusLote"), Date, Required);
    addFileField(1, 94, 123, QStringLiteral("QuantLote"), Text, Required);
    addFileField(1, 124, 133, QStringLiteral("DataFabrLote"), Date, NoFlag);
    addFileField(1, 134, 143, QStringLiteral("DataValLote"), Date, NoFlag);
    addFileField(1, 144, 173, QStringLiteral("NumProfInvoice"), Text, NoFlag);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(4, 1, 255, QStringLiteral("IdEmpresa"), Text, Required);
}

TStatusLStruct::TStatusLStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusLStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_L"), QString(), QStringLiteral("LOTE"));
    addFileField(1, 1, 20, QStringLiteral("numLote"), Text, Key | Required);
    addFileField(1, 21, 50, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 51, 58, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 69, 71, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 72, 72, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 73, 73, QStringLiteral("Status_L"), Text, Required);
    addFileField(1, 74, 83, QStringLiteral("DthStatus_L"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(4, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}

TDocNormLoteStruct::TDocNormLoteStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TDocNormLoteStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("DOC_NORM_LOTE"), QStringLiteral("STATUS_DNL"), QString());
    addFileField(1, 1, 20, QStringLiteral("numLote"), Text, Key | Required);
    addFileField(1, 21, 28, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 29, 58, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 69, 78, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 79, 88, QStringLiteral("IdClasseProd"), Int, Key | Required);
    addFileField(1, 89, 98, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 99, 108, QStringLiteral("DthEntDNL"), Date, Required);
    addFileField(1, 109, 109, QStringLiteral("Status_DNL"), Text, Required);
    addFileField(1, 110, 119, QStringLiteral("DthStatusDNL"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
}

TStatusDNLStruct::TStatusDNLStruct(const QString &certifierAcronym, const QString &userCode)
    : TDataStruct(certifierAcronym, userCode)
{
    DefineFields();
}

void TStatusDNLStruct::DefineFields()
{
    TDataStruct::DefineFields();
    setTables(QStringLiteral("STATUS_DNL"), QString(), QStringLiteral("DOC_NORM_LOTE"));
    addFileField(1, 1, 20, QStringLiteral("numLote"), Text, Key | Required);
    addFileField(1, 21, 28, QStringLiteral("SiglaCertificador"), Text, Key | Required);
    addFileField(1, 29, 58, QStringLiteral("Numcertif"), Text, Key | Required);
    addFileField(1, 59, 68, QStringLiteral("Importado"), Int, Key | Required);
    addFileField(1, 69, 78, QStringLiteral("IdClasseCertif"), Text, Key | Required);
    addFileField(1, 79, 88, QStringLiteral("IdClasseProd"), Int, Key | Required);
    addFileField(1, 89, 98, QStringLiteral("IdDocNorm"), Int, Key | Required);
    addFileField(1, 99, 101, QStringLiteral("Evento"), Text, Required);
    addFileField(1, 102, 102, QStringLiteral("HistoricoSis"), Text, Required);
    addFileField(1, 109, 109, QStringLiteral("Status_DNL"), Text, Required);
    addFileField(1, 110, 119, QStringLiteral("DthStatusDNL"), Date, Required);
    addFileField(2, 1, 255, QStringLiteral("MarcaProd"), Text, Key | Required);
    addFileField(3, 1, 255, QStringLiteral("ModeloProd"), Text, Key | Required);
    addFileField(4, 1, 255, QStringLiteral("Justificativa"), Text, Required);
    addSequenceField();
}
