#pragma once
// What the reliability campaigns share: which points a run visits and the one
// line of figures each campaign prints. The suite runs a short version; the
// soak (TAVRIK_CAMPAIGN=full) visits every point.

#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::reliability {

inline bool fullCampaign() {
    const char* scope = std::getenv("TAVRIK_CAMPAIGN");
    return scope != nullptr && std::string_view(scope) == "full";
}

// A number the soak may raise: TAVRIK_CAMPAIGN_<name>, else `suiteValue`.
inline long campaignSetting(const char* name, long suiteValue) {
    const char* value = std::getenv((std::string("TAVRIK_CAMPAIGN_") + name).c_str());
    if (value == nullptr || *value == '\0') {
        return suiteValue;
    }
    char* end = nullptr;
    const long parsed = std::strtol(value, &end, 10);
    return *end == '\0' && parsed > 0 ? parsed : suiteValue;
}

// Points 0..total-1 to visit: all of them in a full campaign; otherwise the
// edges, which `landmarks` adds to (the first point of each area, say), and
// `spread` points evenly between.
inline std::vector<std::size_t> campaignPoints(std::size_t total,
                                               const std::vector<std::size_t>& landmarks = {},
                                               std::size_t spread = 8) {
    std::set<std::size_t> points;
    if (fullCampaign()) {
        for (std::size_t point = 0; point < total; ++point) {
            points.insert(point);
        }
    } else if (total > 0) {
        for (std::size_t edge = 0; edge < 2 && edge < total; ++edge) {
            points.insert(edge);
            points.insert(total - 1 - edge);
        }
        for (const std::size_t landmark : landmarks) {
            for (std::size_t near = landmark; near <= landmark + 1 && near < total; ++near) {
                points.insert(near);
            }
        }
        for (std::size_t step = 1; step <= spread; ++step) {
            points.insert(total * step / (spread + 1));
        }
    }
    return {points.begin(), points.end()};
}

// The campaign's figures, one line, marked for the soak to collect.
inline void reportFigures(std::string_view campaign, std::string_view figures) {
    std::cout << "campaign " << campaign << ": " << figures << (fullCampaign() ? "" : " (short)")
              << std::endl;
}

} // namespace tavrik::reliability
