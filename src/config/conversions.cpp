// placeholder: to be written
#include "conversions.h"
