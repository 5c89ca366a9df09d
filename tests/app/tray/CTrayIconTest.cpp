#include "app/tray/CTrayIcon.h"

#include "app/tray/TrayActivation.h"
#include "app/tray/TrayIconState.h"
#include "platform/Ports.h"
#include "platform/Unicode.h"
#include "platform/WindowMessage.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/RecordingPorts.h"
#include "tests/support/TemporaryFolder.h"
#include "text/LanguageTexts.h"
#include "ui/LanguageMenu.h"

#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace tavrik::app {
namespace {

struct Message {
    std::uint32_t message;
    std::uintptr_t wParam;
    friend bool operator==(const Message&, const Message&) = default;
};

// The main window as the tray icon sees it: notes every message that gets
// through to it.
class OwnerWindow final : public QWidget {
public:
    std::vector<Message> messages;

protected:
    bool event(QEvent* event) override {
        if (event->type() != platform::WindowMessageEvent::eventType()) {
            return QWidget::event(event);
        }
        auto* message = static_cast<platform::WindowMessageEvent*>(event);
        messages.push_back({message->message(), message->wParam()});
        message->setResult(0);
        return true;
    }
};

QIcon plainIcon(QColor colour) {
    QPixmap picture(16, 16);
    picture.fill(colour);
    return QIcon(picture);
}

QRgb iconColour(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().pixel(8, 8);
}

class CTrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        tray_.setLanguageFile(folder_.file("language.ini"));
        tray_.setIconFolder(folder_.path());
    }
    void TearDown() override { text::resetLanguageTexts(); }

    bool create(const std::u16string& tip = u"Arcton") {
        return tray_.create(&owner_, kTrayCallbackMessage, tip, plainIcon(Qt::red), kTrayIconId);
    }
    void writeLanguage(const std::string& language) {
        std::ofstream(folder_.file("language.ini"))
            << "[LANGUAGE]\nlanguage=" << language
            << "\n[ENGINSH]\nMENU_11=Open\nMENU_22=About\nMENU_33=Exit\n"
               "MENU_44=Start with the desktop\n"
               "[CHINESE]\nMENU_11=\xE6\x89\x93\xE5\xBC\x80\nMENU_22=\xE5\x85\xB3\xE4\xBA\x8E\n";
    }
    // Opens the menu as the notification area does on a right click.
    QStringList menuTexts() {
        tray_.menu()->popup(QPoint(0, 0));
        QStringList texts;
        for (const QAction* action : tray_.menu()->actions()) {
            texts << action->text();
        }
        tray_.menu()->hide();
        return texts;
    }

    testing::TemporaryFolder folder_;
    OwnerWindow owner_;
    CTrayIcon tray_;
};

TEST_F(CTrayIconTest, WithoutAnOwnerNothingIsAddedAndLaterRequestsDoNothing) {
    EXPECT_FALSE(
        tray_.create(nullptr, kTrayCallbackMessage, u"Arcton", plainIcon(Qt::red), kTrayIconId));
    EXPECT_FALSE(tray_.isActive());
    QPixmap picture(16, 16);
    picture.fill(Qt::green);
    picture.save(QString::fromStdString(folder_.file("tray141.png")));
    EXPECT_FALSE(tray_.setIcon(141));
}

TEST_F(CTrayIconTest, TheTipIsCutTo127Characters) {
    ASSERT_TRUE(create(std::u16string(300, u'x')));
    EXPECT_TRUE(tray_.isActive());
    EXPECT_EQ(tray_.tip(), std::u16string(127, u'x'));
    tray_.remove();
    EXPECT_FALSE(tray_.isActive());
    EXPECT_FALSE(tray_.setIcon(141));
}

TEST_F(CTrayIconTest, SetIconShowsTheIconFileOfTheId) {
    ASSERT_TRUE(create());
    QPixmap picture(16, 16);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder_.file("tray141.png"))));
    EXPECT_TRUE(tray_.setIcon(141));
    EXPECT_EQ(iconColour(tray_.icon()), QColor(Qt::green).rgb());
    // An icon file that is not there leaves the icon as it is.
    EXPECT_FALSE(tray_.setIcon(142));
    EXPECT_EQ(iconColour(tray_.icon()), QColor(Qt::green).rgb());
    EXPECT_EQ(CTrayIcon::iconFile("/opt/tavrik/Skins", 128), "/opt/tavrik/Skins/tray128.png");
}

