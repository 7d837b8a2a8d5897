// A test that reads a FIFO must fail, not hang, when the reader waits for a writer: after a few
// seconds this opens the writing end once, which lets a stuck open(2) return.
#pragma once

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace zubeki::test {

class FifoRescue {
  public:
    explicit FifoRescue(const std::filesystem::path& fifo)
        : thread_([this, fifo] {
              std::unique_lock lock(mutex_);
              if (done_changed_.wait_for(lock, std::chrono::seconds(10), [this] { return done_; }))
                  return;
              const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
              if (fd >= 0) ::close(fd);
          }) {}
    ~FifoRescue() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        done_changed_.notify_one();
        thread_.join();
    }
    FifoRescue(const FifoRescue&) = delete;
    FifoRescue& operator=(const FifoRescue&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable done_changed_;
    bool done_ = false;
    std::thread thread_; // last, so it starts once the rest is there
};

} // namespace zubeki::test
