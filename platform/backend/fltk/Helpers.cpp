#include "backend/fltk/Helpers.h"

#include <FL/Enumerations.H>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace backend::fltk {

std::optional<KeyEvent> TranslateKey(int flKey, int flState) {
    KeyEvent e;
    e.modifiers.shift = (flState & FL_SHIFT) != 0;
    e.modifiers.ctrl = (flState & FL_CTRL) != 0;
    e.modifiers.alt = (flState & FL_ALT) != 0;
    switch (flKey) {
    case FL_Enter:
    case FL_KP_Enter:
        e.key = Key::Enter;
        return e;
    case FL_Escape:
        e.key = Key::Escape;
        return e;
    case FL_Tab:
        e.key = Key::Tab;
        return e;
    case ' ':
        e.key = Key::Space;
        return e;
    case FL_Up:
        e.key = Key::Up;
        return e;
    case FL_Down:
        e.key = Key::Down;
        return e;
    case FL_Left:
        e.key = Key::Left;
        return e;
    case FL_Right:
        e.key = Key::Right;
        return e;
    case FL_Home:
        e.key = Key::Home;
        return e;
    case FL_End:
        e.key = Key::End;
        return e;
    case FL_F + 4:
        e.key = Key::F4;
        return e;
    default:
        break;
    }
    int c = flKey;
    if (c >= FL_KP + '0' && c <= FL_KP + '9') c -= FL_KP;
    if (c >= 'A' && c <= 'Z') c = std::tolower(c);
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
        e.key = Key::Character;
        e.character = static_cast<char>(c);
        return e;
    }
    return std::nullopt;
}

std::vector<Rect> CornerShape(int width, int height, int diameter) {
    std::vector<Rect> rects;
    if (width <= 0 || height <= 0) return rects;
    if (diameter <= 1) {
        rects.push_back({0, 0, width, height});
        return rects;
    }
    const double r = diameter / 2.0;
    const int rows = std::min(height, static_cast<int>(std::ceil(r)));
    for (int y = 0; y < rows; ++y) {
        // Where the row's centre line crosses the ellipse centred at (r, r).
        const double dy = r - (y + 0.5);
        const double dx = r * std::sqrt(std::max(0.0, 1.0 - (dy * dy) / (r * r)));
        int inset = static_cast<int>(std::lround(r - dx));
        inset = std::min(inset, width / 2);
        const Rect row{inset, y, width - 2 * inset, 1};
        if (!rects.empty() && rects.back().x == row.x && rects.back().Bottom() == y)
            rects.back().height += 1;
        else
            rects.push_back(row);
    }
    if (height > rows) {
        if (!rects.empty() && rects.back().x == 0)
            rects.back().height += height - rows;
        else
            rects.push_back({0, rows, width, height - rows});
    }
    return rects;
}

namespace {

// Starts a line with `word`, breaking the word between characters (UTF-8 sequences kept
// whole) where it is wider than maxWidth on its own; the last piece stays in `line`.
void StartLine(const std::string& word, int maxWidth,
               const std::function<int(const std::string&)>& measure,
               std::vector<std::string>& lines, std::string& line) {
    line.clear();
    for (std::size_t i = 0; i < word.size();) {
        std::size_t n = 1;
        while (i + n < word.size() && (static_cast<unsigned char>(word[i + n]) & 0xC0) == 0x80)
            ++n;
        const std::string next = line + word.substr(i, n);
        if (!line.empty() && measure(next) > maxWidth) {
            lines.push_back(line);
            line = word.substr(i, n);
        } else {
            line = next;
        }
        i += n;
    }
}

} // namespace

std::vector<std::string> WrapText(const std::string& text, int maxWidth,
                                  const std::function<int(const std::string&)>& measure) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t nl = text.find('\n', start);
        std::string para = text.substr(start, nl == std::string::npos ? nl : nl - start);
        if (!para.empty() && para.back() == '\r') para.pop_back();
        std::string line;
        std::size_t pos = 0;
        while (pos < para.size()) {
            std::size_t sp = para.find(' ', pos);
            if (sp == std::string::npos) sp = para.size();
            const std::string word = para.substr(pos, sp - pos);
            pos = sp + 1;
            if (word.empty()) continue;
            if (!line.empty() && measure(line + " " + word) <= maxWidth) {
                line += " " + word;
                continue;
            }
            if (!line.empty()) lines.push_back(line);
            StartLine(word, maxWidth, measure, lines, line);
        }
        lines.push_back(line);
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

Clock::time_point NextTickDue(Clock::time_point due, Clock::duration interval,
                              Clock::time_point now) {
    const Clock::time_point next = due + interval;
    return next > now ? next : now + interval;
}

std::vector<std::string> OpenerArgv(const std::string& target) {
    return {"xdg-open", target};
}

std::pair<std::string, std::string> ProgramClass(const std::string& exePath) {
    std::string base = exePath;
    const std::size_t slash = base.find_last_of('/');
    if (slash != std::string::npos) base = base.substr(slash + 1);
    // A replaced executable shows as "name (deleted)" in /proc/self/exe.
    const std::string deleted = " (deleted)";
    if (base.size() > deleted.size() &&
        base.compare(base.size() - deleted.size(), deleted.size(), deleted) == 0)
        base.erase(base.size() - deleted.size());
    if (base.empty()) base = "riduduz";
    std::string cls = base;
    cls[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(cls[0])));
    return {base, cls};
}

int FontPixelSize(int height) {
    if (height < 0) return -height;
    if (height == 0) return 11;
    // A cell height holds the em plus the internal leading, which is about 14% of the cell
    // in the sans faces the names resolve to.
    return std::max(1, static_cast<int>(std::lround(height * 0.86)));
}

} // namespace backend::fltk
