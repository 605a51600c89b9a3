// The application object: the one place where a failure that abandons an
// operation is shown to the user, in the program's error box.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

#include "ErrorBoxText.h"

namespace velkora {

class VelkoraApplication : public QApplication {
    Q_OBJECT
  public:
    // Shows the finished text of an error box; tests put a recorder here.
    using ErrorShower = std::function<void(const QString& text)>;

    VelkoraApplication(int& argc, char** argv);

    // Catches what an event handler lets escape and shows it in the error box,
    // then carries on with the event loop.
    bool notify(QObject* receiver, QEvent* event) override;

    void SetErrorShower(ErrorShower shower);
    void ShowFailure(const std::exception& failure);

  private:
    ErrorShower shower_;
};

// Hands a failure caught where it must not unwind through the toolkit (a slot,
// a focus change) to the event loop, which rethrows it into notify().
void RaiseLater(std::exception_ptr failure);

// Shows a caught failure in the error box at once (through the event loop
// when the application is not a VelkoraApplication).
void ReportFailure(std::exception_ptr failure);

// Wraps a slot so that a failure inside it goes to the error box through the
// event loop instead of unwinding through the signal's emitter.
template <class F>
auto Guarded(F f) {
    return [f = std::move(f)](auto&&... args) {
        try {
            if constexpr (std::is_invocable_v<F&, decltype(args)...>)
                f(std::forward<decltype(args)>(args)...);
            else
                f();  // the slot does not want the signal's arguments
        } catch (...) {
            RaiseLater(std::current_exception());
        }
    };
}

}  // namespace velkora
