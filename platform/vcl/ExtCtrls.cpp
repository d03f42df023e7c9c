#include "vcl/ExtCtrls.h"

#include "vcl/Forms.h"

#include <utility>

// ---- TImage ----

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 105, 105);
    m_picture.OnChange = [this] { PictureChanged(); };
}

void TImage::SetAutoSize(bool v) {
    m_autoSize = v;
    PictureChanged();
}
void TImage::SetTransparent(bool v) {
    m_transparent = v;
    PictureChanged();
}
void TImage::SetStretch(bool v) {
    m_stretch = v;
    Invalidate();
}
void TImage::SetCenter(bool v) {
    m_center = v;
    Invalidate();
}

void TImage::Loaded() {
    TGraphicControl::Loaded();
    PictureChanged();
}

void TImage::PictureChanged() {
    const TBitmap& bmp = std::as_const(m_picture).Bitmap();
    if (m_transparent && !bmp.Empty()) {
        m_drawn = bmp.WithTransparentColor(bmp.PixelAt(0, bmp.Height() - 1));
    } else {
        m_drawn = backend::Bitmap{bmp.Width(), bmp.Height(), bmp.Pixels().rgba, {}};
    }
    if (m_autoSize && !bmp.Empty() && !Loading()) {
        // An image aligned left or right keeps the height its parent gives it.
        const bool keepsHeight = Align() == TAlign::alLeft || Align() == TAlign::alRight;
        SetBounds(Left(), Top(), bmp.Width(), keepsHeight ? Height() : bmp.Height());
    }
    Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
    if (m_drawn.width == 0) return;
    backend::Rect dest{0, 0, m_drawn.width, m_drawn.height};
    if (m_stretch)
        dest = ClientRect();
    else if (m_center)
        dest = {(Width() - m_drawn.width) / 2, (Height() - m_drawn.height) / 2, m_drawn.width,
                m_drawn.height};
    canvas.Draw(m_drawn, dest);
}

const vcl::ClassInfo& TImage::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info(
        "TImage", &TGraphicControl::StaticClassInfo(), FactoryOf<TImage>(),
        {prop::Object("Picture", &TImage::Picture), prop::Bool("AutoSize", &TImage::SetAutoSize),
         prop::Bool("Transparent", &TImage::SetTransparent),
         prop::Bool("Stretch", &TImage::SetStretch), prop::Bool("Center", &TImage::SetCenter)});
    return info;
}

// ---- TTimer ----

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
    m_destroying = true;
    UpdateTimer();
}

void TTimer::BeforeDestruction() {
    TComponent::BeforeDestruction();
    m_destroying = true;
    UpdateTimer();
}

void TTimer::SetEnabled(bool v) {
    if (v == m_enabled) return;
    m_enabled = v;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
    if (v == m_interval) return;
    m_interval = v;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    m_onTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

// Stops the running period, then starts a fresh one when the timer should run.
void TTimer::UpdateTimer() {
    if (m_id != 0) {
        backend::Current().StopTimer(m_id);
        m_id = 0;
    }
    if (!m_enabled || m_interval == 0 || !m_onTimer || Loading() || m_destroying) return;
    m_id = backend::Current().StartTimer(static_cast<int>(m_interval), [this] { Tick(); });
}

void TTimer::Tick() {
    vcl::Dispatch([this] {
        if (m_onTimer) m_onTimer(this);
    });
}

const vcl::ClassInfo& TTimer::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info(
        "TTimer", &TComponent::StaticClassInfo(), FactoryOf<TTimer>(),
        {prop::Bool("Enabled", &TTimer::SetEnabled), prop::Int("Interval", &TTimer::SetInterval),
         prop::Custom<TTimer>("OnTimer", [](TTimer& t, const dfm::Value& v, LoadContext& ctx) {
             t.SetOnTimer(ctx.Handler<TNotifyEvent>(v));
         })});
    return info;
}