TEST_F(CTrayIconTest, TheMenuReadsItsTextsInTheChosenLanguageEachTimeItOpens) {
    ASSERT_TRUE(create());
    writeLanguage("1");
    // Separators stand between the groups.
    EXPECT_EQ(menuTexts(),
              (QStringList{"Open", "About", "", "Start with the desktop", "", "Exit"}));
    // Language 2 is Chinese; a key missing there shows a single blank.
    writeLanguage("2");
    EXPECT_EQ(menuTexts(),
              (QStringList{QString::fromUtf8("\xE6\x89\x93\xE5\xBC\x80"),
                           QString::fromUtf8("\xE5\x85\xB3\xE4\xBA\x8E"), "", " ", "", " "}));
    EXPECT_EQ(tray_.menu()->defaultAction(), tray_.menu()->actions().first());
}

// Some notification areas show the menu without saying so first: its texts
// are there from the start.
TEST_F(CTrayIconTest, TheMenuHasItsTextsBeforeItFirstOpens) {
    writeLanguage("1");
    ASSERT_TRUE(create());
    QStringList texts;
    for (const QAction* action : tray_.menu()->actions()) {
        texts << action->text();
    }
    EXPECT_EQ(texts, (QStringList{"Open", "About", "", "Start with the desktop", "", "Exit"}));
}

TEST_F(CTrayIconTest, MenuItemsSendTheirCommandsToTheOwner) {
    ASSERT_TRUE(create());
    for (QAction* action : tray_.menu()->actions()) {
        action->trigger();
    }
    const std::vector<Message> expected{{platform::kCommandMessage, 32771},
                                        {platform::kCommandMessage, 32773},
                                        {platform::kCommandMessage, 32775},
                                        {platform::kCommandMessage, 32774}};
    EXPECT_EQ(owner_.messages, expected);
}

// Offscreen, as on every platform but X11, Qt's tray is the D-Bus one, whose
// hosts report a click as a single activation: that opens the window. Once
// the host has sent a double click it is one that reports them, and only the
// double click opens the window.
TEST_F(CTrayIconTest, TheClickThatTheNotificationAreaReportsOpensTheWindow) {
    ASSERT_TRUE(create());
    QSystemTrayIcon* icon = tray_.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    const std::vector<Message> open{{platform::kCommandMessage, 32771}};
    emit icon->activated(QSystemTrayIcon::Trigger);
    // The callback message itself is the hook's; the owner sees the command.
    EXPECT_EQ(owner_.messages, open);
    owner_.messages.clear();
    emit icon->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_TRUE(owner_.messages.empty());

    emit icon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(owner_.messages, open);
    owner_.messages.clear();
    emit icon->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(owner_.messages.empty());
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(owner_.messages, open);

    // A notification for another icon id is not this icon's.
    owner_.messages.clear();
    platform::sendWindowMessage(&owner_, kTrayCallbackMessage, kTrayIconId + 1,
                                traymouse::LeftButtonDoubleClick);
    EXPECT_EQ(owner_.messages.size(), 0u);
}

// Under offscreen Qt takes a StatusNotifierItem host: one that asks for the
// menu through the right click's activation gets it at the pointer, once;
// the X11 tray, known by its double click, shows the menu itself.
TEST_F(CTrayIconTest, TheRightClicksActivationShowsTheMenuWhereTheHostDoesNot) {
    writeLanguage("1");
    ASSERT_TRUE(create());
    QSystemTrayIcon* icon = tray_.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    emit icon->activated(QSystemTrayIcon::Context);
    ASSERT_TRUE(tray_.menu()->isVisible());
    EXPECT_EQ(tray_.menu()->actions().first()->text(), "Open");
    const QRect shown = tray_.menu()->geometry();
    emit icon->activated(QSystemTrayIcon::Context);
    EXPECT_EQ(tray_.menu()->geometry(), shown) << "the open menu stays where it is";
    EXPECT_TRUE(owner_.messages.empty()) << "a right click opens no window";
    tray_.menu()->hide();

    emit icon->activated(QSystemTrayIcon::DoubleClick);
    owner_.messages.clear();
    emit icon->activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(tray_.menu()->isVisible());
    EXPECT_TRUE(owner_.messages.empty());
}

TEST_F(CTrayIconTest, AfterTheNotificationAreaRestartsTheIconIsBackWithItsTip) {
    ASSERT_TRUE(create(u"Arcton"));
    tray_.onTrayHostRestarted();
    EXPECT_TRUE(tray_.isActive());
    EXPECT_TRUE(tray_.findChild<QSystemTrayIcon*>()->isVisible());
    EXPECT_EQ(tray_.tip(), u"Arcton");
    EXPECT_EQ(iconColour(tray_.icon()), QColor(Qt::red).rgb());
    // A removed icon stays removed.
    tray_.remove();
    tray_.onTrayHostRestarted();
    EXPECT_FALSE(tray_.findChild<QSystemTrayIcon*>()->isVisible());
}

