#include "page_keys.h"

#include "fields/text.h"

namespace qe {

int steppedPage(const Fields& f, int delta) {
    const int count = f.pageCount();
    const int from = f.activePage();
    for (int i = 1; i < count; ++i) {
        const int candidate = ((from + delta * i) % count + count) % count;
        if (f.page(candidate).shown()) return candidate;
    }
    return from;
}

int pageOfAccelerator(const Fields& f, char letter) {
    if (letter == 0) return -1;
    for (int i = 0; i < f.pageCount(); ++i)
        if (f.page(i).shown() && acceleratorOf(f.page(i).caption()) == upperAscii(letter)) return i;
    return -1;
}

char acceleratorOf(const std::string& caption) {
    const auto at = caption.find('&');
    if (at == std::string::npos || at + 1 >= caption.size()) return 0;
    return upperAscii(caption[at + 1]);
}

} // namespace qe
