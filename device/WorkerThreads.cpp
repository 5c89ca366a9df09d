#include "device/WorkerThreads.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace tavrik::device {
namespace {

struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
};

struct WorkerList {
    std::mutex mutex;
    std::list<Worker> workers;
};

// Never destroyed: a worker still running at exit must not meet a destroyed
// list (a joinable std::thread destructor would end the process abnormally).
WorkerList& workerList() {
    static WorkerList* list = new WorkerList;
    return *list;
}

// Joins the workers that have already ended, so the list stays short.
void reapFinished(std::list<Worker>& workers) {
    for (auto it = workers.begin(); it != workers.end();) {
        if (it->finished->load()) {
            it->thread.join();
            it = workers.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

bool startWorkerThread(std::function<void()> body) {
    WorkerList& list = workerList();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard lock(list.mutex);
    reapFinished(list.workers);
    try {
        std::thread thread([body = std::move(body), finished] {
            body();
            finished->store(true);
        });
        list.workers.push_back(Worker{std::move(thread), finished});
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void joinAllWorkers() {
    WorkerList& list = workerList();
    for (;;) {
        std::list<Worker> taken;
        {
            std::lock_guard lock(list.mutex);
            taken.splice(taken.end(), list.workers);
        }
        if (taken.empty()) {
            return;
        }
        for (Worker& worker : taken) {
            worker.thread.join();
        }
    }
}

} // namespace tavrik::device
