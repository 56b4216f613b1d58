#pragma once
// Writes import files (fixed-column TXT) for tests and the benchmark. Each
// record is laid out from its descriptor's own field positions, so the files
// follow the reader whatever the columns are. Header-only: the benchmark
// includes it without the test support library.
#include "import/datastruct.h"
#include "import/descriptorfactory.h"

#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>

class ImportFileBuilder
{
public:
    using Values = QMap<QString, QString>; // column name (any case) -> value

    explicit ImportFileBuilder(const QString &sigla)
        : m_sigla(sigla)
    { }

    static QString fileName(const QString &sigla, const QString &tail = QStringLiteral("2026120801"))
    {
        return QStringLiteral("TX-") + sigla + tail + QStringLiteral(".txt");
    }

    QString sigla() const { return m_sigla; }
    int records() const { return m_records; }
    const QStringList &lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

    // The header line followed by the record's data lines. A column without
    // a value is left blank; SiglaCertificador defaults to the builder's.
    ImportFileBuilder &record(const QString &header, Values values, const QString &headerSuffix = QString())
    {
        auto d = ImportDescriptors::createForHeader(header, m_sigla, QStringLiteral("t"));
        Q_ASSERT(d);
        if (!contains(values, QStringLiteral("SiglaCertificador")))
            values.insert(QStringLiteral("SiglaCertificador"), m_sigla);
        QStringList data;
        for (const TDataStructItem *item : d->items()) {
            if (!item->inFile())
                continue;
            if (item->lineAdvance || data.isEmpty())
                data << QString();
            QString &line = data.last();
            const QString v = valueOf(values, item->name);
            if (v.isEmpty())
                continue;
            if (line.length() < item->firstColumn - 1)
                line += QString(item->firstColumn - 1 - line.length(), QLatin1Char(' '));
            QString cell = v.leftJustified(item->width, QLatin1Char(' '));
            line = line.left(item->firstColumn - 1) + cell + line.mid(item->firstColumn - 1 + cell.length());
        }
        m_lines << header + headerSuffix;
        for (QString &l : data)
            m_lines << trimRight(l);
        ++m_records;
        return *this;
    }

    ImportFileBuilder &line(const QString &raw)
    {
        m_lines << raw;
        return *this;
    }

    QByteArray bytes() const
    {
        QByteArray out;
        for (const QString &l : m_lines)
            out += l.toUtf8() + "\r\n";
        return out;
    }

