#pragma once
#include "refupdate/refversion.h"

#include <QString>
#include <atomic>
#include <functional>

class Database;
struct ConfigLocal;

// Finding, fetching and installing the newest reference-table package, from a
// folder or the regulator's FTP folder, and reinstalling a kept one. The
// windows use the pieces; the command line runs the whole of it here.
namespace RefUpdate {

extern const QString NotFound; // "Não foi encontrado arquivo de atualização mais atual."
extern const QString NotFoundLocal; // the same, as the folder search words it (no stop)
extern const QString OpenError; // "Erro ao abrir arquivo"
extern const QString CreateError; // "Erro ao criar arquivo"

using Progress = std::function<void(qint64 done, qint64 total)>;

// The reception folder of the configuration (created when missing); empty
// when none is configured.
QString receptionDir(const ConfigLocal &config);
// The newest package of a folder newer than the installed file name.
QString findInFolder(const QString &folder, const QString &currentFile);

enum class CopyResult { Done, Interrupted, Failed };
// Copies in blocks of 8192 bytes, reporting each; *stop ends it between
// blocks. The target appears only when whole. *error: the two texts above.
CopyResult copyInBlocks(const QString &from, const QString &to, const Progress &progress, const std::atomic<bool> *stop,
                        QString *error);

struct Outcome
{
    bool installed = false;
    QString fileName; // the package found ("" when none)
    QString result; // the window's final text
    QString detail; // why the installation failed, when it did
    QString ignored; // the package fields left out, when any
};

// Installs receptionDir/fileName (see RefInstall::install); result says
// "A nova versão foi instalada sem problemas." or the error line.
Outcome installPackage(Database &db, const QString &receptionDir, const QString &fileName);
// The installed file name, or the no-version one.
QString currentFile(Database &db);
Outcome updateFromFolder(Database &db, const ConfigLocal &config, const QString &folder, const Progress &progress);
Outcome updateByFtp(Database &db, const ConfigLocal &config, const Progress &progress,
                    const std::function<void(const QString &)> &lines = {});
// Reinstalls a version kept in the reception folder.
Outcome reinstall(Database &db, const ConfigLocal &config, const QString &version);

}
