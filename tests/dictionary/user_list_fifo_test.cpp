// A FIFO without a writer would block a reading for ever; only POSIX systems have them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "dictionary/user_list.h"
#include "support/temp_dir.h"

namespace dictionary {
namespace {

TEST(ReadUserIdioms, FifoGivesNothingAtOnce) {
  testing_support::TempDir dir;
  const std::string fifo = dir.File("fifo.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_TRUE(ReadUserIdioms(fifo).empty());
  EXPECT_EQ(CountValidUserIdioms(fifo), 0);
}

}  // namespace
}  // namespace dictionary