    bool write(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes()) >= 0;
    }

    // Appends the lines gathered so far to an open file and forgets them.
    bool flushTo(QFile &f)
    {
        const bool ok = f.write(bytes()) >= 0;
        m_lines.clear();
        return ok;
    }

    // Sample records, all valid for a certificate issued on 01/01/2020.
    static Values certific(const QString &num, const QString &status = QStringLiteral("A"))
    {
        return {{"Numcertif", num},
                {"StatusCertificado", status},
                {"IdClasseProd", "1"},
                {"IdClasseCertif", "CL1"},
                {"DataEmissao", "01/01/2020"},
                {"DataValid", "01/01/2030"},
                {"DthStatusCertificado", "01/01/2020"},
                {"LabEnsaio", "Lab"}};
    }
    static Values statusC(const QString &num, const QString &evento = QStringLiteral("ALT"))
    {
        return {{"Numcertif", num},
                {"Evento", evento},
                {"HistoricoSis", "1"},
                {"StatusCertificado", "A"},
                {"DthStatusCertificado", "02/01/2020"},
                {"Justificativa", "Ajuste"}};
    }
    // A foreign company: no CNPJ, identifier equal to the legal name.
    static Values empresa(const QString &id)
    {
        return {{"CodigoPais", "US"}, {"IdEmpresa", id}, {"RazSocialEmp", id}, {"TipoPessoa", "1"}};
    }
    static Values empCert(const QString &num, const QString &id)
    {
        return {{"Numcertif", num},
                {"CodigoPais", "US"},
                {"StatusEmpresa", "A"},
                {"IdPapelEmp", "1"},
                {"DthEntEmpresa", "01/01/2020"},
                {"DthStatusEmpresa", "01/01/2020"},
                {"IdEmpresa", id}};
    }
    static Values produto(const QString &marca, const QString &modelo)
    {
        return {{"MarcaProd", marca}, {"ModeloProd", modelo}, {"Importado", "1"}, {"DescrProd", "Produto"}};
    }
    static Values tipo(const QString &num, const QString &marca, const QString &modelo, const QString &id)
    {
        return {{"Numcertif", num},     {"Importado", "1"},
                {"CodigoPais", "US"},   {"DthEntCertif", "01/01/2020"},
                {"StatusProduto", "A"}, {"DthStatusProduto", "01/01/2020"},
                {"MarcaProd", marca},   {"ModeloProd", modelo},
                {"IdEmpresa", id}};
    }
    static Values lote(const QString &num, const QString &lot, const QString &marca, const QString &modelo,
                       const QString &id, const QString &status = QStringLiteral("A"))
    {
        return {{"numLote", lot},
                {"Numcertif", num},
                {"Importado", "1"},
                {"CodigoPais", "US"},
                {"DthEntCertif", "01/01/2020"},
                {"StatusLote", status},
                {"DthStatusLote", "03/01/2020"},
                {"QuantLote", "100"},
                {"MarcaProd", marca},
                {"ModeloProd", modelo},
                {"IdEmpresa", id}};
    }
    static Values unidade(const QString &num, const QString &serie, const QString &marca, const QString &modelo,
                          const QString &id)
    {
        return {{"NumSerieProd", serie},
                {"Numcertif", num},
                {"Importado", "1"},
                {"CodigoPais", "US"},
                {"DthEntCertif", "01/01/2020"},
                {"StatusUnidade", "A"},
                {"DthStatusUnidade", "01/01/2020"},
                {"MarcaProd", marca},
                {"ModeloProd", modelo},
                {"IdEmpresa", id}};
    }
    static Values servico(const QString &num, const QString &id)
    {
        return {{"IdClasseServ", "1"},  {"Numcertif", num},
                {"CodigoPais", "US"},   {"DthEntCertif", "01/01/2020"},
                {"StatusServico", "A"}, {"DthStatusServico", "01/01/2020"},
                {"IdEmpresa", id}};
    }
    static Values docCertProduto(const QString &num, const QString &doc = QStringLiteral("1"))
    {
        return {
            {"Numcertif", num},           {"IdClasseCertif", "CL1"}, {"IdClasseProd", "1"},          {"IdDocNorm", doc},
            {"DthEntDNCP", "01/01/2020"}, {"Status_DNCP", "A"},      {"DthStatusDNCP", "01/01/2020"}};
    }
    static Values docTipo(const QString &num, const QString &marca, const QString &modelo)
    {
        return {{"Numcertif", num},        {"Importado", "1"},
                {"IdClasseCertif", "CL1"}, {"IdClasseProd", "1"},
                {"IdDocNorm", "1"},        {"DthEntDNT", "01/01/2020"},
                {"Status_DNT", "A"},       {"DthStatusDNT", "01/01/2020"},
                {"MarcaProd", marca},      {"ModeloProd", modelo}};
    }

    // A complete certificate: company, role, product, type, lot and
    // certificate document (7 records).
    ImportFileBuilder &completeCertificate(const QString &num)
    {
        const QString company = QStringLiteral("Empresa ") + num;
        const QString modelo = QStringLiteral("Modelo ") + num;
        record(QStringLiteral("[CERTIFIC]"), certific(num));
        record(QStringLiteral("[EMPRESA]"), empresa(company));
        record(QStringLiteral("[EMP_CERT]"), empCert(num, company));
        record(QStringLiteral("[PRODUTO]"), produto(QStringLiteral("Marca"), modelo));
        record(QStringLiteral("[TIPO]"), tipo(num, QStringLiteral("Marca"), modelo, company));
        record(QStringLiteral("[LOTE]"), lote(num, QStringLiteral("L1"), QStringLiteral("Marca"), modelo, company));
        record(QStringLiteral("[DOC_NORM_CERT_PRODUTO]"), docCertProduto(num));
        return *this;
    }

private:
    static bool contains(const Values &v, const QString &name)
    {
        for (auto it = v.begin(); it != v.end(); ++it)
            if (it.key().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
    static QString valueOf(const Values &v, const QString &name)
    {
        for (auto it = v.begin(); it != v.end(); ++it)
            if (it.key().compare(name, Qt::CaseInsensitive) == 0)
                return it.value();
        return QString();
    }
    static QString trimRight(const QString &s)
    {
        int n = s.length();
        while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
            --n;
        return s.left(n);
    }

    QString m_sigla;
    QStringList m_lines;
    int m_records = 0;
};
