#include "vcl/dfm/DfmLexer.h"

#include <charconv>
#include <string_view>
#include <system_error>

namespace vcl::dfm::detail {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsAlnum(char c) {
    return IsAlpha(c) || IsDigit(c);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string Excerpt(std::string_view raw) {
    constexpr std::size_t kMax = 40;
    if (raw.size() <= kMax) return std::string(raw);
    return std::string(raw.substr(0, kMax)) + "...";
}

std::string DescribeChar(unsigned char c) {
    if (c > ' ' && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
    return "#" + std::to_string(c);
}

std::string Describe(const Token& t) {
    switch (t.kind) {
    case TokenKind::EndOfInput:
        return "end of input";
    case TokenKind::Identifier:
        return "identifier '" + Excerpt(t.raw) + "'";
    case TokenKind::String:
        return "string " + Excerpt(t.raw);
    case TokenKind::Integer:
        return "integer " + Excerpt(t.raw);
    case TokenKind::Float:
        return "number " + Excerpt(t.raw);
    case TokenKind::Binary:
        return "binary data";
    case TokenKind::Symbol:
        break;
    }
    return std::string("'") + t.symbol + "'";
}

Lexer::Lexer(std::string_view text) : text_(text) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3; // editors may save a UTF-8 mark
}

void Lexer::Fail(int line, std::string message) const {
    throw LexError{line, std::move(message)};
}

bool Lexer::LineEnd() {
    if (pos_ >= text_.size()) return false;
    if (text_[pos_] == '\n') {
        ++pos_;
    } else if (text_[pos_] == '\r') {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    } else {
        return false;
    }
    ++line_;
    return true;
}

void Lexer::SkipBlanks() {
    while (pos_ < text_.size()) {
        if (text_[pos_] == ' ' || text_[pos_] == '\t') {
            ++pos_;
        } else if (!LineEnd()) {
            return;
        }
    }
}

Token Lexer::Next() {
    SkipBlanks();
    Token t;
    t.line = line_;
    const std::size_t start = pos_;
    if (pos_ >= text_.size()) {
        t.raw = text_.substr(pos_);
        return t;
    }
    const char c = text_[pos_];
    const char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
    if (IsAlpha(c)) {
        Identifier(t);
    } else if (c == '\'' || c == '#') {
        String(t);
    } else if (IsDigit(c) || ((c == '-' || c == '+') && IsDigit(next))) {
        Number(t);
    } else if (c == '$') {
        Hex(t);
    } else if (c == '{') {
        Binary(t);
    } else if (std::string_view("=:[](),<>+").find(c) != std::string_view::npos) {
        t.kind = TokenKind::Symbol;
        t.symbol = c;
        ++pos_;
    } else {
        Fail(line_, "unexpected character " + DescribeChar(static_cast<unsigned char>(c)));
    }
    t.raw = text_.substr(start, pos_ - start);
    return t;
}

void Lexer::Identifier(Token& t) {
    const std::size_t start = pos_;
    for (;;) {
        while (pos_ < text_.size() && IsAlnum(text_[pos_]))
            ++pos_;
        if (pos_ >= text_.size() || text_[pos_] != '.') break;
        ++pos_;
        if (pos_ >= text_.size() || !IsAlpha(text_[pos_]))
            Fail(line_,
                 "expected identifier after '" + Excerpt(text_.substr(start, pos_ - start)) + "'");
    }
    t.kind = TokenKind::Identifier;
    t.text = text_.substr(start, pos_ - start);
}

void Lexer::String(Token& t) {
    t.kind = TokenKind::String;
    for (;;) {
        if (pos_ >= text_.size()) return;
        if (text_[pos_] == '\'') {
            ++pos_;
            for (;;) {
                const std::size_t run = text_.find_first_of("'\r\n", pos_);
                if (run == std::string_view::npos || text_[run] != '\'')
                    Fail(line_, "unterminated string");
                t.text.append(text_.substr(pos_, run - pos_));
                pos_ = run + 1;
                if (pos_ < text_.size() && text_[pos_] == '\'') {
                    t.text += '\'';
                    ++pos_;
                } else {
                    break;
                }
            }
        } else if (text_[pos_] == '#') {
            const std::size_t start = pos_++;
            const bool hex = pos_ < text_.size() && text_[pos_] == '$';
            if (hex) ++pos_;
            const std::size_t digits = pos_;
            unsigned code = 0;
            for (; pos_ < text_.size(); ++pos_) {
                const int d =
                    hex ? HexDigit(text_[pos_]) : (IsDigit(text_[pos_]) ? text_[pos_] - '0' : -1);
                if (d < 0) break;
                if (code <= 255) code = code * (hex ? 16 : 10) + static_cast<unsigned>(d);
            }
            if (pos_ == digits)
                Fail(line_,
                     hex ? "expected hex digits after '#$'" : "expected character code after '#'");
            if (code > 255)
                Fail(line_, "character code " + Excerpt(text_.substr(start, pos_ - start)) +
                                " is out of range");
            t.text += static_cast<char>(code);
        } else {
            return;
        }
    }
}

void Lexer::Number(Token& t) {
    const std::size_t start = pos_;
    if (text_[pos_] == '-' || text_[pos_] == '+') ++pos_;
    auto digits = [&] {
        while (pos_ < text_.size() && IsDigit(text_[pos_]))
            ++pos_;
    };
    auto at = [&](std::size_t i) { return i < text_.size() ? text_[i] : '\0'; };
    digits();
    bool isFloat = false;
    if (at(pos_) == '.' && IsDigit(at(pos_ + 1))) {
        isFloat = true;
        ++pos_;
        digits();
    }
    if (at(pos_) == 'e' || at(pos_) == 'E') {
        std::size_t p = pos_ + 1;
        if (at(p) == '+' || at(p) == '-') ++p;
        if (IsDigit(at(p))) {
            isFloat = true;
            pos_ = p;
            digits();
        }
    }
    if (IsAlnum(at(pos_)) || at(pos_) == '.') {
        while (IsAlnum(at(pos_)) || at(pos_) == '.')
            ++pos_;
        Fail(line_, "malformed number '" + Excerpt(text_.substr(start, pos_ - start)) + "'");
    }
    // from_chars takes no leading '+'.
    const char* first = text_.data() + start + (text_[start] == '+' ? 1 : 0);
    const char* last = text_.data() + pos_;
    std::from_chars_result r;
    if (isFloat) {
        t.kind = TokenKind::Float;
        r = std::from_chars(first, last, t.number);
    } else {
        t.kind = TokenKind::Integer;
        r = std::from_chars(first, last, t.integer);
    }
    if (r.ec != std::errc() || r.ptr != last)
        Fail(line_, std::string(isFloat ? "number " : "integer ") +
                        Excerpt(text_.substr(start, pos_ - start)) + " is out of range");
}

void Lexer::Hex(Token& t) {
    const std::size_t start = pos_++;
    std::uint64_t value = 0;
    int significant = 0;
    for (; pos_ < text_.size() && HexDigit(text_[pos_]) >= 0; ++pos_) {
        if (significant > 0 || text_[pos_] != '0') ++significant;
        if (significant <= 16) value = (value << 4) | static_cast<unsigned>(HexDigit(text_[pos_]));
    }
    if (pos_ == start + 1) Fail(line_, "expected hex digits after '$'");
    if (pos_ < text_.size() && (IsAlnum(text_[pos_]) || text_[pos_] == '.')) {
        while (pos_ < text_.size() && (IsAlnum(text_[pos_]) || text_[pos_] == '.'))
            ++pos_;
        Fail(line_, "malformed number '" + Excerpt(text_.substr(start, pos_ - start)) + "'");
    }
    if (significant > 16)
        Fail(line_, "integer " + Excerpt(text_.substr(start, pos_ - start)) + " is out of range");
    t.kind = TokenKind::Integer;
    t.integer = static_cast<std::int64_t>(value);
}

void Lexer::Binary(Token& t) {
    const int startLine = line_;
    ++pos_;
    int high = -1;
    for (;;) {
        if (pos_ >= text_.size()) Fail(startLine, "unterminated binary data");
        const char c = text_[pos_];
        if (LineEnd()) continue;
        ++pos_;
        if (c == ' ' || c == '\t') continue;
        if (c == '}') break;
        const int d = HexDigit(c);
        if (d < 0)
            Fail(line_, "invalid character " + DescribeChar(static_cast<unsigned char>(c)) +
                            " in binary data");
        if (high < 0) {
            high = d;
        } else {
            t.binary.push_back(static_cast<std::uint8_t>((high << 4) | d));
            high = -1;
        }
    }
    if (high >= 0) Fail(line_, "odd number of hex digits in binary data");
    t.kind = TokenKind::Binary;
}

} // namespace vcl::dfm::detail
