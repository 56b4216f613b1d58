#include "support/testhome.h"

#include "base/apppaths.h"
#include "db/provisioning.h"

TestHome::TestHome(bool demo, const QString &adminPassword)
{
    AppPaths::setProgramDir(m_dir.path());
    Provisioning::Options opts;
    opts.adminPassword = adminPassword;
    opts.demo = demo;
    Provisioning::createDatabase(dbPath(), opts);
}

TestHome::~TestHome()
{
    AppPaths::setProgramDir(QString());
}

QString TestHome::dbPath() const
{
    return m_dir.path() + QStringLiteral("/db/bdocc.mdb");
}
