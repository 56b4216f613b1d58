#pragma once
// A fresh program folder with CONFIG_LOCAL set to the test certifier, a
// folder for import files and an observer that records what a run shows.
#include "base/longjob.h"
#include "db/database.h"
#include "import/importrun.h"
#include "support/importfilebuilder.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

class RecordingObserver : public ImportObserver
{
public:
    QList<int> batchSizes;
    QStringList entries;
    QStringList warningLines;
    int writes = 0;
    QStringList finished; // name + ":OK" / ":NO"

    void batchListed(const QStringList &e) override
    {
        batchSizes << int(e.size());
        entries << e;
    }
    void writingRecord(int, int) override { ++writes; }
    void warnings(const QStringList &lines) override { warningLines << lines; }
    void fileFinished(const QString &name, bool ok, const QString &, const QString &) override
    {
        finished << name + (ok ? QStringLiteral(":OK") : QStringLiteral(":NO"));
    }
};

class ImportRunFixture
{
public:
    static inline const QString Sigla = QStringLiteral("OCT");

    ImportRunFixture()
    {
        home = std::make_unique<TestHome>(false);
        db = std::make_unique<Database>();
        home->open(*db);
        db->execute(QStringLiteral("insert into CONFIG_LOCAL (SiglaCertificador, NomeOCC) values (?, ?)"),
                    {Sigla, QStringLiteral("Organismo de teste")});
        db->execute(QStringLiteral("insert into USU_LOCAL (SiglaUsu, SiglaCertificador, NomeUsu, SenhaUsu, "
                                   "AcConfigOCC, AcConfigDir, AcCadastraUsu, AcManBase, AcContRemessas, "
                                   "AcAtualTabAux, AcAprovCertific) values ('imp', ?, 'Importador', 'x', 0, 0, 0, "
                                   "0, 0, 0, 0)"),
                    {Sigla});
        files = std::make_unique<QTemporaryDir>();
    }
    ~ImportRunFixture()
    {
        db.reset();
        home.reset();
    }

    QString dir() const { return files->path(); }
    QString path(const QString &name) const { return QDir(dir()).filePath(name); }
    static QString name(int n)
    {
        return ImportFileBuilder::fileName(Sigla, QStringLiteral("20261208%1").arg(n, 2, 10, QLatin1Char('0')));
    }
    QString write(int n, const ImportFileBuilder &b) const
    {
        const QString file = name(n);
        b.write(path(file));
        return file;
    }

    // Runs the files named (all of the folder when empty).
    bool run(const QStringList &names = {}, const QString &module = QStringLiteral("KESTRAVO"))
    {
        ImportRun r(module, *db, QStringLiteral("imp"), msg);
        r.setObserver(&observer);
        r.setProgress(progress);
        const bool ok = names.isEmpty() ? r.run(dir()) : r.run(dir(), names);
        failedFiles = r.failedFiles();
        results = r.results();
        interrupted = r.interrupted();
        return ok;
    }

    int count(const QString &table, const QString &where = QString()) const
    {
        return db
            ->scalar(QStringLiteral("select count(*) from ") + table +
                     (where.isEmpty() ? QString() : QStringLiteral(" where ") + where))
            .toInt();
    }
    QString read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    bool exists(const QString &name) const { return QFile::exists(path(name)); }
    static QString base(const QString &name) { return name.left(name.length() - 4); }

    std::unique_ptr<TestHome> home;
    std::unique_ptr<Database> db;
    std::unique_ptr<QTemporaryDir> files;
    ScriptedMessenger msg;
    RecordingObserver observer;
    QString failedFiles;
    QList<ImportRun::FileResult> results;
    JobProgress *progress = nullptr; // handed to the runs when set
    bool interrupted = false;
};
