#pragma once
#include "BatchCsv.h"

namespace tavrin_host {

// A small batch of supplier payments that shows what the component does with names, accents,
// references and a payment that fails its checks.
std::vector<PaymentRow> SampleBatch();

} // namespace tavrin_host
