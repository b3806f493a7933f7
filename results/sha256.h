#pragma once
// SHA-256 of found files, for the recovery report, by the system's libcrypto (which uses the
// processor's SHA instructions where it has them). Any thread, one object per digest.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

struct evp_md_ctx_st;

namespace salvyn {

class Sha256 {
public:
    Sha256();
    void update(std::span<const std::uint8_t> bytes);
    // The digest as 64 lower-case hexadecimal digits; the object is spent afterwards.
    std::string finishHex();

private:
    struct Free {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, Free> m_context;
};

} // namespace salvyn
