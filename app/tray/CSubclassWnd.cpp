#include "app/tray/CSubclassWnd.h"

#include <QEvent>
#include <QObject>
#include <unordered_map>

namespace tavrik::app {

// The first hook of every hooked window. One filter object sits on each such
// window and runs its chain; the entry goes when the last hook leaves or the
// window is destroyed.
class CSubclassWndMap final : public QObject {
public:
    static CSubclassWndMap& instance() {
        static CSubclassWndMap map;
        return map;
    }

    void add(CSubclassWnd* hook, QObject* window) {
        auto [entry, isNew] = firstHooks_.try_emplace(window, nullptr);
        hook->window_ = window;
        hook->next_ = entry->second;
        entry->second = hook;
        if (isNew) {
            window->installEventFilter(this);
            connect(window, &QObject::destroyed, this, &CSubclassWndMap::unhookAll);
        }
    }

    void remove(CSubclassWnd* hook) {
        QObject* window = hook->window_;
        const auto entry = firstHooks_.find(window);
        if (entry != firstHooks_.end()) {
            for (CSubclassWnd** link = &entry->second; *link != nullptr; link = &(*link)->next_) {
                if (*link == hook) {
                    *link = hook->next_;
                    break;
                }
            }
            if (entry->second == nullptr) {
                firstHooks_.erase(entry);
                window->removeEventFilter(this);
                disconnect(window, &QObject::destroyed, this, &CSubclassWndMap::unhookAll);
            }
        }
        hook->window_ = nullptr;
        hook->next_ = nullptr;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto entry = firstHooks_.find(watched);
        if (entry == firstHooks_.end() || entry->second == nullptr) {
            return false;
        }
        return entry->second->windowProc(watched, event);
    }

private:
    // The window is going: it is only a QObject by now, so nothing is sent
    // to it; the hooks just forget it.
    void unhookAll(QObject* window) {
        const auto entry = firstHooks_.find(window);
        if (entry == firstHooks_.end()) {
            return;
        }
        for (CSubclassWnd* hook = entry->second; hook != nullptr;) {
            CSubclassWnd* next = hook->next_;
            hook->window_ = nullptr;
            hook->next_ = nullptr;
            hook = next;
        }
        firstHooks_.erase(entry);
    }

    std::unordered_map<QObject*, CSubclassWnd*> firstHooks_;
};

CSubclassWnd::~CSubclassWnd() {
    unhook();
}

bool CSubclassWnd::hookWindow(QObject* window) {
    unhook();
    if (window == nullptr) {
        return false;
    }
    CSubclassWndMap::instance().add(this, window);
    return true;
}

void CSubclassWnd::unhook() {
    if (window_ != nullptr) {
        CSubclassWndMap::instance().remove(this);
    }
}

bool CSubclassWnd::windowProc(QObject* window, QEvent* event) {
    return next_ != nullptr && next_->windowProc(window, event);
}

} // namespace tavrik::app
