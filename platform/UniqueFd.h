#pragma once
// An owned file descriptor, closed when its owner goes; -1 holds none.

namespace tavrik::platform {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int descriptor) : descriptor_(descriptor) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : descriptor_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return descriptor_; }
    bool valid() const { return descriptor_ >= 0; }
    explicit operator bool() const { return valid(); }
    int release();
    void reset(int descriptor = -1);

private:
    int descriptor_ = -1;
};

} // namespace tavrik::platform
