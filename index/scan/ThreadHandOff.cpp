#include "ThreadHandOff.h"

namespace tarnwick {

namespace {

class PoolTask : public QRunnable {
public:
    explicit PoolTask(std::function<void()> work) : m_work(std::move(work)) {}
    void run() override {
        takeOver(this);
        m_work();
    }

private:
    std::function<void()> m_work;
};

}  // namespace

void startOnPool(QThreadPool& pool, std::function<void()> work) {
    auto* task = new PoolTask(std::move(work));
    handOver(task);
    pool.start(task);
}

}  // namespace tarnwick
