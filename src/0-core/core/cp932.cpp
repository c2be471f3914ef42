#include "core/cp932.h"

namespace kst {

namespace {

void AddRange(TCharSet& Set, unsigned First, unsigned Last) {
    for (unsigned b = First; b <= Last; ++b) {
        Set.set(b);
    }
}

} // namespace

TCharSet DefaultDelimiters() {
    TCharSet set;
    AddRange(set, 0x00, 0x2F);
    AddRange(set, 0x3A, 0x40);
    AddRange(set, 0x5B, 0x5E);
    AddRange(set, 0x60, 0x60);
    AddRange(set, 0x7B, 0x80);
    AddRange(set, 0xA0, 0xA5);
    AddRange(set, 0xFD, 0xFF);
    return set;
}

} // namespace kst
