#include "store/store_state.h"

// Pictures the records point at are deliberately not freed: the records die at
// static destruction, after GdiplusShutdown, when deleting a GDI+ image is no
// longer allowed. The process exit releases them.
StoreState storeState;
