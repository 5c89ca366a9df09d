#include "app/compositeeditor/Tavrik_DlgComposite.h"

#include "app/compositeeditor/CompositePanelPort.h"
#include "app/compositeeditor/CompositePlacement.h"
#include "app/compositeeditor/MacroSection.h"
#include "app/compositeeditor/RecordPausesOption.h"
#include "app/shared/OpenHelp.h"
#include "app/shared/SkinFont.h"
#include "keyboard/AssignmentTable.h"
#include "keyboard/Catalogues.h"
#include "keyboard/KeyTable.h"
#include "platform/OnScreenKeyboard.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "sync/KeyAssignmentEdit.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"
#include "ui/CPngButton.h"
#include "ui/LanguageQText.h"
#include "ui/SkinPlacement.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QScreen>

namespace tavrik::app {
namespace {

// "tavrik.editor.debug=true" in QT_LOGGING_RULES tells where the editor opens.
Q_LOGGING_CATEGORY(editorLog, "tavrik.editor", QtInfoMsg)

using keyboard::AssignmentType;
using ui::languageQString;

// The name of the edited key: a G key by the slot its bank shows ("A1" ..
// "B9"), any other by its name in the key table.
std::u16string editedKeyName(int row) {
    const int slot = row - keyboard::kFirstGKeyRow;
    if (slot >= 0 && slot < keyboard::kGKeySlotCount) {
        const char16_t bank = slot < keyboard::kGKeyCount ? u'A' : u'B';
        return {bank, static_cast<char16_t>(u'1' + slot % keyboard::kGKeyCount)};
    }
    return keyboard::keyName(keyboard::keyCodeOfIndex(static_cast<keyboard::KeyIndex>(row)));
}

struct FramePlace {
    Tavrik_DlgComposite::FrameButton button;
    std::u16string_view skinKey;
};

constexpr FramePlace kFrameButtons[] = {
    {Tavrik_DlgComposite::FrameButton::Title, u"CONTROL_TITLE"},
    {Tavrik_DlgComposite::FrameButton::OnScreenKeyboard, u"CONTROL_OSK"},
    {Tavrik_DlgComposite::FrameButton::Default, u"CONTROL_CLEAR"},
    {Tavrik_DlgComposite::FrameButton::Key, u"CONTROL_KEY"},
    {Tavrik_DlgComposite::FrameButton::Macro, u"CONTROL_MACRO"},
    {Tavrik_DlgComposite::FrameButton::Media, u"CONTROL_MEDIA"},
    {Tavrik_DlgComposite::FrameButton::Function, u"CONTROL_FUNCTION"},
    {Tavrik_DlgComposite::FrameButton::Ok, u"CONTROL_OK"},
    {Tavrik_DlgComposite::FrameButton::Cancel, u"CONTROL_CANCEL"},
};

// The buttons the macro-only editor disables and shows in the macro2 set.
constexpr Tavrik_DlgComposite::FrameButton kKeyOnlyButtons[] = {
    Tavrik_DlgComposite::FrameButton::Default, Tavrik_DlgComposite::FrameButton::Key,
    Tavrik_DlgComposite::FrameButton::Media, Tavrik_DlgComposite::FrameButton::Function};

constexpr std::uint32_t kMacroIdMask = 0xFFFF;

// The skin draws the dialog dark; the toolkit's fields follow it.
constexpr const char* kStyleSheet = R"(
QLabel, QCheckBox { color: #dfe5ec; }
QLineEdit, QComboBox {
    background: #0f1114; color: #dfe5ec; border: 1px solid #2d3239; border-radius: 3px;
    padding: 1px 4px; selection-background-color: #1786a3;
}
QComboBox { combobox-popup: 0; }
QLineEdit:disabled, QComboBox:disabled { color: #6b737c; }
QComboBox QAbstractItemView {
    background: #15181c; color: #dfe5ec; selection-background-color: #1786a3;
}
QTableView {
    background: #0f1114; color: #dfe5ec; border: 1px solid #2d3239;
    selection-background-color: #1786a3; selection-color: #ffffff;
}
QHeaderView { background: #1b1f24; border: none; }
QHeaderView::section {
    background: #1b1f24; color: #9aa3ad; border: none; border-right: 1px solid #2d3239;
    padding: 2px 4px;
}
)";

std::size_t slot(Tavrik_DlgComposite::FrameButton button) {
    return static_cast<std::size_t>(button);
}

bool isEnterOrEscape(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

bool isHelpKey(int key) {
    return key == Qt::Key_F1 || key == Qt::Key_Help;
}

// What the editor laid over the main window keeps from the rest of it while
// it is open, as a modal window would.
bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ContextMenu:
    case QEvent::ToolTip:
        return true;
    default:
        return false;
    }
}

QString rectangleText(const QRect& rectangle) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rectangle.x())
        .arg(rectangle.y())
        .arg(rectangle.width())
        .arg(rectangle.height());
}

} // namespace

