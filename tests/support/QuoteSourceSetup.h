#pragma once

namespace testing_support {

// Makes `quoteSource` the process-wide QuoteSource and turns its page layout
// on alone (QuoteSources/Enabled): tests of the specified behaviour mean
// that source only, where the default order would ask the live sources
// after it.
void UseSpecifiedSourceAlone(int quoteSource = 2);

// Removes QuoteSources/Enabled, so the default order applies.
void UseDefaultSourceOrder();

}  // namespace testing_support
