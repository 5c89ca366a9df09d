#include "service/hidraw/ReportDescriptor.h"

#include "tests/service/KeyboardDescriptors.h"

#include <gtest/gtest.h>

namespace tavrik::service {
namespace {

using namespace testing;

TEST(ReportDescriptor, InputReportIdsOfEachTopLevelCollection) {
    const auto layout = parseReportDescriptor(kConsumerAndCommandDescriptor);
    ASSERT_TRUE(layout);
    EXPECT_TRUE(layout->numberedReports);
    ASSERT_EQ(layout->collections.size(), 2u);
    EXPECT_EQ(layout->collections[0].usagePage, 0x000C);
    EXPECT_EQ(layout->collections[0].usage, 0x0001);
    EXPECT_EQ(layout->collections[0].inputReportIds, std::set<std::uint8_t>{3});
    EXPECT_EQ(layout->collections[1].usagePage, 0xFF1C);
    EXPECT_EQ(layout->collections[1].usage, 0x0092);
    EXPECT_EQ(layout->collections[1].inputReportIds, std::set<std::uint8_t>{4});

    const auto led = parseReportDescriptor(kLedDescriptor);
    ASSERT_TRUE(led);
    ASSERT_EQ(led->collections.size(), 1u);
    EXPECT_TRUE(led->collections[0].inputReportIds.empty()) << "output only";

    const auto unnumbered = parseReportDescriptor(kUnnumberedConsumerDescriptor);
    ASSERT_TRUE(unnumbered);
    EXPECT_FALSE(unnumbered->numberedReports);
    EXPECT_EQ(unnumbered->collections[0].inputReportIds, std::set<std::uint8_t>{0});
}

TEST(ReportDescriptor, UsagesWithTheirOwnPageNestedCollectionsAndLongItems) {
    const std::vector<std::uint8_t> descriptor = {
        0x05, 0x01,                   // page 1
        0x0B, 0x01, 0x00, 0x0C, 0x00, // usage 0x000C0001 (its own page)
        0xA1, 0x01,                   // application
        0xA4, 0x85, 0x07, 0xB4,       //   push, report 7, pop: back to no id
        0x09, 0x05, 0xA1, 0x02,       //   logical collection inside
        0x85, 0x09, 0x81, 0x02,       //     report 9 input
        0xC0,                         //   end
        0xFE, 0x02, 0x10, 0xAA, 0xBB, //   a long item
        0xC0,                         // end
    };
    const auto layout = parseReportDescriptor(descriptor);
    ASSERT_TRUE(layout);
    ASSERT_EQ(layout->collections.size(), 1u);
    EXPECT_EQ(layout->collections[0].usagePage, 0x000C);
    EXPECT_EQ(layout->collections[0].usage, 0x0001);
    EXPECT_EQ(layout->collections[0].inputReportIds, std::set<std::uint8_t>{9});
}

TEST(ReportDescriptor, MalformedDescriptorsAreRefused) {
    std::vector<std::uint8_t> cut = kConsumerAndCommandDescriptor;
    cut.resize(12); // inside the two-byte logical maximum
    EXPECT_FALSE(parseReportDescriptor(cut));
    EXPECT_FALSE(parseReportDescriptor(std::vector<std::uint8_t>{0xC0}));
    EXPECT_FALSE(parseReportDescriptor(std::vector<std::uint8_t>{0xFE, 0x05, 0x00, 0x01}));
    const auto empty = parseReportDescriptor({});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->collections.empty());
}

} // namespace
} // namespace tavrik::service
