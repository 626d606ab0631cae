// The animated picture window of every role: the preview in the desktop's
// window, the full-screen saver (which derives from it) and the live preview
// of the settings dialog. A timer moves the tile, bouncing at the edges of the
// client area recorded at creation, and every tick draws a whole frame.
#pragma once

#include "fw/FileFind.h"
#include "fw/Gdi.h"
#include "fw/MsgMap.h"
#include "fw/Wnd.h"
#include "view/Picture.h"

#include <memory>
#include <string>

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

    // Composes one frame off screen and copies it to the target at (0, 0):
    // black, the banner fan, the picture stretched into the tile.
    void DrawFrame(CDC* pDC);
    // The banner fan, made anew with every frame.
    void DrawBanner(CDC* pDC);

protected:
    static constexpr UINT_PTR kAnimationTimer = 1;

    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void PostNcDestroy() override;

    // The picture folder, chosen once: in Velmora mode a random sub-folder of
    // the internet cache's "Content.IE5", else (or without one) the Folder
    // setting. Opens the listing of its "*.jpg" files.
    void ChoosePictureFolder(int nVelmoraMode);
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
    std::string m_strPattern;
    CFileFind m_finder;
    bool m_bSearching = false;
    int m_nTick = 0;
    std::unique_ptr<CPicture> m_pPicture;
    int m_nChangeTimes = 0;
    BOOL m_bAdjustPictureSize = TRUE;
    BOOL m_bAutoDelete;

    DECLARE_MESSAGE_MAP()
};
