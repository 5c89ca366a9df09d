#include "platform/SettingsStore.h"

#include <QFile>
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
    return syncPrivately(settings);
}

bool syncPrivately(QSettings& settings) {
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        return false;
    }
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    const QString file = settings.fileName();
    if (QFile::exists(file) && (QFile::permissions(file) & others)) {
        return QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

} // namespace tavrik::platform
