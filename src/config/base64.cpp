// placeholder: to be written
#include "base64.h"
