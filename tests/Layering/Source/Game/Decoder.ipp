#include <sndfile.h>
#include <libopenmpt/libopenmpt.h>
