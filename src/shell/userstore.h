#pragma once
#include "shell/loginstate.h"

#include <QList>
#include <QString>
#include <optional>

class Database;

// One row of USU_LOCAL. The password is kept in its stored (encoded) form.
struct UserRecord
{
    QString sigla; // SiglaUsu, key, up to 10
    QString certificador; // SiglaCertificador current when the user was created
    QString nome; // NomeUsu, up to 30
    QString senha; // SenhaUsu, encoded
    Rights rights;
};

// Plain access to USU_LOCAL; every failure raises DbError.
class UserStore
{
public:
    static constexpr int SiglaWidth = 10;
    static constexpr int NomeWidth = 30;

    explicit UserStore(Database &db)
        : m_db(db)
    { }

    // Every user ordered by SiglaUsu.
    QList<UserRecord> all() const;
    // Codes compare case-insensitively.
    std::optional<UserRecord> find(const QString &sigla) const;
    void insert(const UserRecord &user);
    // Writes every column of the row found by its code before the change.
    void update(const QString &originalSigla, const UserRecord &user);
    void remove(const QString &sigla);
    void setPassword(const QString &sigla, const QString &encoded);

private:
    Database &m_db;
};
