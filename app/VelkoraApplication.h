// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: the one place where a failure that abandons an
// operation is shown to the user, in the program's error box.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <type_traits>
#include <utility>

#include "ErrorBoxText.h"
#include "Prompts.h"

namespace velkora {

class VelkoraApplication : public QApplication {
    Q_OBJECT
  public:
    VelkoraApplication(int& argc, char** argv);

    // The last safety net: shows what an event handler still lets escape in
    // the error box, then carries on with the event loop. Handlers report
    // their own failures (Reported, Guarded), since Qt does not promise to
    // survive an exception unwinding through its frames.
    bool notify(QObject* receiver, QEvent* event) override;

    // The prompts every window uses from now on; null for the toolkit's own.
    // Tests put a recorder here.
    void SetPrompts(Prompts* prompts);
    Prompts& CurrentPrompts() const { return *prompts_; }
    void ShowFailure(const std::exception& failure);

  private:
    QtPrompts qtPrompts_;
    Prompts* prompts_ = &qtPrompts_;
};

// Shows a caught failure in the error box at once.
void ReportFailure(std::exception_ptr failure);

// Shows a caught failure in the error box once control is back in the event
// loop: for places where a modal box must not open (a slot in the middle of a
// signal, a focus change).
void ReportLater(std::exception_ptr failure);

// Runs the work of an event handler; a failure inside it goes to the error
// box at once instead of unwinding through the toolkit. True when it ran
// without failing.
template <class F>
bool Reported(F&& work) {
    try {
        std::forward<F>(work)();
        return true;
    } catch (...) {
        ReportFailure(std::current_exception());
        return false;
    }
}

// A slot that takes the signal's arguments, or none of them.
template <class F, class... Args>
concept SlotTaking = std::is_invocable_v<const F&, Args...> || std::is_invocable_v<const F&>;

template <class F, class... Args>
void CallSlot(const F& slot, Args&&... args) {
    if constexpr (std::is_invocable_v<const F&, Args...>)
        slot(std::forward<Args>(args)...);
    else
        slot();  // the slot does not want the signal's arguments
}

// Wraps a slot so that a failure inside it goes to the error box through the
// event loop instead of unwinding through the signal's emitter. The return
// type lets Qt count the arguments the slot takes without compiling calls
// that do not fit.
template <class F>
auto Guarded(F f) {
    return
        [f = std::move(f)](auto&&... args) -> std::enable_if_t<SlotTaking<F, decltype(args)...>> {
            try {
                CallSlot(f, std::forward<decltype(args)>(args)...);
            } catch (...) {
                ReportLater(std::current_exception());
            }
        };
}

}  // namespace velkora
