// The animated picture window of every role: the preview in the desktop's
// window, the full-screen saver (which derives from it, and holds one more
// for each further display) and the live preview of the settings dialog. A
// timer moves the tile, bouncing at the edges of the view's area recorded at
// creation (the client area), and every tick draws a whole frame. The view
// only asks for its next picture, fitted to its tile, and shows what comes
// back: the listing of a folder, the reading of a cache and the decoding all
// happen on the decoding thread, so that no tick waits for a disk or a
// decoder.
#pragma once

#include "fw/Gdi.h"
#include "fw/MsgMap.h"
#include "fw/Wnd.h"
#include "pictures/Loader.h"
#include "pictures/Picture.h"
#include "pictures/PictureCycle.h"

#include <memory>
#include <string>
#include <vector>

// What the decoding thread hands a view: a picture and its key (none when a
// whole pass offered no picture to show); or the full-screen window its
// music's file.
struct Found {
    std::string key;
    std::unique_ptr<CPicture> picture;
};
using PictureLoader = pictures::Loader<Found>;

// The decoding thread of a run, its work in COM's multithreaded apartment.
std::shared_ptr<PictureLoader> MakePictureLoader();

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

    // Makes the view one of the group of views of one run, before its window
    // is created: they share the decoding thread, take turns at asking it for
    // pictures and show different ones. The first view of a group seeds the
    // random sequence; the others go on drawing from it, so that each draws a
    // start and a source of its own.
    void JoinGroup(pictures::Group& group, std::shared_ptr<pictures::Showing> showing,
                   std::shared_ptr<PictureLoader> loader, int nView);
    // Moves the view to another rectangle of its parent, as a change of the
    // display's scale asks: frames, bounces and the tile take its size.
    void MoveView(const RECT& rect);
    // While nobody can see it the view rests: no ticks, frames or pictures.
    // Resuming draws a frame at once and ticks again at the same period.
    void Pause();
    void Resume();

    // Composes one frame off screen and copies it to the target at the view's
    // place: black, the banner fan, the picture stretched into the tile.
    void DrawFrame(CDC* pDC);
    // The banner fan, made anew with every frame.
    void DrawBanner(CDC* pDC);

protected:
    static constexpr UINT_PTR kAnimationTimer = 1;
    // The decoding thread's doorbell: a result waits.
    static constexpr UINT WM_PICTURE_FOUND = WM_APP + 1;

    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void PostNcDestroy() override;

    // The part of the client area that the view animates: all of it.
    virtual RECT GetViewRect() const;
    // Records the view's area: its size, and where it lies in the window.
    void TakeViewRect();

    // Where the pictures come from: in Velmora mode a browser's cache that
    // holds pictures, chosen at random on the decoding thread, else (or
    // without one) the Folder setting's folder.
    void ChoosePictures(int nVelmoraMode);
    LRESULT OnPictureFound(WPARAM wParam, LPARAM lParam);
    // One step of the picture cycle, on a tick: a decoded picture takes the
    // tile, or the next one is asked for when a change is due.
    void StepPictureCycle();
    // Asks the decoding thread for the next picture, at its tile's size.
    void AskNextPicture();
    // The decoded picture takes the tile.
    void ShowNextPicture();
    // The tile of the picture: its natural size, or fitted to the area.
    void FitTile();

    int m_nResolution = 1;
    int m_nStepX = 1;
    int m_nStepY = 1;
    int m_nPosX = 0;
    int m_nPosY = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    RECT m_rcClient{};
    POINT m_ptOrigin{};  // the top-left corner of m_rcClient in the window
    int m_nTick = 0;
    std::shared_ptr<pictures::PictureCycle> m_pCycle;  // used on the decoding thread only
    std::unique_ptr<CPicture> m_pPicture;
    Found m_next;                // decoded, shown from the next tick
    int m_nChangeTimes = 0;
    BOOL m_bAdjustPictureSize = TRUE;
    BOOL m_bAutoDelete;
    UINT m_nPeriod = 0;  // of the timer, in milliseconds
    pictures::Group m_ownGroup;
    pictures::Group* m_pGroup = &m_ownGroup;
    std::shared_ptr<pictures::Showing> m_pShowing;
    int m_nView = 0;
    std::shared_ptr<PictureLoader> m_pLoader;
    int m_nClient = -1;

    DECLARE_MESSAGE_MAP()
};
