#pragma once
// The address behind the main window's word mark: "Link" of section
// "SCREEN" in the main layout file. A web address (any "scheme:" of two or
// more letters) is taken as it stands; anything else names a file, relative
// to the layout file's folder unless it starts with '/', and is given as a
// clean path (no "." or ".." steps, no doubled '/'). Without a value the
// word mark opens the program's own user guide: the program has no web site
// of a maker to name.

#include <string>
#include <string_view>

namespace tavrik::app {

// `skinFolder` ends with '/'; `defaultAddress` is used for an empty value.
std::string resolveLinkAddress(std::u16string_view value, const std::string& skinFolder,
                               const std::string& defaultAddress);

} // namespace tavrik::app
