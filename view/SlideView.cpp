#include "view/SlideView.h"

#include "app/Settings.h"
#include "fw/Com.h"
#include "fw/Shell.h"
#include "fw/WinApp.h"
#include "pictures/WinFiles.h"
#include "res/resource.h"
#include "view/Banner.h"
#include "view/Motion.h"
#include <shlobj.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

int ReadSetting(const IntSetting& setting)
{
    return static_cast<int>(AfxGetApp()->GetProfileInt(settings::kSection, setting.key, setting.fallback));
}

}  // namespace

std::shared_ptr<PictureLoader> MakePictureLoader()
{
    return std::make_shared<PictureLoader>([](const std::function<void()>& loop) {
        const CComApartment mta(COINIT_MULTITHREADED);
        loop();
    });
}

BEGIN_MESSAGE_MAP(CSlideView, CWnd)
    ON_MESSAGE(WM_PICTURE_FOUND, OnPictureFound)
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_CREATE()
END_MESSAGE_MAP()

CSlideView::CSlideView(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

CSlideView::~CSlideView()
{
    if (m_pLoader)
        m_pLoader->Leave(m_nClient);
}

BOOL CSlideView::Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, HWND hParent)
{
    // One class for every view of the process; the invisible cursor hides the
    // pointer, and without a background brush every pixel is the view's own.
    static const std::string s_className = AfxRegisterWndClass(
        CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_INVISIBLE)));
    return CreateEx(dwExStyle, s_className.c_str(), "", dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, hParent, 0);
}

int CSlideView::OnCreate(LPCREATESTRUCTA)
{
    if (Default() == -1)
        return -1;

    SetSpeed(ReadSetting(settings::kSpeed));
    SetResolution(ReadSetting(settings::kResolution));
    SetChangeTimes(ReadSetting(settings::kChangeTimes));
    const int nVelmoraMode = ReadSetting(settings::kVelmoraMode);
    SetAdjustPictureSize(ReadSetting(settings::kAdjustPictureSize));

    TakeViewRect();
    if (!m_pLoader)
        m_pLoader = MakePictureLoader();
    m_nClient = m_pLoader->Join([hWnd = m_hWnd] { ::PostMessageA(hWnd, WM_PICTURE_FOUND, 0, 0); });
    if (m_nView == 0)
        std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_nPosX = motion::StartPosition(std::rand(), m_rcClient.right);
    m_nPosY = motion::StartPosition(std::rand(), m_rcClient.bottom);
    ChoosePictures(nVelmoraMode);
    return 0;
}

RECT CSlideView::GetViewRect() const
{
    RECT rc;
    GetClientRect(&rc);
    return rc;
}

void CSlideView::TakeViewRect()
{
    const RECT view = GetViewRect();
    m_ptOrigin = POINT{view.left, view.top};
    m_rcClient = RECT{0, 0, view.right - view.left, view.bottom - view.top};
}

void CSlideView::JoinGroup(pictures::Group& group, std::shared_ptr<pictures::Showing> showing,
                           std::shared_ptr<PictureLoader> loader, int nView)
{
    m_pGroup = &group;
    m_pShowing = std::move(showing);
    m_pLoader = std::move(loader);
    m_nView = nView;
}

// What the decoding thread still does for the view is dropped, unawaited.
void CSlideView::OnDestroy()
{
    if (m_pLoader)
        m_pLoader->Leave(m_nClient);
    Default();
}

void CSlideView::MoveView(const RECT& rect)
{
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    TakeViewRect();
    FitTile();
}

void CSlideView::Pause() { KillTimer(kAnimationTimer); }

void CSlideView::Resume()
{
    SetTimer(kAnimationTimer, m_nPeriod);
    CClientDC dc(m_hWnd);
    DrawFrame(&dc);
}

// The random draw orders the caches; the decoding thread reads them until
// one offers a picture, and the view asks for the first at once.
void CSlideView::ChoosePictures(int nVelmoraMode)
{
    pictures::Origin origin;
    if (nVelmoraMode != 0) {
        GetSpecialFolderPath(m_hWnd, CSIDL_LOCAL_APPDATA, origin.localAppData);
        GetSpecialFolderPath(m_hWnd, CSIDL_INTERNET_CACHE, origin.internetCache);
        origin.seed = static_cast<unsigned>(std::rand());
    }
    origin.folder = AfxGetApp()->GetProfileString(settings::kSection, settings::kFolder.key, settings::kFolder.fallback);
    if (!m_pShowing)
        m_pShowing = std::make_shared<pictures::Showing>();
    m_pCycle = std::make_shared<pictures::PictureCycle>(std::make_unique<CWinFiles>(), std::move(origin), m_pShowing,
                                                        m_nView);
    AskNextPicture();
}

// The doorbell of the decoding thread: a picture, shown from the next tick
// (the view's first at once); or none in a whole pass, and the view waits its
// time before it asks again.
LRESULT CSlideView::OnPictureFound(WPARAM, LPARAM)
{
    std::optional<Found> found = m_pLoader->Take(m_nClient);
    if (!found)
        return 0;
    if (!found->picture) {
        m_nTick = 0;
        return 0;
    }
    m_next = std::move(*found);
    if (!m_pPicture) {
        ShowNextPicture();
        CClientDC dc(m_hWnd);
        DrawFrame(&dc);
    }
    return 0;
}

void CSlideView::SetSpeed(int nSpeed)
{
    KillTimer(kAnimationTimer);
    m_nPeriod = static_cast<UINT>(motion::TimerPeriod(nSpeed));
    SetTimer(kAnimationTimer, m_nPeriod);
}

