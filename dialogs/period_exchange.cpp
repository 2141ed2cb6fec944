// The period field's data exchange; see period_exchange.h.
#include "dialogs/period_exchange.h"

#include "dialogs/period_field.h"

void DDX_PeriodField(CDataExchange* dx, int id, uint32_t& seconds) {
    if (dx->m_bFailed)
        return;
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr)
        return;
    if (!dx->m_bSaveAndValidate) {
        ::SetWindowTextA(control, FormatPeriodField(seconds).c_str());
        return;
    }
    const std::optional<uint32_t> parsed = ParsePeriodField(WindowTextOf(control));
    if (!parsed) {
        dx->Fail(id, PERIOD_FIELD_ERROR);
        return;
    }
    seconds = *parsed;
}
