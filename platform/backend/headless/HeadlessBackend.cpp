#include "backend/headless/HeadlessBackend.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace backend {
Backend& Current() {
    return headless::Headless::Instance();
}
} // namespace backend

namespace backend::headless {
namespace {

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(std::vector<DrawnText>& texts) : m_texts(texts) {}
    void FillRect(const Rect&, Color) override {}
    void FrameRect(const Rect&, Color) override {}
    void Line(Point, Point, Color) override {}
    void DottedRect(const Rect&, Color) override {}
    void DrawBitmap(const Bitmap&, const Rect&, const Rect&) override {}
    void DrawText(const std::string& text, Point topLeft, const FontSpec& font) override {
        if (!m_clips.empty() && !m_clips.back().Contains(topLeft)) return;
        m_texts.push_back({text, topLeft, font});
    }
    void PushClip(const Rect& r) override {
        m_clips.push_back(m_clips.empty() ? r : m_clips.back().Intersect(r));
    }
    void PopClip() override {
        if (!m_clips.empty()) m_clips.pop_back();
    }

private:
    std::vector<DrawnText>& m_texts;
    std::vector<Rect> m_clips;
};

int PixelHeight(const FontSpec& f) {
    return f.height < 0 ? -f.height : f.height * 4 / 5;
}

} // namespace

// ---- HeadlessWindow ----

HeadlessWindow::HeadlessWindow(const WindowSpec& spec, WindowEvents& events)
    : m_spec(spec), m_events(events), m_title(spec.title),
      m_iconTitle(spec.iconTitle.empty() ? spec.title : spec.iconTitle), m_bounds(spec.bounds) {
    Headless::Instance().m_windows.push_back(this);
}

HeadlessWindow::~HeadlessWindow() {
    auto& list = Headless::Instance().m_windows;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    Headless::Instance().m_shownAt.erase(this);
}

void HeadlessWindow::Show() {
    m_visible = true;
    m_minimized = false;
    Headless::Instance().m_shownAt[this] = ++Headless::Instance().m_order;
    m_pending = {0, 0, m_bounds.width, m_bounds.height};
}

void HeadlessWindow::Hide() {
    m_visible = false;
}

void HeadlessWindow::Invalidate(const Rect& area) {
    m_invalidated.push_back(area);
    m_pending = m_pending.Union(area);
}

void HeadlessWindow::Move(Point p) {
    m_bounds.x = p.x;
    m_bounds.y = p.y;
}

std::vector<Rect> HeadlessWindow::TakeInvalidated() {
    std::vector<Rect> out;
    out.swap(m_invalidated);
    return out;
}

std::vector<DrawnText> HeadlessWindow::PaintArea(const Rect& area) {
    std::vector<DrawnText> texts;
    RecordingCanvas canvas(texts);
    canvas.PushClip(area);
    m_events.Paint(canvas, area);
    canvas.PopClip();
    return texts;
}

std::vector<DrawnText> HeadlessWindow::Paint() {
    const Rect area = m_pending;
    m_pending = {};
    if (area.Empty()) return {};
    return PaintArea(area);
}

std::vector<DrawnText> HeadlessWindow::PaintAll() {
    m_pending = {};
    return PaintArea({0, 0, m_bounds.width, m_bounds.height});
}

// ---- Headless ----

Headless& Headless::Instance() {
    static Headless instance;
    return instance;
}

void Headless::Reset() {
    m_now = 0;
    m_timers.clear();
    m_posted.clear();
    m_idle = {};
    m_messageBoxScript = {};
    m_messageBoxes.clear();
    m_documents.clear();
    m_openDocumentResult = true;
    m_shutdown = {};
    m_screen = {0, 0, 1280, 1024};
    m_wakeups = 0;
}

std::unique_ptr<Window> Headless::CreateWindow(const WindowSpec& spec, WindowEvents& events) {
    return std::make_unique<HeadlessWindow>(spec, events);
}

TimerId Headless::StartTimer(int intervalMs, std::function<void()> tick) {
    const TimerId id = m_nextTimer++;
    m_timers[id] = {intervalMs, m_now + static_cast<std::uint64_t>(intervalMs), std::move(tick)};
    return id;
}

void Headless::StopTimer(TimerId id) {
    m_timers.erase(id);
}

void Headless::Post(std::function<void()> task) {
    m_posted.push_back(std::move(task));
}

bool Headless::RunPosted() {
    bool ran = false;
    while (!m_posted.empty()) {
        auto task = std::move(m_posted.front());
        m_posted.pop_front();
        ++m_wakeups;
        task();
        ran = true;
    }
    return ran;
}

bool Headless::FireDue() {
    auto earliest = m_timers.end();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it)
        if (it->second.due <= m_now &&
            (earliest == m_timers.end() || it->second.due < earliest->second.due))
            earliest = it;
    if (earliest == m_timers.end()) return false;
    Timer& t = earliest->second;
    t.due += static_cast<std::uint64_t>(t.interval);
    if (t.due <= m_now) t.due = m_now + static_cast<std::uint64_t>(t.interval); // late ticks merge
    auto tick = t.tick; // the tick may stop its own timer
    ++m_wakeups;
    tick();
    return true;
}

void Headless::Advance(int ms) {
    const std::uint64_t target = m_now + static_cast<std::uint64_t>(std::max(ms, 0));
    for (;;) {
        RunPosted();
        std::uint64_t next = UINT64_MAX;
        for (const auto& [id, t] : m_timers)
            next = std::min(next, t.due);
        if (next > target) break;
        m_now = std::max(m_now, next);
        FireDue();
    }
    m_now = std::max(m_now, target);
    RunPosted();
}

