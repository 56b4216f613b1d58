#include "support/refupdatefixture.h"

#include <QDir>

RefUpdateFixture::RefUpdateFixture(const QString &connection)
    : db(std::make_unique<Database>(connection))
{
    home->open(*db);
    QDir(files.path()).mkpath(QStringLiteral("recep"));
    QDir(files.path()).mkpath(QStringLiteral("origem"));
    db->execute(QStringLiteral("insert into CONFIG_LOCAL (SiglaCertificador, DirLocalRecepAux, LoginFTP, SenhaFTP) "
                               "values ('OCT', ?, 'occ', 'segredo')"),
                {recep() + QLatin1Char('/')});
}

// The database closes before its folder goes.
RefUpdateFixture::~RefUpdateFixture()
{
    db.reset();
    home.reset();
}
