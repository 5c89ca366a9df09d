#include "app/mainwindow/BackgroundNotice.h"

#include "platform/SettingsStore.h"
#include "ui/LanguageQText.h"

#include <QMouseEvent>

namespace tavrik::app {
namespace {

constexpr std::u16string_view kSection = u"PROFILES";
constexpr std::u16string_view kSaidKey = u"BackgroundNoticeSaid";

constexpr const char* kStyleSheet =
    "QLabel { background: #1786a3; color: #ffffff; border: 1px solid #9fd8e6;"
    " border-radius: 4px; padding: 4px 10px; }";

} // namespace

BackgroundNotice::BackgroundNotice(QWidget& window, const QRect& place) : QLabel(&window) {
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    setWordWrap(true);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    setGeometry(place);
    hide();
}

bool BackgroundNotice::wasSaid() {
    return platform::readSetting(kSection, kSaidKey, u"0") == u"1";
}

bool BackgroundNotice::sayOnce() {
    if (wasSaid()) {
        return false;
    }
    setText(ui::languageQString("MAIN_BACKGROUND_NOTE"));
    raise();
    show();
    platform::writeSetting(kSection, kSaidKey, u"1");
    return true;
}

void BackgroundNotice::mousePressEvent(QMouseEvent* event) {
    hide();
    event->accept();
}

} // namespace tavrik::app
