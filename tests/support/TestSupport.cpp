// The helper library needs one translation unit; the helpers themselves are header-only.
#include "RecordingDefaultsStore.h"
