// placeholder: to be written
#include "read_ini.h"
