#include "platform/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QStringList>
#include <QThread>

namespace tavrik::platform {
namespace {

// "tavrik.prompt.debug=true" in QT_LOGGING_RULES lists every question and
// message the program puts to the user.
Q_LOGGING_CATEGORY(promptLog, "tavrik.prompt", QtInfoMsg)

QString toQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

// Runs `work` on the user-interface thread and waits for it.
template <typename Work> auto onUserInterfaceThread(Work work) -> decltype(work()) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread()) {
        return work();
    }
    decltype(work()) result{};
    QMetaObject::invokeMethod(
        application, [&] { result = work(); }, Qt::BlockingQueuedConnection);
    return result;
}

QMessageBox::Icon qtIconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

bool isPattern(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// The dialog opens in the request's folder, or else in the folder of its
// initial name; a name there fills the name box, a pattern does not.
QFileDialog* makeFileDialog(QWidget* parent, const FileDialogRequest& request) {
    auto* dialog = new QFileDialog(parent);
    dialog->setNameFilter(qtFilterOf(request.filter));
    dialog->setDefaultSuffix(toQString(request.defaultExtension));
    const QString initial = toQString(request.initialName);
    const qsizetype slash = initial.lastIndexOf(QLatin1Char('/'));
    QString folder = QString::fromStdString(request.startFolder);
    if (folder.isEmpty() && slash >= 0) {
        folder = slash == 0 ? QStringLiteral("/") : initial.left(slash);
    }
    if (!folder.isEmpty()) {
        dialog->setDirectory(folder);
    }
    const QString name = initial.mid(slash + 1);
    if (!name.isEmpty() && !isPattern(name)) {
        dialog->selectFile(name);
    }
    return dialog;
}

std::optional<std::string> runFileDialog(QFileDialog* dialog) {
    std::optional<std::string> chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        chosen = dialog->selectedFiles().first().toStdString();
    }
    delete dialog;
    return chosen;
}

} // namespace

// Each description and pattern pair becomes one Qt filter, which shows its
// pattern in parentheses: a description that ends with its own pattern in
// parentheses ("(*.fwc)") already does, and is not given it a second time.
// "*.*", all files where a name need not have a dot, is "*".
QString qtFilterOf(const std::u16string& filter) {
    const QStringList parts = toQString(filter).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& pattern = parts[i + 1];
        QString qtPattern = pattern;
        qtPattern.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        QString description = parts[i].trimmed();
        const QString shown = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (description.endsWith(shown)) {
            description.chop(shown.size());
            description = description.trimmed();
        }
        const QString patterns = QLatin1Char('(') + qtPattern + QLatin1Char(')');
        filters << (description.isEmpty() ? patterns : description + QLatin1Char(' ') + patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QtPrompter::QtPrompter(QWidget* parent) : parent_(parent) {}

void QtPrompter::showMessage(const std::u16string& text, const std::u16string& title,
                             MessageIcon icon) {
    qCDebug(promptLog) << "message:" << toQString(text);
    onUserInterfaceThread([&] {
        QMessageBox box(qtIconOf(icon), toQString(title), toQString(text), QMessageBox::Ok,
                        parent_);
        box.exec();
        return 0;
    });
}

bool QtPrompter::askYesNo(const std::u16string& text, bool defaultYes) {
    qCDebug(promptLog) << "question:" << toQString(text);
    return onUserInterfaceThread([&] {
        QMessageBox box(QMessageBox::Question, QString(), toQString(text),
                        QMessageBox::Yes | QMessageBox::No, parent_);
        box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    });
}

std::optional<std::string> QtPrompter::chooseOpenFile(const FileDialogRequest& request) {
    return onUserInterfaceThread([&] {
        QFileDialog* dialog = makeFileDialog(parent_, request);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
        return runFileDialog(dialog);
    });
}

std::optional<std::string> QtPrompter::chooseSaveFile(const FileDialogRequest& request) {
    return onUserInterfaceThread([&] {
        QFileDialog* dialog = makeFileDialog(parent_, request);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        return runFileDialog(dialog);
    });
}

} // namespace tavrik::platform
