#include "crypto/Password.h"

#include <openssl/crypto.h>

namespace salvora {

Password::Password() { text_.reserve(Room); }

Password::Password(std::string_view text) : Password() { text_.append(text); }

Password::~Password() { wipe(text_); }

void Password::wipe(std::string& text) {
    // The whole capacity: a shortened password leaves its tail beyond size().
    text.resize(text.capacity());
    OPENSSL_cleanse(text.data(), text.size());
    text.clear();
}

}  // namespace salvora