Tavrik_DlgComposite::Tavrik_DlgComposite(CompositePanelPort& panel, QWidget* parent)
    : CBaseDialog(platform::pathSet().compositeSkinFile, parent), panel_(panel),
      images_(loadCompositeSkinImages(skinFolder())), hooks_(*this) {
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    createFrame();
    createKeySection();
    createListSection(mediaList_, mediaLabel_, u"FUNC_MEDIA_SELECT", u"MEDIA_SETTING_TISHI");
    createListSection(functionList_, functionLabel_, u"FUNC_FUNCTION_SELECT",
                      u"FUNCTION_KEY_SETTING_TISHI");
    macroSection_ = new MacroSection(*this, layout(), images_, hooks_);
    connectFrame();
    if (parent != nullptr &&
        !windowsPlaceThemselves(QGuiApplication::platformName().toStdString())) {
        layOverParent();
    }
}

void Tavrik_DlgComposite::layOverParent() {
    if (parentWidget() == nullptr || !isWindow()) {
        return;
    }
    setWindowFlags(Qt::Widget);
    hide();
    // Tab must not walk out of the editor into the window beneath it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (open_ && !isWindow() && now != nullptr && now->window() == window() && !isInside(now)) {
            setFocus(Qt::OtherFocusReason);
        }
    });
}

bool Tavrik_DlgComposite::isInside(const QWidget* widget) const {
    return widget == this || isAncestorOf(widget);
}

Tavrik_DlgComposite::~Tavrik_DlgComposite() {
    if (open_) {
        closeEditor();
    }
}

// Construction.

void Tavrik_DlgComposite::createFrame() {
    // The section area lies beneath every control of the sections.
    sectionArea_ = new ui::CPngButton(this);
    ui::placeImageButton(*sectionArea_, layout(), u"CONTROL_MASK", images_.key);
    sectionArea_->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (const FramePlace& place : kFrameButtons) {
        auto* button = new ui::CPngButton(this);
        ui::placeImageButton(*button, layout(), place.skinKey, images_.key);
        frame_[slot(place.button)] = button;
    }
    frameButton(FrameButton::Title).setAttribute(Qt::WA_TransparentForMouseEvents);
    for (const FrameButton section :
         {FrameButton::Key, FrameButton::Macro, FrameButton::Media, FrameButton::Function}) {
        frameButton(section).setCheckable(true);
    }
    title_ = new QLabel(this);
    title_->setFont(skinFont(QStringLiteral("Tahoma"), 10));
    ui::placeControl(*title_, layout(), u"KEY_SETTING");
}

void Tavrik_DlgComposite::createKeySection() {
    keyLabel_ = new QLabel(this);
    ui::placeControl(*keyLabel_, layout(), u"TISHI_SINGLE_STATIC");
    keyField_ = new QLineEdit(this);
    keyField_->setReadOnly(true);
    keyField_->setFocusPolicy(Qt::NoFocus);
    ui::placeControl(*keyField_, layout(), u"FUNC_KEY_INPUT");
}

void Tavrik_DlgComposite::createListSection(QComboBox*& list, QLabel*& label,
                                            std::u16string_view listKey,
                                            std::u16string_view labelKey) {
    label = new QLabel(this);
    ui::placeControl(*label, layout(), labelKey);
    list = new QComboBox(this);
    ui::placeControl(*list, layout(), listKey);
    connect(list, &QComboBox::activated, this, [this] { setModified(); });
}

void Tavrik_DlgComposite::connectFrame() {
    const auto onClick = [this](FrameButton which, auto action) {
        connect(&frameButton(which), &QAbstractButton::clicked, this, action);
    };
    onClick(FrameButton::Key, [this] {
        if (mode_ != AssignmentType::SingleKey && mode_ != AssignmentType::Default) {
            chooseSection(AssignmentType::SingleKey);
        }
        setSectionLooks();
    });
    onClick(FrameButton::Macro, [this] { chooseSection(AssignmentType::PlayMacro); });
    onClick(FrameButton::Media, [this] { chooseSection(AssignmentType::Media); });
    onClick(FrameButton::Function, [this] { chooseSection(AssignmentType::Function); });
    onClick(FrameButton::Default, [this] { restoreDefault(); });
    onClick(FrameButton::OnScreenKeyboard, [this] { openOnScreenKeyboard(); });
    onClick(FrameButton::Ok, [this] {
        apply();
        accept();
    });
    onClick(FrameButton::Cancel, [this] { reject(); });
    connect(macroSection_, &MacroSection::modified, this, [this] { setModified(); });
}

