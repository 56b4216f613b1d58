#pragma once
#include "shell/userstore.h"

#include <QString>

class Database;
class Messenger;

namespace UserRegistryTexts {
inline const QString EditError = QStringLiteral("Erro de Edição");
inline const QString NotConfigured = QStringLiteral("As configuraçãoes do Certificador não foram cadastradas.");
inline const QString DeleteError = QStringLiteral("Erro de Exclusão");
inline const QString AdminNotDeleted = QStringLiteral("O Administrador não pode ser excluído.");
inline const QString DeleteCaption = QStringLiteral("Exclusão de Usuários");
inline const QString DeleteQuestion = QStringLiteral("Deseja excluir o usuário?");
inline const QString SiglaEmpty = QStringLiteral(
    "O campo Sigla do Usuário não pode ser deixado em branco. Reveja as suas edições.");
inline const QString PasswordsDiffer = QStringLiteral("As senhas fornecidas não conferem.");
inline const QString Duplicate = QStringLiteral("Esse usuário já está cadastrado.");
inline const QString NoSigla = QStringLiteral("É necessário o fornecimento de uma sigla para o usuário.");
inline const QString WriteError = QStringLiteral(
    "Erro genérico de gravação no Banco de Dados !!! As alterações não foram efetuadas.");
inline const QString SiglaTooLong = QStringLiteral("A Sigla do Usuário deve ter no máximo 10 caracteres.");
inline const QString NameTooLong = QStringLiteral("O Nome do Usuário deve ter no máximo 30 caracteres.");
}

// The rules of the user registry page.
class UserRegistry
{
public:
    enum class Outcome {
        Saved, // row written; back to browsing
        Discarded, // a new row that could not be written; back to browsing
        SiglaEmpty, // stay, focus the code
        PasswordsRefused // stay, clear both password edits, focus the password
    };

    UserRegistry(Database &db, Messenger &messenger)
        : m_db(db),
          m_messenger(messenger)
    { }

    static bool isAdministrator(const QString &sigla);

    // "&Incluir": refused (after telling) while no certifier is configured.
    bool mayInclude(const QString &certifierCode);
    // A new row: the configured certifier, no rights.
    static UserRecord newRecord(const QString &certifierCode);

    // "E&xcluir ": true when the row was deleted. Raises DbError.
    bool remove(const QString &sigla);

    // "Ok" on a new row. Passwords are compared exactly as typed, then stored
    // trimmed.
    Outcome saveNew(UserRecord user, const QString &password, const QString &confirmation);
    // "Ok" on a changed row. The administrator keeps its code and rights.
    // A database error is raised (the row stays in editing).
    Outcome saveChanged(const QString &originalSigla, UserRecord user);

private:
    void checkWidths(const UserRecord &user) const;

    Database &m_db;
    Messenger &m_messenger;
};
