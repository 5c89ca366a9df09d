#include "app/appprofiles/ApplicationProfilesDialog.h"

#include "app/appprofiles/ApplicationProfilesHost.h"
#include "app/shared/OpenHelp.h"
#include "app/shared/SkinFont.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"
#include "ui/LanguageQText.h"
#include "ui/SkinImageCache.h"
#include "ui/SkinPlacement.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>

namespace tavrik::app {
namespace {

constexpr int kProfileCount = 3;
const QString kMarker = QStringLiteral("\u25CF");

std::string layoutFile() {
    // Beside the profile manager's layout, in the program's skin folder.
    return platform::pathSet().profileSkinFolder + "AppProfiles.ini";
}

// A missing picture leaves the buttons without a face; their captions still
// show what they do.
ui::ButtonImages loadImages(const std::string& skinFolder) {
    const ui::SkinImage normal = ui::skinImage(skinFolder + "AppProfiles_normal.jpg");
    const ui::SkinImage over = ui::skinImage(skinFolder + "AppProfiles_over.jpg");
    const ui::SkinImage down = ui::skinImage(skinFolder + "AppProfiles_down.jpg");
    return {normal, over, down, down, down};
}

QString profileName(int profile) {
    return ui::qText(text::formatWithInteger(text::languageText("PROFILE_NUMBER"), profile + 1));
}

void fillProfiles(QComboBox& box) {
    for (int profile = 0; profile < kProfileCount; ++profile) {
        box.addItem(profileName(profile));
    }
}

// The profile manager's dark list, and fields and choosers that match it.
const QString kStyle = QStringLiteral(
    "QHeaderView::section { background: #262d35; color: #d8dee6; border: none;"
    " border-right: 1px solid #1b1f24; border-bottom: 1px solid #1b1f24; padding: 2px 4px; }"
    "QTableWidget { background: #1b1f24; alternate-background-color: #22272e; color: #d8dee6;"
    " gridline-color: #2d3239; selection-background-color: #175f74; border: none; }"
    "QLineEdit, QComboBox { background: #1b1f24; color: #d8dee6; border: 1px solid #343a42;"
    " border-radius: 3px; padding: 1px 4px; selection-background-color: #175f74; }"
    "QComboBox QAbstractItemView { background: #1b1f24; color: #d8dee6;"
    " selection-background-color: #175f74; }"
    "QLabel { color: #d8dee6; background: transparent; }");

} // namespace

ApplicationProfilesDialog::ApplicationProfilesDialog(ApplicationProfilesHost& host, QWidget* parent)
    : CBaseDialog(layoutFile(), parent), host_(host) {
    setWindowTitle(ui::languageQString("APPPROFILES_TITLE"));
    setStyleSheet(kStyle);
    setFont(skinFont(QStringLiteral("Tahoma"), 9));
    createControls();
    createList();
    createButtons();
    showRules();
}

ApplicationProfilesDialog::~ApplicationProfilesDialog() {
    endPick();
}

void ApplicationProfilesDialog::createControls() {
    title_ = new QLabel(ui::languageQString("APPPROFILES_TITLE"), this);
    title_->setFont(skinFont(QStringLiteral("Tahoma"), 11));
    ui::placeControl(*title_, layout(), u"APP_TITLE");
    auto* idPrompt = new QLabel(ui::languageQString("APPPROFILES_ID_PROMPT"), this);
    ui::placeControl(*idPrompt, layout(), u"APP_ID_PROMPT");
    idField_ = new QLineEdit(this);
    ui::placeControl(*idField_, layout(), u"APP_ID");
    newProfile_ = new QComboBox(this);
    fillProfiles(*newProfile_);
    ui::placeControl(*newProfile_, layout(), u"APP_PROFILE");
    pickState_ = new QLabel(this);
    pickState_->setWordWrap(true);
    ui::placeControl(*pickState_, layout(), u"APP_PICK_STATE");
    auto* defaultPrompt = new QLabel(ui::languageQString("APPPROFILES_DEFAULT_PROMPT"), this);
    ui::placeControl(*defaultPrompt, layout(), u"APP_DEFAULT_PROMPT");
    default_ = new QComboBox(this);
    default_->addItem(ui::languageQString("APPPROFILES_DEFAULT_NONE"));
    fillProfiles(*default_);
    ui::placeControl(*default_, layout(), u"APP_DEFAULT");
    defaultInForce_ = new QLabel(this);
    ui::placeControl(*defaultInForce_, layout(), u"APP_DEFAULT_IN_FORCE");
    connect(default_, &QComboBox::currentIndexChanged, this,
            &ApplicationProfilesDialog::changeDefault);
    connect(idField_, &QLineEdit::returnPressed, this, &ApplicationProfilesDialog::addRule);
}

void ApplicationProfilesDialog::createList() {
    list_ = new QTableWidget(0, 3, this);
    list_->setHorizontalHeaderLabels({ui::languageQString("APPPROFILES_HEADER_IN_FORCE"),
                                      ui::languageQString("APPPROFILES_HEADER_APP"),
                                      ui::languageQString("APPPROFILES_HEADER_PROFILE")});
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->horizontalHeader()->setSectionsClickable(false);
    list_->horizontalHeader()->setSectionResizeMode(kIdColumn, QHeaderView::Stretch);
    list_->setColumnWidth(kInForceColumn, 64);
    list_->setColumnWidth(kProfileColumn, 110);
    list_->verticalHeader()->hide();
    list_->setWordWrap(false);
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui::placeControl(*list_, layout(), u"APP_LIST");
}

void ApplicationProfilesDialog::createButtons() {
    const ui::ButtonImages images = loadImages(skinFolder());
    const struct {
        Button which;
        std::u16string_view key;
        const char* caption;
        void (ApplicationProfilesDialog::*command)();
    } buttons[] = {
        {Button::Add, u"APP_ADD", "APPPROFILES_ADD", &ApplicationProfilesDialog::addRule},
        {Button::Remove, u"APP_REMOVE", "APPPROFILES_REMOVE",
         &ApplicationProfilesDialog::removeRule},
        {Button::Pick, u"APP_PICK", "APPPROFILES_PICK", &ApplicationProfilesDialog::togglePick},
        {Button::Close, u"CONTROL_CLOSE", "APPPROFILES_CLOSE", &ApplicationProfilesDialog::reject},
    };
    for (const auto& entry : buttons) {
        auto* button = new ui::CPngButton(this);
        ui::placeImageButton(*button, layout(), entry.key, images);
        setSkinCaption(*button, ui::languageQString(entry.caption));
        buttons_[static_cast<std::size_t>(entry.which)] = button;
        connect(button, &QAbstractButton::clicked, this, entry.command);
    }
}

ui::CPngButton* ApplicationProfilesDialog::button(Button which) const {
    return buttons_[static_cast<std::size_t>(which)];
}

QComboBox* ApplicationProfilesDialog::profileChoice(int row) const {
    return qobject_cast<QComboBox*>(list_->cellWidget(row, kProfileColumn));
}

void ApplicationProfilesDialog::showRules() {
    filling_ = true;
    const ApplicationRules& rules = host_.rules();
    list_->setRowCount(0);
    for (const ApplicationRule& rule : rules.rules()) {
        const int row = list_->rowCount();
        list_->insertRow(row);
        auto* marker = new QTableWidgetItem();
        marker->setTextAlignment(Qt::AlignCenter);
        list_->setItem(row, kInForceColumn, marker);
        auto* id = new QTableWidgetItem(QString::fromStdString(rule.id));
        id->setToolTip(id->text());
        list_->setItem(row, kIdColumn, id);
        auto* profile = new QComboBox(list_);
        fillProfiles(*profile);
        profile->setCurrentIndex(rule.profile);
        connect(profile, &QComboBox::currentIndexChanged, this, [this, profile](int index) {
            for (int at = 0; at < list_->rowCount(); ++at) {
                if (list_->cellWidget(at, kProfileColumn) == profile) {
                    changeProfile(at, index);
                    return;
                }
            }
        });
        list_->setCellWidget(row, kProfileColumn, profile);
    }
    default_->setCurrentIndex(rules.defaultProfile() ? *rules.defaultProfile() + 1 : 0);
    filling_ = false;
    showInForce();
}

// The rule the keyboard follows now; the default's mark where no rule chose.
void ApplicationProfilesDialog::showInForce() {
    const std::optional<RuleChoice> inForce = host_.inForce();
    const ApplicationRule* chosen =
        inForce && !inForce->ruleId.empty() ? host_.rules().find(inForce->ruleId) : nullptr;
    for (int row = 0; row < list_->rowCount(); ++row) {
        const bool marked =
            chosen != nullptr && list_->item(row, kIdColumn)->text().toStdString() == chosen->id;
        list_->item(row, kInForceColumn)->setText(marked ? kMarker : QString());
    }
    const bool byDefault = inForce && inForce->ruleId.empty();
    defaultInForce_->setText(byDefault ? ui::languageQString("APPPROFILES_IN_FORCE") : QString());
}

bool ApplicationProfilesDialog::keep(const ApplicationRules& changed) {
    const bool kept = host_.changeRules(changed);
    if (!kept) {
        platform::prompter().showMessage(text::languageText("APPPROFILES_NOT_SAVED"), u"",
                                         platform::MessageIcon::Warning);
    }
    showRules();
    return kept;
}

void ApplicationProfilesDialog::addRule() {
    ApplicationRules changed = host_.rules();
    if (!changed.set(idField_->text().toStdString(), newProfile_->currentIndex())) {
        return;
    }
    // A refused rule's id stays for another try.
    if (keep(changed)) {
        idField_->clear();
    }
}

void ApplicationProfilesDialog::removeRule() {
    const int row = list_->currentRow();
    if (row < 0 || list_->item(row, kIdColumn) == nullptr) {
        return;
    }
    ApplicationRules changed = host_.rules();
    if (changed.unset(list_->item(row, kIdColumn)->text().toStdString())) {
        keep(changed);
    }
}

void ApplicationProfilesDialog::changeProfile(int row, int index) {
    if (filling_) {
        return;
    }
    ApplicationRules changed = host_.rules();
    if (changed.set(list_->item(row, kIdColumn)->text().toStdString(), index)) {
        keep(changed);
    }
}

void ApplicationProfilesDialog::changeDefault(int index) {
    if (filling_) {
        return;
    }
    ApplicationRules changed = host_.rules();
    changed.setDefault(index > 0 ? std::optional<int>(index - 1) : std::nullopt);
    keep(changed);
}

void ApplicationProfilesDialog::togglePick() {
    if (picking_) {
        endPick();
        pickState_->clear();
        return;
    }
    // The host may outlive the dialog; a pick that comes late finds none.
    const QPointer<ApplicationProfilesDialog> self(this);
    const bool started = host_.pickNextFocus([self](const FocusedApplication& application) {
        if (self != nullptr) {
            self->picked(application.id.empty() ? application.instance : application.id);
        }
    });
    if (!started) {
        pickState_->setText(ui::languageQString("APPPROFILES_PICK_UNAVAILABLE"));
        return;
    }
    picking_ = true;
    pickState_->setText(ui::languageQString("APPPROFILES_PICK_WAITING"));
    setSkinCaption(*button(Button::Pick), ui::languageQString("APPPROFILES_PICK_CANCEL"));
}

void ApplicationProfilesDialog::picked(const std::string& id) {
    picking_ = false;
    setSkinCaption(*button(Button::Pick), ui::languageQString("APPPROFILES_PICK"));
    pickState_->clear();
    idField_->setText(QString::fromStdString(id));
    idField_->setFocus();
}

void ApplicationProfilesDialog::endPick() {
    if (!picking_) {
        return;
    }
    picking_ = false;
    host_.cancelPick();
    if (button(Button::Pick) != nullptr) {
        setSkinCaption(*button(Button::Pick), ui::languageQString("APPPROFILES_PICK"));
    }
}

void ApplicationProfilesDialog::done(int result) {
    endPick();
    pickState_->clear();
    CBaseDialog::done(result);
}

void ApplicationProfilesDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 || event->key() == Qt::Key_Help) {
        openHelp();
        return;
    }
    CBaseDialog::keyPressEvent(event);
}

void ApplicationProfilesDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        showInForce();
    }
    CBaseDialog::changeEvent(event);
}

} // namespace tavrik::app
