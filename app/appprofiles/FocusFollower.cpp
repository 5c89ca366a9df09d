#include "app/appprofiles/FocusFollower.h"

#include <QLoggingCategory>

namespace tavrik::app {
namespace {

Q_LOGGING_CATEGORY(followLog, "tavrik.appprofiles", QtInfoMsg)

bool sameApplication(const FocusedApplication& left, const FocusedApplication& right) {
    return normalisedApplicationId(left.id) == normalisedApplicationId(right.id) &&
           normalisedApplicationId(left.instance) == normalisedApplicationId(right.instance);
}

} // namespace

FocusFollower::FocusFollower(FocusFollowerTarget& target, QObject* parent)
    : QObject(parent), target_(target) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, &FocusFollower::follow);
}

void FocusFollower::setRules(ApplicationRules rules) {
    rules_ = std::move(rules);
    if (focused_) {
        follow();
    }
}

void FocusFollower::focusChanged(const FocusedApplication& application) {
    if (focused_ && sameApplication(*focused_, application)) {
        return;
    }
    qCDebug(followLog, "focus: %s (%s)", application.id.c_str(), application.instance.c_str());
    focused_ = application;
    settle_.start();
}

void FocusFollower::follow() {
    settle_.stop();
    waiting_.reset();
    const std::optional<RuleChoice> choice = focused_ ? rules_.choose(*focused_) : std::nullopt;
    if (!choice) {
        // Nothing asked for: the keyboard stays as it is, by no rule.
        inForce_.reset();
    } else if (target_.switchWaits()) {
        qCDebug(followLog, "the switch to profile %d waits", choice->profile + 1);
        waiting_ = choice;
    } else if (target_.activeProfile() == choice->profile || switchTo(choice->profile)) {
        inForce_ = choice;
    } else {
        inForce_.reset();
    }
    target_.followingChanged();
}

void FocusFollower::retry() {
    if (waiting_ && !target_.switchWaits()) {
        follow();
    }
}

bool FocusFollower::switchTo(int profile) {
    switching_ = true;
    const bool switched = target_.switchTo(profile);
    switching_ = false;
    return switched;
}

void FocusFollower::noticeActiveProfile(int active) {
    if (switching_ || active < 0) {
        return;
    }
    const bool byHand =
        (inForce_ && inForce_->profile != active) || (waiting_ && waiting_->profile == active);
    if (!byHand) {
        return;
    }
    qCDebug(followLog, "profile %d chosen by hand: it stands until the focus moves", active + 1);
    inForce_.reset();
    waiting_.reset();
    target_.followingChanged();
}

} // namespace tavrik::app
