#include "maintenance/tables/signatories.h"

#include "base/messenger.h"
#include "base/textutil.h"
#include "db/database.h"
#include "db/dberror.h"

#include <QSqlQuery>

namespace Signatories {

QList<Signatory> list(const Database &db)
{
    QSqlQuery q = db.exec(QStringLiteral("Select ID_Signatario, Signatario, Default_s from Signatarios "
                                         "order by default_s DESC, signatario ASC"));
    QList<Signatory> out;
    while (q.next())
        out.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString() == QLatin1String("S")});
    return out;
}

QString certifierCode(const Database &db)
{
    return db.scalar(QStringLiteral("SELECT SiglaCertificador FROM CONFIG_LOCAL")).toString().trimmed();
}

bool apply(Database &db, Messenger &m, Action action, const Signatory &s)
{
    const QString caption = QStringLiteral("Erro de Edição");
    const QString name = TextUtil::trimBlanks(s.name);
    const QString flag = s.isDefault ? QStringLiteral("S") : QStringLiteral("N");
    QString sigla;
    if (action == Action::Include) {
        sigla = certifierCode(db);
        if (sigla.isEmpty()) {
            m.error(SemCertificador, caption);
            return false;
        }
    }
    if (action != Action::Remove) {
        // A nameless or repeated entry would only clutter the certificate's list.
        if (name.isEmpty()) {
            m.error(NomeObrigatorio, caption);
            return false;
        }
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM Signatarios WHERE UCASE(Signatario) = UCASE(?) "
                                     "AND ID_Signatario <> ?"),
                      {name, action == Action::Edit ? s.id : -1})
                .toInt() > 0) {
            m.error(JaExiste, QStringLiteral("Erro de chave duplicada"));
            return false;
        }
    }
    try {
        Transaction tx(db);
        if (action != Action::Remove && s.isDefault)
            db.execute(QStringLiteral("Update Signatarios Set Default_s = 'N' Where Default_s = 'S'"));
        switch (action) {
        case Action::Include:
            db.execute(QStringLiteral("Insert into signatarios (signatario,SiglaCertificador,Default_s) "
                                      "values(:sig,:Sigla,:Defa)"),
                       {name, sigla, flag});
            break;
        case Action::Edit:
            db.execute(QStringLiteral("Update signatarios Set signatario = :sig,Default_s = :Defa "
                                      "where ID_Signatario = :IDS "),
                       {name, flag, s.id});
            break;
        case Action::Remove:
            db.execute(QStringLiteral("Delete from signatarios  where ID_Signatario = :IDS "), {s.id});
            break;
        }
        tx.commit();
    } catch (const DbError &e) {
        if (e.endsOperation())
            throw;
        if (e.isKeyViolation())
            m.error(JaExiste, QStringLiteral("Erro de chave duplicada"));
        else
            m.error(DbErrors::writeFailure(e,
                                           QStringLiteral("Erro genérico de gravação no Banco de Dados !!! As "
                                                          "alterações não foram efetuadas.")),
                    QStringLiteral("Erro de gravação"));
        return false;
    }
    return true;
}

}
