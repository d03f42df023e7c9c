#include "SuiFixture.h"

#include "winapi/Resources.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

namespace {

// An uncompressed 24-bit BMP of one colour with a magenta (transparent) top-left pixel.
std::vector<unsigned char> MakeBmp(int width, int height, backend::Color fill) {
    const int row = (width * 3 + 3) / 4 * 4;
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * height);
    std::vector<unsigned char> b(size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1, b[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool key = x == 0 && y == height - 1; // rows run bottom up
            unsigned char* p = &b[54 + static_cast<std::size_t>(y * row + x * 3)];
            p[0] = key ? 255 : fill.b, p[1] = key ? 0 : fill.g, p[2] = key ? 255 : fill.r;
        }
    return b;
}

struct Picture {
    const char* name;
    int width, height;
};

// The BlueGlass pictures at their real sizes, registered before main() like embedded ones.
struct GeneratedSkin {
    std::deque<std::vector<unsigned char>> data;
    std::deque<winapi::ResourceRegistrar> registrars;
    GeneratedSkin() {
        const Picture pictures[] = {
            {"BLUEGLASS_TITLE_LEFT", 162, 33},    {"BLUEGLASS_TITLE_MIDDLE", 4, 33},
            {"BLUEGLASS_TITLE_RIGHT", 101, 33},   {"BLUEGLASS_SYSMENU_NORMAL", 19, 19},
            {"BLUEGLASS_SYSMENU_OVER", 19, 19},   {"BLUEGLASS_SYSMENU_PRESSED", 19, 19},
            {"BLUEGLASS_CLOSE_NORMAL", 19, 19},   {"BLUEGLASS_CLOSE_OVER", 19, 19},
            {"BLUEGLASS_CLOSE_PRESSED", 19, 19},  {"BLUEGLASS_BUTTON_NORMAL", 24, 27},
            {"BLUEGLASS_BUTTON_OVER", 24, 27},    {"BLUEGLASS_BUTTON_PRESSED", 24, 27},
            {"BLUEGLASS_BUTTON_DISABLED", 24, 27}};
        for (const Picture& p : pictures) {
            data.push_back(MakeBmp(p.width, p.height, {40, 90, 200}));
            registrars.emplace_back(p.name, data.back().data(), data.back().size());
        }
    }
};
const GeneratedSkin skin;

} // namespace

SuiFixture::SuiFixture() {
    fake.Reset();
    app.emplace();
    form = vcl::NewForm<TSampleForm>(Application);
    sui = form->suiForm;
    form->Show();
    Window().PaintAll();
    Window().TakeInvalidated();
}

SuiFixture::~SuiFixture() {
    app.reset();
    fake.Reset();
}

backend::headless::HeadlessWindow& SuiFixture::Window() const {
    return *static_cast<backend::headless::HeadlessWindow*>(form->NativeWindow());
}

backend::headless::HeadlessWindow* SuiFixture::PopupWindow() const {
    for (auto* w : fake.Windows())
        if (w->Spec().popup && w->Visible()) return w;
    return nullptr;
}

void SuiFixture::Script(std::vector<std::function<void()>> steps) {
    auto queue = std::make_shared<std::deque<std::function<void()>>>(steps.begin(), steps.end());
    fake.SetIdle([queue] {
        if (queue->empty()) throw std::logic_error("the script has run out of steps");
        auto step = queue->front();
        queue->pop_front();
        step();
    });
}

backend::Rect SuiFixture::InForm(const TControl& c, const backend::Rect& local) {
    const backend::Point at = c.FormOffset();
    return local.Offset(at.x, at.y);
}

bool SuiFixture::OnlyArea(const std::vector<backend::Rect>& invalidated,
                          const backend::Rect& area) {
    return !invalidated.empty() && std::all_of(invalidated.begin(), invalidated.end(),
                                               [&](const backend::Rect& r) { return r == area; });
}