ui::CPngButton& Tavrik_DlgComposite::frameButton(FrameButton which) const {
    return *frame_[slot(which)];
}

// Opening.

void Tavrik_DlgComposite::begin(const CompositeEditorRequest& request) {
    if (open_) {
        return;
    }
    request_ = request;
    macroOnly_ = request.controlId == kMacroKeyButtonId || request.macroButton;
    open_ = true;
    ++openCount_;
    // Before the hooks, so that the single-key field still gets Enter, Escape
    // and the help key while it captures.
    QCoreApplication::instance()->installEventFilter(this);
    loadTexts();
    loadRecordPausesOption();
    fillLists();
    macroSection_->setCyclesText(QStringLiteral("1"));
    macroSection_->fillSelector();
    modified_ = false;
    firstMacroSwitch_ = true;
    readKey();
    applyMacroOnlyLook();
    singleKey_ = 0;
    keyField_->clear();
    showSection(true);
    modified_ = false;
    placeBesideKey();
    if (isWindow()) {
        setWindowModality(Qt::ApplicationModal);
    }
    show();
    if (!isWindow()) {
        raise();
        setFocus(Qt::OtherFocusReason);
    }
}

int Tavrik_DlgComposite::edit(const CompositeEditorRequest& request) {
    if (open_) {
        return Rejected;
    }
    begin(request);
    return exec();
}

void Tavrik_DlgComposite::loadTexts() {
    text::loadTextGroup(platform::pathSet().languageFile, text::TextGroup::Composite);
    setSkinCaption(frameButton(FrameButton::Key), languageQString("SINGLE_KEY"));
    setSkinCaption(frameButton(FrameButton::Macro), languageQString("MACRO_SETTING"));
    setSkinCaption(frameButton(FrameButton::Media), languageQString("MULTI_MEDIA"));
    setSkinCaption(frameButton(FrameButton::Function), languageQString("FUNCTION_KEY"));
    setSkinCaption(frameButton(FrameButton::Ok), languageQString("MACRO_OK"));
    setSkinCaption(frameButton(FrameButton::Cancel), languageQString("MACRO_CANCLE"));
    frameButton(FrameButton::Default).setToolTip(languageQString("COMPOSITE_PROMPT_CLEAR"));
    frameButton(FrameButton::OnScreenKeyboard).setToolTip(languageQString("COMPOSITE_PROMPT_OSK"));
    keyLabel_->setText(languageQString("SINGLE_STATIC"));
    mediaLabel_->setText(languageQString("MEDIA_EDIT_TISHI"));
    functionLabel_->setText(languageQString("FUNCTION_TISHI"));
    title_->setText(macroOnly_
                        ? languageQString("MACRO_EDIT_TISHI")
                        : ui::qText(text::formatWithText(text::languageText("KEY_SETTING_OF"),
                                                         editedKeyName(request_.row))));
    macroSection_->loadTexts();
}

QString Tavrik_DlgComposite::title() const {
    return title_->text();
}

// Loading the option saves it again, so a stray stored value becomes 0.
void Tavrik_DlgComposite::loadRecordPausesOption() {
    macroSection_->setRecordPauses(saveRecordPauses(loadRecordPauses()));
}

void Tavrik_DlgComposite::fillLists() {
    mediaList_->clear();
    for (const keyboard::MediaEntry& entry : keyboard::MediaCatalogue) {
        mediaList_->addItem(ui::qText(keyboard::keyName(entry.keyCode)));
    }
    mediaList_->setCurrentIndex(0);
    functionList_->clear();
    for (std::uint32_t index = 0; index < keyboard::kFunctionCount; ++index) {
        functionList_->addItem(ui::qText(keyboard::functionText(index)));
    }
    functionList_->setCurrentIndex(0);
}

// Without an active profile there is no record to show: the editor opens on
// the key's own function, and Apply says that it cannot write.
void Tavrik_DlgComposite::readKey() {
    const std::optional<keyboard::KeyAssignment> record =
        sync::readEditedKey(request_.row, request_.page);
    mode_ = record ? record->type : AssignmentType::Default;
    storedValue_ = record ? record->value : 0;
}

