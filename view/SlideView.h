// The animated picture window of every role: the preview in the desktop's
// window, the full-screen saver (which derives from it) and the live preview
// of the settings dialog. A timer moves the tile, bouncing at the edges of the
// client area recorded at creation, and every tick draws a whole frame.
#pragma once

#include "fw/Gdi.h"
#include "fw/MsgMap.h"
#include "fw/Wnd.h"

class CSlideView : public CWnd {
public:
    explicit CSlideView(BOOL bAutoDelete);
    ~CSlideView() override;

    // Creates the view's window. On failure an auto-deleting object has
    // already deleted itself.
    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, HWND hParent);

    void SetSpeed(int nSpeed);              // (re)starts the animation timer
    void SetResolution(int nResolution);    // the step, from the client height
    void SetChangeTimes(int nChangeTimes);  // ticks per picture
    void SetAdjustPictureSize(BOOL bAdjust);

    // Composes one frame off screen and copies it to the target at (0, 0).
    void DrawFrame(CDC* pDC);

protected:
    static constexpr UINT_PTR kAnimationTimer = 1;

    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void PostNcDestroy() override;

    // One step of the picture cycle, on a tick while the listing is open.
    void StepPictureCycle();

    int m_nResolution = 1;
    int m_nStepX = 1;
    int m_nStepY = 1;
    int m_nPosX = 0;
    int m_nPosY = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    RECT m_rcClient{};
    BOOL m_bSearching = FALSE;
    int m_nTick = 0;
    int m_nChangeTimes = 0;
    BOOL m_bAdjustPictureSize = TRUE;
    BOOL m_bAutoDelete;

    DECLARE_MESSAGE_MAP()
};
