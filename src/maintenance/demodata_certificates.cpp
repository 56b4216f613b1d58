// Certificates of the demo database, each told as the history of what the
// staff did with it: registration, companies, products, documents, approval
// and later status changes.
#include "maintenance/demodata.h"

namespace {

QDateTime at(int y, int m, int d, int h = 9, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

class Story
{
public:
    Story(DemoData::Writer &w, const QString &num)
        : m_w(w),
          m_num(num)
    { }

    QVariantMap key() const
    {
        return {{QStringLiteral("SiglaCertificador"), m_w.certifier()}, {QStringLiteral("NumCertif"), m_num}};
    }
    QVariantMap with(const QVariantMap &more) const
    {
        QVariantMap m = key();
        m.insert(more);
        return m;
    }

    void certificate(const QString &certClass, int prodClass, const QDateTime &issue, const QDateTime &valid,
                     bool complete, const QString &lab, const QString &report)
    {
        m_w.addItem(QStringLiteral("CERTIFIC"),
                    with({{QStringLiteral("IdClasseCertif"), certClass},
                          {QStringLiteral("IdClasseProd"), prodClass},
                          {QStringLiteral("DataEmissao"), issue},
                          {QStringLiteral("DataValid"), valid},
                          {QStringLiteral("LabEnsaio"), lab.isEmpty() ? QVariant() : QVariant(lab)},
                          {QStringLiteral("NumRelEnsaio"), report.isEmpty() ? QVariant() : QVariant(report)},
                          {QStringLiteral("Signatarios"), QStringLiteral("Eng. Maria Aparecida dos Santos")},
                          {QStringLiteral("Completo"), complete}}),
                    issue);
    }
    void company(const QVariantMap &company, int role, const QDateTime &entry)
    {
        m_w.addItem(QStringLiteral("EMP_CERT"),
                    with({{QStringLiteral("CodigoPais"), company.value(QStringLiteral("CodigoPais"))},
                          {QStringLiteral("IdEmpresa"), company.value(QStringLiteral("IdEmpresa"))},
                          {QStringLiteral("IdPapelEmp"), role},
                          {QStringLiteral("DthEntEmpresa"), entry}}),
                    entry);
    }
    // TIPO, LOTE or UNIDADE; `extra` holds the lot or serial number and the rest.
    void product(const QString &table, const QVariantMap &product, const QVariantMap &supplier,
                 const QVariantMap &extra, const QDateTime &entry)
    {
        QVariantMap v = with(extra);
        for (const char *c : {"MarcaProd", "ModeloProd", "Importado"})
            v.insert(QLatin1String(c), product.value(QLatin1String(c)));
        v.insert(QStringLiteral("CodigoPais"), supplier.value(QStringLiteral("CodigoPais")));
        v.insert(QStringLiteral("IdEmpresa"), supplier.value(QStringLiteral("IdEmpresa")));
        v.insert(QStringLiteral("DthEntCertif"), entry);
        m_w.addItem(table, v, entry);
    }
    void service(int servClass, const QVariantMap &provider, const QDateTime &entry)
    {
        m_w.addItem(QStringLiteral("SERVICO"),
                    with({{QStringLiteral("IdClasseServ"), servClass},
                          {QStringLiteral("CodigoPais"), provider.value(QStringLiteral("CodigoPais"))},
                          {QStringLiteral("IdEmpresa"), provider.value(QStringLiteral("IdEmpresa"))},
                          {QStringLiteral("DthEntCertif"), entry}}),
                    entry);
    }
    // A normative document attached to the certificate or to one of its items:
    // `item` carries the item's own key columns, `entryColumn` its entry moment.
    void document(const QString &table, const QString &entryColumn, const QVariantMap &item, const QDateTime &entry)
    {
        QVariantMap v = with(item);
        v.insert(entryColumn, entry);
        m_w.addItem(table, v, entry);
    }

    void approve(const QDateTime &moment) { m_w.approve(m_num, moment); }
    void change(const QString &table, const QVariantMap &itemKey, const QString &event, const QString &status,
                const QString &why, const QDateTime &moment)
    {
        m_w.changeStatus(table, with(itemKey), event, status, why, moment);
    }

private:
    DemoData::Writer &m_w;
    QString m_num;
};

QVariantMap productKey(const QVariantMap &p)
{
    return {{QStringLiteral("MarcaProd"), p.value(QStringLiteral("MarcaProd"))},
            {QStringLiteral("ModeloProd"), p.value(QStringLiteral("ModeloProd"))},
            {QStringLiteral("Importado"), p.value(QStringLiteral("Importado"))}};
}

QVariantMap merged(QVariantMap a, const QVariantMap &b)
{
    a.insert(b);
    return a;
}

QVariantMap docKey(const char *certClass, int prodClass, int doc)
{
    return {{QStringLiteral("IdClasseCertif"), QString::fromLatin1(certClass)},
            {QStringLiteral("IdClasseProd"), prodClass},
            {QStringLiteral("IdDocNorm"), doc}};
}

} // namespace

namespace DemoData {

void addCertificates(Writer &w)
{
    const QDateTime registered = at(2023, 4, 20, 15, 0);
    auto company = [&](const QString &country, const QString &id, const QVariantMap &rest) {
        QVariantMap c = rest;
        c.insert(QStringLiteral("CodigoPais"), country);
        c.insert(QStringLiteral("IdEmpresa"), id);
        c.insert(QStringLiteral("DthUltAtualiz"), registered);
        w.insert(QStringLiteral("EMPRESA"), c);
        return c;
    };
    auto legal = [&](const QString &cnpj, const char *name, const char *trade, const char *street, const char *number,
                     const char *district, const char *city, const char *uf, const char *cep, const char *phone,
                     const char *mail) {
        return company(QStringLiteral("BR"), cnpj,
                       {{QStringLiteral("CGC"), cnpj},
                        {QStringLiteral("RazSocialEmp"), QString::fromUtf8(name)},
                        {QStringLiteral("NomFantasia"), QString::fromUtf8(trade)},
                        {QStringLiteral("EndLogr"), QString::fromUtf8(street)},
                        {QStringLiteral("EndNum"), QString::fromUtf8(number)},
                        {QStringLiteral("EndBairro"), QString::fromUtf8(district)},
                        {QStringLiteral("EndCidade"), QString::fromUtf8(city)},
                        {QStringLiteral("SiglaUF"), QString::fromUtf8(uf)},
                        {QStringLiteral("EndCEP"), QString::fromUtf8(cep)},
                        {QStringLiteral("Telefone"), QString::fromUtf8(phone)},
                        {QStringLiteral("Email"), QString::fromUtf8(mail)},
                        {QStringLiteral("TipoPessoa"), QStringLiteral("1")}});
    };

    const QVariantMap conexa = legal(cnpjFrom(QStringLiteral("123456780001")), "Conexa Materiais Elétricos Ltda.",
                                     "Conexa", "Rua das Indústrias", "1500", "Distrito Industrial", "São Paulo", "SP",
                                     "04567-000", "(11) 3456-7890", "qualidade@conexa.com.br");
    const QVariantMap sulDoeste = legal(cnpjFrom(QStringLiteral("987654320001")), "Distribuidora Sul d'Oeste S.A.",
                                        "Sul d'Oeste", "Avenida Farrapos", "820", "Navegantes", "Porto Alegre", "RS",
                                        "90220-000", "(51) 3222-1100", "compras@suldoeste.com.br");
    const QVariantMap alegria = legal(cnpjFrom(QStringLiteral("112223330001")), "Brinquedos Alegria Importação Ltda.",
                                      "Alegria", "Rua XV de Novembro", "45", "Centro", "Curitiba", "PR", "80020-310",
                                      "(41) 3333-4444", "importacao@alegria.com.br");
    const QVariantMap fenix = legal(cnpjFrom(QStringLiteral("445556660001")), "Extintores Fênix Serviços Ltda.",
                                    "Fênix Extintores", "Rua dos Bombeiros", "12", "Barro Preto", "Belo Horizonte",
                                    "MG", "30190-000", "(31) 3210-5566", "contato@fenixextintores.com.br");
    const QString happyToysName = QStringLiteral("Shenzhen Happy Toys Co., Ltd.");
    const QVariantMap happyToys = company(QStringLiteral("CN"), happyToysName,
                                          {{QStringLiteral("RazSocialEmp"), happyToysName},
                                           {QStringLiteral("NomFantasia"), QStringLiteral("Happy Toys")},
                                           {QStringLiteral("EndCidade"), QStringLiteral("Shenzhen")},
                                           {QStringLiteral("TipoPessoa"), QStringLiteral("1")}});
    const QString cpf = cpfFrom(QStringLiteral("529982247"));
    const QVariantMap person = company(
        QStringLiteral("BR"), cpf,
        {{QStringLiteral("CPF"), cpf},
         {QStringLiteral("NomPessoaFisica"), QStringLiteral("José Antônio da Conceição")},
         {QStringLiteral("EndCidade"), QStringLiteral("Belo Horizonte")},
         {QStringLiteral("SiglaUF"), QStringLiteral("MG")},
         {QStringLiteral("TipoPessoa"), QStringLiteral("2")}});

    auto product = [&](const char *brand, const char *model, int imported, const char *descr, const char *ean) {
        QVariantMap p{{QStringLiteral("MarcaProd"), QString::fromUtf8(brand)},
                      {QStringLiteral("ModeloProd"), QString::fromUtf8(model)},
                      {QStringLiteral("Importado"), imported},
                      {QStringLiteral("DescrProd"), QString::fromUtf8(descr)},
                      {QStringLiteral("CodEANUPC"), ean ? QVariant(QString::fromLatin1(ean)) : QVariant()},
                      {QStringLiteral("DthUltAtualiz"), registered}};
        w.insert(QStringLiteral("PRODUTO"), p);
        return productKey(p);
    };
    const QVariantMap tm10 = product("Conexa", "TM-10A", 0, "Tomada 2P+T 10 A", "7891234500016");
    const QVariantMap tm20 = product("Conexa", "TM-20A", 0, "Tomada 2P+T 20 A", "7891234500023");
    const QVariantMap pl10 = product("Conexa", "PL-10A", 0, "Plugue 2P+T 10 A", nullptr);
    const QVariantMap ints1 = product("Conexa", "INT-S1", 0, "Interruptor simples 10 A", nullptr);
    const QVariantMap bear = product("Happy Toys", "Ursinho Musical UM-01", 1, "Ursinho de pelúcia com música",
                                     "6901234567892");

    const int fabricante = 1, importador = 2, solicitante = 3, prestador = 6;
    const QString tipo = QStringLiteral("TIPO"), lote = QStringLiteral("LOTE"), unidade = QStringLiteral("UNIDADE");

    // Active certificate, approved, with one of its products suspended and
    // approved again afterwards.
    {
        Story s(w, QStringLiteral("OCDEMO-0001/2024"));
        s.certificate(QStringLiteral("COMP"), 101, at(2024, 2, 15), at(2027, 2, 15), true,
                      QStringLiteral("Laboratório de Ensaios Elétricos Demonstração"), QStringLiteral("RE-2024/0153"));
        s.company(conexa, fabricante, at(2024, 2, 15, 10));
        s.company(sulDoeste, solicitante, at(2024, 2, 15, 10, 5));
        for (const QVariantMap &p : {tm10, tm20, pl10})
            s.product(tipo, p, conexa, {}, at(2024, 2, 15, 10, 30));
        s.document(QStringLiteral("DOC_NORM_CERT_PRODUTO"), QStringLiteral("DthEntDNCP"), docKey("COMP", 101, 1001),
                   at(2024, 2, 15, 10, 45));
        s.document(QStringLiteral("DOC_NORM_CERT_PRODUTO"), QStringLiteral("DthEntDNCP"), docKey("COMP", 101, 1002),
                   at(2024, 2, 15, 10, 45));
        for (const QVariantMap &p : {tm10, tm20, pl10})
            s.document(QStringLiteral("DOC_NORM_TIPO"), QStringLiteral("DthEntDNT"),
                       merged(docKey("COMP", 101, 1002), p), at(2024, 2, 15, 10, 50));
        s.approve(at(2024, 2, 20, 14));
        s.change(tipo, pl10, QStringLiteral("SUS"), QStringLiteral("S"),
                 QStringLiteral("Não conformidade no ensaio de manutenção"), at(2024, 6, 10, 11));
        s.approve(at(2024, 6, 12, 16));
    }

    // Suspended certificate of imported toys by lot; the suspension waits
    // for approval.
    {
        Story s(w, QStringLiteral("OCDEMO-0002/2024"));
        s.certificate(QStringLiteral("COMP"), 201, at(2024, 3, 5), at(2026, 3, 5), true,
                      QStringLiteral("Laboratório Têxtil e de Brinquedos Demonstração"), QStringLiteral("RB-0087/24"));
        s.company(happyToys, fabricante, at(2024, 3, 5, 10));
        s.company(alegria, importador, at(2024, 3, 5, 10, 10));
        s.product(lote, bear, alegria,
                  {{QStringLiteral("NumLote"), QStringLiteral("L2024-0001")},
                   {QStringLiteral("QuantLote"), QStringLiteral("5000")},
                   {QStringLiteral("DataFabrLote"), at(2024, 1, 10, 0)},
                   {QStringLiteral("NumProfInvoice"), QStringLiteral("PI-77821")}},
                  at(2024, 3, 5, 11));
        s.product(lote, bear, alegria,
                  {{QStringLiteral("NumLote"), QStringLiteral("L2024-0002")},
                   {QStringLiteral("QuantLote"), QStringLiteral("3200")},
                   {QStringLiteral("DataFabrLote"), at(2024, 2, 2, 0)},
                   {QStringLiteral("NumProfInvoice"), QStringLiteral("PI-78040")}},
                  at(2024, 3, 5, 11, 5));
        for (int doc : {2001, 2002})
            s.document(QStringLiteral("DOC_NORM_CERT_PRODUTO"), QStringLiteral("DthEntDNCP"), docKey("COMP", 201, doc),
                       at(2024, 3, 5, 11, 30));
        for (const char *lot : {"L2024-0001", "L2024-0002"})
            s.document(QStringLiteral("DOC_NORM_LOTE"), QStringLiteral("DthEntDNL"),
                       merged(merged(docKey("COMP", 201, 2002), bear),
                              {{QStringLiteral("NumLote"), QString::fromLatin1(lot)}}),
                       at(2024, 3, 5, 11, 35));
        s.approve(at(2024, 3, 8, 9, 30));
        s.change(QStringLiteral("CERTIFIC"), {}, QStringLiteral("SUS"), QStringLiteral("S"),
                 QStringLiteral("Suspensão por falta de auditoria de manutenção"), at(2024, 9, 2, 15));
    }

    // Cancelled certificate of products by unit; the cancellation was approved.
    {
        Story s(w, QStringLiteral("OCDEMO-0003/2023"));
        s.certificate(QStringLiteral("COMP"), 102, at(2023, 5, 10), at(2025, 5, 10), true,
                      QStringLiteral("Laboratório de Ensaios Elétricos Demonstração"), QStringLiteral("RE-2023/0412"));
        s.company(conexa, fabricante, at(2023, 5, 10, 10));
        for (const char *serial : {"SN-000123", "SN-000124"})
            s.product(unidade, ints1, conexa,
                      {{QStringLiteral("NumSerieProd"), QString::fromLatin1(serial)},
                       {QStringLiteral("LocalInstalacao"), QStringLiteral("Subestação Norte")},
                       {QStringLiteral("EndCidade"), QStringLiteral("Campinas")},
                       {QStringLiteral("SiglaUF"), QStringLiteral("SP")}},
                      at(2023, 5, 10, 10, 30));
        s.document(QStringLiteral("DOC_NORM_CERT_PRODUTO"), QStringLiteral("DthEntDNCP"), docKey("COMP", 102, 1101),
                   at(2023, 5, 10, 10, 45));
        for (const char *serial : {"SN-000123", "SN-000124"})
            s.document(QStringLiteral("DOC_NORM_UNIDADE"), QStringLiteral("DthEntDNU"),
                       merged(merged(docKey("COMP", 102, 1101), ints1),
                              {{QStringLiteral("NumSerieProd"), QString::fromLatin1(serial)}}),
                       at(2023, 5, 10, 10, 50));
        s.approve(at(2023, 5, 15, 10));
        s.change(QStringLiteral("CERTIFIC"), {}, QStringLiteral("CAN"), QStringLiteral("C"),
                 QStringLiteral("Cancelamento a pedido do solicitante"), at(2024, 1, 20, 14));
        s.approve(at(2024, 1, 22, 9));
    }

    // Service certificate, complete and waiting for its first approval.
    {
        Story s(w, QStringLiteral("OCDEMO-0004/2024"));
        s.certificate(QStringLiteral("SERV"), 300, at(2024, 4, 1), at(2027, 4, 1), true, QString(), QString());
        s.company(fenix, prestador, at(2024, 4, 1, 10));
        s.company(person, solicitante, at(2024, 4, 1, 10, 5));
        for (int serv : {10, 11})
            s.service(serv, fenix, at(2024, 4, 1, 10, 30));
        const QVariantMap fenixKey{{QStringLiteral("CodigoPais"), fenix.value(QStringLiteral("CodigoPais"))},
                                   {QStringLiteral("IdEmpresa"), fenix.value(QStringLiteral("IdEmpresa"))}};
        for (const auto &[serv, doc] : {std::pair{10, 5001}, std::pair{11, 5002}}) {
            const QVariantMap k{{QStringLiteral("IdClasseCertif"), QStringLiteral("SERV")},
                                {QStringLiteral("IdClasseServ"), serv},
                                {QStringLiteral("IdDocNorm"), doc}};
            s.document(QStringLiteral("DOC_NORM_CERT_SERVICO"), QStringLiteral("DthEntDNCS"), k,
                       at(2024, 4, 1, 10, 45));
            s.document(QStringLiteral("DOC_NORM_SERV"), QStringLiteral("DthEntDNS"), merged(k, fenixKey),
                       at(2024, 4, 1, 10, 50));
        }
    }

    // Registered but incomplete: a company and no product yet.
    {
        Story s(w, QStringLiteral("OCDEMO-0005/2025"));
        s.certificate(QStringLiteral("COMP"), 101, at(2025, 1, 10), at(2028, 1, 10), false, QString(), QString());
        s.company(sulDoeste, solicitante, at(2025, 1, 10, 10));
    }
}

} // namespace DemoData
