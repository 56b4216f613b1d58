#include "base/longjob.h"

#include <memory>

namespace {
class FunctionJob : public LongJob
{
public:
    explicit FunctionJob(std::function<void(JobProgress &)> work)
        : m_work(std::move(work))
    { }
    void run(JobProgress &progress) override { m_work(progress); }

private:
    std::function<void(JobProgress &)> m_work;
};
}

std::unique_ptr<LongJob> LongJob::of(std::function<void(JobProgress &)> work)
{
    return std::make_unique<FunctionJob>(std::move(work));
}
