#include "crypto/Password.h"

#include <gtest/gtest.h>

#include <sstream>

namespace salvora {
namespace {

TEST(Password, ReadInPlaceWithoutGrowingAndWipedCopiesAreEmpty) {
    Password password;
    const char* room = password.buffer().data();
    std::istringstream input("correct horse\nnext line");
    std::getline(input, password.buffer());
    EXPECT_EQ(password.text(), "correct horse");
    EXPECT_EQ(password.buffer().data(), room);  // no copy left behind in a smaller buffer

    std::string copy = "correct horse";
    Password::wipe(copy);
    EXPECT_TRUE(copy.empty());
    EXPECT_EQ(Password("given").text(), "given");
}

}  // namespace
}  // namespace salvora
