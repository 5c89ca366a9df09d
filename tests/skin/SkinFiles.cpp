#include "tests/skin/SkinFiles.h"

#include "platform/IniValues.h"

#include <QString>
#include <cstdlib>

namespace tavrik::skintest {

std::string skinPath(std::string_view name) {
    return std::string(TAVRIK_BIN_DIR) + "/Skins/" + std::string(name);
}

platform::IniSnapshot layoutFile(std::string_view name) {
    return platform::IniFile(skinPath(name)).snapshot();
}

QRect sectionRect(const platform::IniSnapshot& file, std::u16string_view section,
                  std::string_view key) {
    const platform::LayoutRectangle rect = platform::readLayoutRectangle(file, section, toU16(key));
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

QRect buttonRect(const platform::IniSnapshot& file, std::string_view key) {
    return sectionRect(file, platform::kLayoutSection, key);
}

std::u16string readValue(const platform::IniSnapshot& file, std::u16string_view section,
                         std::string_view key) {
    return file.readString(section, toU16(key), kMissing);
}

QImage skinImage(std::string_view name) {
    return QImage(QString::fromStdString(skinPath(name)));
}

QImage screenImage(const platform::IniSnapshot& file, std::string_view key) {
    return skinImage(toUtf8(readValue(file, u"SCREEN", key)));
}

double meanDifference(const QImage& first, const QImage& second, const QRect& piece) {
    const QImage a = first.convertToFormat(QImage::Format_RGB32);
    const QImage b = second.convertToFormat(QImage::Format_RGB32);
    const QRect area = piece & a.rect() & b.rect();
    if (area.isEmpty()) {
        return 0;
    }
    double total = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                     std::abs(qBlue(p) - qBlue(q));
        }
    }
    return total / (3.0 * area.width() * area.height());
}

std::vector<std::string> overlappingPairs(const platform::IniSnapshot& file,
                                          const std::vector<std::string>& keys) {
    std::vector<QRect> rects;
    rects.reserve(keys.size());
    for (const std::string& key : keys) {
        rects.push_back(buttonRect(file, key));
    }
    std::vector<std::string> pairs;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (std::size_t j = i + 1; j < keys.size(); ++j) {
            if (rects[i].intersects(rects[j])) {
                pairs.push_back(keys[i] + " / " + keys[j]);
            }
        }
    }
    return pairs;
}

std::u16string toU16(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
}

std::string toUtf8(std::u16string_view text) {
    return QString::fromStdU16String(std::u16string(text)).toStdString();
}

} // namespace tavrik::skintest
