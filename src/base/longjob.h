#pragma once
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <memory>

// What a piece of long work is handed: where to say how far it got and
// whether the user asked it to stop. The reports come from the thread the
// work runs on; whoever shows them carries them to its own thread.
class JobProgress
{
public:
    using AmountFn = std::function<void(qint64 done, qint64 total)>;
    using StepFn = std::function<void(const QString &text)>;

    JobProgress() = default;
    JobProgress(AmountFn amount, StepFn step)
        : m_amount(std::move(amount)),
          m_step(std::move(step))
    { }
    JobProgress(const JobProgress &) = delete;
    JobProgress &operator=(const JobProgress &) = delete;

    void amount(qint64 done, qint64 total) const
    {
        if (m_amount)
            m_amount(done, total);
    }
    // The stage the work has reached, as the user reads it.
    void step(const QString &text) const
    {
        if (m_step)
            m_step(text);
    }

    // From any thread. The work looks at it between units and, when it
    // stops, undoes what it had begun.
    void requestStop() { m_stop.store(true); }
    bool stopRequested() const { return m_stop.load(); }
    // For routines that take a bare flag.
    const std::atomic<bool> *stopFlag() const { return &m_stop; }

private:
    AmountFn m_amount;
    StepFn m_step;
    std::atomic<bool> m_stop{false};
};

// Long work a window starts and only watches. run() happens on a thread of
// its own: the job opens its own database connection there (connections
// belong to the thread that opened them) and keeps the transaction rules of
// the work it does.
class LongJob
{
public:
    virtual ~LongJob() = default;
    virtual void run(JobProgress &progress) = 0;

    // A job made of a function.
    static std::unique_ptr<LongJob> of(std::function<void(JobProgress &)> work);
};
