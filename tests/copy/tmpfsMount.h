#pragma once

#include <string>

// A small tmpfs mounted by the test over an empty folder, so a full or
// read-only target binds root too. Unmounted when the object goes.
class TmpfsMount {
public:
    TmpfsMount(const std::string& folder, const std::string& options);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool Mounted() const { return mounted_; }
    // Why the system refused, for the skip message.
    const std::string& Refusal() const { return refusal_; }
    // Makes the mount read-only; false (with Refusal() set) if refused.
    bool MakeReadOnly();

private:
    std::string folder_;
    std::string options_;
    bool mounted_ = false;
    std::string refusal_;
};
