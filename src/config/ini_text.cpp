// placeholder: to be written
#include "ini_text.h"
