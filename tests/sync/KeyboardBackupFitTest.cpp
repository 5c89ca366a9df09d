// A keyboard whose macro memory is smaller than the backup's macro area.
// The virtual keyboard always has the largest memory there is, so a fake
// service answers for such a keyboard.

#include "device/Commands.h"
#include "sync/KeyboardBackupTransfer.h"
#include "tests/device/DeviceFixture.h"

namespace tavrik::device::testing {
namespace {

class KeyboardBackupFitTest : public DeviceTest {};

TEST_F(KeyboardBackupFitTest, MacrosLargerThanTheKeyboardsMemoryAreNotWritten) {
    service.setAnswerer([](const Bytes& packet) {
        if (packet[3] != 0x03) {
            return std::vector<Bytes>{echoAnswer(packet)};
        }
        Bytes info(kDeviceInfoSize, 0);
        info[kDeviceInfoMacroUnits] = 1; // 128 bytes
        return std::vector<Bytes>{echoAnswer(packet, 0, info)};
    });
    profile::KeyboardBackup backup;
    backup.macroArea.assign(129, 0);
    EXPECT_EQ(sync::restoreKeyboardBackup(backup), sync::RestoreResult::DoesNotFit);
    for (const Bytes& packet : service.writtenPackets()) {
        EXPECT_EQ(packet[3], 0x03); // nothing but the information block was asked for
    }

    service.clearCalls();
    backup.macroArea.resize(128);
    EXPECT_NE(sync::restoreKeyboardBackup(backup), sync::RestoreResult::DoesNotFit);
    EXPECT_GT(service.writtenPackets().size(), 1u);
}

} // namespace
} // namespace tavrik::device::testing
