#include "store/store_state.h"

StoreState storeState;