void Headless::Stall(int ms) {
    m_now += static_cast<std::uint64_t>(std::max(ms, 0));
}

void Headless::Pump() {
    while (RunPosted() || FireDue()) {
    }
}

void Headless::RunUntil(const std::function<bool()>& done) {
    int idleTurns = 0;
    while (!done()) {
        if (RunPosted() || FireDue()) continue;
        if (!m_idle)
            throw std::logic_error(
                "headless loop would block: nothing is due and no idle script is set");
        if (++idleTurns > 100000) throw std::logic_error("headless idle script makes no progress");
        auto idle = m_idle;
        idle();
    }
}

DialogAnswer Headless::MessageBox(Window* owner, const std::string& text,
                                  const std::string& caption, DialogButtons buttons,
                                  DialogIcon icon) {
    MessageBoxCall call{owner, text, caption, buttons, icon};
    m_messageBoxes.push_back(call);
    const int generation = m_cancelGeneration;
    ++m_openBoxes;
    DialogAnswer answer = buttons == DialogButtons::Ok ? DialogAnswer::Ok : DialogAnswer::Cancel;
    try {
        if (m_messageBoxScript) answer = m_messageBoxScript(call);
    } catch (...) {
        --m_openBoxes;
        throw;
    }
    --m_openBoxes;
    if (generation != m_cancelGeneration)
        answer = buttons == DialogButtons::Ok ? DialogAnswer::Ok : DialogAnswer::Cancel;
    return answer;
}

bool Headless::OpenDocument(const std::string& target) {
    m_documents.push_back(target);
    return m_openDocumentResult;
}

void Headless::RaiseShutdown(ShutdownReason reason) {
    if (m_shutdown) m_shutdown(reason);
}

TextMetrics Headless::MeasureText(const std::string& text, const FontSpec& font) {
    const int px = PixelHeight(font);
    return {static_cast<int>(text.size()) * px * 3 / 5, px + px / 4, px};
}

std::vector<HeadlessWindow*> Headless::Windows() const {
    return m_windows;
}

HeadlessWindow* Headless::FindWindow(const std::string& title) const {
    for (HeadlessWindow* w : m_windows)
        if (w->Title() == title) return w;
    return nullptr;
}

HeadlessWindow* Headless::ActiveWindow() const {
    HeadlessWindow* best = nullptr;
    auto rank = [&](HeadlessWindow* w) {
        const int kind = w->Spec().popup ? 2 : w->Spec().modal ? 1 : 0;
        return std::pair<int, std::uint64_t>(kind, m_shownAt.count(w) ? m_shownAt.at(w) : 0);
    };
    for (HeadlessWindow* w : m_windows)
        if (w->Visible() && (!best || rank(w) > rank(best))) best = w;
    return best;
}

void Headless::MouseDown(HeadlessWindow& w, Point p, MouseButton b) {
    const Rect r = w.Bounds();
    w.Events().Mouse({MouseAction::Down, b, p, {r.x + p.x, r.y + p.y}});
}

void Headless::MouseUp(HeadlessWindow& w, Point p, MouseButton b) {
    const Rect r = w.Bounds();
    w.Events().Mouse({MouseAction::Up, b, p, {r.x + p.x, r.y + p.y}});
}

void Headless::MouseMove(HeadlessWindow& w, Point p) {
    const Rect r = w.Bounds();
    w.Events().Mouse({MouseAction::Move, MouseButton::None, p, {r.x + p.x, r.y + p.y}});
}

void Headless::Click(HeadlessWindow& w, Point p, MouseButton b) {
    MouseMove(w, p);
    MouseDown(w, p, b);
    MouseUp(w, p, b);
}

void Headless::Key(HeadlessWindow& w, const std::string& combo) {
    KeyEvent e;
    std::string rest = combo;
    for (;;) {
        const auto plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 >= rest.size()) break;
        std::string mod = rest.substr(0, plus);
        std::transform(mod.begin(), mod.end(), mod.begin(), ::tolower);
        if (mod == "alt")
            e.modifiers.alt = true;
        else if (mod == "shift")
            e.modifiers.shift = true;
        else if (mod == "ctrl")
            e.modifiers.ctrl = true;
        else
            throw std::invalid_argument("unknown modifier in key combo: " + combo);
        rest = rest.substr(plus + 1);
    }
    std::string name = rest;
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    static const std::pair<const char*, backend::Key> names[] = {
        {"escape", Key::Escape}, {"return", Key::Enter}, {"enter", Key::Enter}, {"tab", Key::Tab},
        {"space", Key::Space},   {"up", Key::Up},        {"down", Key::Down},   {"left", Key::Left},
        {"right", Key::Right},   {"home", Key::Home},    {"end", Key::End},     {"f4", Key::F4}};
    bool named = false;
    for (const auto& [n, k] : names)
        if (name == n) e.key = k, named = true;
    if (!named) {
        if (name.size() != 1) throw std::invalid_argument("unknown key: " + combo);
        e.key = Key::Character;
        e.character = name[0];
    }
    w.Events().Key(e);
}

void Headless::Key(const std::string& combo) {
    HeadlessWindow* w = ActiveWindow();
    if (!w) throw std::logic_error("no visible window to send '" + combo + "' to");
    Key(*w, combo);
}

void Headless::RequestClose(HeadlessWindow& w) {
    w.Events().CloseRequested();
}

} // namespace backend::headless
