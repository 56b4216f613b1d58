#pragma once
#include "remessa/remittance.h"

#include <QDate>
#include <QString>
#include <functional>

class Database;
class Messenger;

// Preparation of a remittance: every table of the remittance list compared
// with its replica (or sent whole, for a complete remittance), the delta
// tables written in the transfer folder, packed into one zip, and the "PR"
// event logged. The window and the batch tool run the same service.
class RemessaPreparation
{
public:
    enum class Type { Partial, Complete };
    enum class Outcome {
        Prepared, // package written, "PR" logged
        NothingNew, // "Nenhuma tabela nova foi criada!"
        Interrupted, // "Preparação Interrompida pelo Usuário."
        Refused, // a check failed (before the run, or text a row cannot carry); nothing written
        Failed // "Ocorreu um Erro na Preparação."
    };

    struct Settings
    {
        QString transferDir; // DirLocalTransf
        QString acronym; // SiglaCertificador of CONFIG_LOCAL
        QString currentNumber; // newest remittance as the caller saw it; the register may be ahead
        QString user; // name written in the event
        QDate today = QDate::currentDate();
    };

    // Progress as the window shows it; every member may be left empty.
    struct Progress
    {
        std::function<void(const QString &message)> table; // table in work
        std::function<void(const QString &operation)> operation; // "Inclusão", "Alteração", "Deleção", "Erro.!"
        std::function<void()> step; // one of 3 steps per table
        std::function<void()> packaging; // "Compactando arquivos..."
        std::function<bool()> interrupted; // polled before each table and the package
    };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        Remittance remittance; // the new one, waiting for its transfer (when prepared)
        int tables = 0; // delta tables created
        QString error; // what went wrong (failed or refused)
    };

    static constexpr int StepsPerTable = 3;
    static int totalSteps();

    // The next number after current: today + "01" on a new day, else the
    // day's sequence + 1. Empty when the day already has 99 remittances.
    static QString nextNumber(const QString &current, const QDate &today);
    static QString typeCode(Type type) { return type == Type::Partial ? QStringLiteral("C") : QStringLiteral("T"); }

    static QString resultText(Outcome outcome);

    // Runs a preparation. Messages of the checks and of the package go
    // through the messenger; nothing is logged unless the package is made.
    static Result run(Database &db, Messenger &messenger, const Settings &settings, Type type,
                      const Progress &progress = {});

    static QString nothingNewText() { return QStringLiteral("Nenhuma tabela nova foi criada!"); }
};
