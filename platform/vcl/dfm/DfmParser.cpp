#include "vcl/dfm/Dfm.h"
#include "vcl/dfm/DfmLexer.h"

#include <utility>

namespace vcl::dfm {

ParseError::ParseError(std::string_view source, int line, const std::string& message)
    : std::runtime_error(std::string(source) + "(" + std::to_string(line) + "): " + message),
      line_(line) {}

namespace {

using detail::Describe;
using detail::Excerpt;
using detail::Token;
using detail::TokenKind;

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// `lower` is the keyword in lower case.
bool IsKeyword(const Token& t, std::string_view lower) {
    return t.kind == TokenKind::Identifier && EqualsNoCase(t.text, lower);
}

bool IsBlockKeyword(const Token& t) {
    return IsKeyword(t, "object") || IsKeyword(t, "inherited") || IsKeyword(t, "inline") ||
           IsKeyword(t, "end");
}

// Object, class and set member names: one identifier, not a block keyword.
bool IsPlainName(const Token& t) {
    return t.kind == TokenKind::Identifier && t.text.find('.') == std::string::npos &&
           !IsBlockKeyword(t);
}

class Parser {
public:
    Parser(std::string_view text, std::string_view source) : lexer_(text), source_(source) {}

    Object Run() {
        Advance();
        if (!IsObjectStart())
            Fail(tok_.line, "expected 'object', 'inherited' or 'inline', found " + Describe(tok_));
        Object root = ParseObject();
        if (tok_.kind != TokenKind::EndOfInput)
            Fail(tok_.line, "expected end of input after the final 'end', found " + Describe(tok_));
        return root;
    }

private:
    // Names the innermost object and property being read, for messages.
    struct Context {
        std::string object;
        std::string property;
    };

    // Restores the message context and the nesting depth when a block is left.
    class Scope {
    public:
        Scope(Parser& p, int line) : p_(p), saved_(p.context_) {
            if (++p_.depth_ > kMaxNesting)
                p_.Fail(line, "nesting deeper than " + std::to_string(kMaxNesting) + " levels" +
                                  p_.Where());
        }
        ~Scope() {
            --p_.depth_;
            p_.context_ = std::move(saved_);
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Parser& p_;
        Context saved_;
    };

    [[noreturn]] void Fail(int line, const std::string& message) const {
        throw ParseError(source_, line, message);
    }

    std::string Where() const {
        if (!context_.property.empty())
            return " in property '" + Excerpt(context_.property) + "' of object '" +
                   Excerpt(context_.object) + "'";
        if (!context_.object.empty()) return " in object '" + Excerpt(context_.object) + "'";
        return "";
    }

    void Advance() {
        try {
            tok_ = lexer_.Next();
        } catch (const detail::LexError& e) {
            Fail(e.line, e.message + Where());
        }
    }

    bool IsSymbol(char c) const { return tok_.kind == TokenKind::Symbol && tok_.symbol == c; }

    bool IsObjectStart() const {
        return IsKeyword(tok_, "object") || IsKeyword(tok_, "inherited") ||
               IsKeyword(tok_, "inline");
    }

    bool StartsValue() const {
        switch (tok_.kind) {
        case TokenKind::Integer:
        case TokenKind::Float:
        case TokenKind::String:
        case TokenKind::Binary:
            return true;
        case TokenKind::Identifier:
            return !IsBlockKeyword(tok_);
        case TokenKind::Symbol:
            return IsSymbol('[') || IsSymbol('(') || IsSymbol('<');
        case TokenKind::EndOfInput:
            break;
        }
        return false;
    }

    // The current token is object, inherited or inline.
    Object ParseObject() {
        Scope scope(*this, tok_.line);
        Object obj;
        obj.line = tok_.line;
        obj.keyword = IsKeyword(tok_, "object")      ? Object::Keyword::Object
                      : IsKeyword(tok_, "inherited") ? Object::Keyword::Inherited
                                                     : Object::Keyword::Inline;
        const std::string keyword = tok_.text;
        Advance();
        if (!IsPlainName(tok_))
            Fail(tok_.line,
                 "expected object name after '" + keyword + "', found " + Describe(tok_) + Where());
        obj.name = tok_.text;
        const int nameLine = tok_.line;
        Advance();
        if (!IsSymbol(':'))
            Fail(nameLine, "expected ':' after object name '" + Excerpt(obj.name) + "', found " +
                               Describe(tok_) + Where());
        Advance();
        if (!IsPlainName(tok_))
            Fail(tok_.line, "expected class name after '" + Excerpt(obj.name) + ":', found " +
                                Describe(tok_) + Where());
        obj.className = tok_.text;
        context_ = {obj.name, ""};
        Advance();

        for (;;) {
            if (tok_.kind == TokenKind::EndOfInput)
                Fail(tok_.line, "missing 'end' of object '" + Excerpt(obj.name) +
                                    "' begun at line " + std::to_string(obj.line));
            if (IsKeyword(tok_, "end")) {
                Advance();
                break;
            }
            if (IsObjectStart()) {
                obj.children.push_back(ParseObject());
            } else if (tok_.kind == TokenKind::Identifier) {
                obj.properties.push_back(ParseProperty());
            } else {
                Fail(tok_.line, "expected property name, 'object' or 'end', found " +
                                    Describe(tok_) + Where());
            }
        }
        return obj;
    }

