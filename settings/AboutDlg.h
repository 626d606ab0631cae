// The About box: name, version and maker of the saver, centred over the
// window that opened it.
#pragma once

#include "fw/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    BOOL OnInitDialog() override;
};
