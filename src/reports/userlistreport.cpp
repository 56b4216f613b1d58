#include "reports/userlistreport.h"

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

}
