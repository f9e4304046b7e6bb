#pragma once

#include "jpegImage.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace browser {

// Reads and decodes the pictures the user is likely to step to next, one at
// a time on one background thread, so that stepping onto them shows them at
// once. Holds at most the pictures currently wanted.
class Preloader {
public:
    Preloader();
    ~Preloader();
    Preloader(const Preloader&) = delete;
    Preloader& operator=(const Preloader&) = delete;

    // The pictures worth having ready, by absolute path, most wanted first.
    // Drops kept pictures that are no longer wanted and cancels work on them.
    void Want(std::vector<std::string> paths);

    // Offers a decoded picture that leaves the screen, in case it is wanted
    // again; it is dropped by the next Want that does not name it.
    void Keep(const std::string& path, std::unique_ptr<TJPEGImage> picture);

    // The preloaded picture for the path, if its bytes equal `bytes` (the
    // file as just read); waits when that picture is being decoded right
    // now. Null when there is none or the file changed since.
    std::unique_ptr<TJPEGImage> Take(const std::string& path, std::span<const unsigned char> bytes);

    // As above, with the file's bytes compared by `holdsFile`, which may
    // throw; the picture is then dropped and the failure passed on.
    std::unique_ptr<TJPEGImage> Take(const std::string& path,
                                     const std::function<bool(const FileBytes&)>& holdsFile);

    // Waits until every wanted picture has been tried.
    void WaitIdle();

    // Holds the background work off while the picture on show is decoded
    // directly, so that two decodes never hold their buffers at once: work
    // under way is cancelled and taken up again afterwards.
    class DirectDecode {
    public:
        explicit DirectDecode(Preloader& preloads);
        ~DirectDecode();
        DirectDecode(const DirectDecode&) = delete;
        DirectDecode& operator=(const DirectDecode&) = delete;

    private:
        Preloader& preloads_;
    };

private:
    void run();
    bool isWanted(const std::string& path) const;
    const std::string* nextJob() const;
    void discard(std::unique_ptr<TJPEGImage> picture);
    void dropUnwanted();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> wanted_;
    std::map<std::string, std::unique_ptr<TJPEGImage>> ready_;
    std::set<std::string> tried_; // wanted but could not be read or parsed
    // Pictures no longer wanted. Freeing a frame takes milliseconds, so the
    // thread does it, and before its next decode, which may reuse the memory.
    std::vector<std::unique_ptr<TJPEGImage>> trash_;
    std::string busy_; // the path the thread works on, or empty
    std::atomic<bool> cancel_{false};
    bool stopping_ = false;
    bool paused_ = false;
    std::thread thread_;
};

} // namespace browser
