// The Options dialog's period field in the data exchange: loaded with the period as unsigned
// decimal, read back by the period-field rule; a refused text shows
// "Please enter a positive integer." and stops the exchange.
#pragma once

#include "framework/data_exchange.h"

#include <cstdint>

void DDX_PeriodField(CDataExchange* dx, int id, uint32_t& seconds);
