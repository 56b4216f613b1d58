#pragma once
// Import files of whole certificates, for the benchmarks and the tests of
// bulk work: N records of certificates B-<first>, B-<first + 1>... each with
// its company, role, product, type, lot, unit, service, documents and
// inclusion history row.
#include "support/importfilebuilder.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

namespace WholeCertificates {

using B = ImportFileBuilder;
inline const QString Sigla = QStringLiteral("OCB");

// The records of the file, in order: certificates with their company, role,
// product, type, lot, unit, service, documents and a history row.
inline void forEachRecord(int n, const std::function<void(const QString &, const B::Values &)> &fn, int first = 1)
{
    int done = 0;
    for (int c = first; done < n; ++c) {
        const QString num = QStringLiteral("B-%1").arg(c);
        const QString company = QStringLiteral("Empresa %1").arg(c);
        const QString modelo = QStringLiteral("Modelo %1").arg(c);
        B::Values statusC = B::statusC(num, QStringLiteral("INC"));
        const QList<QPair<QString, B::Values>> group{
            {"[CERTIFIC]", B::certific(num)},
            {"[EMPRESA]", B::empresa(company)},
            {"[EMP_CERT]", B::empCert(num, company)},
            {"[PRODUTO]", B::produto("Marca", modelo)},
            {"[TIPO]", B::tipo(num, "Marca", modelo, company)},
            {"[LOTE]", B::lote(num, "L1", "Marca", modelo, company)},
            {"[UNIDADE]", B::unidade(num, "S1", "Marca", modelo, company)},
            {"[SERVICO]", B::servico(num, company)},
            {"[DOC_NORM_CERT_PRODUTO]", B::docCertProduto(num)},
            {"[DOC_NORM_TIPO]", B::docTipo(num, "Marca", modelo)},
            {"[STATUS_C]", statusC},
        };
        for (const auto &[header, values] : group) {
            if (done++ >= n)
                return;
            fn(header, values);
        }
    }
}

// Writes the file of n records into dir; returns its name (tail: see
// ImportFileBuilder::fileName).
inline QString writeFile(const QString &dir, int n, int first = 1, const QString &tail = QStringLiteral("2026120801"),
                         const QString &sigla = Sigla)
{
    QDir().mkpath(dir);
    const QString name = B::fileName(sigla, tail);
    QFile f(dir + QLatin1Char('/') + name);
    f.open(QIODevice::WriteOnly);
    B b(sigla);
    forEachRecord(
        n,
        [&](const QString &header, const B::Values &values) {
            b.record(header, values);
            if (b.lines().size() > 2000)
                b.flushTo(f);
        },
        first);
    b.flushTo(f);
    return name;
}

}
