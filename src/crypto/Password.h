#pragma once

// A backup password, held only as long as it is needed: its bytes are wiped when it goes away,
// so the password doesn't linger in freed memory after the keybag is unlocked.
#include <string>
#include <string_view>

namespace salvora {

class Password {
  public:
    Password();
    explicit Password(std::string_view text);
    Password(const Password&) = delete;
    Password& operator=(const Password&) = delete;
    ~Password();

    std::string_view text() const { return text_; }
    // Room to read the password into in place; filling it beyond Password::Room may leave a
    // copy behind in the memory it outgrew.
    std::string& buffer() { return text_; }
    // Wipes a copy made elsewhere (a line read from a stream, say).
    static void wipe(std::string& text);

    static constexpr std::size_t Room = 1024;

  private:
    std::string text_;
};

}  // namespace salvora
