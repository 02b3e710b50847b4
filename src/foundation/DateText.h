#pragma once

#include <chrono>
#include <string>

namespace salvora {

// The time in the local time zone as "%m/%d/%y %I:%M%p", with "AM"/"PM" whatever the
// locale: 5 March 2010 at 14:07 gives "03/05/10 02:07PM".
std::string dateText(std::chrono::system_clock::time_point time);

}  // namespace salvora
