#pragma once
// The branding of one store type (getGroupConfig): logo, customer-service link
// and texts.

#include "store/store_state.h"

// Fills the product's logo and texts and storeState.customerServiceUrl. The
// logo file "<dataDir>\<type>.bin" is deleted and downloaded anew at every
// call. True when the product's logoUrl is non-empty afterwards.
bool FetchGroupConfig(int type, ProductRecord& product);
