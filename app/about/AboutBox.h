#pragma once
// The About box: a modeless dialog, created once and shown again on later
// requests. It names the program with its version, the one the package
// carries. Each time it opens it reads its texts (GUANYU_JIESHAO, the
// description, and GUANYU_BANQUAN, the rights line) from the language file
// and sets its hyperlink to the link address, as text and as target, so a
// click opens it. Help asked for in the box (its Help button, F1) opens the
// user guide.

#include <QDialog>
#include <string>

class QLabel;

namespace tavrik::app {

class AboutBox final : public QDialog {
    Q_OBJECT
public:
    AboutBox(std::string languageFile, QWidget* parent);

    // Reads the texts, sets the hyperlink and shows the box in front.
    void present(const std::string& linkAddress);

    // "Tavrik 0.1.0".
    QString nameAndVersion() const;
    QString description() const;
    QString rights() const;
    QString linkAddress() const { return linkAddress_; }
    QLabel* hyperlink() const { return link_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::string languageFile_;
    QLabel* name_;
    QLabel* description_;
    QLabel* rights_;
    QLabel* link_;
    QString linkAddress_;
};

} // namespace tavrik::app
