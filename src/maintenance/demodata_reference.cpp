// Reference tables, configuration and signatories of the demo database.
#include "db/provisioning.h"
#include "maintenance/demodata.h"

#include "db/dberror.h"

#include <QDir>

namespace {

// The regulator's tables arrive already stamped by it.
const QDateTime published(QDate(2023, 11, 6), QTime(9, 30));
const QString regulator = QStringLiteral("QUELORA");

QVariantMap row(std::initializer_list<std::pair<const char *, QVariant>> values)
{
    QVariantMap m;
    for (const auto &[k, v] : values)
        m.insert(QString::fromLatin1(k), v);
    return m;
}

QVariant noValue()
{
    return QVariant();
}

} // namespace

namespace DemoData {

void addReferenceData(Writer &w)
{
    const char *states[][2] = {
        {"AC", "Acre"},
        {"AL", "Alagoas"},
        {"AP", "Amapá"},
        {"AM", "Amazonas"},
        {"BA", "Bahia"},
        {"CE", "Ceará"},
        {"DF", "Distrito Federal"},
        {"ES", "Espírito Santo"},
        {"GO", "Goiás"},
        {"MA", "Maranhão"},
        {"MT", "Mato Grosso"},
        {"MS", "Mato Grosso do Sul"},
        {"MG", "Minas Gerais"},
        {"PA", "Pará"},
        {"PB", "Paraíba"},
        {"PR", "Paraná"},
        {"PE", "Pernambuco"},
        {"PI", "Piauí"},
        {"RJ", "Rio de Janeiro"},
        {"RN", "Rio Grande do Norte"},
        {"RS", "Rio Grande do Sul"},
        {"RO", "Rondônia"},
        {"RR", "Roraima"},
        {"SC", "Santa Catarina"},
        {"SP", "São Paulo"},
        {"SE", "Sergipe"},
        {"TO", "Tocantins"},
    };
    for (const auto &s : states)
        w.insert(QStringLiteral("UF"),
                 row({{"SiglaUF", QString::fromUtf8(s[0])}, {"NomeUF", QString::fromUtf8(s[1])}}));

    const char *countries[][2] = {
        {"BR", "Brasil"}, {"AR", "Argentina"},      {"UY", "Uruguai"},  {"PY", "Paraguai"},    {"CL", "Chile"},
        {"MX", "México"}, {"US", "Estados Unidos"}, {"CA", "Canadá"},   {"DE", "Alemanha"},    {"FR", "França"},
        {"IT", "Itália"}, {"ES", "Espanha"},        {"PT", "Portugal"}, {"GB", "Reino Unido"}, {"CN", "China"},
        {"JP", "Japão"},  {"KR", "Coreia do Sul"},  {"TW", "Taiwan"},   {"IN", "Índia"},
    };
    for (const auto &c : countries)
        w.insert(QStringLiteral("PAIS"),
                 row({{"CodigoPais", QString::fromUtf8(c[0])},
                      {"NomePais", QString::fromUtf8(c[1])},
                      {"DthUltAtualiz", published},
                      {"UsuResp", regulator}}));

    const char *roles[] = {"Fabricante", "Importador",   "Solicitante",
                           "Fornecedor", "Distribuidor", "Prestador de Serviço"};
    for (int i = 0; i < 6; ++i)
        w.insert(QStringLiteral("PAPEL_EMP"),
                 row({{"IdPapelEmp", i + 1},
                      {"PapelEmp", QString::fromUtf8(roles[i])},
                      {"DthUltAtualiz", published},
                      {"UsuResp", regulator}}));

    struct ProdClass
    {
        int id;
        int sup;
        const char *name;
        const char *unit;
    };
    const ProdClass prodClasses[] = {
        {100, 0, "Material Elétrico", nullptr},
        {101, 100, "Plugues e Tomadas de Uso Doméstico", "un"},
        {102, 100, "Interruptores para Instalações Elétricas Fixas", "un"},
        {200, 0, "Brinquedos", nullptr},
        {201, 200, "Brinquedos para Menores de 3 Anos", "un"},
        {300, 0, "Extintores de Incêndio", "un"},
    };
    for (const ProdClass &c : prodClasses)
        w.insert(QStringLiteral("CLASSE_P"),
                 row({{"IdClasseProd", c.id},
                      {"ClasseSup", c.sup ? QVariant(c.sup) : noValue()},
                      {"NomClasseProd", QString::fromUtf8(c.name)},
                      {"UnMedida", c.unit ? QVariant(QString::fromUtf8(c.unit)) : noValue()},
                      {"DthUltAtualiz", published},
                      {"UsuResp", regulator}}));

    struct ServClass
    {
        int id;
        int prod;
        int sup;
        const char *name;
    };
    const ServClass servClasses[] = {
        {10, 300, 0, "Inspeção Técnica e Manutenção de Extintores"},
        {11, 300, 10, "Recarga de Extintores de Incêndio"},
        {20, 100, 0, "Manutenção de Instalações Elétricas"},
    };
    for (const ServClass &c : servClasses)
        w.insert(QStringLiteral("CLASSE_S"),
                 row({{"IdClasseServ", c.id},
                      {"IdClasseProd", c.prod},
                      {"ClasseSuperiorServ", c.sup ? QVariant(c.sup) : noValue()},
                      {"NomClasseServ", QString::fromUtf8(c.name)},
                      {"DthUltAtualiz", published},
                      {"UsuResp", regulator}}));

    const char *certClasses[][3] = {
        {"COMP", "Certificação Compulsória", "Segurança"},
        {"VOL", "Certificação Voluntária", "Desempenho"},
        {"SERV", "Certificação de Serviços", "Serviço"},
    };
    for (const auto &c : certClasses)
        w.insert(QStringLiteral("CLASSE_C"),
                 row({{"IdClasseCertif", QString::fromUtf8(c[0])},
                      {"NomClasseCertif", QString::fromUtf8(c[1])},
                      {"AspectoProduto", QString::fromUtf8(c[2])},
                      {"DthUltAtualiz", published},
                      {"UsuResp", regulator}}));

    const char *docTypes[] = {"Portaria", "Norma Técnica", "Regulamento Técnico da Qualidade", "Resolução"};
    for (int i = 0; i < 4; ++i)
        w.insert(QStringLiteral("TIPO_DOC"), row({{"IdTipoDoc", i + 1}, {"TipoDoc", QString::fromUtf8(docTypes[i])}}));

    struct Doc
    {
        const char *certClass;
        int cls;
        int id;
        int type;
        const char *title;
    };
    const Doc docs[] = {
        {"COMP", 101, 1001, 1, "Portaria nº 85/2006"},
        {"COMP", 101, 1002, 2, "NBR 14136:2012 Plugues e tomadas"},
        {"VOL", 101, 1003, 3, "RTQ para Plugues e Tomadas"},
        {"COMP", 102, 1101, 2, "NBR NM 60669-1 Interruptores"},
        {"COMP", 201, 2001, 1, "Portaria nº 563/2016"},
        {"COMP", 201, 2002, 2, "NBR NM 300-1 Segurança de brinquedos"},
        {"COMP", 300, 3001, 1, "Portaria nº 486/2010"},
    };
    for (const Doc &d : docs)
        w.insert(QStringLiteral("DOC_NORMATIVOS"),
                 row({{"IdClasseCertif", QString::fromUtf8(d.certClass)},
                      {"IdClasseProd", d.cls},
                      {"IdDocNorm", d.id},
                      {"IdTipoDoc", d.type},
                      {"NomeTitulo", QString::fromUtf8(d.title)},
                      {"StatusDoc", QStringLiteral("A")}}));
    const Doc servDocs[] = {
        {"SERV", 10, 5001, 1, "Portaria nº 005/2011"},
        {"SERV", 11, 5002, 2, "NBR 12962 Inspeção de extintores"},
        {"SERV", 20, 5003, 2, "NBR 5410 Instalações elétricas"},
    };
    for (const Doc &d : servDocs)
        w.insert(QStringLiteral("DOC_NORMATIVOS_SERV"),
                 row({{"IdClasseCertif", QString::fromUtf8(d.certClass)},
                      {"IdClasseServ", d.cls},
                      {"IdDocNorm", d.id},
                      {"IdTipoDoc", d.type},
                      {"NomeTitulo", QString::fromUtf8(d.title)},
                      {"StatusDoc", QStringLiteral("A")}}));

    // The demo body is accredited for most classes; another body holds one
    // more, so lists filtered by the configured certifier show a difference.
    const char *accr[][3] = {{"COMP", "101", nullptr}, {"VOL", "101", nullptr},  {"COMP", "102", nullptr},
                             {"COMP", "201", nullptr}, {"COMP", "300", nullptr}, {"VOL", "102", "OCOUTRO"}};
    for (const auto &a : accr)
        w.insert(QStringLiteral("CREDENCIAMENTO"),
                 row({{"SiglaCertificador", a[2] ? QString::fromLatin1(a[2]) : w.certifier()},
                      {"IdClasseCertif", QString::fromLatin1(a[0])},
                      {"IdClasseProd", QString::fromLatin1(a[1]).toInt()}}));
    for (int serv : {10, 11})
        w.insert(QStringLiteral("CREDENCIAMENTO_SERV"),
                 row({{"SiglaCertificador", w.certifier()},
                      {"IdClasseCertif", QStringLiteral("SERV")},
                      {"IdClasseServ", serv}}));
    w.insert(QStringLiteral("CREDENCIAMENTO_SERV"),
             row({{"SiglaCertificador", QStringLiteral("OCOUTRO")},
                  {"IdClasseCertif", QStringLiteral("SERV")},
                  {"IdClasseServ", 20}}));
    for (int serv : {10, 11})
        w.insert(QStringLiteral("OBRIG_SERVICO"),
                 row({{"IdClasseCertif", QStringLiteral("SERV")},
                      {"IdClasseServ", serv},
                      {"DthUltAtualiz", published},
                      {"UsuResp", regulator}}));
}

void addConfiguration(Writer &w, const QString &programDir)
{
    const QString base = QDir::cleanPath(programDir) + QLatin1Char('/');
    const QStringList folders = Provisioning::demoFolders();
    for (const QString &f : folders)
        if (!QDir().mkpath(base + f))
            throw AppError(
                QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(base + f)));
    w.insert(QStringLiteral("CONFIG_LOCAL"),
             row({{"SiglaCertificador", w.certifier()},
                  {"NomeOCC", QStringLiteral("Organismo de Certificação Demonstração")},
                  {"DirLocalSincr", base + folders.at(0)},
                  {"DirLocalTransf", base + folders.at(1)},
                  {"DirLocalRecepAux", base + folders.at(2)},
                  {"EndQueloraEnvio", QStringLiteral("localhost/remessas")},
                  {"EndQueloraResult", QStringLiteral("localhost/resultados")},
                  {"EndQueloraOrigAux", QStringLiteral("localhost/tabelas")},
                  {"LoginFTP", QStringLiteral("ocdemo")},
                  {"SenhaFTP", QStringLiteral("ocdemo")},
                  {"EndSMTPHost", QStringLiteral("localhost")},
                  {"EndSMTPPort", QStringLiteral("25")},
                  {"EndSMTPUsuario", QStringLiteral("ocdemo@localhost")},
                  {"EndSMTPUsuReply", QStringLiteral("Atendimento Quelora")},
                  {"EndSMTPEMailReply", QStringLiteral("remessas@quelora.localhost")}}));

    w.insert(QStringLiteral("SIGNATARIOS"),
             row({{"Signatario", QStringLiteral("Eng. Maria Aparecida dos Santos")},
                  {"SiglaCertificador", w.certifier()},
                  {"Default_s", QStringLiteral("S")}}));
    w.insert(QStringLiteral("SIGNATARIOS"),
             row({{"Signatario", QStringLiteral("Eng. João Carlos D'Ávila")},
                  {"SiglaCertificador", w.certifier()},
                  {"Default_s", QStringLiteral("N")}}));
}

} // namespace DemoData
