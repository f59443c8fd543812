#include <gtest/gtest.h>
#include <sys/stat.h>

#include "settings/data_folder.h"

namespace {

using testing_support::DataFolder;
using testing_support::Read;

TEST(SaverSettings, AFifoInPlaceOfTheFileReadsAsNoFileWithoutBlocking) {
  DataFolder d;
  ASSERT_EQ(::mkfifo((d.Dir() + platform::kSettingsFileName).c_str(), 0644), 0);
  EXPECT_EQ(Read(d).wallpaperFiles.size(), 3u);
}

}  // namespace
