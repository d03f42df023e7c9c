#include "vcl/dfm/Dfm.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using vcl::dfm::Object;
using vcl::dfm::Parse;
using vcl::dfm::ParseError;
using vcl::dfm::Property;
using vcl::dfm::Value;

// A one-line rendering of a tree: i350 integer, f1.5 float, s'..' string (bytes outside
// printable ASCII as #n), bare identifier, [a,b] set, (v v) list, {0AFF} binary,
// <{p=v}{}> collection, "object name:Class{properties children}".
std::string Dump(const Value& v);

std::string Dump(const std::vector<Property>& props) {
    std::string out;
    for (const auto& p : props)
        out += (out.empty() ? "" : " ") + p.name + "=" + Dump(p.value);
    return out;
}

std::string Dump(const Value& v) {
    std::string out;
    switch (v.kind) {
    case Value::Kind::Integer:
        return "i" + std::to_string(v.integer);
    case Value::Kind::Float: {
        std::ostringstream s;
        s << "f" << v.number;
        return s.str();
    }
    case Value::Kind::String:
        for (unsigned char c : v.text)
            out += c >= ' ' && c < 0x7F ? std::string(1, static_cast<char>(c))
                                        : "#" + std::to_string(c);
        return "s'" + out + "'";
    case Value::Kind::Identifier:
        return v.text;
    case Value::Kind::Set:
        for (const auto& s : v.set)
            out += (out.empty() ? "" : ",") + s;
        return "[" + out + "]";
    case Value::Kind::List:
        for (const auto& e : v.list)
            out += (out.empty() ? "" : " ") + Dump(e);
        return "(" + out + ")";
    case Value::Kind::Binary:
        for (auto b : v.binary) {
            static const char kHex[] = "0123456789ABCDEF";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
        return "{" + out + "}";
    case Value::Kind::Collection:
        for (const auto& item : v.items)
            out += "{" + Dump(item) + "}";
        return "<" + out + ">";
    }
    return "?";
}

std::string Dump(const Object& o) {
    static const char* const kKeyword[] = {"object", "inherited", "inline"};
    std::string body = Dump(o.properties);
    for (const auto& c : o.children)
        body += (body.empty() ? "" : " ") + Dump(c);
    return std::string(kKeyword[static_cast<int>(o.keyword)]) + " " + o.name + ":" + o.className +
           "{" + body + "}";
}

std::string Repeat(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

// `levels` objects nested one per line, named o0, o1, ...
std::string NestedObjects(int levels) {
    std::string out;
    for (int i = 0; i < levels; ++i)
        out += "object o" + std::to_string(i) + ": T\n";
    return out + Repeat("end\n", levels);
}

const char kSample[] = R"(object fmMain: TfmMain
  Left = 350
  Caption = 'Riduduz'
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = [fsBold]
  Color = clBtnFace
  Color2 = $00E7E7E7
  Ratio = 1.5
  Hint = 'It'#39's here'#13#10 +
    'second line'
  Enabled = True
  OnClose = FormClose
  Lines.Strings = (
    'one'
    'two')
  Picture.Data = {
    0A544269746D6170
    FF00}
  Items = <
    item
      Caption = 'A'
      Width = 10
    end
    item
    end>
  object sfMain: TsuiForm
    Left = 0
    object pTop: TsuiPanel
    end
  end
end
)";

std::string WithLineEnds(std::string_view text, std::string_view eol) {
    std::string out;
    for (char c : text)
        if (c == '\n')
            out += eol;
        else
            out += c;
    return out;
}

TEST(DfmParse, GoodInputs) {
    struct Case {
        std::string input;
        std::string dump;
    };
    const std::vector<Case> cases = {
        {"object a: TA\nend", "object a:TA{}"},
        {"OBJECT Form1: TForm1\n  Caption = clRed\nEnd", "object Form1:TForm1{Caption=clRed}"},
        {"Inherited f: TF\n inline x: TX\n end\n object y : TY end END",
         "inherited f:TF{inline x:TX{} object y:TY{}}"},
        {"object a: TA A = 350 B = -11 C = +7 D = $00E7E7E7 E = $FFFFFFFFFFFFFFFF "
         "F = 9223372036854775807 G = -9223372036854775808 H = $00000000000000000001 end",
         "object a:TA{A=i350 B=i-11 C=i7 D=i15198183 E=i-1 F=i9223372036854775807 "
         "G=i-9223372036854775808 H=i1}"},
        {"object a: TA A = 1.5 B = -0.25 C = 1.5E+003 D = 2e-2 E = 0.0 end",
         "object a:TA{A=f1.5 B=f-0.25 C=f1500 D=f0.02 E=f0}"},
        {"object a: TA\n A = 'It''s'\n B = 'It'#39's here'#13#10 +\n   'second'\n C = ''\n"
         " D = #$41#66'x'#0 E = 'a' +'b'+\n\n 'c' F = 'caf\xE9'#233 G = ''''\nend",
         "object a:TA{A=s'It's' B=s'It's here#13#10second' C=s'' D=s'ABx#0' E=s'abc' "
         "F=s'caf#233#233' G=s'''}"},
        {"object a: TA\n Font.Style = [fsBold, fsItalic] Empty = [ ] One = [x]\n"
         " DataSource = Other.Source1 item = True\nend",
         "object a:TA{Font.Style=[fsBold,fsItalic] Empty=[] One=[x] DataSource=Other.Source1 "
         "item=True}"},
        {"object a: TA\n Lines.Strings = (\n  'one'\n  'two' + 'x')\n Empty = ()\n"
         " Mixed = (1 a 1.5 [b] ( 2 ) {FF} <item end>)\nend",
         "object a:TA{Lines.Strings=(s'one' s'twox') Empty=() Mixed=(i1 a f1.5 [b] (i2) {FF} "
         "<{}>)}"},
        {"object a: TA\n Data = {\n  0A54\n  ff 00\n  }\n Empty = {}\nend",
         "object a:TA{Data={0A54FF00} Empty={}}"},
        {"object a: TA\n Items = <\n  item\n   Caption = 'A'\n   Width = 10\n  end\n  ITEM\n  "
         "END>\n"
         " Empty = <>\n Nested = <item Sub = <item X = 1 end> end>\nend",
         "object a:TA{Items=<{Caption=s'A' Width=i10}{}> Empty=<> Nested=<{Sub=<{X=i1}>}>}"},
        {"\xEF\xBB\xBFobject\ta:\tTA\r\n\tLeft = 1\rTop = 2\r\n\r\nend\r\n\r\n",
         "object a:TA{Left=i1 Top=i2}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        try {
            EXPECT_EQ(Dump(Parse(c.input, "Main.dfm")), c.dump);
        } catch (const ParseError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(DfmParse, SampleTreeAndLinesUnderEveryLineEnd) {
    const std::string expected =
        "object fmMain:TfmMain{Left=i350 Caption=s'Riduduz' Font.Height=i-11 "
        "Font.Name=s'MS Sans Serif' Font.Style=[fsBold] Color=clBtnFace Color2=i15198183 "
        "Ratio=f1.5 Hint=s'It's here#13#10second line' Enabled=True OnClose=FormClose "
        "Lines.Strings=(s'one' s'two') Picture.Data={0A544269746D6170FF00} "
        "Items=<{Caption=s'A' Width=i10}{}> "
        "object sfMain:TsuiForm{Left=i0 object pTop:TsuiPanel{}}}";
    for (const char* eol : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(eol));
        const Object root = Parse(WithLineEnds(kSample, eol), "Main.dfm");
        EXPECT_EQ(Dump(root), expected);
        EXPECT_EQ(root.line, 1);
        ASSERT_EQ(root.properties.size(), 14u);
        EXPECT_EQ(root.properties[1].line, 3);                     // Caption
        EXPECT_EQ(root.properties[8].value.line, 10);              // Hint, joined across lines
        EXPECT_EQ(root.properties[9].line, 12);                    // Enabled, after the join
        EXPECT_EQ(root.properties[11].value.list[1].line, 16);     // 'two'
        EXPECT_EQ(root.properties[12].line, 17);                   // Picture.Data
        EXPECT_EQ(root.properties[13].line, 20);                   // Items, after the binary
        EXPECT_EQ(root.properties[13].value.items[0][1].line, 23); // Width
        ASSERT_EQ(root.children.size(), 1u);
        EXPECT_EQ(root.children[0].line, 27);
        EXPECT_EQ(root.children[0].children[0].line, 29);
    }
}

TEST(DfmParse, BadInputs) {
    struct Case {
        std::string input;
        std::string message;
    };
    const std::string a = "object a: TA\n";
    const std::vector<Case> cases = {
        // Structure.
        {"", "Main.dfm(1): expected 'object', 'inherited' or 'inline', found end of input"},
        {"\n\t\r\n  ",
         "Main.dfm(3): expected 'object', 'inherited' or 'inline', found end of input"},
        {"Left = 1", "Main.dfm(1): expected 'object', 'inherited' or 'inline', found identifier "
                     "'Left'"},
        {"object TClass\n  Left = 1\nend",
         "Main.dfm(1): expected ':' after object name 'TClass', found identifier 'Left'"},
        {"object 5: T\nend", "Main.dfm(1): expected object name after 'object', found integer 5"},
        {"Inherited a.b: T\nend",
         "Main.dfm(1): expected object name after 'Inherited', found identifier 'a.b'"},
        {a + " object b:\n end\nend",
         "Main.dfm(3): expected class name after 'b:', found identifier 'end' in object 'a'"},
        {a + "  Left = 1\n", "Main.dfm(3): missing 'end' of object 'a' begun at line 1"},
        {a + "  object b: TB\nend", "Main.dfm(3): missing 'end' of object 'a' begun at line 1"},
        {a + "  Caption 'x'\nend", "Main.dfm(2): expected '=' after property name 'Caption', "
                                   "found string 'x' in object 'a'"},
        {a + "  = 1\nend",
         "Main.dfm(2): expected property name, 'object' or 'end', found '=' in object 'a'"},
        {a + "end\nx", "Main.dfm(3): expected end of input after the final 'end', found "
                       "identifier 'x'"},
        {a + "end end", "Main.dfm(2): expected end of input after the final 'end', found "
                        "identifier 'end'"},
        {a + "  Left =\nend",
         "Main.dfm(3): expected a value, found identifier 'end' in property 'Left' of object 'a'"},
        // Strings.
        {a + "  Caption = 'Riduduz\nend",
         "Main.dfm(2): unterminated string in property 'Caption' of object 'a'"},
        {a + "  Caption = 'abc''", "Main.dfm(2): unterminated string in property 'Caption' of "
                                   "object 'a'"},
        {a + "  Hint = 'x'#999\nend",
         "Main.dfm(2): character code #999 is out of range in property 'Hint' of object 'a'"},
        {a + "  Hint = #$100\nend",
         "Main.dfm(2): character code #$100 is out of range in property 'Hint' of object 'a'"},
        {a + "  Hint = #99999999999999999999999999\nend",
         "Main.dfm(2): character code #99999999999999999999999999 is out of range in property "
         "'Hint' of object 'a'"},
        {a + "  Hint = 'x'#\nend",
         "Main.dfm(2): expected character code after '#' in property 'Hint' of object 'a'"},
        {a + "  Hint = #$g\nend",
         "Main.dfm(2): expected hex digits after '#$' in property 'Hint' of object 'a'"},
        {a + "  Hint = 'a' + 5\nend",
         "Main.dfm(2): expected string after '+', found integer 5 in property 'Hint' of object "
         "'a'"},
        // Binary.
        {a + "  Data = {\n    0A5G}\nend",
         "Main.dfm(3): invalid character 'G' in binary data in property 'Data' of object 'a'"},
        {a + "  Data = {0A5}\nend",
         "Main.dfm(2): odd number of hex digits in binary data in property 'Data' of object 'a'"},
        {a + "  Data = {0A\n  55\n",
         "Main.dfm(2): unterminated binary data in property 'Data' of object 'a'"},
        // Numbers and unknown characters.
        {a + "  Left = @\nend",
         "Main.dfm(2): unexpected character '@' in property 'Left' of object 'a'"},
        {a + "  \x01", "Main.dfm(2): unexpected character #1 in object 'a'"},
        {a + "  Left = -x\nend",
         "Main.dfm(2): unexpected character '-' in property 'Left' of object 'a'"},
        {a + "  Left = 12abc\nend",
         "Main.dfm(2): malformed number '12abc' in property 'Left' of object 'a'"},
        {a + "  Left = 1.\nend",
         "Main.dfm(2): malformed number '1.' in property 'Left' of object 'a'"},
        {a + "  Left = $1FZ\nend",
         "Main.dfm(2): malformed number '$1FZ' in property 'Left' of object 'a'"},
        {a + "  Left = $\nend",
         "Main.dfm(2): expected hex digits after '$' in property 'Left' of object 'a'"},
        {a + "  Left = 9223372036854775808\nend",
         "Main.dfm(2): integer 9223372036854775808 is out of range in property 'Left' of "
         "object 'a'"},
        {a + "  Left = $10000000000000000\nend",
         "Main.dfm(2): integer $10000000000000000 is out of range in property 'Left' of object "
         "'a'"},
        {a + "  Ratio = 1e999\nend",
         "Main.dfm(2): number 1e999 is out of range in property 'Ratio' of object 'a'"},
        {a + "  Font. = 1\nend", "Main.dfm(2): expected identifier after 'Font.' in object 'a'"},
        // Sets, lists, collections.
        {a + "  Style = [fsBold, 5]\nend",
         "Main.dfm(2): expected identifier after ',' in set, found integer 5 in property "
         "'Style' of object 'a'"},
        {a + "  Style = ['x']\nend", "Main.dfm(2): expected identifier or ']' in set, found "
                                     "string 'x' in property 'Style' of object 'a'"},
        {a + "  Style = [fsBold fsItalic]\nend",
         "Main.dfm(2): expected ',' or ']' in set, found identifier 'fsItalic' in property "
         "'Style' of object 'a'"},
        {a + "  L = (1 2\nend", "Main.dfm(3): expected a value or ')' in list, found identifier "
                                "'end' in property 'L' of object 'a'"},
        {a + "  Items = <Caption = 'x'>\nend",
         "Main.dfm(2): expected 'item' or '>' in collection, found identifier 'Caption' in "
         "property 'Items' of object 'a'"},
        {a + "  Items = <\n item\n  object b: TB\n end\n end>\nend",
         "Main.dfm(4): expected property name or 'end' in collection item, found identifier "
         "'object' in property 'Items' of object 'a'"},
        {a + "  Items = <item Caption = 'A'\n>",
         "Main.dfm(3): expected property name or 'end' in collection item, found '>' in "
         "property 'Items' of object 'a'"},
        // Line ends: CR, LF and CRLF each count once; LF CR counts twice.
        {"object a: TA\r\n\r\n\rLeft = @", "Main.dfm(4): unexpected character '@' in property "
                                           "'Left' of object 'a'"},
        {"object a: TA\n\rLeft = @", "Main.dfm(3): unexpected character '@' in property 'Left' "
                                     "of object 'a'"},
        // Limits: nesting, and huge names cut short in messages.
        {NestedObjects(65), "Main.dfm(65): nesting deeper than 64 levels in object 'o63'"},
        {a + "  L = " + Repeat("(", 64) + Repeat(")", 64) + "\nend",
         "Main.dfm(2): nesting deeper than 64 levels in property 'L' of object 'a'"},
        {a + "  L = " + Repeat("<item X = ", 100000),
         "Main.dfm(2): nesting deeper than 64 levels in property 'X' of object 'a'"},
        {a + "  " + Repeat("x", 50) + " 1\nend", "Main.dfm(2): expected '=' after property name '" +
                                                     Repeat("x", 40) +
                                                     "...', found integer 1 in object 'a'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 200));
        try {
            Parse(c.input, "Main.dfm");
            ADD_FAILURE() << "parsed without error";
        } catch (const ParseError& e) {
            EXPECT_EQ(e.what(), c.message);
            EXPECT_EQ(
                std::string(e.what()).rfind("Main.dfm(" + std::to_string(e.line()) + "): ", 0), 0u);
        }
    }
}

TEST(DfmParse, NestingUpToTheLimitIsAccepted) {
    Object root = Parse(NestedObjects(vcl::dfm::kMaxNesting), "Main.dfm");
    int depth = 1;
    for (const Object* o = &root; !o->children.empty(); o = &o->children[0])
        ++depth;
    EXPECT_EQ(depth, vcl::dfm::kMaxNesting);

    root = Parse("object a: TA L = " + Repeat("(", 63) + Repeat(")", 63) + " end", "Main.dfm");
    EXPECT_EQ(root.properties[0].value.kind, Value::Kind::List);
}

// Every truncation and many one-byte corruptions of a real description must either parse or
// raise ParseError with a line inside the text; the sanitizer build checks the rest.
TEST(DfmParse, DamagedInputsFailCleanly) {
    const std::string sample = kSample;
    const int lines = 33;
    auto check = [&](const std::string& text) {
        try {
            Parse(text, "Main.dfm");
        } catch (const ParseError& e) {
            EXPECT_GE(e.line(), 1);
            EXPECT_LE(e.line(), lines);
        }
    };
    for (std::size_t n = 0; n + 1 < sample.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_THROW(Parse(sample.substr(0, n), "Main.dfm"), ParseError);
    }
    for (std::size_t i = 0; i < sample.size(); ++i) {
        for (char c : std::string("\0'#{}()<>[]$+=:.\r-9e", 21)) {
            std::string text = sample;
            text[i] = c;
            check(text);
        }
    }
}

// Long inputs must stay linear: each of these takes seconds or more if any step is quadratic.
TEST(DfmParse, LongInputs) {
    const int n = 200000;
    Object root =
        Parse("object a: TA\n Hint = " + Repeat("'ab' +\n", n) + "'z'\n" + " Lines = (" +
                  Repeat("'x' ", n) + ")\n" + " Data = {" + Repeat("0a", n) + "}\n" +
                  " Name = " + std::string(n, 'q') + "\n" + Repeat("object b: TB end\n", n) + "end",
              "Main.dfm");
    ASSERT_EQ(root.properties.size(), 4u);
    EXPECT_EQ(root.properties[0].value.text.size(), 2u * n + 1);
    EXPECT_EQ(root.properties[1].value.list.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(root.properties[2].value.binary.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(root.properties[3].value.text.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(root.properties[3].line, n + 5);
    EXPECT_EQ(root.children.size(), static_cast<std::size_t>(n));
}

} // namespace
