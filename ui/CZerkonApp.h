// The application object: runs the main dialog and ends when it closes.
#pragma once

#include "afx/afxwin.h"

class CZerkonApp : public CWinApp {
public:
    CZerkonApp() = default;

    BOOL InitInstance() override;

protected:
    const CommandEntry* GetCommandMap(std::size_t& count) const override;

private:
    static const CommandEntry commandMap[];
};
