#include "support/testhome.h"

#include "base/apppaths.h"
#include "db/database.h"
#include "db/provisioning.h"
#include "db/registerlocation.h"
#include "support/testdb.h"

#include <QDir>

TestHome::TestHome(bool demo, const QString &adminPassword)
{
    AppPaths::setProgramDir(m_dir.path());
    Provisioning::Options opts;
    opts.adminPassword = adminPassword;
    opts.demo = demo;
    if (TestDb::onServer()) {
        // The folder points at a fresh server database holding the register.
        opts.programDir = m_dir.path();
        const ServerAddress address = TestDb::freshDatabase();
        Provisioning::createOnServer(address, opts);
        RegisterLocation::writeServer(address);
        m_server = address;
        return;
    }
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

void TestHome::open(Database &db) const
{
    if (m_server)
        db.openServer(*m_server);
    else
        db.open(dbPath());
}
