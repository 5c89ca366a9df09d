#pragma once
// The files the kill campaign saves, each in two versions that differ
// throughout: an INI file, the settings, the working file and the virtual
// keyboard's state. Each kind saves with the program's own code and tells,
// with the program's own loader, which version a file on disk holds.

#include <string>
#include <vector>

namespace tavrik::reliability {

// The names the program gives QSettings (its organisation and application).
inline constexpr const char* kSettingsOrganisation = "Tavrik_Lumora";
inline constexpr const char* kSettingsApplication = "Tavrik";

struct SaveKind {
    const char* name;
    // Points the program's paths into `folder` (environment, path set); in
    // the saving process, before the first save.
    bool (*prepare)(const std::string& folder);
    bool (*save)(const std::string& folder, int version);
    // The file that is saved.
    std::string (*path)(const std::string& folder);
    // 0 or 1 when the file loads as that version; -1 when it does not load
    // or holds anything else.
    int (*loadedVersion)(const std::string& folder);
};

const std::vector<SaveKind>& saveKinds();
const SaveKind* saveKindNamed(const std::string& name);

} // namespace tavrik::reliability
