#pragma once
#include "import/importreplay.h"
#include "import/importrun.h"

// An import's observer whose calls wait, with their values, until the
// replay shows them (ImportReplay::hold()).
class HeldObserver : public ImportObserver
{
public:
    HeldObserver(ImportReplay &replay, ImportObserver *const &target)
        : m_replay(replay),
          m_target(target)
    { }

    void fileStarted(const QString &path, int totalLines) override
    {
        later([=](ImportObserver *o) { o->fileStarted(path, totalLines); });
    }
    void linesRead(int lines, int totalLines) override
    {
        later([=](ImportObserver *o) { o->linesRead(lines, totalLines); });
    }
    void warnings(const QStringList &lines) override
    {
        later([=](ImportObserver *o) { o->warnings(lines); });
    }
    void warningsAt(const QStringList &lines, int lineNumber) override
    {
        later([=](ImportObserver *o) { o->warningsAt(lines, lineNumber); });
    }
    void batchListed(const QStringList &entries) override
    {
        later([=](ImportObserver *o) { o->batchListed(entries); });
    }
    void writingRecord(int index, int batchSize) override
    {
        later([=](ImportObserver *o) { o->writingRecord(index, batchSize); });
    }
    void readingFinished() override
    {
        later([](ImportObserver *o) { o->readingFinished(); });
    }
    void tablesUpdated() override
    {
        later([](ImportObserver *o) { o->tablesUpdated(); });
    }
    void completeProgress(int done, int total) override
    {
        later([=](ImportObserver *o) { o->completeProgress(done, total); });
    }
    void completeMarked() override
    {
        later([](ImportObserver *o) { o->completeMarked(); });
    }
    void fileFinished(const QString &name, bool succeeded, const QString &errorLog, const QString &errorBdLog) override
    {
        later([=](ImportObserver *o) { o->fileFinished(name, succeeded, errorLog, errorBdLog); });
    }

private:
    template <typename F> void later(F call)
    {
        ImportObserver *const target = m_target;
        if (target)
            m_replay.show([target, call] { call(target); });
    }
    ImportReplay &m_replay;
    ImportObserver *const &m_target;
};
