// The reader of lsblk's JSON answer over arbitrary bytes: a chain no longer than any
// real device stack, whatever the nesting.
#include "fuzzcheck.h"
#include "media/qt/lsblkparser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto json = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const salvyn::BlockDeviceChain chain = salvyn::parseLsblkChain(json);
    salvyn::fuzz::require(chain.size() <= 16, "the chain stays as short as a real device stack");
    return 0;
}
