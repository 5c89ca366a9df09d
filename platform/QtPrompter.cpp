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

QString toQString(const std::u16string& text) { return QString::fromStdU16String(text); }

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

QFileDialog* makeFileDialog(QWidget* parent, const FileDialogRequest& request) {
    auto* dialog = new QFileDialog(parent);
    dialog->setNameFilter(qtFilterOf(request.filter));
    dialog->setDefaultSuffix(toQString(request.defaultExtension));
    QString initial = toQString(request.initialName);
    if (!initial.contains(QLatin1Char('*'))) {
        dialog->selectFile(initial);
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

QString qtFilterOf(const std::u16string& filter) {
    const QStringList parts = toQString(filter).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
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
