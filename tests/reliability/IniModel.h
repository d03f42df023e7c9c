// An independent model of the profile text rules, written from IniText.h's description
// and kept deliberately plain: a list of lines, each classified once. Property and fuzz
// tests compare the real functions against it, byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace inimodel {

struct Line {
    std::size_t begin = 0, end = 0, next = 0; // content [begin, end), line end [end, next)
    enum Kind { Other, Section, Comment, Key } kind = Other;
    std::string name;       // section or key name, blanks removed
    std::size_t equals = 0; // key lines: offset of the first '='
};

inline bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

inline std::string Trim(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && Blank(s[a]))
        ++a;
    while (b > a && Blank(s[b - 1]))
        --b;
    return std::string(s.substr(a, b - a));
}

inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

inline std::vector<Line> Lines(std::string_view text) {
    std::vector<Line> out;
    std::size_t i = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (i < text.size()) {
        Line l;
        l.begin = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            ++i;
        l.end = i;
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n' && (i == l.end || text[i - 1] == '\r')) ++i;
        l.next = i;
        const std::string content(text.substr(l.begin, l.end - l.begin));
        const std::string body = Trim(content);
        if (body.empty()) {
        } else if (body[0] == '[') {
            l.kind = Line::Section;
            const std::size_t close = body.find(']', 1);
            l.name =
                Trim(body.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else if (body[0] == ';') {
            l.kind = Line::Comment;
        } else if (const std::size_t eq = content.find('='); eq != std::string::npos) {
            l.kind = Line::Key;
            l.name = Trim(content.substr(0, eq));
            l.equals = l.begin + eq;
        }
        out.push_back(std::move(l));
    }
    return out;
}

// [first, last) line indices of the first section named `section`; nothing when missing.
inline std::optional<std::pair<std::size_t, std::size_t>>
FirstSection(const std::vector<Line>& lines, std::string_view section) {
    const std::string s = Trim(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Line::Section || !SameName(lines[i].name, s)) continue;
        std::size_t j = i + 1;
        while (j < lines.size() && lines[j].kind != Line::Section)
            ++j;
        return std::make_pair(i, j);
    }
    return std::nullopt;
}

inline std::string Unquote(std::string v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        return v.substr(1, v.size() - 2);
    return v;
}

// What a read of section/key gives.
inline std::optional<std::string> Lookup(std::string_view text, std::string_view section,
                                         std::string_view key) {
    const auto lines = Lines(text);
    const auto range = FirstSection(lines, section);
    if (!range) return std::nullopt;
    const std::string k = Trim(key);
    for (std::size_t i = range->first + 1; i < range->second; ++i) {
        const Line& l = lines[i];
        if (l.kind == Line::Key && SameName(l.name, k))
            return Unquote(Trim(text.substr(l.equals + 1, l.end - l.equals - 1)));
    }
    return std::nullopt;
}

// What a value reads back as once written.
inline std::string ReadsBackAs(std::string_view value) {
    return Unquote(Trim(value));
}

inline bool Writable(std::string_view section, std::string_view key, std::string_view value) {
    const std::string s = Trim(section), k = Trim(key);
    auto breaks = [](std::string_view x) { return x.find_first_of("\r\n") != x.npos; };
    return !breaks(s) && !breaks(k) && !breaks(value) && s.find(']') == s.npos &&
           k.find('=') == k.npos && (k.empty() || (k[0] != '[' && k[0] != ';'));
}

inline std::string Eol(std::string_view text) {
    if (text.find("\r\n") != text.npos) return "\r\n";
    if (text.find('\r') != text.npos && text.find('\n') == text.npos) return "\r";
    return "\n";
}

// The text a write of section/key=value must give, or nothing when it must be refused.
inline std::optional<std::string> ExpectedSet(std::string_view text, std::string_view section,
                                              std::string_view key, std::string_view value) {
    if (!Writable(section, key, value)) return std::nullopt;
    const std::string s = Trim(section), k = Trim(key), eol = Eol(text);
    const auto lines = Lines(text);
    std::string out(text);
    const auto range = FirstSection(lines, s);
    if (!range) {
        if (!lines.empty() && lines.back().next == lines.back().end) out += eol;
        return out + "[" + s + "]" + eol + k + "=" + std::string(value) + eol;
    }
    std::size_t after = range->first;
    for (std::size_t i = range->first + 1; i < range->second; ++i) {
        const Line& l = lines[i];
        if (l.kind != Line::Key) continue;
        if (SameName(l.name, k)) return out.replace(l.equals + 1, l.end - l.equals - 1, value);
        after = i;
    }
    const Line& prev = lines[after];
    const std::string add = (prev.next == prev.end ? eol : "") + k + "=" + std::string(value) + eol;
    return out.insert(prev.next, add);
}

// The text a deletion must give: whole lines out, every other byte kept.
inline std::string ExpectedDeleteKey(std::string_view text, std::string_view section,
                                     std::string_view key) {
    const auto lines = Lines(text);
    const auto range = FirstSection(lines, section);
    if (!range) return std::string(text);
    std::string out(text.substr(0, lines.empty() ? text.size() : lines[0].begin));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        const bool drop = i > range->first && i < range->second && l.kind == Line::Key &&
                          SameName(l.name, Trim(key));
        if (!drop) out += text.substr(l.begin, l.next - l.begin);
    }
    return out;
}

inline std::string ExpectedDeleteSection(std::string_view text, std::string_view section) {
    const auto lines = Lines(text);
    std::string out(text.substr(0, lines.empty() ? text.size() : lines[0].begin));
    bool inside = false;
    for (const Line& l : lines) {
        if (l.kind == Line::Section) inside = SameName(l.name, Trim(section));
        if (!(inside && (l.kind == Line::Section || l.kind == Line::Key)))
            out += text.substr(l.begin, l.next - l.begin);
    }
    return out;
}

// Every (section, key) the text names, for queries that hit.
inline std::set<std::pair<std::string, std::string>> Names(std::string_view text) {
    std::set<std::pair<std::string, std::string>> out;
    std::string section;
    bool inSection = false;
    for (const Line& l : Lines(text)) {
        if (l.kind == Line::Section) {
            section = l.name;
            inSection = true;
            out.emplace(section, "");
        } else if (l.kind == Line::Key && inSection) {
            out.emplace(section, l.name);
        }
    }
    return out;
}

} // namespace inimodel