    // The current token is the property's (possibly dotted) name.
    Property ParseProperty() {
        Property p;
        p.name = tok_.text;
        p.line = tok_.line;
        Advance();
        if (!IsSymbol('='))
            Fail(p.line, "expected '=' after property name '" + Excerpt(p.name) + "', found " +
                             Describe(tok_) + Where());
        const std::string saved = std::exchange(context_.property, p.name);
        Advance();
        p.value = ParseValue();
        context_.property = saved;
        return p;
    }

    Value ParseValue() {
        if (!StartsValue()) Fail(tok_.line, "expected a value, found " + Describe(tok_) + Where());
        Value v;
        v.line = tok_.line;
        switch (tok_.kind) {
        case TokenKind::Integer:
            v.kind = Value::Kind::Integer;
            v.integer = tok_.integer;
            Advance();
            break;
        case TokenKind::Float:
            v.kind = Value::Kind::Float;
            v.number = tok_.number;
            Advance();
            break;
        case TokenKind::Identifier:
            v.kind = Value::Kind::Identifier;
            v.text = std::move(tok_.text);
            Advance();
            break;
        case TokenKind::Binary:
            v.kind = Value::Kind::Binary;
            v.binary = std::move(tok_.binary);
            Advance();
            break;
        case TokenKind::String:
            v.kind = Value::Kind::String;
            v.text = std::move(tok_.text);
            Advance();
            while (IsSymbol('+')) {
                Advance();
                if (tok_.kind != TokenKind::String)
                    Fail(tok_.line, "expected string after '+', found " + Describe(tok_) + Where());
                v.text += tok_.text;
                Advance();
            }
            break;
        case TokenKind::Symbol:
            if (IsSymbol('['))
                ParseSet(v);
            else if (IsSymbol('('))
                ParseList(v);
            else
                ParseCollection(v);
            break;
        case TokenKind::EndOfInput:
            break;
        }
        return v;
    }

    void ParseSet(Value& v) {
        v.kind = Value::Kind::Set;
        Advance();
        if (IsSymbol(']')) {
            Advance();
            return;
        }
        for (;;) {
            if (!IsPlainName(tok_))
                Fail(tok_.line, std::string(v.set.empty() ? "expected identifier or ']'"
                                                          : "expected identifier after ','") +
                                    " in set, found " + Describe(tok_) + Where());
            v.set.push_back(std::move(tok_.text));
            Advance();
            if (IsSymbol(']')) {
                Advance();
                return;
            }
            if (!IsSymbol(','))
                Fail(tok_.line, "expected ',' or ']' in set, found " + Describe(tok_) + Where());
            Advance();
        }
    }

    void ParseList(Value& v) {
        Scope scope(*this, tok_.line);
        v.kind = Value::Kind::List;
        Advance();
        while (!IsSymbol(')')) {
            if (!StartsValue())
                Fail(tok_.line,
                     "expected a value or ')' in list, found " + Describe(tok_) + Where());
            v.list.push_back(ParseValue());
        }
        Advance();
    }

    void ParseCollection(Value& v) {
        Scope scope(*this, tok_.line);
        v.kind = Value::Kind::Collection;
        Advance();
        while (!IsSymbol('>')) {
            if (!IsKeyword(tok_, "item"))
                Fail(tok_.line,
                     "expected 'item' or '>' in collection, found " + Describe(tok_) + Where());
            Advance();
            auto& item = v.items.emplace_back();
            while (!IsKeyword(tok_, "end")) {
                if (tok_.kind != TokenKind::Identifier || IsBlockKeyword(tok_))
                    Fail(tok_.line, "expected property name or 'end' in collection item, found " +
                                        Describe(tok_) + Where());
                item.push_back(ParseProperty());
            }
            Advance();
        }
        Advance();
    }

    detail::Lexer lexer_;
    std::string_view source_;
    Token tok_;
    Context context_;
    int depth_ = 0;
};

} // namespace

Object Parse(std::string_view text, std::string_view source) {
    return Parser(text, source).Run();
}

} // namespace vcl::dfm
