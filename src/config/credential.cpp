// placeholder: to be written
#include "credential.h"
