#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tavrik::platform {
namespace {

// "scheme:" with a scheme of two or more letters: a one-letter scheme would be
// a drive letter, which a path here never has, but it is no link either.
bool hasUrlScheme(const QString& target) {
    const QUrl url(target, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() > 1;
}

} // namespace

bool shellOpen(const std::string& target) {
    if (target.empty()) {
        return false;
    }
    const QString text = QString::fromStdString(target);
    const QUrl url = hasUrlScheme(text) ? QUrl(text) : QUrl::fromLocalFile(text);
    return QDesktopServices::openUrl(url);
}

bool launchDaemon(const std::string& path) {
    const QFileInfo program(QString::fromStdString(path));
    if (path.empty() || !program.isFile() || !program.isExecutable()) {
        return false;
    }
    QProcess process;
    process.setProgram(program.absoluteFilePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace tavrik::platform
