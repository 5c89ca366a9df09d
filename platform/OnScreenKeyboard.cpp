#include "platform/OnScreenKeyboard.h"

#include <QProcess>
#include <QStandardPaths>

namespace tavrik::platform {

const std::vector<std::string>& onScreenKeyboardPrograms() {
    static const std::vector<std::string> programs = {"onboard", "florence", "matchbox-keyboard",
                                                      "xvkbd", "kvkbd"};
    return programs;
}

bool startOnScreenKeyboard() {
    for (const std::string& name : onScreenKeyboardPrograms()) {
        const QString path = QStandardPaths::findExecutable(QString::fromStdString(name));
        if (path.isEmpty()) {
            continue;
        }
        QProcess process;
        process.setProgram(path);
        process.setStandardInputFile(QProcess::nullDevice());
        return process.startDetached();
    }
    return false;
}

} // namespace tavrik::platform
