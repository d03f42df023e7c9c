// Tokens of a form description (internal to vcl_dfm).
//
// Next() returns one token at a time and EndOfInput forever once the text is used up.
// Whitespace and line ends (CR, LF or CRLF, each counting one line) separate tokens.
// A string token is a run of adjacent 'quoted' pieces and #nnn / #$hh codes, already
// decoded; '+' between strings is left to the parser. Binary data {...} comes as one token.
// Malformed text raises LexError; the parser adds the source name and context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vcl::dfm::detail {

enum class TokenKind { EndOfInput, Identifier, String, Integer, Float, Binary, Symbol };

struct Token {
    TokenKind kind = TokenKind::EndOfInput;
    int line = 1;
    std::string_view raw; // the token's source text
    std::string text;     // Identifier: as written (may be dotted); String: decoded bytes
    std::int64_t integer = 0;
    double number = 0;
    std::vector<std::uint8_t> binary;
    char symbol = 0; // one of = : [ ] ( ) < > , +
};

struct LexError {
    int line;
    std::string message;
};

class Lexer {
public:
    explicit Lexer(std::string_view text);
    Token Next();

private:
    void SkipBlanks();
    void Identifier(Token& t);
    void String(Token& t);
    void Number(Token& t);
    void Hex(Token& t);
    void Binary(Token& t);
    bool LineEnd(); // consumes one line end if there is one
    [[noreturn]] void Fail(int line, std::string message) const;

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// "identifier 'Caption'", "string 'abc'", "'='", "end of input"... for error messages.
std::string Describe(const Token& t);

// Source text quoted in messages, cut short so a huge token cannot make a huge message.
std::string Excerpt(std::string_view raw);

// A byte as an error message shows it: 'c' when printable, else #nnn.
std::string DescribeChar(unsigned char c);

} // namespace vcl::dfm::detail
