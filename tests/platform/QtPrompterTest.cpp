// The file dialogs as the user meets them: the real dialog, read while it
// runs and then cancelled.

#include "platform/QtPrompter.h"

#include "tests/support/GuiTestApplication.h"
#include "tests/support/TemporaryFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace tavrik::platform {
namespace {

struct ShownDialog {
    QString folder;
    QString name;
    QStringList filters;
};

// Runs `choose`, which opens a file dialog, and reads the dialog once it is
// the modal window; then cancels it.
ShownDialog whileShown(const std::function<std::optional<std::string>()>& choose) {
    ShownDialog shown;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        poll.stop();
        shown.folder = dialog->directory().absolutePath();
        const auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        shown.name = edit != nullptr ? edit->text() : QStringLiteral("<no name box>");
        shown.filters = dialog->nameFilters();
        dialog->reject();
    });
    poll.start();
    EXPECT_EQ(choose(), std::nullopt);
    return shown;
}

TEST(QtPrompter, FiltersShowEachPatternOnce) {
    const struct {
        std::u16string filter;
        QString shown;
    } cases[] = {
        {u"(*.fwc)|*.fwc|(*.*)|*.*||", QStringLiteral("(*.fwc);;(*)")},
        {u"Profiles|*.fwc||", QStringLiteral("Profiles (*.fwc)")},
        {u"Backups (*.tkb)|*.tkb||", QStringLiteral("Backups (*.tkb)")},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(qtFilterOf(entry.filter), entry.shown);
    }
}

TEST(QtPrompter, DialogsStartInTheirFolderWithTheNameBoxFilledForAName) {
    const testing::TemporaryFolder data;
    const testing::TemporaryFolder other;
    const std::u16string folder = QString::fromStdString(data.path()).toStdU16String();
    const std::u16string otherFolder = QString::fromStdString(other.path()).toStdU16String();
    const std::u16string filter = u"(*.fwc)|*.fwc|(*.*)|*.*||";
    const struct {
        FileDialogRequest request;
        bool save;
        std::string folder;
        QString name;
    } cases[] = {
        // Add: the user data folder and the new profile's name.
        {{u"fwc", folder + u"/New profile", filter, true, data.path()},
         true,
         data.path(),
         QStringLiteral("New profile")},
        // Load: the folder, and the pattern shown by the filter alone.
        {{u"fwc", folder + u"/*.fwc", filter, false, data.path()}, false, data.path(), QString()},
        // Without a folder of its own: the initial name's.
        {{u"fwc", otherFolder + u"/Mine.fwc", filter, true, {}},
         true,
         other.path(),
         QStringLiteral("Mine.fwc")},
        // Export and Import: "*.fwc" in the folder given.
        {FileDialogRequest::forExtension(u"fwc", true, other.path()), true, other.path(),
         QString()},
        {FileDialogRequest::forExtension(u"fwc", false, data.path()), false, data.path(),
         QString()},
    };
    QtPrompter prompter(nullptr);
    for (const auto& entry : cases) {
        const ShownDialog shown = whileShown([&] {
            return entry.save ? prompter.chooseSaveFile(entry.request)
                              : prompter.chooseOpenFile(entry.request);
        });
        EXPECT_EQ(shown.folder.toStdString(), std::filesystem::canonical(entry.folder).string());
        EXPECT_EQ(shown.name, entry.name);
        EXPECT_EQ(shown.filters, QStringList({"(*.fwc)", "(*)"}));
    }
}

} // namespace
} // namespace tavrik::platform
