#include "tests/skin/SkinFiles.h"
#include "text/LanguageTexts.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QString>
#include <gtest/gtest.h>

namespace tavrik::skintest {
namespace {

constexpr std::u16string_view kSections[] = {u"ENGINSH", u"CHINESE"};

// The printf conversions of a text, in order ("%d", "%03x", ...).
QStringList conversions(const QString& text) {
    static const QRegularExpression conversion(QStringLiteral("%[-+ #0]*[0-9]*[a-zA-Z]"));
    QStringList found;
    for (auto match = conversion.globalMatch(text); match.hasNext();) {
        found.append(match.next().captured());
    }
    return found;
}

bool hasChinese(const std::u16string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char16_t c) { return c >= 0x4E00 && c <= 0x9FFF; });
}

class LanguageFile : public ::testing::Test {
protected:
    platform::IniSnapshot file_ = layoutFile("language.ini");
};

TEST_F(LanguageFile, SelectsEnglish) {
    EXPECT_EQ(readValue(file_, u"LANGUAGE", "language"), u"1");
}

TEST_F(LanguageFile, EverySlotHasATextInBothLanguages) {
    for (const text::TextSlotInfo& slot : text::textSlots()) {
        for (const std::u16string_view section : kSections) {
            const std::u16string text = readValue(file_, section, slot.key);
            EXPECT_NE(text, kMissing) << toUtf8(section) << " lacks " << slot.key;
            EXPECT_FALSE(text.empty()) << toUtf8(section) << " " << slot.key;
            // The reader cuts a value at 259 characters.
            EXPECT_LT(text.size(), 260u) << toUtf8(section) << " " << slot.key;
        }
    }
}

TEST_F(LanguageFile, TextsKeepTheConversionsOfTheirDefaults) {
    for (const text::TextSlotInfo& slot : text::textSlots()) {
        const QStringList expected =
            conversions(QString::fromStdU16String(std::u16string(slot.builtInDefault)));
        for (const std::u16string_view section : kSections) {
            const QString text = QString::fromStdU16String(readValue(file_, section, slot.key));
            EXPECT_EQ(conversions(text), expected) << toUtf8(section) << " " << slot.key;
        }
    }
}

TEST_F(LanguageFile, ChineseTextsAreChineseAndTheSettingNameIsShared) {
    for (const text::TextSlotInfo& slot : text::textSlots()) {
        const std::u16string chinese = readValue(file_, u"CHINESE", slot.key);
        if (slot.key == "MACRO_ACTION_RECORD_DELAY") {
            // It names the stored record-pauses option, whatever the language.
            EXPECT_EQ(chinese, readValue(file_, u"ENGINSH", slot.key));
            continue;
        }
        EXPECT_TRUE(hasChinese(chinese)) << slot.key << " is not translated";
        EXPECT_FALSE(hasChinese(readValue(file_, u"ENGINSH", slot.key))) << slot.key;
    }
}

TEST(HelpPage, DescribesTheCommandLineAndTheKeyboardAccess) {
    QFile page(QStringLiteral(TAVRIK_BIN_DIR "/Help/index.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    for (const char* needle : {"<html", "/Start", "/Kill", "60-tavrik-keyboard.rules",
                               "VEZAROR_BACKEND", "vkbd", ".fwc"}) {
        EXPECT_TRUE(text.contains(QLatin1String(needle))) << needle;
    }
}

TEST(HelpPage, ShowsThePicturesItNames) {
    QFile page(QStringLiteral(TAVRIK_BIN_DIR "/Help/index.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    static const QRegularExpression image(QStringLiteral("<img src=\"([^\"]+)\""));
    int pictures = 0;
    for (auto match = image.globalMatch(text); match.hasNext(); ++pictures) {
        const QString name = match.next().captured(1);
        const QImage picture(QStringLiteral(TAVRIK_BIN_DIR "/Help/") + name);
        EXPECT_FALSE(picture.isNull()) << name.toStdString();
    }
    EXPECT_GE(pictures, 1) << "the key editor is shown";
    EXPECT_TRUE(text.contains(QLatin1String("id=\"macros\"")));
    EXPECT_TRUE(text.contains(QLatin1String("Record delays")));
}

} // namespace
} // namespace tavrik::skintest