void Tavrik_DlgComposite::applyMacroOnlyLook() {
    if (macroOnly_) {
        mode_ = AssignmentType::PlayMacro;
    }
    const ui::ButtonImages& set = macroOnly_ ? images_.macroOnly : images_.key;
    ui::CPngButton& title = frameButton(FrameButton::Title);
    title.setImages(set, title.imageOrigin());
    for (const FrameButton which : kKeyOnlyButtons) {
        ui::CPngButton& button = frameButton(which);
        button.setImages(set, button.imageOrigin());
        button.setEnabled(!macroOnly_ && ui::isSkinPlaced(button));
    }
}

void Tavrik_DlgComposite::placeBesideKey() {
    const std::optional<QRect> button = panel_.keyButtonOnScreen(request_.controlId);
    if (!isWindow()) {
        placeOverParent(button);
        return;
    }
    if (!button) {
        return;
    }
    const QScreen* screen = QGuiApplication::screenAt(button->center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen != nullptr) {
        move(placeBesideButton(*button, size(), screen->geometry()));
        qCDebug(editorLog).noquote() << "editor placed" << rectangleText(geometry()) << "beside key"
                                     << rectangleText(*button) << "on the screen";
    }
}

// Positions inside the window are the window's own to give, wherever the
// compositor put it: the key's place on the screen is taken back into it.
void Tavrik_DlgComposite::placeOverParent(const std::optional<QRect>& buttonOnScreen) {
    const QWidget& window = *parentWidget();
    const QRegion area = window.mask().isEmpty() ? QRegion(window.rect()) : window.mask();
    if (!buttonOnScreen) {
        const QRect middle(QPoint(0, 0), size());
        move(window.rect().center() - middle.center());
        return;
    }
    const QRect button(window.mapFromGlobal(buttonOnScreen->topLeft()), buttonOnScreen->size());
    move(placeBesideButtonWithin(button, size(), area));
    qCDebug(editorLog).noquote() << "editor placed" << rectangleText(geometry()) << "beside key"
                                 << rectangleText(button) << "in the window";
}

// Sections.

void Tavrik_DlgComposite::showSection(bool initial) {
    switch (mode_) {
    case AssignmentType::PlayMacro:
        hooks_.stopCapture();
        showMacroSection(initial);
        break;
    case AssignmentType::Media:
        showListSection(*mediaList_, initial);
        break;
    case AssignmentType::Function:
        showListSection(*functionList_, initial);
        break;
    default:
        // The single-key section also shows a key whose record no section
        // makes (a program or a text from a profile file), with an empty field.
        macroSection_->stopRecording();
        hooks_.startCapture();
        if (initial && mode_ == AssignmentType::SingleKey) {
            singleKey_ = static_cast<keyboard::KeyCode>(storedValue_);
        }
        if (mode_ == AssignmentType::SingleKey && singleKey_ != 0) {
            keyField_->setText(ui::qText(keyboard::keyName(singleKey_)));
        }
        break;
    }
    setSectionLooks();
}

// The media and function sections: opened on the stored entry, if the list has it.
void Tavrik_DlgComposite::showListSection(QComboBox& list, bool initial) {
    hooks_.stopCapture();
    macroSection_->stopRecording();
    if (initial && storedValue_ < static_cast<std::uint32_t>(list.count())) {
        list.setCurrentIndex(static_cast<int>(storedValue_));
    }
}

void Tavrik_DlgComposite::showMacroSection(bool initial) {
    const std::uint32_t storedId = storedValue_ & kMacroIdMask;
    if (initial) {
        const std::optional<int> stored =
            storedId != 0 ? macroSection_->indexOfId(static_cast<std::uint16_t>(storedId))
                          : std::nullopt;
        macroSection_->selectMacro(stored.value_or(0));
        macroSection_->loadSelectedMacro();
    } else if (firstMacroSwitch_) {
        firstMacroSwitch_ = false;
        if (storedId == 0) {
            macroSection_->saveActionList(macroSection_->selectedMacro());
            macroSection_->selectMacro(0);
            macroSection_->loadSelectedMacro();
        }
    }
}

