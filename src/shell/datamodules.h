#pragma once
#include <QObject>

class Database;
class TDMCapaSistema;

// The data modules created after the shell's own, in this order. Each reaches
// the database through the shell's connection; the subsystems that own their
// tables and queries add them here.

// Remittance, control and replica tables.
class TDMTabelasData : public QObject
{
    Q_OBJECT
public:
    explicit TDMTabelasData(TDMCapaSistema &capa, QObject *parent = nullptr);
    Database &database();
    TDMCapaSistema &capa() { return m_capa; }

private:
    TDMCapaSistema &m_capa;
};

// Certification data tables and reference lookups.
class TDMCertif : public QObject
{
    Q_OBJECT
public:
    explicit TDMCertif(TDMCapaSistema &capa, QObject *parent = nullptr);
    Database &database();
    TDMCapaSistema &capa() { return m_capa; }

private:
    TDMCapaSistema &m_capa;
};

// Report queries.
class TDMRelats2 : public QObject
{
    Q_OBJECT
public:
    explicit TDMRelats2(TDMCapaSistema &capa, QObject *parent = nullptr);
    Database &database();
    TDMCapaSistema &capa() { return m_capa; }

private:
    TDMCapaSistema &m_capa;
};

// Normative-document queries.
class TDMDocNorm : public QObject
{
    Q_OBJECT
public:
    explicit TDMDocNorm(TDMCapaSistema &capa, QObject *parent = nullptr);
    Database &database();
    TDMCapaSistema &capa() { return m_capa; }

private:
    TDMCapaSistema &m_capa;
};

// The five data modules of a run, in creation order.
struct DataModules
{
    TDMCapaSistema *capa = nullptr;
    TDMTabelasData *tabelasData = nullptr;
    TDMCertif *certif = nullptr;
    TDMRelats2 *relats2 = nullptr;
    TDMDocNorm *docNorm = nullptr;
};
