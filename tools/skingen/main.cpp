// skingen FOLDER: writes the default skin into FOLDER.
// skingen --icons FOLDER: writes the application icon's hicolor sizes into
// FOLDER. Runs at build time, without a display.

#include "tools/skingen/ApplicationIcon.h"
#include "tools/skingen/SkinGenerator.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    // Fonts need a GUI application; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--icons")) {
        QString error;
        const QStringList written = tavrik::skingen::writeApplicationIcons(arguments[2], error);
        if (written.isEmpty()) {
            err << "skingen: " << error << '\n';
            return 1;
        }
        QTextStream(stdout) << "skingen: " << written.size() << " icons in " << arguments[2]
                            << '\n';
        return 0;
    }
    if (arguments.size() != 2) {
        err << "usage: skingen FOLDER | skingen --icons FOLDER\n";
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
