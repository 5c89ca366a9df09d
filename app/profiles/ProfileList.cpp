#include "app/profiles/ProfileList.h"

#include "app/profiles/ProfileSettings.h"
#include "platform/IniValues.h"

#include <QFileInfo>
#include <algorithm>

namespace tavrik::app {
namespace {

// A count beyond this comes only from a damaged store.
constexpr int kLargestStoredCount = 9999;

int storedCount() {
    const int count = platform::parseIniInteger(
        profileSetting(profileListKey(0), QStringLiteral("0")).toStdU16String());
    return std::clamp(count, 0, kLargestStoredCount);
}

} // namespace

ProfileRow profileRowOf(const std::string& path) {
    const QFileInfo file(QString::fromStdString(path));
    QString folder = file.path();
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return {path, file.completeBaseName(), folder};
}

QString profileListKey(int number) {
    return QStringLiteral("PROFILE%1").arg(number, 2, 10, QLatin1Char('0'));
}

std::optional<std::vector<std::string>> storedProfileList() {
    if (!hasProfileSetting(profileListKey(0))) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    const int count = storedCount();
    for (int number = 1; number <= count; ++number) {
        const QString path = profileSetting(profileListKey(number), QString());
        if (!path.isEmpty()) {
            paths.push_back(path.toStdString());
        }
    }
    return paths;
}

void storeProfileList(const std::vector<std::string>& paths) {
    const int before = storedCount();
    const int count = static_cast<int>(paths.size());
    for (int number = 1; number <= count; ++number) {
        setProfileSetting(profileListKey(number),
                          QString::fromStdString(paths[static_cast<std::size_t>(number - 1)]));
    }
    for (int number = count + 1; number <= before; ++number) {
        removeProfileSetting(profileListKey(number));
    }
    setProfileSetting(profileListKey(0), QString::number(count));
}

} // namespace tavrik::app
