#include "cli/ProgressBar.h"

#include <gtest/gtest.h>

#include <sstream>

#include "frame/BSNReporter.h"

using namespace kqcli;
using namespace std::chrono_literals;
using KQBSN_850::BSNReporter;

TEST(ProgressBar, DrawsRecordsShareAndPassOnOneLineAtMostOncePerInterval) {
  std::ostringstream os;
  ProgressBar bar(os, 200, 0ms);
  bar.ReportProgress(BSNReporter(-1));  // a report without a record count draws nothing
  EXPECT_TRUE(os.str().empty());
  bar.ReportProgress(BSNReporter(50));
  EXPECT_EQ(os.str().rfind("\r", 0), 0u);
  EXPECT_NE(os.str().find("[#######                       ]  25% 50/200 records"), std::string::npos)
      << os.str();
  EXPECT_EQ(os.str().find('\n'), std::string::npos);
  os.str("");
  bar.ReportProgress(BSNReporter(200));
  bar.ReportProgress(BSNReporter(100));  // the count fell: a second pass has begun
  EXPECT_NE(os.str().find(" 50% 100/200 records"), std::string::npos) << os.str();
  const std::size_t pass = os.str().find("pass");  // only on the second pass
  EXPECT_TRUE(pass != std::string::npos && pass == os.str().find("pass 2")) << os.str();
  os.str("");
  bar.Finish();
  EXPECT_EQ(os.str(), "\r\033[K");
  ProgressBar slow(os, 1000, std::chrono::hours(1));
  slow.ReportProgress(BSNReporter(50));
  const std::string first = os.str();
  for (int n = 100; n <= 1000; n += 50) slow.ReportProgress(BSNReporter(n));
  EXPECT_EQ(os.str(), first);
}
