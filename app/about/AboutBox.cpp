#include "app/about/AboutBox.h"

#include "app/shared/OpenHelp.h"
#include "app/shared/SettingsRoot.h"
#include "platform/ShellOpen.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrik::app {
namespace {

QString text(std::string_view key) {
    return QString::fromStdU16String(text::languageText(key)).trimmed();
}

} // namespace

AboutBox::AboutBox(std::string languageFile, QWidget* parent)
    : QDialog(parent), languageFile_(std::move(languageFile)), name_(new QLabel(this)),
      description_(new QLabel(this)), rights_(new QLabel(this)), link_(new QLabel(this)) {
    name_->setText(QString::fromLatin1(kApplicationName) + QLatin1Char(' ') +
                   QStringLiteral(TAVRIK_VERSION));
    QFont heading = name_->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    name_->setFont(heading);
    name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    description_->setWordWrap(true);
    link_->setTextFormat(Qt::RichText);
    link_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(link_, &QLabel::linkActivated, this,
            [](const QString& target) { platform::shellOpen(target.toStdString()); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { openHelp(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name_);
    layout->addWidget(description_);
    layout->addWidget(rights_);
    layout->addWidget(link_);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void AboutBox::present(const std::string& linkAddress) {
    text::loadTextGroup(languageFile_, text::TextGroup::About);
    setWindowTitle(text("MAIN_CAPTION"));
    description_->setText(text("GUANYU_JIESHAO"));
    rights_->setText(text("GUANYU_BANQUAN"));
    linkAddress_ = QString::fromStdString(linkAddress);
    link_->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                       .arg(linkAddress_.toHtmlEscaped(), linkAddress_.toHtmlEscaped()));
    show();
    raise();
    activateWindow();
}

QString AboutBox::nameAndVersion() const {
    return name_->text();
}

QString AboutBox::description() const {
    return description_->text();
}

QString AboutBox::rights() const {
    return rights_->text();
}

void AboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 || event->key() == Qt::Key_Help) {
        openHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tavrik::app
