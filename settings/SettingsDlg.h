// The settings dialog: three scroll bars, the picture folder and the MIDI
// file, the two flags, and a live preview that follows the bars and the
// picture-size box at once. The value members are filled before the dialog
// runs and read after OK; nothing here writes the settings file.
#pragma once

#include "fw/Dialog.h"
#include "view/SlideView.h"

#include <string>

class CSettingsDlg : public CDialog {
public:
    explicit CSettingsDlg(HWND hParent = nullptr);
    ~CSettingsDlg() override;

protected:
    CButton m_chkAdjustPictureSize;
    CButton m_chkVelmoraMode;
    CScrollBar m_sbChangeTimes;
    CScrollBar m_sbSpeed;
    CScrollBar m_sbResolution;

public:
    int m_nResolution = 0;
    int m_nSpeed = 0;
    std::string m_strFolder;
    int m_nChangeTimes = 0;
    std::string m_strMidi;
    int m_nVelmoraMode = 1;
    int m_nAdjustPictureSize = 1;

protected:
    HICON m_hIcon;
    CSlideView m_wndPreview;

    bool DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnHScroll(UINT nSBCode, UINT nPos, HWND hScrollBar);
    void OnKillFocusFolder();
    void OnVersion();
    void OnKillFocusMidi();
    void OnBrowseFolder();
    void OnBrowseMidi();
    void OnVelmoraMode();
    void OnAdjustPictureSize();
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    // The placeholder's rectangle, which the preview takes, in the dialog's
    // client coordinates.
    RECT GetPreviewRect() const;
    // The three bars' positions to the preview.
    void ApplyBarsToPreview();

    // The shell's folder browser, opened on `strInitial`. FALSE, with
    // `strFolder` untouched, when the user cancels or the chosen item has no
    // file-system path.
    BOOL BrowseFolder(std::string& strFolder, std::string strInitial);

    DECLARE_MESSAGE_MAP()
};
