// CFileDialog: the platform's file-open (or save) dialog with a path buffer of its own.
#pragma once

#include "framework/wnd.h"

#include <commdlg.h>

#include <string>
#include <vector>

class CFileDialog {
public:
    // The filter, when given, is the platform's list: pairs of zero-ended texts, then a zero.
    CFileDialog(BOOL openFileDialog, const char* defaultExtension = nullptr,
                const char* fileName = nullptr, DWORD flags = 0, const char* filter = nullptr,
                CWnd* parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal();
    std::string GetPathName() const;

    OPENFILENAMEA m_ofn;

private:
    BOOL m_bOpenFileDialog;
    std::string m_defaultExtension;
    std::vector<char> m_fileBuffer;
};
