// The main dialog: choose a DP file, set the range and elevation, and harmonize the guns.
#pragma once

#include "afx/afxwin.h"
#include "resource.h"

// The full path from the last Open dialog, empty when none is held; the Update command runs the pass on it.
extern char g_selectedPath[260];
// The folder in which the Open dialog starts.
extern char g_lastDir[260];

class CZerkonDlg : public CDialog {
public:
    enum { IDD = IDD_ZERKON_DIALOG };

    explicit CZerkonDlg(CWnd* parent = nullptr);

    CString m_dpFile;
    CString m_range;
    CString m_elevation;
    HICON m_hIcon;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    void OnUpdateDp();
    void OnSelectDp();
    void OnAbout();
    void OnChangeRange();
    void OnChangeElevation();

    const afx::MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    void ShowAboutBox();

    static const afx::MessageMapEntry messageEntries[];
    static const afx::MessageMap messageMap;
};
