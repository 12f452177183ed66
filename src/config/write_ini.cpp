// placeholder: to be written
#include "write_ini.h"
