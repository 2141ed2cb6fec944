// CFileDialog; see file_dialog.h.
#include "framework/file_dialog.h"

#include "framework/win_app.h"

#include <algorithm>
#include <cstring>

namespace {
// Room for the longest path the platform's dialog hands back.
constexpr std::size_t FILE_BUFFER_SIZE = 32768;
} // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExtension, const char* fileName,
                         DWORD flags, const char* filter, CWnd* parent)
    : m_ofn(), m_bOpenFileDialog(openFileDialog),
      m_defaultExtension(defaultExtension != nullptr ? defaultExtension : ""),
      m_fileBuffer(FILE_BUFFER_SIZE, '\0') {
    if (fileName != nullptr) {
        // An initial name too long for the buffer is cut, never written past its end.
        const std::size_t length = std::min(std::strlen(fileName), FILE_BUFFER_SIZE - 1);
        std::memcpy(m_fileBuffer.data(), fileName, length);
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = parent != nullptr ? parent->m_hWnd : nullptr;
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.lpstrFilter = filter;
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileBuffer.size());
    m_ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal() {
    if (m_ofn.hwndOwner == nullptr) {
        // No parent: the main window's most recently active pop-up, as for a dialog.
        if (CWnd* main = AfxGetMainWnd())
            if (main->m_hWnd != nullptr)
                m_ofn.hwndOwner = ::GetLastActivePopup(main->m_hWnd);
    }
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const {
    return std::string(m_fileBuffer.data(), strnlen(m_fileBuffer.data(), m_fileBuffer.size()));
}
