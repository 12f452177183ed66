// placeholder: to be written
#include "form.h"
namespace qe {
bool Form::leave(Control&) { return false; }
void Form::open() {}
void Form::save() {}
} // namespace qe
