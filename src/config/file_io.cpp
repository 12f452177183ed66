// placeholder: to be written
#include "file_io.h"
