#include "view/SlideView.h"

#include "app/Settings.h"
#include "fw/WinApp.h"
#include "res/resource.h"
#include "view/Motion.h"

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

int ReadSetting(const IntSetting& setting)
{
    return static_cast<int>(AfxGetApp()->GetProfileInt(settings::kSection, setting.key, setting.fallback));
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
    ReadSetting(settings::kVelmoraMode);  // read in its place; the picture folder is not chosen yet
    SetAdjustPictureSize(ReadSetting(settings::kAdjustPictureSize));

    GetClientRect(&m_rcClient);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_nPosX = motion::StartPosition(std::rand(), m_rcClient.right);
    m_nPosY = motion::StartPosition(std::rand(), m_rcClient.bottom);
    return 0;
}

void CSlideView::SetSpeed(int nSpeed)
{
    KillTimer(kAnimationTimer);
    SetTimer(kAnimationTimer, static_cast<UINT>(motion::TimerPeriod(nSpeed)));
}

void CSlideView::SetResolution(int nResolution)
{
    m_nResolution = motion::ClampResolution(nResolution);
    RECT rc;
    GetClientRect(&rc);
    m_nStepX = m_nStepY = motion::StepFromHeight(m_nResolution, rc.bottom);
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

void CSlideView::StepPictureCycle() {}

void CSlideView::OnPaint()
{
    CPaintDC dc(m_hWnd);
    dc.FillSolidRect(m_rcClient, RGB(0, 0, 0));
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
    pDC->BitBlt(0, 0, width, height, memDC, 0, 0, SRCCOPY);
}

void CSlideView::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}
