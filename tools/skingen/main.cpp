// skingen FOLDER: writes the default skin into FOLDER. Runs at build time,
// without a display.

#include "tools/skingen/SkinGenerator.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    // Fonts need a GUI application; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        err << "usage: skingen FOLDER\n";
        return 2;
    }
    const tavrik::skingen::GenerationResult result = tavrik::skingen::generateSkin(arguments[1]);
    if (!result.ok) {
        err << "skingen: " << result.error << '\n';
        return 1;
    }
    QTextStream(stdout) << "skingen: " << result.written.size() << " files in " << arguments[1]
                        << '\n';
    return 0;
}
