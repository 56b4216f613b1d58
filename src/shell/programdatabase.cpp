#include "shell/programdatabase.h"

#include "db/registerlocation.h"

ProgramDatabase::ProgramDatabase(QObject *parent, const QString &connectionName)
    : QObject(parent),
      m_db(connectionName)
{
    setObjectName(QStringLiteral("DMCapaSistema"));
}

ProgramDatabase::~ProgramDatabase() = default;

Database &ProgramDatabase::database()
{
    if (!m_db.isOpen())
        RegisterLocation::open(m_db);
    return m_db;
}

void ProgramDatabase::closeDatabase()
{
    m_db.close();
}

void ProgramDatabase::reopenDatabase()
{
    m_db.close();
    RegisterLocation::open(m_db);
}

void ProgramDatabase::setCertifierCode(const QString &code)
{
    if (code == m_certifier)
        return;
    m_certifier = code;
    emit certifierChanged(code);
}

QString ProgramDatabase::refreshCertifierCode()
{
    QSqlQuery q = database().exec(QStringLiteral("SELECT SiglaCertificador FROM CONFIG_LOCAL"));
    setCertifierCode(q.next() ? q.value(0).toString().trimmed() : QString());
    return m_certifier;
}
