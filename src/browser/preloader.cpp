#include "preloader.h"

#include "error.h"
#include "fileServices.h"
#include "memoryPolicy.h"

#include <algorithm>
#include <new>

namespace browser {

Preloader::Preloader() : thread_([this] { run(); }) {}

Preloader::~Preloader() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        cancel_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool Preloader::isWanted(const std::string& path) const {
    return std::find(wanted_.begin(), wanted_.end(), path) != wanted_.end();
}

const std::string* Preloader::nextJob() const {
    for (const std::string& path : wanted_) {
        if (ready_.count(path) == 0 && tried_.count(path) == 0)
            return &path;
    }
    return nullptr;
}

void Preloader::dropUnwanted() {
    for (auto it = ready_.begin(); it != ready_.end();) {
        if (isWanted(it->first)) {
            ++it;
        } else {
            trash_.push_back(std::move(it->second));
            it = ready_.erase(it);
        }
    }
    std::erase_if(tried_, [this](const std::string& path) { return !isWanted(path); });
    if (!busy_.empty() && !isWanted(busy_))
        cancel_ = true;
}

void Preloader::Want(std::vector<std::string> paths) {
    {
        std::lock_guard lock(mutex_);
        wanted_.clear();
        for (std::string& path : paths) {
            if (!isWanted(path))
                wanted_.push_back(std::move(path));
        }
        dropUnwanted();
    }
    changed_.notify_all();
}

void Preloader::Keep(const std::string& path, std::unique_ptr<TJPEGImage> picture) {
    if (!picture || !picture->DecodedWell())
        return;
    {
        std::lock_guard lock(mutex_);
        if (busy_ == path)
            cancel_ = true; // the kept one is already the finished work
        std::unique_ptr<TJPEGImage>& slot = ready_[path];
        if (slot)
            trash_.push_back(std::move(slot));
        slot = std::move(picture);
    }
    changed_.notify_all();
}

std::unique_ptr<TJPEGImage> Preloader::Take(const std::string& path,
                                            std::span<const unsigned char> bytes) {
    return Take(path, [bytes](const FileBytes& kept) {
        return std::equal(kept.begin(), kept.end(), bytes.begin(), bytes.end());
    });
}

std::unique_ptr<TJPEGImage>
Preloader::Take(const std::string& path, const std::function<bool(const FileBytes&)>& holdsFile) {
    std::unique_ptr<TJPEGImage> picture;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return busy_ != path || cancel_; });
        auto found = ready_.find(path);
        if (found == ready_.end())
            return nullptr;
        picture = std::move(found->second);
        ready_.erase(found);
    }
    bool current = false;
    try {
        current = holdsFile(picture->Bytes());
    } catch (...) {
        discard(std::move(picture));
        throw;
    }
    if (!current) {
        discard(std::move(picture)); // the file changed since it was preloaded
        return nullptr;
    }
    return picture;
}

void Preloader::discard(std::unique_ptr<TJPEGImage> picture) {
    {
        std::lock_guard lock(mutex_);
        trash_.push_back(std::move(picture));
    }
    changed_.notify_all();
}

void Preloader::WaitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return busy_.empty() && trash_.empty() && nextJob() == nullptr; });
}

Preloader::DirectDecode::DirectDecode(Preloader& preloads) : preloads_(preloads) {
    std::unique_lock lock(preloads_.mutex_);
    preloads_.paused_ = true;
    preloads_.cancel_ = true;
    preloads_.changed_.wait(lock, [this] { return preloads_.busy_.empty(); });
}

Preloader::DirectDecode::~DirectDecode() {
    {
        std::lock_guard lock(preloads_.mutex_);
        preloads_.paused_ = false;
    }
    preloads_.changed_.notify_all();
}

void Preloader::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] {
            return stopping_ || !trash_.empty() || (!paused_ && nextJob() != nullptr);
        });
        if (!trash_.empty()) {
            std::vector<std::unique_ptr<TJPEGImage>> trash = std::move(trash_);
            trash_.clear();
            lock.unlock();
            trash.clear();
            lock.lock();
            changed_.notify_all();
            continue;
        }
        if (stopping_)
            return;
        busy_ = *nextJob();
        cancel_ = false;
        const std::string path = busy_;
        lock.unlock();

        // A background decode starts and ends on a heap without free pages,
        // so what decodes and the window leave between them never adds to
        // the peak of the next.
        ReturnFreeHeapPages();
        std::unique_ptr<TJPEGImage> picture;
        bool finished = true;
        try {
            picture = std::make_unique<TJPEGImage>(ReadWholeFile(path));
            finished = picture->DecodeNow(&cancel_);
        } catch (const Error&) {
            picture.reset(); // the step onto it reads it again and reports
        } catch (const std::bad_alloc&) {
            picture.reset();
        }
        ReturnFreeHeapPages();

        lock.lock();
        if (finished && !cancel_ && isWanted(path)) {
            if (picture)
                ready_[path] = std::move(picture);
            else
                tried_.insert(path);
        }
        busy_.clear();
        changed_.notify_all();
        if (picture) {
            lock.unlock();
            picture.reset(); // cancelled or unwanted work is freed outside the lock
            lock.lock();
        }
    }
}

} // namespace browser
