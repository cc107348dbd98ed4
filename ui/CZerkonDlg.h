// The main dialog: choose a DP file, set the range and elevation, and harmonize the guns.
#pragma once

#include "DialogRules.h"
#include "afx/CDialog.h"
#include "resource.h"

#include <string>

// The full path from the last Open dialog, empty when none is held; the Update command runs the pass on it.
extern char g_selectedPath[zerkon::ui::pathBufferSize];
// The folder in which the Open dialog starts.
extern char g_lastDir[zerkon::ui::pathBufferSize];

class CZerkonDlg : public CDialog {
public:
    enum { IDD = IDD_ZERKON_DIALOG };

    CZerkonDlg();

    std::string m_dpFile;
    std::string m_range;
    std::string m_elevation;
    HICON m_hIcon;

protected:
    MessageMap GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    static const MessageMapEntry messageMap[];

    INT_PTR OnSysCommand(WPARAM command, LPARAM);
    INT_PTR OnPaint(WPARAM, LPARAM);
    INT_PTR OnQueryDragIcon(WPARAM, LPARAM);
    void OnUpdateDp();
    void OnSelectDp();
    void OnAbout();
    void OnChangeRange();
    void OnChangeElevation();
};
