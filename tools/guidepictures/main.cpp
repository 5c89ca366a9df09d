// guidepictures PROGRAM_FOLDER PICTURE: draws the user guide's picture of the
// composite editor into PICTURE, from the skin and the language file in
// PROGRAM_FOLDER. Runs at build time, without a display and without a
// keyboard: the editor is opened by the macro button, with two sample
// macros, as a user sees it after recording one.

#include "app/compositeeditor/ActionListModel.h"
#include "app/compositeeditor/CompositePanelPort.h"
#include "app/compositeeditor/MacroSection.h"
#include "app/compositeeditor/Tavrik_DlgComposite.h"
#include "platform/PathSet.h"
#include "sync/DataSets.h"
#include "text/LanguageFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

using namespace tavrik;

// The picture shows the editor on its own, beside no key.
class NoPanel final : public app::CompositePanelPort {
public:
    void refreshDescriptions() override {}
    std::optional<QRect> keyButtonOnScreen(int) const override { return std::nullopt; }
};

macro::MacroRecord sampleMacro(std::uint16_t id, std::u16string_view name, std::uint8_t cycles,
                               std::vector<macro::MacroAction> actions) {
    macro::MacroRecord record;
    record.setId(id);
    record.setName(name);
    record.setCycles(cycles);
    record.setActions(actions);
    return record;
}

void fillSampleMacros() {
    constexpr keyboard::KeyCode kCtrl = 0x1D, kShift = 0x2A, kW = 0x11, kC = 0x2E, kV = 0x2F;
    const sync::DataSetLock lock = sync::lockWorkingSet();
    sync::workingSet().macros = {
        sampleMacro(1, u"Copy and paste", 1,
                    {{30, kCtrl, 0},
                     {40, kC, 0},
                     {30, kC, 1},
                     {200, kCtrl, 1},
                     {30, kCtrl, 0},
                     {40, kV, 0},
                     {30, kV, 1},
                     {0, kCtrl, 1}}),
        sampleMacro(2, u"Sprint", 3,
                    {{60, kShift, 0},
                     {120, kW, 0},
                     {450, kW, 1},
                     {80, kShift, 1},
                     {250, kW, 0},
                     {90, kW, 1}}),
    };
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        err << "usage: guidepictures PROGRAM_FOLDER PICTURE\n";
        return 2;
    }
    // The editor keeps its option in the settings store: here a throwaway one.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrik_Lumora"));
    platform::installPathSet(platform::buildPathSet(arguments[1].toStdString() + "/tavrik",
                                                    settings.path().toStdString()));
    text::loadLanguageTexts(platform::pathSet().languageFile);
    fillSampleMacros();

    NoPanel panel;
    app::Tavrik_DlgComposite editor(panel);
    editor.begin({264, 0, app::Tavrik_DlgComposite::kMacroKeyButtonId, true});
    app::MacroSection& section = editor.macroSection();
    section.selectMacro(1);
    section.loadSelectedMacro();
    section.setRecordPauses(1);
    section.actionList().selectRow(2);
    QApplication::processEvents();
    const bool saved = editor.grab().save(arguments[2]);
    editor.reject();
    if (!saved) {
        err << "guidepictures: cannot write " << arguments[2] << '\n';
        return 1;
    }
    return 0;
}