void CSlideView::SetResolution(int nResolution)
{
    m_nResolution = motion::ClampResolution(nResolution);
    const RECT rc = GetViewRect();
    m_nStepX = m_nStepY = motion::StepFromHeight(m_nResolution, rc.bottom - rc.top);
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

void CSlideView::SetChangeTimes(int nChangeTimes) { m_nChangeTimes = motion::ClampChangeTimes(nChangeTimes); }

void CSlideView::SetAdjustPictureSize(BOOL bAdjust) { m_bAdjustPictureSize = bAdjust; }

// The step follows the new height and the saved Resolution; the frame keeps
// the size recorded at creation.
void CSlideView::OnSize(UINT, int, int)
{
    Default();
    SetResolution(ReadSetting(settings::kResolution));
}

// Turn, move, advance the pictures, draw.
void CSlideView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kAnimationTimer) {
        Default();
        return;
    }
    motion::Glide(m_nPosX, m_nStepX, m_nWidth, m_rcClient.right);
    motion::Glide(m_nPosY, m_nStepY, m_nHeight, m_rcClient.bottom);
    StepPictureCycle();

    CClientDC dc(m_hWnd);
    DrawFrame(&dc);
}

// The tile keeps its picture until the next one is decoded.
void CSlideView::StepPictureCycle()
{
    const bool due = pictures::ChangeDue(m_nTick, m_nChangeTimes, *m_pGroup, m_nView);
    if (m_next.picture)
        ShowNextPicture();
    else if (due && !m_pLoader->Busy(m_nClient))
        AskNextPicture();
}

void CSlideView::ShowNextPicture()
{
    m_pPicture = std::move(m_next.picture);
    m_nTick = 0;
    FitTile();
}

// On the decoding thread, the cycle offers picture after picture until one
// decodes at the tile's size.
void CSlideView::AskNextPicture()
{
    const int width = m_rcClient.right, height = m_rcClient.bottom;
    const bool adjust = m_bAdjustPictureSize != FALSE;
    m_pLoader->Ask(m_nClient, [cycle = m_pCycle, width, height, adjust] {
        Found found;
        const auto fit = [&](SIZE natural) {
            const pictures::Extent tile = pictures::FitToThird({natural.cx, natural.cy}, width, height);
            return adjust ? SIZE{tile.cx, tile.cy} : natural;
        };
        const std::optional<std::string> key = cycle->Next([&](const pictures::Bytes& bytes, int leastSide) {
            auto picture = std::make_unique<CPicture>();
            if (!picture->Load(bytes, fit, leastSide))
                return false;
            found.picture = std::move(picture);
            return true;
        });
        found.key = key.value_or(std::string());
        return found;
    });
}

void CSlideView::FitTile()
{
    const SIZE size = m_pPicture != nullptr ? m_pPicture->GetSize() : SIZE{};
    if (size.cx == 0 && size.cy == 0)
        return;
    pictures::Extent tile{size.cx, size.cy};
    if (m_bAdjustPictureSize)
        tile = pictures::FitToThird(tile, m_rcClient.right, m_rcClient.bottom);
    m_nWidth = tile.cx;
    m_nHeight = tile.cy;
}

void CSlideView::OnPaint()
{
    CPaintDC dc(m_hWnd);
    RECT rc;
    GetClientRect(&rc);  // black where no frame reaches
    dc.FillSolidRect(rc, RGB(0, 0, 0));
    DrawFrame(&dc);
}

void CSlideView::DrawFrame(CDC* pDC)
{
    const int width = m_rcClient.right;
    const int height = m_rcClient.bottom;
    if (width <= 0 || height <= 0)
        return;

    CMemoryDC memDC(*pDC);
    CBitmap bitmap(CreateCompatibleBitmap(*pDC, width, height));
    if (!memDC.GetSafeHdc() || !bitmap)
        return;
    CSelectObject selectBitmap(memDC, bitmap.Get());

    memDC.FillSolidRect(m_rcClient, RGB(0, 0, 0));
    DrawBanner(&memDC);
    if (m_pPicture)
        m_pPicture->Render(&memDC, RECT{m_nPosX, m_nPosY, m_nPosX + m_nWidth, m_nPosY + m_nHeight});
    pDC->BitBlt(m_ptOrigin.x, m_ptOrigin.y, width, height, memDC, 0, 0, SRCCOPY);
}

// The layout takes its random draws first, so that a frame whose font cannot
// be made still advances the sequence as every other frame does.
void CSlideView::DrawBanner(CDC* pDC)
{
    const banner::Layout layout = banner::LayOut([] { return std::rand(); }, m_rcClient.right, m_rcClient.bottom);
    CFont base(CreatePointFont(layout.pointSize, banner::kFace));
    LOGFONTA description{};
    if (!base || ::GetObjectA(base.Get(), sizeof description, &description) != static_cast<int>(sizeof description))
        return;
    description.lfWeight = banner::kWeight;

    pDC->SetBkColor(RGB(0, 0, 0));
    for (const banner::Copy& copy : layout.copies) {
        description.lfEscapement = copy.escapement;
        CFont font(::CreateFontIndirectA(&description));
        if (!font)
            continue;
        CSelectObject select(*pDC, font.Get());
        pDC->SetTextColor(static_cast<COLORREF>(copy.grey) * 0x010101);
        pDC->TextOut(copy.x, copy.y, banner::kText, banner::kTextLength);
    }
}

void CSlideView::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}
