// TImage (a picture) and TTimer (a periodic tick).
//
// TTimer: Interval 1000 ms and Enabled true by default. It runs while Enabled, Interval > 0
// and OnTimer is set, and never while its owner is loading or it is being destroyed.
// Switching it on starts a fresh period; setting the value it already has changes nothing;
// ticks the loop could not take in time merge into one. Ticks go through the dispatch barrier.
#pragma once

#include "backend/Backend.h"
#include "vcl/Controls.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);

    TPicture* Picture() { return &m_picture; }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v);
    // The picture's bottom-left pixel colour is not drawn.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool v);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool v);
    bool Center() const { return m_center; }
    void SetCenter(bool v);

    void Paint(TCanvas& canvas) override;
    void Loaded() override;

    VCL_DECLARE_CLASS();

private:
    void PictureChanged();
    TPicture m_picture;
    backend::Bitmap m_drawn; // the picture as drawn (transparency applied)
    bool m_autoSize = false;
    bool m_transparent = false;
    bool m_stretch = false;
    bool m_center = false;
};

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v);
    unsigned Interval() const { return m_interval; }
    void SetInterval(unsigned v);
    const TNotifyEvent& OnTimer() const { return m_onTimer; }
    void SetOnTimer(TNotifyEvent handler);
    bool Running() const { return m_id != 0; }

    void Loaded() override;
    void BeforeDestruction() override;

    VCL_DECLARE_CLASS();

private:
    void UpdateTimer();
    void Tick();
    bool m_enabled = true;
    unsigned m_interval = 1000;
    TNotifyEvent m_onTimer;
    backend::TimerId m_id = 0;
    bool m_destroying = false;
};
