#include "app/profiles/CTavrik_DlgProfile.h"

#include "app/profiles/ProfileList.h"
#include "app/profiles/ProfileSwitching.h"
#include "app/shared/OpenHelp.h"
#include "app/shared/QuietExit.h"
#include "device/Commands.h"
#include "platform/FileDialogs.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "platform/Unicode.h"
#include "sync/ProfileActivation.h"
#include "sync/ProfileFileStore.h"
#include "sync/WorkingFile.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"
#include "ui/SkinImageCache.h"
#include "ui/SkinPlacement.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <array>

namespace tavrik::app {
namespace {

// The state profile switching reads; one dialog is open at a time.
int openDialogs = 0;
CTavrik_DlgProfile* openDialog = nullptr;

constexpr std::array<const char*, 3> kImageFiles = {"Profile_normal.jpg", "Profile_over.jpg",
                                                    "Profile_down.jpg"};

constexpr std::array<const char*, 3> kHeaderKeys = {"PROFILE_HEADER_ACTIVE", "PROFILE_HEADER_NAME",
                                                    "PROFILE_HEADER_PATH"};
constexpr std::array<int, 3> kColumnWidths = {60, 120, 230};

constexpr std::u16string_view kFilter = u"(*.fwc)|*.fwc|(*.*)|*.*||";

// The buttons' images; the pressed image serves for the disabled state too.
ui::ButtonImages loadImagesOrExit(const std::string& skinFolder) {
    std::array<ui::SkinImage, kImageFiles.size()> images;
    for (std::size_t i = 0; i < images.size(); ++i) {
        images[i] = ui::skinImage(skinFolder + kImageFiles[i]);
        if (images[i].isNull()) {
            endProcessQuietly();
        }
    }
    return {images[0], images[1], images[2], images[2], images[2]};
}

std::string userFolder() {
    platform::ensureUserFolder();
    return platform::pathSet().userDataFolder;
}

// Both dialogs open in the user data folder. Add's name box holds the new
// profile's name (PROFILE_NEW, written after a separator); Load's initial
// name is a pattern, which the filter shows.
platform::FileDialogRequest addRequest() {
    std::u16string name = text::languageText("PROFILE_NEW");
    if (!name.empty() && (name.front() == u'/' || name.front() == u'\\')) {
        name.erase(0, 1);
    }
    const std::string folder = userFolder();
    return {u"fwc", platform::toUtf16(folder) + u"/" + name, std::u16string(kFilter), true, folder};
}

platform::FileDialogRequest loadRequest() {
    const std::string folder = userFolder();
    return {u"fwc", platform::toUtf16(folder) + u"/*.fwc", std::u16string(kFilter), false, folder};
}

QStringList headerTexts() {
    QStringList texts;
    for (const char* key : kHeaderKeys) {
        texts << QString::fromStdU16String(text::languageText(key));
    }
    return texts;
}

// The check boxes' frames are drawn in the list's text colour, so that an
// unchecked box stands out from the dark rows as a checked one does. A style
// sheet draws the headers too, which then take the list's colours.
const QString kListStyle =
    QStringLiteral("QHeaderView::section { background: #262d35; color: #d8dee6; border: none;"
                   " border-right: 1px solid #1b1f24; border-bottom: 1px solid #1b1f24;"
                   " padding: 2px 4px; }"
                   "QTableWidget::indicator { width: 13px; height: 13px; border: 1px solid #d8dee6;"
                   " border-radius: 2px; background: #1b1f24; }"
                   "QTableWidget::indicator:checked { background: #2bc4e8; border-color: #2bc4e8;"
                   " image: none; }");

QPalette darkListPalette(QPalette palette) {
    palette.setColor(QPalette::Base, QColor(0x1b, 0x1f, 0x24));
    palette.setColor(QPalette::AlternateBase, QColor(0x22, 0x27, 0x2e));
    palette.setColor(QPalette::Window, QColor(0x26, 0x2d, 0x35));
    palette.setColor(QPalette::Button, QColor(0x26, 0x2d, 0x35));
    for (const QPalette::ColorRole role :
         {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        palette.setColor(role, QColor(0xd8, 0xde, 0xe6));
    }
    palette.setColor(QPalette::Highlight, QColor(0x17, 0x5f, 0x74));
    return palette;
}

} // namespace

CTavrik_DlgProfile::CTavrik_DlgProfile(QWidget* parent)
    : CBaseDialog(platform::pathSet().profileSkinFile, parent) {
    ++openDialogs;
    open_ = true;
    openDialog = this;
    setWindowTitle(QString::fromStdU16String(text::languageText("MAIN_CAPTION")));
    createList();
    createButtons();
    fillList();
}

CTavrik_DlgProfile::~CTavrik_DlgProfile() {
    noteClosed();
}

int CTavrik_DlgProfile::openCount() {
    return openDialogs;
}

bool CTavrik_DlgProfile::isModified() {
    return openDialog != nullptr && openDialog->modified_;
}

void CTavrik_DlgProfile::showActiveProfile(int profile) {
    if (openDialog != nullptr) {
        openDialog->checkRow(profile);
        openDialog->setApplyEnabled(false);
    }
}

void CTavrik_DlgProfile::createList() {
    list_ = new QTableWidget(0, static_cast<int>(kHeaderKeys.size()), this);
    list_->setObjectName(QStringLiteral("PROGRAM_LIST"));
    list_->setHorizontalHeaderLabels(headerTexts());
    for (std::size_t column = 0; column < kColumnWidths.size(); ++column) {
        list_->setColumnWidth(static_cast<int>(column), kColumnWidths[column]);
    }
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->horizontalHeader()->setSectionsClickable(false);
    list_->verticalHeader()->hide();
    list_->setShowGrid(true);
    // One line per row: a long folder is shortened in the middle, and the
    // row's tip holds the whole path.
    list_->setWordWrap(false);
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setPalette(darkListPalette(list_->palette()));
    list_->setStyleSheet(kListStyle);
    ui::placeControl(*list_, layout(), u"PROGRAM_LIST");
    connect(list_, &QTableWidget::itemChanged, this, &CTavrik_DlgProfile::rowChanged);
}

void CTavrik_DlgProfile::createButtons() {
    const ui::ButtonImages images = loadImagesOrExit(skinFolder());
    const struct {
        int id;
        std::u16string_view key;
        void (CTavrik_DlgProfile::*command)();
    } buttons[] = {
        {kOkId, u"CONTROL_OK", &CTavrik_DlgProfile::acceptProfiles},
        {kCancelId, u"CONTROL_CANCEL", &CTavrik_DlgProfile::reject},
        {kAddId, u"FUNC_ADD", &CTavrik_DlgProfile::addProfile},
        {kLoadId, u"FUNC_LOAD", &CTavrik_DlgProfile::loadProfile},
        {kDeleteId, u"FUNC_DELETE", &CTavrik_DlgProfile::deleteProfile},
        {kApplyId, u"CONTROL2_APPLY", &CTavrik_DlgProfile::applyProfiles},
    };
    for (const auto& entry : buttons) {
        auto* button = new ui::CPngButton(this);
        ui::placeImageButton(*button, layout(), entry.key, images);
        buttons_[entry.id] = button;
        connect(button, &QAbstractButton::clicked, this, entry.command);
    }
}

ui::CPngButton* CTavrik_DlgProfile::button(int controlId) const {
    const auto found = buttons_.find(controlId);
    return found == buttons_.end() ? nullptr : found->second;
}

void CTavrik_DlgProfile::fillList() {
    filling_ = true;
    list_->setRowCount(0);
    if (const auto stored = storedProfileList()) {
        for (const std::string& path : *stored) {
            appendRow(path);
        }
    } else {
        for (int profile = 0; profile < sync::kProfileCount; ++profile) {
            appendRow(sync::workingFilePath(profile));
        }
    }
    filling_ = false;
    const int active = device::readActiveProfile();
    checkRow(active >= 0 && active < sync::kProfileCount ? active : -1);
    setApplyEnabled(false);
}

void CTavrik_DlgProfile::appendRow(const std::string& path) {
    const ProfileRow row = profileRowOf(path);
    const bool wasFilling = filling_;
    filling_ = true;
    const int at = list_->rowCount();
    list_->insertRow(at);
    // The first rows stand for the keyboard's profiles, which their number
    // beside the check box tells apart: all three name the working file.
    // Every cell's tip holds the whole path, which the row may shorten.
    const QString number = at < sync::kProfileCount ? QString::number(at + 1) : QString();
    const QString tip = QString::fromStdString(row.path);
    auto* check = new QTableWidgetItem(number);
    check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    check->setCheckState(Qt::Unchecked);
    check->setData(Qt::UserRole, QString::fromStdString(row.path));
    check->setToolTip(tip);
    list_->setItem(at, 0, check);
    for (const auto& [column, text] : {std::pair{1, row.name}, std::pair{2, row.folder}}) {
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setToolTip(tip);
        list_->setItem(at, column, item);
    }
    filling_ = wasFilling;
}

int CTavrik_DlgProfile::checkedRow() const {
    for (int row = 0; row < list_->rowCount(); ++row) {
        if (list_->item(row, 0)->checkState() == Qt::Checked) {
            return row;
        }
    }
    return -1;
}

std::string CTavrik_DlgProfile::rowPath(int row) const {
    const QTableWidgetItem* item = list_->item(row, 0);
    return item == nullptr ? std::string() : item->data(Qt::UserRole).toString().toStdString();
}

// Single-check mode: the row `row` alone is checked (none for a row outside
// the list).
void CTavrik_DlgProfile::checkRow(int row) {
    const bool wasFilling = filling_;
    filling_ = true;
    for (int other = 0; other < list_->rowCount(); ++other) {
        list_->item(other, 0)->setCheckState(other == row ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = wasFilling;
}

void CTavrik_DlgProfile::rowChanged(QTableWidgetItem* item) {
    if (filling_ || item->column() != 0) {
        return;
    }
    const int row = item->row();
    if (item->checkState() != Qt::Checked) {
        setApplyEnabled(true);
        return;
    }
    if (row >= sync::kProfileCount) {
        filling_ = true;
        item->setCheckState(Qt::Unchecked);
        filling_ = false;
        platform::prompter().showMessage(text::languageText("PROFILE_ROW_NOT_ACTIVE"), u"",
                                         platform::MessageIcon::None);
        return;
    }
    checkRow(row);
    setApplyEnabled(true);
}

void CTavrik_DlgProfile::addProfile() {
    const std::optional<std::string> path = platform::chooseSaveFile(addRequest());
    if (!path) {
        return;
    }
    if (!sync::writeDefaultProfile(*path, 0, false)) {
        platform::prompter().showMessage(
            text::formatWithText(text::languageText("PROFILE_NEW_FAILED"),
                                 QString::fromStdString(*path).toStdU16String()),
            u"", platform::MessageIcon::Warning);
        return;
    }
    appendRow(*path);
    setApplyEnabled(true);
}

void CTavrik_DlgProfile::loadProfile() {
    const std::optional<std::string> path = platform::chooseOpenFile(loadRequest());
    if (!path) {
        return;
    }
    appendRow(*path);
    setApplyEnabled(true);
}

void CTavrik_DlgProfile::deleteProfile() {
    const QList<QTableWidgetSelectionRange> ranges = list_->selectedRanges();
    if (ranges.isEmpty()) {
        return;
    }
    int row = ranges.first().topRow();
    for (const QTableWidgetSelectionRange& range : ranges) {
        row = std::min(row, range.topRow());
    }
    const int next = row + 1 < list_->rowCount() ? row + 1 : row - 1;
    if (next >= 0) {
        list_->selectRow(next);
    }
    list_->removeRow(row);
    // The rows below move up, and with them the profiles they stand for.
    filling_ = true;
    for (int below = row; below < list_->rowCount(); ++below) {
        list_->item(below, 0)->setText(below < sync::kProfileCount ? QString::number(below + 1)
                                                                   : QString());
    }
    filling_ = false;
    setApplyEnabled(true);
}

void CTavrik_DlgProfile::applyProfiles() {
    std::vector<std::string> paths;
    for (int row = 0; row < list_->rowCount(); ++row) {
        paths.push_back(rowPath(row));
    }
    storeProfileList(paths);
    const int checked = checkedRow();
    if (checked >= 0 && checked < sync::kProfileCount) {
        // Another profile is a switch: unapplied key changes are asked
        // about first, as a profile button asks.
        if (checked != device::readActiveProfile() && platform::mainWindow().isApplyEnabled() &&
            parentWidget() != nullptr) {
            ProfileSwitching::askToSaveChanges(*parentWidget());
        }
        sync::setActiveProfile(checked);
    }
    // The keyboard's switch report does all the rest: the working set, the
    // profile buttons, the lighting and the caption follow the keyboard. It
    // disables the main window's Apply when it replaces the working set;
    // unapplied key changes of the profile that stays active are kept.
    platform::mainWindow().sendMessage(platform::message::ProfileReload, platform::wparam::Prof);
    setApplyEnabled(false);
}

void CTavrik_DlgProfile::acceptProfiles() {
    applyProfiles();
    accept();
}

void CTavrik_DlgProfile::setApplyEnabled(bool enabled) {
    modified_ = enabled;
    button(kApplyId)->setEnabled(enabled);
}

void CTavrik_DlgProfile::noteClosed() {
    if (!open_) {
        return;
    }
    open_ = false;
    --openDialogs;
    if (openDialog == this) {
        openDialog = nullptr;
    }
}

void CTavrik_DlgProfile::done(int result) {
    noteClosed();
    CBaseDialog::done(result);
}

void CTavrik_DlgProfile::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 || event->key() == Qt::Key_Help) {
        openHelp();
        return;
    }
    CBaseDialog::keyPressEvent(event);
}

} // namespace tavrik::app
