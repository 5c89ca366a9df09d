#include "app/lightingpanel/UserModeList.h"

#include "tests/support/GuiTestApplication.h"

#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>
#include <variant>
#include <vector>

namespace {

using tavrik::app::UserModeList;

// What the lighting panel does to its list: offer new names keeping the typed
// text, type a text, or choose an entry.
struct Offer {
    QStringList names;
};
struct Type {
    QString text;
};
struct Choose {
    int entry;
};
using Step = std::variant<Offer, Type, Choose>;

void apply(UserModeList& list, const Step& step) {
    if (const auto* offer = std::get_if<Offer>(&step)) {
        const QString typed = list.typedText();
        list.clear();
        list.addItems(offer->names);
        list.setTypedText(typed);
    } else if (const auto* type = std::get_if<Type>(&step)) {
        list.setTypedText(type->text);
    } else {
        list.selectEntry(std::get<Choose>(step).entry);
    }
}

// The same steps on a list that was editable from the start.
void apply(QComboBox& list, const Step& step) {
    if (const auto* offer = std::get_if<Offer>(&step)) {
        const QString typed = list.lineEdit()->text();
        list.clear();
        list.addItems(offer->names);
        list.lineEdit()->setText(typed);
    } else if (const auto* type = std::get_if<Type>(&step)) {
        list.lineEdit()->setText(type->text);
    } else {
        list.setCurrentIndex(std::get<Choose>(step).entry);
    }
}

TEST(UserModeList, ShowsWhatAListEditableFromTheStartShows) {
    const QStringList dayNight{"Day", "Night"};
    const std::vector<std::vector<Step>> cases = {
        {},
        {Offer{dayNight}},
        {Offer{dayNight}, Choose{1}},
        {Offer{dayNight}, Choose{1}, Choose{0}},
        {Offer{dayNight}, Choose{1}, Offer{{"Dawn", "Dusk", "Noon"}}},
        {Offer{dayNight}, Type{"Eve"}},
        {Offer{dayNight}, Type{"Eve"}, Choose{0}},
        {Offer{dayNight}, Type{"Eve"}, Choose{1}},
        {Offer{dayNight}, Choose{1}, Type{"Eve"}, Offer{{"A", "B", "C"}}, Choose{2}},
        {Offer{dayNight}, Offer{{}}},
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        QWidget window;
        UserModeList lazy(&window);
        QComboBox eager(&window);
        eager.setEditable(true);
        eager.setInsertPolicy(QComboBox::NoInsert);
        for (const Step& step : cases[k]) {
            apply(lazy, step);
            apply(eager, step);
        }
        EXPECT_EQ(lazy.lineEdit(), nullptr) << "case " << k << ": no line edit before it shows";
        EXPECT_EQ(lazy.typedText(), eager.lineEdit()->text()) << "case " << k;
        window.show();
        ASSERT_NE(lazy.lineEdit(), nullptr) << "case " << k;
        EXPECT_EQ(lazy.lineEdit()->text(), eager.lineEdit()->text()) << "case " << k;
        EXPECT_EQ(lazy.currentIndex(), eager.currentIndex()) << "case " << k;
        EXPECT_EQ(lazy.insertPolicy(), QComboBox::NoInsert);
    }
}

TEST(UserModeList, SetsUpItsLineEditWhenItIsMadeAndAfter) {
    UserModeList list(nullptr);
    int madeBefore = 0;
    list.whenEditorMade([&](QLineEdit& editor) {
        ++madeBefore;
        editor.setMaxLength(7);
    });
    EXPECT_EQ(madeBefore, 0);
    QLineEdit& editor = list.editor();
    EXPECT_EQ(&editor, list.lineEdit());
    EXPECT_EQ(&list.editor(), &editor) << "made once";
    EXPECT_EQ(madeBefore, 1);
    EXPECT_EQ(editor.maxLength(), 7);
    list.whenEditorMade([](QLineEdit& made) { made.setPlaceholderText("hint"); });
    EXPECT_EQ(editor.placeholderText(), "hint");
    EXPECT_EQ(madeBefore, 1);
}

} // namespace
