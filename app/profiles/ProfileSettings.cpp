#include "app/profiles/ProfileSettings.h"

#include "app/shared/SettingsRoot.h"
#include "platform/IniValues.h"
#include "platform/SettingsStore.h"

#include <QSettings>

namespace tavrik::app {
namespace {

const QString kSection = QStringLiteral("PROFILES");

// The same store whether or not the application named its organisation.
class ProfileSection {
public:
    ProfileSection()
        : settings_(QString::fromLatin1(kSettingsRoot), QString::fromLatin1(kApplicationName)) {
        settings_.beginGroup(kSection);
    }
    ~ProfileSection() { platform::syncPrivately(settings_); }
    ProfileSection(const ProfileSection&) = delete;
    ProfileSection& operator=(const ProfileSection&) = delete;
    QSettings& operator*() { return settings_; }
    QSettings* operator->() { return &settings_; }

private:
    QSettings settings_;
};

} // namespace

QString profileSetting(const QString& key, const QString& fallback) {
    ProfileSection section;
    return section->value(key, fallback).toString();
}

void setProfileSetting(const QString& key, const QString& value) {
    ProfileSection section;
    section->setValue(key, value);
}

void removeProfileSetting(const QString& key) {
    ProfileSection section;
    section->remove(key);
}

bool hasProfileSetting(const QString& key) {
    ProfileSection section;
    return section->contains(key);
}

bool flipSetting() {
    return platform::parseIniInteger(
               profileSetting(QStringLiteral("Flip"), QStringLiteral("0")).toStdU16String()) != 0;
}

void setFlipSetting(bool on) {
    setProfileSetting(QStringLiteral("Flip"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace tavrik::app
