#include "shell/userstore.h"

#include "db/database.h"

#include <QSqlQuery>

namespace {

const QString Columns = QStringLiteral(
    "SiglaUsu, SiglaCertificador, NomeUsu, SenhaUsu, AcConfigOCC, AcConfigDir, AcCadastraUsu, "
    "AcManBase, AcContRemessas, AcAtualTabAux, AcAprovCertific");

UserRecord fromQuery(const QSqlQuery &q)
{
    UserRecord u;
    u.sigla = q.value(0).toString();
    u.certificador = q.value(1).toString();
    u.nome = q.value(2).toString();
    u.senha = q.value(3).toString();
    u.rights.configOCC = q.value(4).toBool();
    u.rights.configDir = q.value(5).toBool();
    u.rights.cadastraUsu = q.value(6).toBool();
    u.rights.manBase = q.value(7).toBool();
    u.rights.contRemessas = q.value(8).toBool();
    u.rights.atualTabAux = q.value(9).toBool();
    u.rights.aprovCertific = q.value(10).toBool();
    return u;
}

QVariant orNull(const QString &s)
{
    return s.isEmpty() ? QVariant() : QVariant(s);
}

QVariantList values(const UserRecord &u)
{
    const Rights &r = u.rights;
    return {u.sigla,
            orNull(u.certificador),
            orNull(u.nome),
            orNull(u.senha),
            int(r.configOCC),
            int(r.configDir),
            int(r.cadastraUsu),
            int(r.manBase),
            int(r.contRemessas),
            int(r.atualTabAux),
            int(r.aprovCertific)};
}

}

QList<UserRecord> UserStore::all() const
{
    QList<UserRecord> out;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT %1 FROM USU_LOCAL ORDER BY SiglaUsu").arg(Columns));
    while (q.next())
        out << fromQuery(q);
    return out;
}

std::optional<UserRecord> UserStore::find(const QString &sigla) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT %1 FROM USU_LOCAL WHERE SiglaUsu = ?").arg(Columns), {sigla});
    if (!q.next())
        return std::nullopt;
    return fromQuery(q);
}

void UserStore::insert(const UserRecord &user)
{
    m_db.execute(QStringLiteral("INSERT INTO USU_LOCAL (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)").arg(Columns),
                 values(user));
}

void UserStore::update(const QString &originalSigla, const UserRecord &user)
{
    QVariantList params = values(user);
    params << originalSigla;
    m_db.execute(QStringLiteral("UPDATE USU_LOCAL SET SiglaUsu = ?, SiglaCertificador = ?, NomeUsu = ?, SenhaUsu = ?, "
                                "AcConfigOCC = ?, AcConfigDir = ?, AcCadastraUsu = ?, AcManBase = ?, "
                                "AcContRemessas = ?, AcAtualTabAux = ?, AcAprovCertific = ? WHERE SiglaUsu = ?"),
                 params);
}

void UserStore::remove(const QString &sigla)
{
    m_db.execute(QStringLiteral("DELETE FROM USU_LOCAL WHERE SiglaUsu = ?"), {sigla});
}

void UserStore::setPassword(const QString &sigla, const QString &encoded)
{
    m_db.execute(QStringLiteral("UPDATE USU_LOCAL SET SenhaUsu = ? WHERE SiglaUsu = ?"), {encoded, sigla});
}