void Tavrik_DlgComposite::setSectionLooks() {
    const bool keySection = mode_ != AssignmentType::PlayMacro && mode_ != AssignmentType::Media &&
                            mode_ != AssignmentType::Function;
    const auto shows = [this, keySection](FrameButton which) {
        switch (which) {
        case FrameButton::Key:
            return keySection;
        case FrameButton::Macro:
            return mode_ == AssignmentType::PlayMacro;
        case FrameButton::Media:
            return mode_ == AssignmentType::Media;
        default:
            return mode_ == AssignmentType::Function;
        }
    };
    for (const FrameButton which :
         {FrameButton::Key, FrameButton::Macro, FrameButton::Media, FrameButton::Function}) {
        // A key of a type no section makes shows the key section unpressed.
        frameButton(which).setChecked(shows(which) &&
                                      (which != FrameButton::Key || sync::isEditorMode(mode_)));
    }
    keyLabel_->setVisible(keySection);
    keyField_->setVisible(keySection);
    mediaLabel_->setVisible(shows(FrameButton::Media));
    mediaList_->setVisible(shows(FrameButton::Media));
    functionLabel_->setVisible(shows(FrameButton::Function));
    functionList_->setVisible(shows(FrameButton::Function));
    macroSection_->setShown(shows(FrameButton::Macro));
    const ui::ButtonImages& area = shows(FrameButton::Macro)      ? images_.macro
                                   : shows(FrameButton::Media)    ? images_.media
                                   : shows(FrameButton::Function) ? images_.function
                                                                  : images_.key;
    sectionArea_->setImages(ui::ButtonImages::all(area.normal), sectionArea_->imageOrigin());
}

void Tavrik_DlgComposite::chooseSection(AssignmentType mode) {
    if (mode_ != mode) {
        mode_ = mode;
        showSection(false);
        setModified();
    }
    setSectionLooks();
}

void Tavrik_DlgComposite::restoreDefault() {
    if (mode_ != AssignmentType::SingleKey && mode_ != AssignmentType::Default) {
        chooseSection(AssignmentType::SingleKey);
    }
    if (mode_ == AssignmentType::SingleKey) {
        keyField_->clear();
        mode_ = AssignmentType::Default;
        setModified();
    }
    setSectionLooks();
}

void Tavrik_DlgComposite::openOnScreenKeyboard() {
    if (!platform::startOnScreenKeyboard()) {
        platform::prompter().showMessage(text::languageText("COMPOSITE_NO_OSK"));
    }
}

// Recording and capture.

void Tavrik_DlgComposite::addRecordedAction(std::int32_t pause, keyboard::KeyCode key,
                                            std::uint16_t direction, bool) {
    macroSection_->addRecordedAction(pause, key, direction);
}

void Tavrik_DlgComposite::takeSingleKey(keyboard::KeyCode key) {
    singleKey_ = key;
    keyField_->setText(ui::qText(keyboard::keyName(key)));
    mode_ = AssignmentType::SingleKey;
    setModified();
    setSectionLooks();
}

// Enter and Escape never reach the editor's controls, so neither closes it
// or picks an entry; an open cell editor of the action list keeps them to
// end its edit. The help key opens the user guide unless recording runs.
bool Tavrik_DlgComposite::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return false;
    }
    if (!isWindow() && isUserInput(type) && widget->window() == window() && !isInside(widget)) {
        return true;
    }
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !isInside(widget)) {
        return false;
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (isEnterOrEscape(key)) {
        const QWidget* cellEditor = macroSection_->openCellEditor();
        return cellEditor == nullptr || (widget != cellEditor && !cellEditor->isAncestorOf(widget));
    }
    if (isHelpKey(key)) {
        if (type == QEvent::KeyPress && !macroSection_->isRecording()) {
            openHelp();
        }
        return true;
    }
    return false;
}

// Apply, OK, Cancel and closing.

bool Tavrik_DlgComposite::apply() {
    macroSection_->commitOpenEdit();
    macroSection_->stopRecording();
    macroSection_->saveActionList(macroSection_->selectedMacro());
    sync::EditorChoice choice;
    choice.mode = mode_;
    choice.singleKey = singleKey_;
    choice.mediaIndex = static_cast<std::uint32_t>(std::max(0, mediaList_->currentIndex()));
    choice.functionIndex = static_cast<std::uint32_t>(std::max(0, functionList_->currentIndex()));
    choice.macroListEmpty = macroSection_->copies().empty();
    choice.selectedMacro = macroSection_->selectedMacro();
    choice.cycles = macroSection_->cycles();
    if (sync::applyEditorChoice(request_.row, request_.page, macroSection_->copies(), choice) !=
        sync::EditorApplyResult::Applied) {
        return false;
    }
    macroSection_->clearNewFlags();
    panel_.refreshDescriptions();
    modified_ = false;
    return true;
}

void Tavrik_DlgComposite::done(int result) {
    if (open_) {
        closeEditor();
    }
    CBaseDialog::done(result);
}

// The key's button gets its normal look back from the click that opened the
// editor, once the editor has closed.
void Tavrik_DlgComposite::closeEditor() {
    hooks_.stopCapture();
    macroSection_->stopRecording();
    macroSection_->clearSection();
    modified_ = false;
    --openCount_;
    open_ = false;
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

} // namespace tavrik::app
