// A pool of tasks of which at most a given number run at a time. Tasks are started in the order
// they were added. Once aborted, the pool starts no further task.
//
// Tasks are held by shared ownership: a task's thread keeps its task (and through it whatever
// the task shares) alive when it does not stop within the bounded wait of CancelAll.
#pragma once

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zerva {

template <typename T>
class CTaskManager {
 public:
  explicit CTaskManager(int maxRunning)
      : maxRunning_(maxRunning), lock_(std::make_shared<std::recursive_mutex>()) {}
  virtual ~CTaskManager() = default;
  CTaskManager(const CTaskManager&) = delete;
  CTaskManager& operator=(const CTaskManager&) = delete;

  virtual void SetLock(std::shared_ptr<std::recursive_mutex> lock) { lock_ = std::move(lock); }
  virtual int GetMaxRunning() const {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    return maxRunning_;
  }

  // Appends the task and starts it when fewer than the maximum run.
  virtual void AddTask(std::shared_ptr<T> task) {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    tasks_.push_back(task);
    if (CountRunning(false) < maxRunning_ && !aborted_) task->StartTask();
  }

  // A task has ended: with `remove` it leaves the list, otherwise it becomes finished. Unless its
  // thread was asked to stop or the pool is aborted, waiting tasks start.
  virtual void TaskDone(T* task, bool remove) {
    const bool stopped = task->TaskStopRequested();
    std::shared_ptr<T> removed;  // destroyed after the lock is released
    {
      std::lock_guard<std::recursive_mutex> guard(*lock_);
      auto it = std::find_if(tasks_.begin(), tasks_.end(),
                             [task](const std::shared_ptr<T>& t) { return t.get() == task; });
      if (it != tasks_.end()) {
        if (remove) {
          removed = *it;
          tasks_.erase(it);
        } else {
          (*it)->Finish();
        }
      }
    }
    if (!stopped && !IsAborted()) StartWaiting();
  }

  virtual bool HasTaskKey(int key) const {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    return std::any_of(tasks_.begin(), tasks_.end(),
                       [key](const std::shared_ptr<T>& t) { return t->GetKey() == key; });
  }
  virtual bool HasTaskNamed(const std::string& name) const {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    return std::any_of(tasks_.begin(), tasks_.end(),
                       [&name](const std::shared_ptr<T>& t) { return t->GetName() == name; });
  }
  virtual int GetTaskCount() const {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    return static_cast<int>(tasks_.size());
  }
  virtual int CountRunning(bool lock) const {
    std::unique_lock<std::recursive_mutex> guard(*lock_, std::defer_lock);
    if (lock) guard.lock();
    return static_cast<int>(std::count_if(
        tasks_.begin(), tasks_.end(), [](const std::shared_ptr<T>& t) { return t->IsRunning(); }));
  }
  virtual void CountStates(int* waiting, int* running, int* finished) const {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    *waiting = *running = *finished = 0;
    for (const auto& t : tasks_) {
      if (t->IsWaiting()) ++*waiting;
      if (t->IsRunning()) ++*running;
      if (t->IsFinished()) ++*finished;
    }
  }

  // Stops the thread of every running task, each once, waiting up to 10 seconds for each.
  virtual void CancelAll() {
    std::vector<std::shared_ptr<T>> running;
    {
      std::lock_guard<std::recursive_mutex> guard(*lock_);
      for (const auto& t : tasks_) {
        if (t->IsRunning()) running.push_back(t);
      }
    }
    // Outside the lock: a stopping task reports its end under it.
    for (const auto& t : running) t->StopTask(10);
  }

  virtual bool ClearAbort() { return Exchange(false); }
  virtual bool Abort() { return Exchange(true); }
  virtual bool IsAborted() const {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    return aborted_;
  }

  // Starts waiting tasks while fewer than the maximum run.
  void StartWaiting() {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    int n = maxRunning_ - CountRunning(false);
    for (const auto& t : tasks_) {
      if (n <= 0) break;
      if (t->IsWaiting() && t->StartTask()) --n;
    }
  }

  // Drops every task (a task whose thread still runs lives on with its thread).
  void Clear() {
    std::vector<std::shared_ptr<T>> dropped;
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    dropped.swap(tasks_);
  }

  std::vector<std::shared_ptr<T>> Tasks() const {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    return tasks_;
  }

 protected:
  std::recursive_mutex& Lock() const { return *lock_; }
  void SetMaxRunning(int maxRunning) {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    maxRunning_ = maxRunning;
  }

 private:
  bool Exchange(bool value) {
    std::lock_guard<std::recursive_mutex> guard(*lock_);
    const bool old = aborted_;
    aborted_ = value;
    return old;
  }

  int maxRunning_;
  std::shared_ptr<std::recursive_mutex> lock_;
  std::vector<std::shared_ptr<T>> tasks_;
  bool aborted_ = false;
};

}  // namespace zerva
