// The window of the full-screen run: a slide view over the whole screen,
// above every other window.
#pragma once

#include "view/SlideView.h"

class CSaverWnd : public CSlideView {
public:
    CSaverWnd();
    ~CSaverWnd() override;

    // Creates the visible, top-most window over the screen. FALSE when it could
    // not be created; the object has then deleted itself.
    BOOL CreateFullScreen();

protected:
    void OnDestroy();

    DECLARE_MESSAGE_MAP()
};
