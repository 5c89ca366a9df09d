#pragma once
// The lighting panel's list of user modes: an editable list whose line edit
// is made when the list is first shown, or first asked for. Making a line
// edit lays out its text, which loads the system's fonts; a program started
// hidden in the tray has no use for them yet. Until then the list keeps the
// text the line edit would hold, so that what shows is the same.

#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace tavrik::app {

class UserModeList final : public QComboBox {
public:
    explicit UserModeList(QWidget* parent);

    // The line edit, made now if it was not yet.
    QLineEdit& editor();
    // Runs `setUp` on the line edit when it is made, or now if it exists.
    void whenEditorMade(std::function<void(QLineEdit&)> setUp);
    // The edited text: the line edit's, or what it would hold.
    QString typedText() const;
    void setTypedText(const QString& text);
    // Makes `index` the current entry; the line edit shows its text.
    void selectEntry(int index);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::vector<std::function<void(QLineEdit&)>> setUps_;
    // Text set while there was no line edit, and the entry current then.
    std::optional<QString> pendingText_;
    int pendingEntry_ = -1;
};

} // namespace tavrik::app
