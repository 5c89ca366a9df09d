// The backup file format: its layout, every refusal, and its files.

#include "profile/KeyboardBackup.h"

#include "platform/ByteOrder.h"
#include "platform/Crc32.h"
#include "tests/support/ProfileFixture.h"

#include <functional>
#include <future>
#include <numeric>
#include <sys/stat.h>

namespace tavrik::profile::testing {
namespace {

// Every field distinct from the others, so a misplaced field shows.
KeyboardBackup sampleBackup(std::size_t macroAreaSize = 40) {
    KeyboardBackup backup;
    backup.activeProfile = 2;
    for (std::size_t profile = 0; profile < kBackupProfileCount; ++profile) {
        std::iota(backup.pages[profile].begin(), backup.pages[profile].end(),
                  static_cast<std::uint8_t>(profile * 7));
        backup.lighting[profile].fill(static_cast<std::uint8_t>(0x40 + profile));
        backup.zones[profile].fill(static_cast<std::uint8_t>(0x80 + profile));
    }
    backup.macroArea.resize(macroAreaSize);
    std::iota(backup.macroArea.begin(), backup.macroArea.end(), std::uint8_t{0xA0});
    return backup;
}

// Seals a changed file again, so that only the change itself is wrong.
void reseal(Bytes& bytes) {
    const std::size_t body = bytes.size() - 4;
    platform::writeU32(&bytes[body], platform::crc32(std::span(bytes).first(body)));
}

TEST(KeyboardBackup, FieldsLieWhereTheFormatSays) {
    const KeyboardBackup backup = sampleBackup();
    const Bytes bytes = encodeKeyboardBackup(backup);
    ASSERT_EQ(bytes.size(), 1796u + 40u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "TVRKBKUP");
    EXPECT_EQ(platform::readU16(&bytes[8]), 1);
    EXPECT_EQ(platform::readU16(&bytes[10]), 0);
    EXPECT_EQ(platform::readU32(&bytes[12]), bytes.size());
    EXPECT_EQ(bytes[16], 2);
    EXPECT_EQ(bytes[17] | bytes[18] | bytes[19], 0);
    EXPECT_EQ(bytes[20], 0);                 // page 1 starts
    EXPECT_EQ(bytes[20 + 512], 7);           // page 2
    EXPECT_EQ(bytes[20 + 1024 + 511], 0x0D); // the last byte of page 3: 14 + 511 mod 256
    EXPECT_EQ(bytes[1556], 0x40);
    EXPECT_EQ(bytes[1556 + 42], 0x41);
    EXPECT_EQ(bytes[1681], 0x42);
    EXPECT_EQ(bytes[1682], 0x80);
    EXPECT_EQ(bytes[1682 + 72], 0x82);
    EXPECT_EQ(platform::readU16(&bytes[1790]), 40);
    EXPECT_EQ(bytes[1792], 0xA0);
    EXPECT_EQ(platform::readU32(&bytes[1832]), platform::crc32(std::span(bytes).first(1832)));

    KeyboardBackup decoded;
    EXPECT_EQ(decodeKeyboardBackup(bytes, decoded), BackupCheck::Valid);
    EXPECT_EQ(decoded, backup);
}

TEST(KeyboardBackup, OnlyStorableBackupsAreEncoded) {
    struct Case {
        const char* what;
        std::function<void(KeyboardBackup&)> change;
        bool storable;
    };
    const Case cases[] = {
        {"the smallest macro area", [](KeyboardBackup& b) { b.macroArea.resize(16); }, true},
        {"the largest macro area", [](KeyboardBackup& b) { b.macroArea.resize(32640); }, true},
        {"a macro area without its header", [](KeyboardBackup& b) { b.macroArea.resize(15); },
         false},
        {"a macro area beyond any keyboard", [](KeyboardBackup& b) { b.macroArea.resize(32641); },
         false},
        {"a fourth profile", [](KeyboardBackup& b) { b.activeProfile = 3; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeyboardBackup backup = sampleBackup();
        c.change(backup);
        EXPECT_EQ(isStorableBackup(backup), c.storable);
        const Bytes bytes = encodeKeyboardBackup(backup);
        EXPECT_EQ(bytes.empty(), !c.storable);
        KeyboardBackup decoded;
        if (c.storable) {
            EXPECT_EQ(decodeKeyboardBackup(bytes, decoded), BackupCheck::Valid);
            EXPECT_EQ(decoded, backup);
        }
    }
}

// Whatever single bit of a file changes, the file is refused: a bit of the
// magic makes it foreign, any other one damaged (the checksum is looked at
// before the version).
TEST(KeyboardBackup, EveryFlippedBitIsRefused) {
    const Bytes good = encodeKeyboardBackup(sampleBackup());
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const std::uint8_t bit : {0x01, 0x80}) {
            Bytes bytes = good;
            bytes[at] ^= bit;
            KeyboardBackup decoded = sampleBackup(16);
            const BackupCheck check = decodeKeyboardBackup(bytes, decoded);
            ASSERT_EQ(check, at < 8 ? BackupCheck::Foreign : BackupCheck::Damaged)
                << "byte " << at << " bit " << int(bit);
            ASSERT_EQ(decoded, sampleBackup(16)) << "byte " << at;
        }
    }
}

TEST(KeyboardBackup, CutShortForeignNewerAndInconsistentFilesAreRefused) {
    const Bytes good = encodeKeyboardBackup(sampleBackup());
    struct Case {
        const char* what;
        std::function<void(Bytes&)> change;
        BackupCheck check;
    };
    const Case cases[] = {
        {"empty", [](Bytes& b) { b.clear(); }, BackupCheck::Foreign},
        {"a profile file",
         [](Bytes& b) {
             b.assign({0x46, 0x44, 0x20, 0x00});
         },
         BackupCheck::Foreign},
        {"only the first letters of the magic", [](Bytes& b) { b.resize(5); },
         BackupCheck::Damaged},
        {"no more than its lead", [](Bytes& b) { b.resize(16); }, BackupCheck::Damaged},
        {"one byte short", [](Bytes& b) { b.pop_back(); }, BackupCheck::Damaged},
        {"one byte too many", [](Bytes& b) { b.push_back(0); }, BackupCheck::Damaged},
        {"cut short with its size field mended",
         [](Bytes& b) {
             b.resize(1000);
             platform::writeU32(&b[12], 1000);
             reseal(b);
         },
         BackupCheck::Damaged},
        {"version 2",
         [](Bytes& b) {
             platform::writeU16(&b[8], 2);
             reseal(b);
         },
         BackupCheck::NewerVersion},
        {"version 0",
         [](Bytes& b) {
             platform::writeU16(&b[8], 0);
             reseal(b);
         },
         BackupCheck::Damaged},
        {"active profile 3",
         [](Bytes& b) {
             b[16] = 3;
             reseal(b);
         },
         BackupCheck::Damaged},
        {"a macro length that disagrees with the size",
         [](Bytes& b) {
             platform::writeU16(&b[1790], 41);
             reseal(b);
         },
         BackupCheck::Damaged},
        {"a macro area shorter than its header",
         [](Bytes& b) {
             b.erase(b.begin() + 1792 + 15, b.begin() + 1792 + 40);
             platform::writeU16(&b[1790], 15);
             platform::writeU32(&b[12], static_cast<std::uint32_t>(b.size()));
             reseal(b);
         },
         BackupCheck::Damaged},
        {"reserved bytes set by another writer",
         [](Bytes& b) {
             b[10] = 1;
             b[17] = 1;
             reseal(b);
         },
         BackupCheck::Valid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = good;
        c.change(bytes);
        KeyboardBackup decoded;
        EXPECT_EQ(decodeKeyboardBackup(bytes, decoded), c.check);
    }
}

class KeyboardBackupFileTest : public ProfileTest {};

TEST_F(KeyboardBackupFileTest, ABackupIsSavedAndReadBackWhole) {
    const KeyboardBackup backup = sampleBackup(32640);
    const std::string path = folder.file("keyboard.tkb");
    ASSERT_TRUE(writeKeyboardBackupFile(path, backup));
    EXPECT_EQ(readFile(path), encodeKeyboardBackup(backup));
    KeyboardBackup read;
    EXPECT_EQ(readKeyboardBackupFile(path, read), BackupCheck::Valid);
    EXPECT_EQ(read, backup);

    // What cannot be stored, or stored there, leaves the file as it was.
    KeyboardBackup wrong = backup;
    wrong.activeProfile = 5;
    EXPECT_FALSE(writeKeyboardBackupFile(path, wrong));
    EXPECT_FALSE(writeKeyboardBackupFile(folder.file("missing/keyboard.tkb"), backup));
    EXPECT_EQ(readFile(path), encodeKeyboardBackup(backup));
}

TEST_F(KeyboardBackupFileTest, WhatIsNoReadableBackupFileIsRefusedUntouched) {
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Bytes huge = encodeKeyboardBackup(sampleBackup());
    huge.resize(kLargestKeyboardBackup * 3, 0x55);
    writeFile(folder.file("huge.tkb"), huge);
    writeFile(folder.file("profile.fwc"), Bytes(32832, 0x46));
    struct Case {
        std::string path;
        BackupCheck check;
    };
    const Case cases[] = {
        {folder.file("missing.tkb"), BackupCheck::CannotRead},
        {folder.path(), BackupCheck::CannotRead},
        {fifo, BackupCheck::CannotRead},
        {folder.file("huge.tkb"), BackupCheck::Damaged},
        {folder.file("profile.fwc"), BackupCheck::Foreign},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        KeyboardBackup backup = sampleBackup();
        // A FIFO would hold an open for reading until a writer comes.
        auto check =
            std::async(std::launch::async, [&] { return readKeyboardBackupFile(c.path, backup); });
        ASSERT_EQ(check.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(check.get(), c.check);
        EXPECT_EQ(backup, sampleBackup());
    }
}

} // namespace
} // namespace tavrik::profile::testing
