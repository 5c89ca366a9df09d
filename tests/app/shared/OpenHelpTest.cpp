#include "app/shared/OpenHelp.h"

#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "platform/Unicode.h"
#include "tests/support/RecordingPorts.h"
#include "tests/support/TemporaryFolder.h"
#include "text/LanguageTexts.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace tavrik::app {
namespace {

class HelpCatcher final : public QObject {
    Q_OBJECT
public:
    HelpCatcher() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~HelpCatcher() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

// The page beside the program opens; where it cannot, the user is told
// where the guide is, rather than nothing happening.
TEST(OpenHelp, OpensTheHelpPageBesideTheProgramOrSaysWhereItIs) {
    HelpCatcher catcher;
    testing::RecordingPrompter prompter;
    platform::installPrompter(&prompter);
    text::resetLanguageTexts();
    platform::resetPathSet();
    EXPECT_FALSE(openHelp());

    testing::TemporaryFolder folder;
    const std::string page = folder.file("Help/index.html");
    platform::installPathSet(
        platform::buildPathSet(folder.file("tavrik"), folder.file("Documents")));
    EXPECT_FALSE(openHelp());
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0],
              u"The user guide could not be opened. It is at " + platform::toUtf16(page));

    std::filesystem::create_directories(folder.file("Help"));
    std::ofstream(page) << "<html></html>";
    EXPECT_TRUE(openHelp());
    EXPECT_EQ(prompter.messages().size(), 1u);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0], QUrl::fromLocalFile(QString::fromStdString(page)));
    platform::resetPathSet();
    platform::resetPorts();
}

} // namespace
} // namespace tavrik::app

#include "OpenHelpTest.moc"
