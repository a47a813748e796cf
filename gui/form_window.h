#pragma once
// What the component's four windows share: they are modal dialogs of the
// calling thread, registered so that a Manager's end can unload them; their
// handlers run through Handle, so that a failure no handler expects closes
// the window and reaches the entry point's failure path instead of Qt's
// event loop; and a window cannot be closed while a run works inside it.
#include <QDialog>
#include <exception>
#include <utility>

namespace pelmar::gui {

// The windows, in the order a Manager's end unloads them.
enum class WindowKind { Mapping, Export, Import, Picker };

class FormWindow : public QDialog {
    Q_OBJECT
public:
    FormWindow(WindowKind kind, QWidget* parent);
    ~FormWindow() override;

    // After exec: a failure that closed the window is thrown again.
    void RethrowFailure();

    // Closes every window of the calling thread, in the order of
    // WindowKind, as its close box would.
    static void UnloadAll();

    // Closing for any reason runs Unloading first; not while a run works.
    void done(int result) final;

protected:
    // What the window does when it closes with `result`.
    virtual void Unloading(int /*result*/) {}

    // The windows have no default button: Enter clicks a button only when
    // that button has the focus, and does nothing in a box.
    void keyPressEvent(QKeyEvent* event) override;

    // Runs a handler; an unexpected failure closes the window.
    template <class Handler>
    void Handle(Handler&& handler) {
        try {
            std::forward<Handler>(handler)();
        } catch (...) {
            failure_ = std::current_exception();
        }
        if (failure_) done(Rejected);
    }

    // While a run works the window stays open.
    class Working {
    public:
        explicit Working(FormWindow& window) : window_(window) { ++window_.working_; }
        ~Working() { --window_.working_; }
        Working(const Working&) = delete;
        Working& operator=(const Working&) = delete;

    private:
        FormWindow& window_;
    };
    bool IsWorking() const noexcept { return working_ > 0; }

private:
    WindowKind kind_;
    std::exception_ptr failure_;
    int working_ = 0;
};

// A modal window has closed: the keyboard goes back to the window that
// opened it. Window managers do this; without one (a bare X server) nobody
// else would.
void ReturnFocus(QWidget* opener);

// `widget` with `name` as its object name: every control is named as the
// window's description names it.
template <class Widget>
Widget* Named(const char* name, Widget* widget) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace pelmar::gui
