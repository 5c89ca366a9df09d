#include "platform/SettingsStore.h"

#include <QSettings>
#include <QString>

namespace tavrik::platform {
namespace {

QString keyPath(std::u16string_view section, std::u16string_view key) {
    return QString::fromStdU16String(std::u16string(section)) + QLatin1Char('/') +
           QString::fromStdU16String(std::u16string(key));
}

} // namespace

std::u16string readSetting(std::u16string_view section, std::u16string_view key,
                           std::u16string_view defaultValue) {
    const QSettings settings;
    const QVariant value = settings.value(keyPath(section, key));
    if (!value.isValid()) {
        return std::u16string(defaultValue);
    }
    return value.toString().toStdU16String();
}

bool writeSetting(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    QSettings settings;
    settings.setValue(keyPath(section, key), QString::fromStdU16String(std::u16string(value)));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace tavrik::platform
