// Every test runs in a zone away from UTC with summer time, so that a date shown in local time
// where UTC was meant (or the other way round) fails a test instead of passing by chance. The
// child processes a test starts inherit it. Set here, not through CTest's ENVIRONMENT, which
// gtest_discover_tests cuts at its first entry.
#include <cstdlib>
#include <ctime>

namespace {

const bool zoneSet = [] {
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    return true;
}();

}  // namespace
