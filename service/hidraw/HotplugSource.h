#pragma once
// What tells the hidraw backend that hidraw nodes came or went, so that it
// enumerates only then. The system's device manager (udev) is one; tests put
// their own behind the backend.

namespace tavrik::service {

class HotplugSource {
public:
    virtual ~HotplugSource() = default;
    // Readable while notices wait to be taken.
    virtual int descriptor() const = 0;
    // Takes every waiting notice; true when any concerned a hidraw node.
    virtual bool takeChanges() = 0;
};

} // namespace tavrik::service
