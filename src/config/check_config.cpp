// placeholder: to be written
#include "check_config.h"
