// A program that starts like the real one, with a main window that only
// serves the instance socket: it runs the start routine and the instance
// logic, says "READY <start hidden>" on its standard output once it serves,
// and writes each message that reaches its window, as "<message> <wParam>"
// in hexadecimal, to the file named by TAVRIK_PROBE_LOG. Kill ends it.

#include "app/startup/InitInstance.h"
#include "device/StartFlags.h"
#include "platform/InstanceMessenger.h"
#include "platform/MainWindowPort.h"
#include "platform/WindowMessage.h"

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <memory>
#include <utility>

namespace {

using namespace tavrik;

class ProbeWindow final : public QDialog {
public:
    explicit ProbeWindow(app::InstanceDecision decision) : decision_(std::move(decision)) {}

    bool serve() {
        if (!server_.listen()) {
            return false;
        }
        std::printf("READY %d\n", device::startFlags().startHidden.load() ? 1 : 0);
        std::fflush(stdout);
        return true;
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() != platform::WindowMessageEvent::eventType()) {
            return QDialog::event(event);
        }
        auto* message = static_cast<platform::WindowMessageEvent*>(event);
        QFile log(qEnvironmentVariable("TAVRIK_PROBE_LOG"));
        if (log.open(QIODevice::Append)) {
            log.write(QByteArray::number(message->message(), 16) + ' ' +
                      QByteArray::number(static_cast<qulonglong>(message->wParam()), 16) + '\n');
        }
        message->setResult(1);
        if (message->message() == platform::message::Kill) {
            done(0);
        }
        return true;
    }

private:
    app::InstanceDecision decision_;
    platform::InstanceServer server_{this};
};

} // namespace

int main(int argc, char** argv) {
    return app::initInstance(argc, argv,
                             [](app::InstanceDecision decision) -> std::unique_ptr<QDialog> {
                                 auto window = std::make_unique<ProbeWindow>(std::move(decision));
                                 if (!window->serve()) {
                                     return nullptr;
                                 }
                                 return window;
                             });
}
