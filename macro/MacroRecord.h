#pragma once
// A macro as the program stores it: a 16512-byte record whose byte layout is
// also the layout of macro records in profile files. The record keeps its bytes
// as they are, so reserved fields of a record read from a file travel on
// unchanged.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::macro {

inline constexpr std::size_t kMaxMacros = 100;
inline constexpr std::size_t kMaxActions = 2000;
// Pauses typed into the editor are limited to this; recorded pauses are not.
inline constexpr std::int32_t kMaxTypedPause = 40000;
// UTF-16 units of the name field, terminator included.
inline constexpr std::size_t kNameCapacity = 250;
inline constexpr std::size_t kMaxNameLength = kNameCapacity - 1;
inline constexpr std::size_t kMacroRecordSize = 16512;
inline constexpr std::size_t kMacroActionSize = 8;

inline constexpr std::uint16_t kPress = 0;
inline constexpr std::uint16_t kRelease = 1;

// One key press or release and the pause in milliseconds that follows it.
struct MacroAction {
    std::int32_t pause = 0;
    std::uint16_t keyCode = 0;
    std::uint16_t direction = kPress;

    friend bool operator==(const MacroAction&, const MacroAction&) = default;
};

MacroAction readMacroAction(const std::uint8_t* bytes);
void writeMacroAction(std::uint8_t* bytes, const MacroAction& action);

class MacroRecord {
public:
    static constexpr std::size_t kNameOffset = 0;
    static constexpr std::size_t kCyclesOffset = 500;
    static constexpr std::size_t kNewFlagOffset = 502;
    static constexpr std::size_t kIdOffset = 506;
    static constexpr std::size_t kActionCountOffset = 508;
    static constexpr std::size_t kActionsOffset = 512;

    using Bytes = std::array<std::uint8_t, kMacroRecordSize>;

    // A zero-filled record: no name, cycles 0, id 0, no actions.
    MacroRecord();
    // The record exactly as stored, reserved bytes included.
    explicit MacroRecord(const Bytes& bytes);

    const Bytes& bytes() const { return bytes_; }

    // The units before the terminator, at most kMaxNameLength of them.
    std::u16string name() const;
    // Stores at most kMaxNameLength units, never half a surrogate pair; the rest
    // of the field is zeroed.
    void setName(std::u16string_view name);

    std::uint8_t cycles() const;
    void setCycles(std::uint8_t cycles);

    // 1 while the record was created in the open editor and nothing refers to it.
    std::uint16_t newFlag() const;
    void setNewFlag(std::uint16_t flag);

    std::uint16_t id() const;
    void setId(std::uint16_t id);

    // The stored count, which a foreign file may set above kMaxActions.
    std::uint16_t storedActionCount() const;
    // The count of actions the record really holds: the stored count, at most kMaxActions.
    std::size_t actionCount() const;

    // Action slot index; slots at or beyond kMaxActions read as an empty action.
    MacroAction action(std::size_t index) const;
    std::vector<MacroAction> actions() const;
    // Stores the first kMaxActions of actions, zeroes the slots behind them and
    // sets the count.
    void setActions(std::span<const MacroAction> actions);
    // Appends one action; false when the record is full.
    bool appendAction(const MacroAction& action);

private:
    std::uint8_t* actionSlot(std::size_t index) {
        return bytes_.data() + kActionsOffset + index * kMacroActionSize;
    }
    const std::uint8_t* actionSlot(std::size_t index) const {
        return bytes_.data() + kActionsOffset + index * kMacroActionSize;
    }

    Bytes bytes_{};
};

// The macro list: the position of a record is the macro's index, the order of
// the macro area and the number the key map gives the keyboard. Its size is
// the count and never exceeds kMaxMacros in a committed list.
using MacroList = std::vector<MacroRecord>;

} // namespace tavrik::macro
