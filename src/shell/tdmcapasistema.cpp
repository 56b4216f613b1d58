#include "shell/tdmcapasistema.h"

#include "base/apppaths.h"

TDMCapaSistema::TDMCapaSistema(QObject *parent, const QString &connectionName)
    : QObject(parent),
      m_db(connectionName)
{
    setObjectName(QStringLiteral("DMCapaSistema"));
}

TDMCapaSistema::~TDMCapaSistema() = default;

Database &TDMCapaSistema::database()
{
    if (!m_db.isOpen())
        m_db.open(AppPaths::dbFile());
    return m_db;
}

void TDMCapaSistema::closeDatabase()
{
    m_db.close();
}

void TDMCapaSistema::reopenDatabase()
{
    m_db.close();
    m_db.open(AppPaths::dbFile());
}

void TDMCapaSistema::setCertifierCode(const QString &code)
{
    if (code == m_certifier)
        return;
    m_certifier = code;
    emit certifierChanged(code);
}

QString TDMCapaSistema::refreshCertifierCode()
{
    QSqlQuery q = database().exec(QStringLiteral("SELECT SiglaCertificador FROM CONFIG_LOCAL"));
    setCertifierCode(q.next() ? q.value(0).toString().trimmed() : QString());
    return m_certifier;
}
