#include "maintenance/certificates/certificateapproval.h"
#include "base/moments.h"

#include "db/database.h"
#include "db/retry.h"
#include "register/regulatorholding.h"
#include "register/statusevents.h"

#include <QSqlQuery>

namespace CertificateApproval {

namespace {

// "Still to be approved", over certific's columns.
QString notApproved()
{
    return QStringLiteral("(aprovado = 0 or not %1)")
        .arg(RegulatorHolding::certificateCondition(QStringLiteral("certific")));
}

}

QString candidatesSql()
{
    return QStringLiteral("select SiglaCertificador, NumCertif,StatusCertificado, DthStatusCertificado from certific "
                          "where ( ( completo = 1) and %1 ) order by SiglaCertificador, NumCertif")
        .arg(notApproved());
}

QList<Candidate> candidates(Database &db)
{
    QSqlQuery q = db.exec(candidatesSql());
    QList<Candidate> out;
    while (q.next())
        out.append(
            {q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), Moments::fromValue(q.value(3))});
    return out;
}

QList<CertificateKey> candidatesByNumber(Database &db, const QStringList &numbers, QStringList *missing)
{
    QList<CertificateKey> out;
    const QString sql = QStringLiteral("select SiglaCertificador, NumCertif from certific where NumCertif = ? "
                                       "and completo = 1 and %1 order by SiglaCertificador")
                            .arg(notApproved());
    for (const QString &number : numbers) {
        QSqlQuery q = db.exec(sql, {number});
        bool found = false;
        while (q.next()) {
            found = true;
            out.append({q.value(0).toString(), q.value(1).toString()});
        }
        if (!found && missing)
            missing->append(number);
    }
    return out;
}

NotCandidates::NotCandidates(const QList<CertificateKey> &keys)
    : AppError([&keys] {
          QStringList numbers;
          for (const CertificateKey &k : keys)
              numbers << k.numero;
          return QStringLiteral("Certificado(s) não completo(s) ou já aprovado(s): ") +
              numbers.join(QStringLiteral(", "));
      }()),
      m_keys(keys)
{ }

QList<Approval> approve(Database &db, const QList<CertificateKey> &keys, const QString &user)
{
    QList<CertificateKey> unique;
    for (const CertificateKey &k : keys) {
        bool seen = false;
        for (const CertificateKey &u : std::as_const(unique))
            seen = seen ||
                (u.sigla.compare(k.sigla, Qt::CaseInsensitive) == 0 &&
                 u.numero.compare(k.numero, Qt::CaseInsensitive) == 0);
        if (!seen)
            unique << k;
    }
    if (unique.isEmpty())
        return {};

    const QDateTime now = QDateTime::currentDateTime();
    QList<Approval> done;
    DbRetry::run(db, [&] {
        QList<CertificateKey> refused;
        done.clear();
        for (const CertificateKey &k : std::as_const(unique)) {
            QSqlQuery row = db.exec(QStringLiteral("select StatusCertificado, Completo, %1, SiglaCertificador, "
                                                   "NumCertif from certific "
                                                   "where SiglaCertificador = ? and NumCertif = ?")
                                        .arg(notApproved()),
                                    {k.sigla, k.numero});
            if (!row.next() || row.value(1).toInt() == 0 || row.value(2).toInt() == 0) {
                refused << k;
                continue;
            }
            const QString status = row.value(0).toString();
            const CertificateKey stored{row.value(3).toString(), row.value(4).toString()};
            row.finish();
            if (!refused.isEmpty())
                continue; // nothing more is written: the approval will be refused
            db.execute(QStringLiteral("Update certific set Aprovado = 1 where SiglaCertificador = ? and NumCertif = ?"),
                       {stored.sigla, stored.numero});
            StatusEvents::Event event;
            event.key = StatusEvents::certificateKey(stored.sigla, stored.numero);
            event.evento = QStringLiteral("APR");
            event.justificativa = StatusEvents::JustificativaSistema;
            event.historicoSis = StatusEvents::OrigemSistema;
            event.status = status;
            event.statusDate = now;
            event.writtenAt = now;
            event.user = user;
            const int seq = StatusEvents::insert(db, StatusEvents::Table::Status_C, event);
            done.append({stored.sigla, stored.numero, seq});
        }
        if (!refused.isEmpty())
            throw NotCandidates(refused);
    });
    return done;
}

}
