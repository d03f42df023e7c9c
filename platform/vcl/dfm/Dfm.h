// Form descriptions: the text form of a component tree, parsed into plain data.
//
// Parse() turns one whole description ("object Name: TClass ... end") into an Object tree.
// It only checks the syntax; class names, property names and identifier values are kept as
// written for the loader to resolve. Keywords (object, inherited, inline, end, item) are
// matched without regard to case. Strings are byte strings (#nnn codes up to 255).
// Every malformed input raises ParseError naming the source and line; nesting of objects,
// lists and collections is limited to kMaxNesting levels. Parse() is a pure function.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vcl::dfm {

inline constexpr int kMaxNesting = 64;

struct Property;

struct Value {
    enum class Kind { Integer, Float, String, Identifier, Set, List, Binary, Collection };
    Kind kind = Kind::Integer;
    int line = 0;
    std::int64_t integer = 0;                 // Integer ($hex as its unsigned bit pattern)
    double number = 0;                        // Float
    std::string text;                         // String (bytes) and Identifier (as written)
    std::vector<std::string> set;             // Set: the identifiers in order
    std::vector<Value> list;                  // List
    std::vector<std::uint8_t> binary;         // Binary
    std::vector<std::vector<Property>> items; // Collection: one property list per item
};

struct Property {
    std::string name; // dotted as written, e.g. "Font.Name"
    Value value;
    int line = 0;
};

struct Object {
    enum class Keyword { Object, Inherited, Inline };
    Keyword keyword = Keyword::Object;
    std::string name;
    std::string className;
    int line = 0;
    std::vector<Property> properties;
    std::vector<Object> children;
};

// what() reads "<source>(<line>): <message>".
class ParseError : public std::runtime_error {
public:
    ParseError(std::string_view source, int line, const std::string& message);
    int line() const { return line_; }

private:
    int line_;
};

// Parses one whole description. `source` names it in error messages (e.g. "Main.dfm").
Object Parse(std::string_view text, std::string_view source);

} // namespace vcl::dfm
