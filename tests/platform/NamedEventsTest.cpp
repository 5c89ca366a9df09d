#include "platform/NamedEvents.h"

#include "tests/support/TemporaryFolder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>

namespace tavrik::platform {
namespace {

TEST(NamedEvents, NamesFollowThePrefixAndTwoDigitNumbers) {
    const std::pair<int, const char*> names[] = {
        {1, "Tavrik_Event_Main_01"},    {9, "Tavrik_Event_Main_09"},
        {10, "Tavrik_Event_Main_10"},   {99, "Tavrik_Event_Main_99"},
        {100, "Tavrik_Event_Main_100"}, {210, "Tavrik_Event_Main_210"},
    };
    for (const auto& [number, name] : names) {
        EXPECT_EQ(namedEventName(number), name);
    }
}

bool semaphoreExists(const std::string& name) {
    sem_t* semaphore = ::sem_open(namedEventObjectName(name).c_str(), 0);
    if (semaphore == SEM_FAILED) {
        return false;
    }
    ::sem_close(semaphore);
    return true;
}

TEST(NamedEvents, AllExistFromCreationUntilClosed) {
    NamedEvents events;
    ASSERT_EQ(events.create(), kNamedEventCount);
    for (const int number : {1, 2, 105, 209, 210}) {
        EXPECT_TRUE(semaphoreExists(namedEventName(number))) << number;
    }
    EXPECT_FALSE(semaphoreExists(namedEventName(211)));
    // They start unsignalled.
    sem_t* first = ::sem_open(namedEventObjectName(namedEventName(1)).c_str(), 0);
    ASSERT_NE(first, SEM_FAILED);
    EXPECT_EQ(::sem_trywait(first), -1);
    EXPECT_EQ(errno, EAGAIN);
    ::sem_close(first);

    events.close();
    EXPECT_EQ(events.count(), 0);
    EXPECT_FALSE(semaphoreExists(namedEventName(1)));
    EXPECT_FALSE(semaphoreExists(namedEventName(210)));
}

TEST(NamedEvents, EventsLeftBehindAreTakenOverAndRemoved) {
    sem_t* leftover = ::sem_open(namedEventObjectName(namedEventName(7)).c_str(), O_CREAT, 0600, 0);
    ASSERT_NE(leftover, SEM_FAILED);
    ::sem_close(leftover);
    {
        NamedEvents events;
        EXPECT_EQ(events.create(), kNamedEventCount);
    }
    EXPECT_FALSE(semaphoreExists(namedEventName(7)));
}

TEST(NamedEvents, InstancesInTwoRuntimeFoldersKeepTheirOwnEvents) {
    testing::TemporaryFolder first;
    testing::TemporaryFolder second;
    ::setenv("XDG_RUNTIME_DIR", first.path().c_str(), 1);
    const std::string firstName = namedEventObjectName(namedEventName(1));
    NamedEvents firstEvents;
    ASSERT_EQ(firstEvents.create(), kNamedEventCount);

    ::setenv("XDG_RUNTIME_DIR", second.path().c_str(), 1);
    EXPECT_NE(namedEventObjectName(namedEventName(1)), firstName);
    {
        NamedEvents secondEvents;
        EXPECT_EQ(secondEvents.create(), kNamedEventCount);
        EXPECT_TRUE(semaphoreExists(namedEventName(1)));
    }
    EXPECT_FALSE(semaphoreExists(namedEventName(1)));
    ::setenv("XDG_RUNTIME_DIR", first.path().c_str(), 1);
    EXPECT_TRUE(semaphoreExists(namedEventName(1))) << "the second instance removed the first's";
    EXPECT_TRUE(semaphoreExists(namedEventName(kNamedEventCount)));
    firstEvents.close();
    EXPECT_FALSE(semaphoreExists(namedEventName(1)));
    ::unsetenv("XDG_RUNTIME_DIR");
}

} // namespace
} // namespace tavrik::platform
