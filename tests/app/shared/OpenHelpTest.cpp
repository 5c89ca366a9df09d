#include "app/shared/OpenHelp.h"

#include "platform/PathSet.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
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

TEST(OpenHelp, OpensTheHelpPageBesideTheProgram) {
    HelpCatcher catcher;
    platform::resetPathSet();
    EXPECT_FALSE(openHelp());
    platform::installPathSet(platform::buildPathSet("/opt/tavrik/tavrik", "/home/user/Documents"));
    EXPECT_TRUE(openHelp());
    platform::resetPathSet();
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0], QUrl::fromLocalFile("/opt/tavrik/Help/index.html"));
}

} // namespace
} // namespace tavrik::app

#include "OpenHelpTest.moc"
