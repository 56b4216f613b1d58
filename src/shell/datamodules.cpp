#include "shell/datamodules.h"

#include "shell/tdmcapasistema.h"

TDMTabelasData::TDMTabelasData(TDMCapaSistema &capa, QObject *parent)
    : QObject(parent),
      m_capa(capa)
{
    setObjectName(QStringLiteral("DMTabelasData"));
}
Database &TDMTabelasData::database()
{
    return m_capa.database();
}

TDMCertif::TDMCertif(TDMCapaSistema &capa, QObject *parent)
    : QObject(parent),
      m_capa(capa)
{
    setObjectName(QStringLiteral("DMCertif"));
}
Database &TDMCertif::database()
{
    return m_capa.database();
}

TDMRelats2::TDMRelats2(TDMCapaSistema &capa, QObject *parent)
    : QObject(parent),
      m_capa(capa)
{
    setObjectName(QStringLiteral("DMRelats2"));
}
Database &TDMRelats2::database()
{
    return m_capa.database();
}

TDMDocNorm::TDMDocNorm(TDMCapaSistema &capa, QObject *parent)
    : QObject(parent),
      m_capa(capa)
{
    setObjectName(QStringLiteral("DMDocNorm"));
}
Database &TDMDocNorm::database()
{
    return m_capa.database();
}
