#include "reports/userlistreport.h"

#include "reports/listreport.h"
#include "shell/loginstate.h"
#include "shell/userstore.h"

namespace UserListReport {

QString title()
{
    return QStringLiteral("Cadastro de Usuários");
}

QStringList headers()
{
    return {
        QStringLiteral("Sigla"),      QStringLiteral("Nome do Usuário"), QStringLiteral("Certificador"),
        QStringLiteral("Diretórios"), QStringLiteral("Usuários"),        QStringLiteral("Base de Dados"),
        QStringLiteral("Tabelas"),    QStringLiteral("Remessas"),        QStringLiteral("Aprovação de Certificados")};
}

QList<QStringList> rows(Database &db)
{
    QList<QStringList> out;
    for (const UserRecord &u : UserStore(db).all()) {
        const Rights &r = u.rights;
        out << QStringList{u.sigla,
                           u.nome,
                           yesNo(r.configOCC),
                           yesNo(r.configDir),
                           yesNo(r.cadastraUsu),
                           yesNo(r.manBase),
                           yesNo(r.atualTabAux),
                           yesNo(r.contRemessas),
                           yesNo(r.aprovCertific)};
    }
    return out;
}

BandedReport build(Database &db, const QString &userName)
{
    const QStringList titles = headers();
    // Code and name get the room; the seven "Sim"/"Não" columns stay narrow.
    const QList<qreal> weights = {1.2, 2.9, 1.8, 1.45, 1.3, 1.3, 1.15, 1.4, 1.6};
    QList<ReportColumn> columns;
    for (int i = 0; i < titles.size(); ++i)
        columns << ReportColumn{titles.at(i), weights.value(i, 1.0), i < 2 ? Qt::AlignLeft : Qt::AlignHCenter};
    ListReport list(title(), userName, {}, columns);
    for (const QStringList &row : rows(db))
        list.addRow(row);
    return list.finish(QStringLiteral("Total de usuários: %1").arg(list.rowCount()));
}

}
