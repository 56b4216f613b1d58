// The declaration of every table of the local database.
#include "db/schema.h"

namespace Schema {
namespace {

using FT = FieldType;

Field T(const char *name, int size, bool required = false)
{
    return {QLatin1String(name), FT::Text, size, required};
}
Field SI(const char *name, bool required = false)
{
    return {QLatin1String(name), FT::SmallInt, 0, required};
}
Field I(const char *name, bool required = false)
{
    return {QLatin1String(name), FT::Integer, 0, required};
}
Field DT(const char *name, bool required = false)
{
    return {QLatin1String(name), FT::DateTime, 0, required};
}
Field B(const char *name, bool required = false)
{
    return {QLatin1String(name), FT::Boolean, 0, required};
}
Field AI(const char *name)
{
    return {QLatin1String(name), FT::AutoInc, 0, true};
}

QList<Field> audit(bool required = false)
{
    return {DT("DthUltAtualiz", required), T("UsuResp", 10, required)};
}

QStringList names(const QList<Field> &fields)
{
    QStringList out;
    for (const Field &f : fields)
        out << f.name;
    return out;
}

// Certificate key, company key and product key, repeated across tables.
QList<Field> certKey()
{
    return {T("SiglaCertificador", 8), T("NumCertif", 30)};
}
QList<Field> companyKey()
{
    return {T("CodigoPais", 4), T("IdEmpresa", 255)};
}
QList<Field> productKey()
{
    return {T("MarcaProd", 255), T("ModeloProd", 255), SI("Importado")};
}

Table keyed(const char *name, const QList<Field> &key, const QList<Field> &rest)
{
    Table t;
    t.name = QLatin1String(name);
    t.fields = key + rest;
    t.key = names(key);
    return t;
}

// A status event table: the item's key, SeqEvento, and the event columns.
Table events(const char *name, const QList<Field> &itemKey, const char *status, const char *moment)
{
    Table t = keyed(
        name, itemKey + QList<Field>{SI("SeqEvento")},
        QList<Field>{T("Evento", 3), T("Justificativa", 255), T("HistoricoSis", 255), T(status, 1), DT(moment)} +
            audit());
    t.indexes.append({QStringLiteral("Ind%1_SeqEvento").arg(t.name), {QStringLiteral("SeqEvento")}});
    return t;
}

QList<Field> docTipoKey()
{
    return certKey() + QList<Field>{T("IdClasseCertif", 10), SI("IdClasseProd"), I("IdDocNorm")} + productKey();
}
QList<Field> docLoteKey()
{
    return docTipoKey() + QList<Field>{T("NumLote", 20)};
}
QList<Field> docUnidadeKey()
{
    return docTipoKey() + QList<Field>{T("NumSerieProd", 255)};
}
QList<Field> docCertProdKey()
{
    return certKey() + QList<Field>{T("IdClasseCertif", 10), SI("IdClasseProd"), I("IdDocNorm")};
}
QList<Field> docCertServKey()
{
    return certKey() + QList<Field>{I("IdDocNorm"), T("IdClasseCertif", 10), SI("IdClasseServ")};
}
QList<Field> docServKey()
{
    return certKey() +
        QList<Field>{T("IdClasseCertif", 10), SI("IdClasseServ"), I("IdDocNorm"), T("IdEmpresa", 255),
                     T("CodigoPais", 4)};
}

QList<Table> buildCertification()
{
    QList<Table> out;
    out << keyed("CERTIFIC", certKey(),
                 QList<Field>{T("StatusCertificado", 1), DT("DthStatusCertificado"), SI("IdClasseProd"),
                              T("IdClasseCertif", 10), DT("DataEmissao"), DT("DataValid"), T("LabEnsaio", 255),
                              T("NumRelEnsaio", 255), T("Signatarios", 255), T("Observacoes", 255), B("Completo", true),
                              B("Aprovado", true)} +
                     audit());
    out << keyed("EMPRESA", {T("CodigoPais", 4, true), T("IdEmpresa", 255, true)},
                 QList<Field>{T("CGC", 30), T("RazSocialEmp", 255), T("NomFantasia", 40), T("EndLogr", 50),
                              T("EndNum", 10), T("EndCompl", 10), T("EndCEP", 10), T("EndBairro", 20),
                              T("EndCidade", 20), T("SiglaUF", 2), T("Telefone", 20), T("Fax", 20), T("Email", 50),
                              T("TipoPessoa", 1), T("CPF", 11), T("NomPessoaFisica", 60)} +
                     audit(true));
    out << keyed("EMP_CERT", certKey() + companyKey(),
                 QList<Field>{SI("IdPapelEmp"), T("StatusEmpresa", 1), DT("DthEntEmpresa"), DT("DthStatusEmpresa")} +
                     audit());
    out << keyed("PRODUTO", {T("MarcaProd", 255, true), T("ModeloProd", 255, true), SI("Importado", true)},
                 QList<Field>{T("CodEANUPC", 128), T("DescrProd", 255)} + audit(true));
    out << keyed("TIPO", certKey() + productKey(),
                 QList<Field>{T("StatusProduto", 1), DT("DthStatusProduto"), DT("DthEntCertif")} + companyKey() +
                     audit());
    out << keyed("LOTE", certKey() + QList<Field>{T("NumLote", 20)} + productKey(),
                 QList<Field>{T("StatusLote", 1), DT("DthStatusLote"), T("QuantLote", 30), DT("DataFabrLote"),
                              DT("DataValLote"), T("NumProfInvoice", 30), DT("DthEntCertif")} +
                     companyKey() + audit());
    out << keyed("UNIDADE", certKey() + QList<Field>{T("NumSerieProd", 255)} + productKey(),
                 QList<Field>{T("StatusUnidade", 1), DT("DthStatusUnidade"), DT("DthEntCertif")} + companyKey() +
                     QList<Field>{T("LocalInstalacao", 255), T("EndBairro", 20), T("EndCidade", 20), T("EndCEP", 10),
                                  T("SiglaUF", 2), T("Observacoes", 255)} +
                     audit());
    out << keyed(
        "SERVICO", certKey() + QList<Field>{SI("IdClasseServ")} + companyKey(),
        QList<Field>{T("StatusServico", 1), DT("DthStatusServico"), DT("DthEntCertif"), T("Observacoes", 255)} +
            audit());

    out << events("STATUS_C", certKey(), "StatusCertificado", "DthStatusCertificado");
    out << events("EVENTO_EMP", certKey() + companyKey(), "StatusEmpresa", "DthStatusEmpresa");
    out << events("STATUS_T", certKey() + productKey(), "StatusProduto", "DthStatusProduto");
    out << events("STATUS_L", QList<Field>{T("NumLote", 20)} + certKey() + productKey(), "Status_L", "DthStatus_L");
    out << events("STATUS_U", QList<Field>{T("NumSerieProd", 255)} + certKey() + productKey(), "StatusUnidade",
                  "DthStatusUnidade");
    out << events("STATUS_S", QList<Field>{SI("IdClasseServ")} + certKey() + companyKey(), "Status_S",
                  "DthStatusServico");

    auto attach = [](const char *name, const QList<Field> &key, const char *ent, const char *st, const char *mom) {
        return keyed(name, key, QList<Field>{DT(ent), T(st, 1), DT(mom)} + audit());
    };
    out << attach("DOC_NORM_CERT_PRODUTO", docCertProdKey(), "DthEntDNCP", "Status_DNCP", "DthStatusDNCP");
    out << attach("DOC_NORM_CERT_SERVICO", docCertServKey(), "DthEntDNCS", "Status_DNCS", "DthStatusDNCS");
    out << attach("DOC_NORM_TIPO", docTipoKey(), "DthEntDNT", "Status_DNT", "DthStatusDNT");
    out << attach("DOC_NORM_LOTE", docLoteKey(), "DthEntDNL", "Status_DNL", "DthStatusDNL");
    out << attach("DOC_NORM_UNIDADE", docUnidadeKey(), "DthEntDNU", "Status_DNU", "DthStatusDNU");
    out << attach("DOC_NORM_SERV", docServKey(), "DthEntDNS", "Status_DNS", "DthStatusDNS");

    out << events("STATUS_DNCP", docCertProdKey(), "Status_DNCP", "DthStatusDNCP");
    out << events("STATUS_DNCS", docCertServKey(), "Status_DNCS", "DthStatusDNCS");
    out << events("STATUS_DNT", docTipoKey(), "Status_DNT", "DthStatusDNT");
    out << events("STATUS_DNL", docLoteKey(), "Status_DNL", "DthStatusDNL");
    out << events("STATUS_DNU", docUnidadeKey(), "Status_DNU", "DthStatusDNU");
    out << events("STATUS_DNS", docServKey(), "Status_DNS", "DthStatusDNS");

    out << keyed("SIGNATARIOS", {AI("ID_Signatario")},
                 {T("Signatario", 255), T("SiglaCertificador", 8), T("Default_s", 1)});
    Table ctr;
    ctr.name = QStringLiteral("CTR_HISTORICO");
    ctr.fields = QList<Field>{T("NomeTabela", 30),     T("TabelaHistorico", 30), T("SiglaCertificador", 8),
                              T("NumCertif", 30),      T("CodigoPais", 4),       T("IdEmpresa", 255),
                              T("IdClasseCertif", 10), I("IdClasseProd"),        I("IdClasseServ"),
                              T("MarcaProd", 255),     T("ModeloProd", 255),     I("Importado"),
                              T("NumLote", 20),        I("IdDocNorm"),           T("Historico", 1)} +
        audit();
    // The import looks a pairing row up by its key values on every record.
    ctr.indexes.append({QStringLiteral("IndCTR_HISTORICO_Item"),
                        {QStringLiteral("NumCertif"), QStringLiteral("MarcaProd"), QStringLiteral("ModeloProd"),
                         QStringLiteral("NumLote")}});
    out << ctr;

    // Users and configuration, kept here because remittances carry them too.
    out << keyed("CONFIG_LOCAL", {T("SiglaCertificador", 8)},
                 {T("NomeOCC", 255), T("DirLocalSincr", 100), T("DirLocalTransf", 100), T("DirLocalRecepAux", 100),
                  T("EndQueloraEnvio", 100), T("EndQueloraResult", 100), T("EndQueloraOrigAux", 100), T("LoginFTP", 40),
                  T("SenhaFTP", 40), T("EndSMTPHost", 150), T("EndSMTPPort", 10), T("EndSMTPUsuario", 150),
                  T("EndSMTPUsuReply", 150), T("EndSMTPEMailReply", 150)});
    out << keyed("USU_LOCAL", {T("SiglaUsu", 10)},
                 {T("SiglaCertificador", 8), T("NomeUsu", 30), T("SenhaUsu", 15), B("AcConfigOCC", true),
                  B("AcConfigDir", true), B("AcCadastraUsu", true), B("AcManBase", true), B("AcContRemessas", true),
                  B("AcAtualTabAux", true), B("AcAprovCertific", true)});
    return out;
}

QList<Table> buildReference()
{
    QList<Table> out;
    out << keyed("PAIS", {T("CodigoPais", 4)}, QList<Field>{T("NomePais", 40)} + audit());
    out << keyed("UF", {T("SiglaUF", 2)}, {T("NomeUF", 30)});
    out << keyed("PAPEL_EMP", {SI("IdPapelEmp")}, QList<Field>{T("PapelEmp", 40)} + audit(true));
    Table cp = keyed("CLASSE_P", {SI("IdClasseProd")},
                     QList<Field>{SI("ClasseSup"), T("NomClasseProd", 150), T("UnMedida", 5)} + audit());
    cp.indexes.append({QStringLiteral("IndNomeClasseProd"), {QStringLiteral("NomClasseProd")}});
    out << cp;
    Table cs = keyed("CLASSE_S", {SI("IdClasseServ")},
                     QList<Field>{SI("IdClasseProd"), SI("ClasseSuperiorServ"), T("NomClasseServ", 150)} + audit());
    cs.indexes.append({QStringLiteral("IndNomClasseServ"), {QStringLiteral("NomClasseServ")}});
    out << cs;
    out << keyed("CLASSE_C", {T("IdClasseCertif", 10)},
                 QList<Field>{T("NomClasseCertif", 50), T("AspectoProduto", 30)} + audit());
    out << keyed("TIPO_DOC", {SI("IdTipoDoc")}, {T("TipoDoc", 50)});
    out << keyed("DOC_NORMATIVOS", {T("IdClasseCertif", 10), SI("IdClasseProd"), I("IdDocNorm")},
                 {SI("IdTipoDoc"), T("NomeTitulo", 50), T("StatusDoc", 1)});
    out << keyed("DOC_NORMATIVOS_SERV", {T("IdClasseCertif", 10), SI("IdClasseServ"), I("IdDocNorm")},
                 {SI("IdTipoDoc"), T("NomeTitulo", 50), T("StatusDoc", 1)});
    out << keyed("CREDENCIAMENTO", {T("SiglaCertificador", 8), T("IdClasseCertif", 10), SI("IdClasseProd")}, {});
    out << keyed("CREDENCIAMENTO_SERV", {T("SiglaCertificador", 8), T("IdClasseCertif", 10), SI("IdClasseServ")}, {});
    // Installed as the regulator delivers it; nothing reads its columns.
    out << keyed("OBRIG_SERVICO", {T("IdClasseCertif", 10), SI("IdClasseServ")}, audit());
    return out;
}

QList<Table> buildControl()
{
    auto plain = [](const char *name, const QList<Field> &fields) {
        Table t;
        t.name = QLatin1String(name);
        t.fields = fields;
        return t;
    };
    QList<Table> out;
    out << plain("CONTROLE",
                 {DT("DataHoraEvento"), T("NumeroRemessa", 10), T("TipoRemessa", 1), T("Evento", 2), T("Usuario", 30),
                  T("Obs", 100)});
    out << plain("Controle_Temp",
                 {T("NumeroRemessa", 10), T("Status", 24), T("Evento", 2), T("Ultima", 1), T("TipoRemessa", 1)});
    out << plain("CONTROLE_AUX", {DT("DataHoraVersao"), T("NumeroVersao", 10), T("NomeArquivo", 21)});
    out << plain("CONTROLE_TXT",
                 {DT("DataHoraEvento"), T("NomeArquivo", 30), T("Obs", 100), T("UsuResp", 10), T("EnviadoQUELORA", 1)});
    // The certificates and items a TXT import wrote: the regulator may hold
    // them from that file, so they are kept as if approved. Local only: never
    // in a remittance. Columns an item has no use for hold '' or 0.
    out << keyed("ITEM_IMPORTADO",
                 {T("NomeTabela", 30), T("SiglaCertificador", 8), T("NumCertif", 30), T("CodigoPais", 4),
                  T("IdEmpresa", 255), T("MarcaProd", 255), T("ModeloProd", 255), SI("Importado"), T("NumLote", 20),
                  T("NumSerieProd", 255), SI("IdClasseServ")},
                 {T("NomeArquivo", 30), DT("DthImportacao")});
    return out;
}

QStringList split(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QList<RemittanceEntry> buildRemittance()
{
    struct Row
    {
        const char *name, *message, *key, *exclusion;
    };
    static const Row rows[] = {
        {"Empresa", "Verificando tabela de Empresa", "CodigoPais,IdEmpresa", nullptr},
        {"Evento_Emp", "Verificando tabela de Eventos da Empresa",
         "SiglaCertificador,NumCertif,CodigoPais,IdEmpresa,SeqEvento", nullptr},
        {"Produto", "Verificando tabela de Produto", "MarcaProd,ModeloProd,Importado", nullptr},
        {"Certific", "Verificando tabela de Cetificados", "SiglaCertificador,NumCertif", nullptr},
        {"Emp_Cert", "Verificando tabela de Empresas Certificadas", "SiglaCertificador,NumCertif,CodigoPais,IdEmpresa",
         nullptr},
        {"Servico", "Verificando tabela de Serviço", "SiglaCertificador,NumCertif,IdClasseServ,CodigoPais,IdEmpresa",
         nullptr},
        {"Lote", "Verificando tabela de Lote", "SiglaCertificador,NumCertif,NumLote,MarcaProd,ModeloProd,Importado",
         nullptr},
        {"Unidade", "Verificando tabela de Unidade",
         "SiglaCertificador,NumCertif,NumSerieProd,MarcaProd,ModeloProd,Importado", nullptr},
        {"Tipo", "Verificando tabela de Tipo", "SiglaCertificador,NumCertif,MarcaProd,ModeloProd,Importado", nullptr},
        {"Status_S", "Verificando tabela de Status de Serviço",
         "SiglaCertificador,NumCertif,IdClasseServ,CodigoPais,IdEmpresa,SeqEvento", nullptr},
        {"Status_C", "Verificando tabela de Status do Certificado", "SiglaCertificador,NumCertif,SeqEvento", nullptr},
        {"Status_L", "Verificando tabela de Status de Lotes",
         "SiglaCertificador,NumCertif,NumLote,MarcaProd,ModeloProd,Importado,SeqEvento",
         "SiglaCertificador,NumCertif,NumLote,SeqEvento"},
        {"Status_U", "Verificando tabela de Status de Unidade",
         "SiglaCertificador,NumCertif,NumSerieProd,MarcaProd,ModeloProd,Importado,SeqEvento",
         "SiglaCertificador,NumCertif,NumSerieProd,SeqEvento"},
        {"Status_T", "Verificando tabela de Status de Tipo",
         "SiglaCertificador,NumCertif,MarcaProd,ModeloProd,Importado,SeqEvento",
         "SiglaCertificador,NumCertif,SeqEvento"},
        {"doc_norm_cert_produto", "Verificando tabela de Doc. Normat. de Cert. Produto",
         "SiglaCertificador,NumCertif,IdClasseCertif,IdClasseProd,IdDocNorm", nullptr},
        {"doc_norm_cert_servico", "Verificando tabela de Doc. Normat. de Cert. Serviço",
         "SiglaCertificador,NumCertif,IdClasseCertif,IdClasseServ,IdDocNorm", nullptr},
        {"doc_norm_serv", "Verificando tabela de Doc. Norm. Serviço",
         "SiglaCertificador,NumCertif,IdDocNorm,IdClasseCertif,IdClasseServ,CodigoPais,IdEmpresa", nullptr},
        {"doc_norm_unidade", "Verificando tabela de Doc. Norm. Unidade",
         "SiglaCertificador,NumCertif,NumSerieProd,MarcaProd,ModeloProd,Importado,IdClasseCertif,IdClasseProd,"
         "IdDocNorm",
         nullptr},
        {"doc_norm_lote", "Verificando tabela de Doc. Norm. Lote",
         "SiglaCertificador,NumCertif,NumLote,MarcaProd,ModeloProd,Importado,IdClasseCertif,IdClasseProd,IdDocNorm",
         nullptr},
        {"doc_norm_tipo", "Verificando tabela de Doc. Norm. Tipo",
         "SiglaCertificador,NumCertif,MarcaProd,ModeloProd,Importado,IdClasseCertif,IdClasseProd,IdDocNorm", nullptr},
        {"status_dncs", "Verificando tabela de Status Doc Norm. Cert. Serviço",
         "SiglaCertificador,NumCertif,IdClasseCertif,IdClasseServ,IdDocNorm,SeqEvento", nullptr},
        {"status_dncp", "Verificando tabela de Status Doc Norm. Cert. Produto",
         "SiglaCertificador,NumCertif,IdClasseCertif,IdClasseProd,IdDocNorm,SeqEvento", nullptr},
        {"status_dns", "Verificando tabela de Status Doc. Norm. Serviço",
         "SiglaCertificador,NumCertif,IdDocNorm,IdClasseCertif,IdClasseServ,CodigoPais,IdEmpresa,SeqEvento", nullptr},
        {"status_dnl", "Verificando tabela de Status Doc. Norm. Lote",
         "SiglaCertificador,NumCertif,NumLote,MarcaProd,ModeloProd,Importado,IdClasseCertif,IdClasseProd,IdDocNorm,"
         "SeqEvento",
         "SiglaCertificador,NumCertif,NumLote,IdClasseCertif,IdClasseProd,IdDocNorm,SeqEvento"},
        {"status_dnt", "Verificando tabela de Status Doc. Norm. Tipo",
         "SiglaCertificador,NumCertif,MarcaProd,ModeloProd,Importado,IdClasseCertif,IdClasseProd,IdDocNorm,SeqEvento",
         "SiglaCertificador,NumCertif,IdClasseCertif,IdClasseProd,IdDocNorm,SeqEvento"},
        {"status_dnu", "Verificando tabela de Status Doc. Norma. Unidade",
         "SiglaCertificador,NumCertif,NumSerieProd,MarcaProd,ModeloProd,Importado,IdClasseCertif,IdClasseProd,"
         "IdDocNorm,SeqEvento",
         "SiglaCertificador,NumCertif,NumSerieProd,IdClasseCertif,IdClasseProd,IdDocNorm,SeqEvento"},
        {"CONFIG_LOCAL", "Verificando tabela de configuração", "SIGLACERTIFICADOR", nullptr},
        {"SIGNATARIOS", "Verificando tabela de configuração", "ID_SIGNATARIO,SIGLACERTIFICADOR", nullptr},
        {"USU_LOCAL", "Verificando tabela de configuração", "SIGLAUSU,SIGLACERTIFICADOR", nullptr},
    };
    QList<RemittanceEntry> out;
    for (const Row &r : rows) {
        RemittanceEntry e;
        e.name = QString::fromLatin1(r.name);
        e.message = QString::fromUtf8(r.message);
        e.key = split(r.key);
        e.exclusionKey = r.exclusion ? split(r.exclusion) : e.key;
        out << e;
    }
    return out;
}

// Replica: the source's columns in order (auto-increment as plain integer),
// keyed by the row key of the remittance list.
QList<Table> buildReplicas()
{
    QList<Table> out;
    for (const RemittanceEntry &e : remittanceList()) {
        const Table *src = table(e.name);
        Q_ASSERT(src);
        Table rep;
        rep.name = QStringLiteral("REP_") + e.name.toUpper();
        rep.fields = src->fields;
        for (Field &f : rep.fields)
            if (f.type == FT::AutoInc)
                f.type = FT::Integer;
        for (const QString &k : e.key)
            rep.key << src->field(k)->name;
        out << rep;
    }
    return out;
}

} // namespace

const QList<Table> &certificationTables()
{
    static const QList<Table> t = buildCertification();
    return t;
}

const QList<Table> &referenceTables()
{
    static const QList<Table> t = buildReference();
    return t;
}

const QList<Table> &controlTables()
{
    static const QList<Table> t = buildControl();
    return t;
}

const QList<RemittanceEntry> &remittanceList()
{
    static const QList<RemittanceEntry> t = buildRemittance();
    return t;
}

const QList<Table> &replicaTables()
{
    static const QList<Table> t = buildReplicas();
    return t;
}

const QList<Table> &tables()
{
    static const QList<Table> all = [] {
        QList<Table> t = certificationTables();
        t += referenceTables();
        t += controlTables();
        t += replicaTables();
        return t;
    }();
    return all;
}

} // namespace Schema