TEST_F(CTrayIconTest, TheOwnersHookEndsWithTheTrayIcon) {
    {
        CTrayIcon shortLived;
        ASSERT_TRUE(shortLived.create(&owner_, kTrayCallbackMessage, u"x", plainIcon(Qt::red),
                                      kTrayIconId));
    }
    // With the icon gone, its callback message reaches the owner itself.
    platform::sendWindowMessage(&owner_, kTrayCallbackMessage, kTrayIconId,
                                traymouse::LeftButtonDoubleClick);
    EXPECT_EQ(owner_.messages, (std::vector<Message>{{kTrayCallbackMessage, kTrayIconId}}));
}

TEST(TrayActivation, FollowsTheKindOfTrayQtUsesAndWhatTheHostReports) {
    const struct {
        const char* platform;
        bool statusNotifierHost;
        bool singleOpens;
        bool menuNeedsWindow;
    } rows[] = {
        {"xcb", false, false, false}, // the X11 tray: double clicks
        {"xcb", true, true, false},   // a StatusNotifierItem host on X11
        {"wayland", false, true, true},
        {"offscreen", false, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.platform);
        TrayActivation activation(row.platform, row.statusNotifierHost);
        // Qt shows the menu itself where a single click does nothing.
        EXPECT_EQ(activation.showsMenuOnRightClick(), row.singleOpens);
        EXPECT_EQ(activation.menuNeedsShownWindow(), row.menuNeedsWindow);
        EXPECT_EQ(activation.opensWindow(TrayActivation::Click::Single), row.singleOpens);
        EXPECT_TRUE(activation.opensWindow(TrayActivation::Click::Double));
        EXPECT_FALSE(activation.opensWindow(TrayActivation::Click::Single));
        EXPECT_FALSE(activation.showsMenuOnRightClick());
    }
}

TEST(TrayIconState, ChangesOnlyToAnotherIconAndRemembersTheNormalOne) {
    TrayIconState state;
    struct Step {
        int request;
        bool changes;
        int lastNormal;
    };
    const Step steps[] = {
        {141, true, 141}, {141, false, 141}, {142, true, 141}, {142, false, 141},
        {128, true, 128}, {142, true, 128},  {141, true, 141},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(state.change(step.request), step.changes) << step.request;
        EXPECT_EQ(state.current(), step.request);
        EXPECT_EQ(state.lastNormal(), step.lastNormal) << step.request;
    }
    state.clear();
    EXPECT_EQ(state.current(), 0);
    EXPECT_TRUE(state.change(141));
}

// The check mark follows the entry on disk each time the menu opens, also an
// entry written or removed by someone else; the item switches it.
TEST_F(CTrayIconTest, StartWithTheDesktopShowsAndSwitchesTheAutostartEntry) {
    const std::string entryPath = folder_.file("config/autostart/tavrik.desktop");
    tray_.setAutostartEntry(AutostartEntry(entryPath, "/usr/lib/tavrik/tavrik"));
    ASSERT_TRUE(create());
    QAction* item = tray_.menu()->actionOf(traycommand::StartWithDesktop);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isCheckable());
    const auto checkedWhenOpened = [&] {
        menuTexts();
        return item->isChecked();
    };
    EXPECT_FALSE(checkedWhenOpened());

    tray_.toggleStartWithDesktop();
    EXPECT_TRUE(std::filesystem::exists(entryPath));
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(checkedWhenOpened());

    std::filesystem::remove(entryPath);
    EXPECT_FALSE(checkedWhenOpened());
    AutostartEntry(entryPath, "/elsewhere/tavrik").setEnabled(true);
    EXPECT_TRUE(checkedWhenOpened());
    tray_.toggleStartWithDesktop();
    EXPECT_FALSE(std::filesystem::exists(entryPath));
    EXPECT_FALSE(item->isChecked());
}

TEST_F(CTrayIconTest, AnAutostartEntryThatCannotBeWrittenSaysSo) {
    testing::RecordingPrompter prompter;
    platform::installPrompter(&prompter);
    std::ofstream(folder_.file("config")) << "a file where the folder would be";
    const std::string entryPath = folder_.file("config/autostart/tavrik.desktop");
    tray_.setAutostartEntry(AutostartEntry(entryPath, "/usr/lib/tavrik/tavrik"));
    text::setLanguageText("AUTOSTART_FAILED", u"Not changed: %s");
    tray_.toggleStartWithDesktop();
    EXPECT_FALSE(tray_.menu()->actionOf(traycommand::StartWithDesktop)->isChecked());
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages().front(), u"Not changed: " + platform::toUtf16(entryPath));
    platform::installPrompter(nullptr);
}

} // namespace
} // namespace tavrik::app
