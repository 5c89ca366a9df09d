#pragma once
// The running program, reached over the session bus: while it runs,
// tavrikctl asks it to do the work, so that its working set, its window and
// the keyboard stay one story; only without it does tavrikctl talk to the
// keyboard itself.

#include <QVariantList>
#include <optional>
#include <string>

namespace tavrik::tools {

struct ProgramAnswer {
    bool succeeded = false;
    std::string message; // why it failed
};

class ProgramBus {
public:
    // The program when it serves the session bus of this shell; none
    // otherwise (the bus is not started for the asking).
    static std::optional<ProgramBus> find();

    ProgramAnswer call(const char* method, const QVariantList& arguments) const;
    // The answer's values of a method that returns some; none on an error.
    std::optional<QVariantList> query(const char* method, const QVariantList& arguments) const;
    // 1..3; 0 while the program has no keyboard; none when it does not tell.
    std::optional<unsigned> activeProfile() const;

private:
    ProgramBus() = default;
};

} // namespace tavrik::tools
