#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "db/database.h"

// A statement text with the database statement it was last prepared as.
struct TCachedSql
{
    QString sql;
    Database::Statement &statement(Database &db) const
    {
        if (!m_statement || m_db != &db || m_generation != db.statementGeneration()) {
            m_statement = &db.statement(sql);
            m_db = &db;
            m_generation = db.statementGeneration();
        }
        return *m_statement;
    }

private:
    mutable Database::Statement *m_statement = nullptr;
    mutable const Database *m_db = nullptr;
    mutable quint64 m_generation = 0;
};

// The statements TDataStruct::WriteRow runs for one descriptor class and one
// set of key items holding a value. They depend on nothing else, so an
// import builds each shape once (ImportSession keeps them) instead of once
// per record.
struct TWriteShape
{
    struct Statement
    {
        QStringList lines; // as written to Log_BD.txt
        TCachedSql sql; // the lines joined by line ends
        QByteArray logText; // the lines, each followed by a line end, in UTF-8
        QList<int> params; // item index of each placeholder, in order
        QList<int> dateRuleItems; // items whose date lies between issue and now
    };

    bool hasKey = false; // the descriptor has key items at all
    QList<int> keyParams; // key items holding a value, in order
    TCachedSql existsSql; // the existence test (when keyParams is not empty)
    Statement insert;
    Statement update;
};
