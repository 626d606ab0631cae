#include "view/SlideView.h"

#include "app/Settings.h"
#include "fw/Shell.h"
#include "fw/WinApp.h"
#include "res/resource.h"
#include "view/Banner.h"
#include "view/Motion.h"
#include "view/PictureCycle.h"

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

// A random sub-folder of the internet cache's "Content.IE5"; empty when there
// is none. Draws from the random sequence only when there is a choice.
std::string ChooseCacheFolder(HWND hWnd)
{
    std::string cache;
    if (!GetSpecialFolderPath(hWnd, CSIDL_INTERNET_CACHE, cache))
        return {};
    CFileFind finder;
    const std::vector<std::string> folders = pictures::ListCacheFolders(finder, cache + "\\Content.IE5\\*.*");
    if (folders.empty())
        return {};
    return folders[static_cast<unsigned>(std::rand()) % folders.size()];
}

}  // namespace

BEGIN_MESSAGE_MAP(CSlideView, CWnd)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_CREATE()
END_MESSAGE_MAP()

CSlideView::CSlideView(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

CSlideView::~CSlideView() = default;

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
    if (m_nView == 0)
        std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_nPosX = motion::StartPosition(std::rand(), m_rcClient.right);
    m_nPosY = motion::StartPosition(std::rand(), m_rcClient.bottom);
    ChoosePictureFolder(nVelmoraMode);
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

void CSlideView::JoinGroup(pictures::Group& group, int nView)
{
    m_pGroup = &group;
    m_nView = nView;
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

void CSlideView::ChoosePictureFolder(int nVelmoraMode)
{
    std::string folder;
    if (nVelmoraMode != 0)
        folder = ChooseCacheFolder(m_hWnd);
    if (folder.empty())
        folder = AfxGetApp()->GetProfileString(settings::kSection, settings::kFolder.key, settings::kFolder.fallback);
    m_strPattern = pictures::PicturePattern(folder);
    pictures::OpenListing(m_bSearching, m_nTick, m_finder, m_strPattern);
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
    if (m_bSearching)
        StepPictureCycle();

    CClientDC dc(m_hWnd);
    DrawFrame(&dc);
}

// A file that fails to load leaves an empty picture and the previous tile size.
void CSlideView::StepPictureCycle()
{
    const std::string path =
        pictures::StepCycle(m_bSearching, m_nTick, m_finder, m_strPattern, m_nChangeTimes, *m_pGroup, m_nView);
    if (path.empty())
        return;
    m_pPicture.reset();  // first, so that two large pictures never need room at once
    m_pPicture = std::make_unique<CPicture>();
    if (m_pPicture->Load(path.c_str()))
        FitTile();
}

void CSlideView::FitTile()
{
    SIZE size;
    {
        CClientDC dc(m_hWnd);
        size = m_pPicture != nullptr ? m_pPicture->GetSize(&dc) : SIZE{};
    }
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
