#include "doublebyte.h"

namespace doublebyte {

int decodeBytes(iconv_t decoder, const char *in, size_t length, char16_t &out)
{
    iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    char buf[8];
    char *inp = const_cast<char *>(in);
    char *outp = buf;
    size_t inLeft = length, outLeft = sizeof buf;
    if (iconv(decoder, &inp, &inLeft, &outp, &outLeft) == size_t(-1))
        return errno == EINVAL ? -1 : 0;
    if (inLeft != 0 || sizeof buf - outLeft != 2)
        return 0;
    out = char16_t(uint8_t(buf[0]) | (uint8_t(buf[1]) << 8));
    return 1;
}

} // namespace doublebyte
