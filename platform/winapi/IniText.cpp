#include "winapi/IniText.h"

#include <algorithm>
#include <vector>

namespace winapi::ini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

enum class Kind { Other, Section, Comment, Key };

struct Line {
    std::size_t begin = 0; // first byte of the line
    std::size_t end = 0;   // end of its content, before the line end
    std::size_t next = 0;  // start of the following line
    Kind kind = Kind::Other;
    std::string_view name;      // section or key name, blanks removed
    std::size_t valueBegin = 0; // key lines: just after the '='
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char Fold(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return Fold(x) == Fold(y); });
}

Line Classify(std::string_view text, std::size_t begin, std::size_t end, std::size_t next) {
    Line line;
    line.begin = begin;
    line.end = end;
    line.next = next;
    const std::string_view content = text.substr(begin, end - begin);
    const std::string_view body = Trim(content);
    if (body.empty()) return line;
    if (body.front() == '[') {
        const std::string_view inner = body.substr(1);
        line.kind = Kind::Section;
        line.name = Trim(inner.substr(0, inner.find(']')));
    } else if (body.front() == ';') {
        line.kind = Kind::Comment;
    } else if (const std::size_t eq = content.find('='); eq != std::string_view::npos) {
        line.kind = Kind::Key;
        line.name = Trim(content.substr(0, eq));
        line.valueBegin = begin + eq + 1;
    }
    return line;
}

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = text.starts_with(kBom) ? kBom.size() : 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        std::size_t next = end;
        if (next < text.size()) next += text.compare(next, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back(Classify(text, pos, end, next));
        pos = next;
    }
    return lines;
}

std::string_view LineEnd(std::string_view text) {
    if (text.find("\r\n") != std::string_view::npos) return "\r\n";
    if (text.find('\r') != std::string_view::npos && text.find('\n') == std::string_view::npos)
        return "\r";
    return "\n";
}

// Index of the first header named `section`, or lines.size().
std::size_t FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Kind::Section && SameName(lines[i].name, section)) return i;
    return lines.size();
}

// One past the last line of the section whose header is at `header`.
std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header) {
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Kind::Section)
        ++i;
    return i;
}

bool IsKey(const Line& line, std::string_view key) {
    return line.kind == Kind::Key && SameName(line.name, key);
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// The text with the given lines (by index, ascending) removed.
std::string WithoutLines(std::string_view text, const std::vector<Line>& lines,
                         const std::vector<std::size_t>& drop) {
    std::string out;
    out.reserve(text.size());
    std::size_t kept = 0;
    for (const std::size_t i : drop) {
        out.append(text.substr(kept, lines[i].begin - kept));
        kept = lines[i].next;
    }
    out.append(text.substr(kept));
    return out;
}

} // namespace

std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    const std::vector<Line> lines = SplitLines(text);
    const std::size_t header = FindSection(lines, section);
    if (header == lines.size()) return std::nullopt;
    const std::size_t end = SectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (!IsKey(lines[i], key)) continue;
        const Line& line = lines[i];
        return std::string(Unquote(Trim(text.substr(line.valueBegin, line.end - line.valueBegin))));
    }
    return std::nullopt;
}

std::optional<std::string> SetValue(std::string_view text, std::string_view section,
                                    std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos ||
        key.starts_with('[') || key.starts_with(';'))
        return std::nullopt;

    const std::vector<Line> lines = SplitLines(text);
    const std::string_view eol = LineEnd(text);
    std::string out(text);
    const std::size_t header = FindSection(lines, section);
    if (header == lines.size()) {
        const bool needBreak = !lines.empty() && lines.back().end == lines.back().next;
        if (needBreak) out += eol;
        out.append("[").append(section).append("]").append(eol);
        out.append(key).append("=").append(value).append(eol);
        return out;
    }
    const std::size_t end = SectionEnd(lines, header);
    std::size_t after = header; // the line a new key goes after
    for (std::size_t i = header + 1; i < end; ++i) {
        if (IsKey(lines[i], key)) {
            out.replace(lines[i].valueBegin, lines[i].end - lines[i].valueBegin, value);
            return out;
        }
        if (lines[i].kind == Kind::Key) after = i;
    }
    const Line& prev = lines[after];
    std::string insert;
    if (prev.end == prev.next) insert += eol;
    insert.append(key).append("=").append(value).append(eol);
    out.insert(prev.next, insert);
    return out;
}

std::string DeleteKey(std::string_view text, std::string_view section, std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    const std::vector<Line> lines = SplitLines(text);
    const std::size_t header = FindSection(lines, section);
    if (header == lines.size()) return std::string(text);
    std::vector<std::size_t> drop;
    const std::size_t end = SectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (IsKey(lines[i], key)) drop.push_back(i);
    return WithoutLines(text, lines, drop);
}

std::string DeleteSection(std::string_view text, std::string_view section) {
    section = Trim(section);
    const std::vector<Line> lines = SplitLines(text);
    std::vector<std::size_t> drop;
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Kind::Section) inside = SameName(lines[i].name, section);
        if (inside && (lines[i].kind == Kind::Section || lines[i].kind == Kind::Key))
            drop.push_back(i);
    }
    return WithoutLines(text, lines, drop);
}

std::uint32_t ParseInt(std::string_view value) {
    std::size_t i = 0;
    const bool negative = !value.empty() && value[0] == '-';
    if (!value.empty() && (value[0] == '-' || value[0] == '+')) i = 1;
    std::uint32_t n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        n = n * 10u + static_cast<std::uint32_t>(value[i] - '0');
    return negative ? 0u - n : n;
}

} // namespace winapi::ini
