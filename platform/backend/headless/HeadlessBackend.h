// The headless backend: a fake window system for tests. No display, no sleeping.
//
// Implemented:
//   [X] windows with titles, icon titles, bounds, visibility and the areas asked to repaint
//   [X] a recording canvas: Paint() replays pending repaints and keeps what was drawn
//   [X] a virtual clock: Advance(ms) fires due timers in time order; Stall(ms) lets time pass
//       while the loop is busy, so late ticks merge into one
//   [X] posted tasks, run on the next turn (Pump, Advance, RunUntil)
//   [X] nested loops: RunUntil() runs what is due, then calls the idle script; without one
//       it throws instead of blocking
//   [X] message boxes: every call recorded, answered by a script (Ok for OK-only boxes and
//       Cancel otherwise when no script is set)
//   [X] input: mouse and keys delivered to a window, Key("alt+s") style combos
//   [X] documents handed to the shell, recorded
//   [X] shutdown requests raised by the test
//   [ ] real text metrics: every character is 0.6 × the pixel height wide
#pragma once

#include "backend/Backend.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace backend::headless {

struct DrawnText {
    std::string text;
    Point topLeft;
    FontSpec font;
};

class HeadlessWindow : public Window {
public:
    HeadlessWindow(const WindowSpec& spec, WindowEvents& events);
    ~HeadlessWindow() override;

    void Show() override;
    void Hide() override;
    bool Visible() const override { return m_visible; }
    void SetTitle(const std::string& title) override { m_title = title; }
    void SetIconTitle(const std::string& title) override { m_iconTitle = title; }
    void Invalidate(const Rect& area) override;
    void Move(Point screenTopLeft) override;
    Rect Bounds() const override { return m_bounds; }
    void Minimize() override { m_minimized = true; }

    const WindowSpec& Spec() const { return m_spec; }
    const std::string& Title() const { return m_title; }
    const std::string& IconTitle() const { return m_iconTitle; }
    bool Minimized() const { return m_minimized; }
    WindowEvents& Events() { return m_events; }

    // Areas asked to repaint since the last TakeInvalidated().
    std::vector<Rect> TakeInvalidated();
    // Repaints what is pending (everything on the first paint) and returns the texts drawn.
    std::vector<DrawnText> Paint();
    std::vector<DrawnText> PaintAll(); // the whole window, whatever is pending

private:
    std::vector<DrawnText> PaintArea(const Rect& area);
    WindowSpec m_spec;
    WindowEvents& m_events;
    std::string m_title, m_iconTitle;
    Rect m_bounds;
    bool m_visible = false;
    bool m_minimized = false;
    std::vector<Rect> m_invalidated;
    Rect m_pending;
};

struct MessageBoxCall {
    Window* owner = nullptr;
    std::string text;
    std::string caption;
    DialogButtons buttons = DialogButtons::Ok;
    DialogIcon icon = DialogIcon::None;
};

class Headless : public Backend {
public:
    static Headless& Instance();

    // Forgets timers, tasks, records and scripts and sets the clock to 0. Windows stay
    // owned by whoever made them.
    void Reset();

    // --- time ---
    std::uint64_t Now() const { return m_now; }
    void Advance(int ms);
    void Stall(int ms);
    void Pump();
    int ActiveTimers() const { return static_cast<int>(m_timers.size()); }
    int Wakeups() const { return m_wakeups; } // turns of the loop that found work

    // --- windows and input ---
    std::vector<HeadlessWindow*> Windows() const; // in creation order
    HeadlessWindow* FindWindow(const std::string& title) const;
    // The window keys go to: the newest visible popup, else the newest visible modal
    // window, else the newest visible window.
    HeadlessWindow* ActiveWindow() const;
    void MouseDown(HeadlessWindow& w, Point client, MouseButton b = MouseButton::Left);
    void MouseUp(HeadlessWindow& w, Point client, MouseButton b = MouseButton::Left);
    void MouseMove(HeadlessWindow& w, Point client);
    void Click(HeadlessWindow& w, Point client, MouseButton b = MouseButton::Left);
    // "alt+s", "Escape", "Return", "Tab", "shift+Tab", "Down", "x", "alt+F4", "space".
    void Key(HeadlessWindow& w, const std::string& combo);
    void Key(const std::string& combo); // to ActiveWindow()
    void RequestClose(HeadlessWindow& w);

    // --- scripts and records ---
    void SetIdle(std::function<void()> idle) { m_idle = std::move(idle); }
    void SetMessageBoxScript(std::function<DialogAnswer(const MessageBoxCall&)> script) {
        m_messageBoxScript = std::move(script);
    }
    const std::vector<MessageBoxCall>& MessageBoxes() const { return m_messageBoxes; }
    bool MessageBoxOpen() const { return m_openBoxes > 0; }
    const std::vector<std::string>& OpenedDocuments() const { return m_documents; }
    void SetOpenDocumentResult(bool ok) { m_openDocumentResult = ok; }
    void RaiseShutdown(ShutdownReason reason);
    void SetScreen(Rect screen) { m_screen = screen; }

    // --- Backend ---
    std::unique_ptr<Window> CreateWindow(const WindowSpec& spec, WindowEvents& events) override;
    TimerId StartTimer(int intervalMs, std::function<void()> tick) override;
    void StopTimer(TimerId id) override;
    void Post(std::function<void()> task) override;
    void RunUntil(const std::function<bool()>& done) override;
    DialogAnswer MessageBox(Window* owner, const std::string& text, const std::string& caption,
                            DialogButtons buttons, DialogIcon icon) override;
    void CancelDialogs() override { ++m_cancelGeneration; }
    bool OpenDocument(const std::string& target) override;
    void SetShutdownHandler(std::function<void(ShutdownReason)> handler) override {
        m_shutdown = std::move(handler);
    }
    Rect Screen() const override { return m_screen; }
    TextMetrics MeasureText(const std::string& text, const FontSpec& font) override;

private:
    friend class HeadlessWindow;
    struct Timer {
        int interval;
        std::uint64_t due;
        std::function<void()> tick;
    };
    bool RunPosted();
    bool FireDue(); // fires the earliest due timer, if any; true when one fired

    std::uint64_t m_now = 0;
    TimerId m_nextTimer = 1;
    std::map<TimerId, Timer> m_timers;
    std::deque<std::function<void()>> m_posted;
    std::vector<HeadlessWindow*> m_windows;
    std::function<void()> m_idle;
    std::function<DialogAnswer(const MessageBoxCall&)> m_messageBoxScript;
    std::vector<MessageBoxCall> m_messageBoxes;
    int m_openBoxes = 0;
    int m_cancelGeneration = 0;
    std::vector<std::string> m_documents;
    bool m_openDocumentResult = true;
    std::function<void(ShutdownReason)> m_shutdown;
    Rect m_screen{0, 0, 1280, 1024};
    int m_wakeups = 0;
    std::uint64_t m_order = 0;
    std::map<HeadlessWindow*, std::uint64_t> m_shownAt;
};

} // namespace backend::headless
