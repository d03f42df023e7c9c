// Malformed work logs and form descriptions. A log is read the documented way and, once a
// tick has been saved, every line the save did not have to touch is still there byte for
// byte. A description that cannot be loaded raises EReadError naming the description and
// the line; nothing crashes.
#include "AppFixture.h"

#include "About.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using BadLog = AppFixture;

const std::string kNewDay = "[WorkTime]\n2009-06-09=1\n[Days]\nCount=1\nDay0=2009-06-09\n";

TEST_F(BadLog, MalformedLogsReadTheDocumentedWayAndKeepTheirLines) {
    const std::string longLine = "x=" + std::string(100000, 'y');
    const struct Case {
        const char* what;
        std::string log, shown, after; // after one tick and the exit
    } cases[] = {
        {"empty", "", "00:00:00", kNewDay},
        {"only blanks", " \t\n\n\r\n", "00:00:00",
         " \t\n\n\r\n" +
             std::string("[WorkTime]\r\n2009-06-09=1\r\n[Days]\r\nCount=1\r\nDay0=2009-06-09\r\n")},
        {"byte-order mark, CRLF, no day list", "\xEF\xBB\xBF[WorkTime]\r\n2009-06-09=100\r\n",
         "00:01:40", "\xEF\xBB\xBF[WorkTime]\r\n2009-06-09=101\r\n"},
        {"CR only", "[WorkTime]\r2009-06-09=12\r[Days]\rCount=1\rDay0=2009-06-09\r", "00:00:12",
         "[WorkTime]\r2009-06-09=13\r[Days]\rCount=1\rDay0=2009-06-09\r"},
        {"no final line end", "[WorkTime]\n2009-06-09=3", "00:00:03", "[WorkTime]\n2009-06-09=4"},
        {"binary junk and an unclosed header",
         std::string("\0\x01\xfe\xff\n[WorkTime\n2009-06-09 = 7 ; note\n", 37), "00:00:07",
         std::string("\0\x01\xfe\xff\n[WorkTime\n2009-06-09 =8\n", 29)},
        {"duplicates: the first wins",
         "[WorkTime]\n2009-06-09=50\n2009-06-09=70\n[worktime]\n2009-06-09=90\n", "00:00:50",
         "[WorkTime]\n2009-06-09=51\n2009-06-09=70\n[worktime]\n2009-06-09=90\n"},
        {"other case", "[WORKTIME]\n2009-06-09=5\n[DAYS]\ncount=1\nday0=2009-06-09\n", "00:00:05",
         "[WORKTIME]\n2009-06-09=6\n[DAYS]\ncount=1\nday0=2009-06-09\n"},
        {"blanks and text after the header", "[ WorkTime ] old\n\t2009-06-09\t=\t40\n", "00:00:40",
         "[ WorkTime ] old\n\t2009-06-09\t=41\n"},
        {"quoted total", "[WorkTime]\n2009-06-09=\"20\"\n", "00:00:20",
         "[WorkTime]\n2009-06-09=21\n"},
        {"the day outside its section", "2009-06-09=999\n[Other]\n2009-06-09=888\n", "00:00:00",
         "2009-06-09=999\n[Other]\n2009-06-09=888\n" + kNewDay},
        {"a 100 kB line", "[WorkTime]\n" + longLine + "\n2009-06-09=30\n", "00:00:30",
         "[WorkTime]\n" + longLine + "\n2009-06-09=31\n"},
        {"a 100 kB total", "[WorkTime]\n2009-06-09=" + std::string(100000, '9') + "\n", "00:00:00",
         "[WorkTime]\n2009-06-09=1\n"},
        {"comments and junk around the keys",
         ";[WorkTime]\n[WorkTime]\n;2009-06-09=5\njunk\n2009-06-09=6\n", "00:00:06",
         ";[WorkTime]\n[WorkTime]\n;2009-06-09=5\njunk\n2009-06-09=7\n"},
        {"a day count that is not a number", "[WorkTime]\n2009-06-08=5\n[Days]\nCount=many\n",
         "00:00:00", "[WorkTime]\n2009-06-08=5\n2009-06-09=1\n[Days]\nCount=1\nDay0=2009-06-09\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteLog(c.log);
        Start();
        EXPECT_EQ(fmMain->lblTime->Caption(), c.shown);
        fake.Advance(1000);
        Stop();
        EXPECT_EQ(ReadLog(), c.after);
        EXPECT_TRUE(fake.MessageBoxes().empty());
        fake.Reset();
        app = std::make_unique<vcl::ApplicationScope>();
    }
}

// A day list whose count is below the days it lists: the new day must not take the place
// of one already listed.
TEST_F(BadLog, ACountBelowTheListedDaysNeverReplacesADay) {
    WriteLog("[WorkTime]\n2009-06-08=5\n[Days]\nCount=0\nDay0=2009-06-08\n");
    Start();
    fake.Advance(1000);
    Stop();
    const std::string log = ReadLog();
    EXPECT_NE(log.find("=2009-06-08\n"), std::string::npos) << log;
    EXPECT_NE(log.find("=2009-06-09\n"), std::string::npos) << log;
}

std::string AboutText() {
    std::ifstream in(std::string(RIDUDUZ_SOURCE_DIR) + "/src/About.dfm", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int LineOf(const std::string& text, std::size_t at) {
    return 1 +
           static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

using BadDescription = AppFixture;

TEST_F(BadDescription, DamagedDescriptionsRaiseAReadErrorNamingTheLine) {
    const std::string good = AboutText();
    ASSERT_FALSE(good.empty());
    auto at = [&](const std::string& s) {
        const std::size_t p = good.find(s);
        if (p == std::string::npos) throw std::logic_error("not in About.dfm: " + s);
        return p;
    };
    auto replaced = [&](const std::string& from, const std::string& to) {
        return std::string(good).replace(at(from), from.size(), to);
    };
    const std::size_t half = at("object btnOK");
    std::string deep = "object fmAbout: TfmAbout\n";
    for (int i = 0; i < vcl::dfm::kMaxNesting + 1; ++i)
        deep += "object a" + std::to_string(i) + ": TPanel\n";
    const struct Case {
        const char* what;
        std::string text;
        int line; // 0: any line, only the description's name is checked
    } cases[] = {
        {"empty", "", 1},
        {"cut in half", good.substr(0, half), 0},
        {"cut inside a string", good.substr(0, at("Copyright") + 4), LineOf(good, at("Copyright"))},
        {"last end missing", good.substr(0, good.rfind("end")), 0},
        {"unterminated string", replaced("'About Riduduz'", "'About Riduduz"),
         LineOf(good, at("'About Riduduz'"))},
        {"bad number", replaced("Left = 300", "Left = 3x0"), 2},
        {"number too large", replaced("Left = 300", "Left = 99999999999999999999999"), 2},
        {"NUL byte", replaced("Top = 200", std::string("Top = \0", 7)), 3},
        {"binary junk", replaced("Top = 200", "\xff\xfe\x01\x02"), 3},
        {"unclosed set", replaced("Font.Style = []", "Font.Style = [fsBold"), 0},
        {"unclosed collection",
         replaced("      end>\n    TitleBarButtons", "      end\n    TitleBarButtons"), 0},
        {"bad hex", replaced("Color = $00E7E7E7", "Color = $00E7G7E7"),
         LineOf(good, at("Color = $00E7E7E7"))},
        {"unknown property", replaced("Scaled = False", "Scaled2 = False"),
         LineOf(good, at("Scaled = False"))},
        {"unknown class", replaced("object btnOK: TsuiButton", "object btnOK: TNoSuchButton"),
         LineOf(good, half)},
        {"nesting too deep", deep, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* form = new TfmAbout(Application);
        try {
            vcl::LoadFormFromText(*form, TfmAbout::Published(), c.text, "About.dfm");
            form->AfterConstruction();
            ADD_FAILURE() << "loaded without error";
        } catch (const EReadError& e) {
            const std::string message = e.Message();
            const std::string want =
                c.line ? "About.dfm(" + std::to_string(c.line) + ")" : "About.dfm(";
            EXPECT_EQ(message.substr(0, want.size()), want) << message;
        }
        TObject::Free(form);
    }
    // The same description with other line ends still loads.
    for (const char* eol : {"\r\n", "\r"}) {
        std::string text;
        for (char ch : good)
            text += ch == '\n' ? std::string(eol) : std::string(1, ch);
        auto* form = new TfmAbout(Application);
        EXPECT_NO_THROW(vcl::LoadFormFromText(*form, TfmAbout::Published(), text, "About.dfm"));
        TObject::Free(form);
    }
}

} // namespace
